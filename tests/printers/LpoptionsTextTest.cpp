#include "platform/LpoptionsText.h"

#include "printers/DefaultPrinter.h"
#include "printers/DefaultPrinterKeeper.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakePrinterServices.h"
#include "support/FakeProcesses.h"
#include "support/FakeSleeper.h"
#include "support/FakeStateFolder.h"
#include "support/FakeUserLocks.h"
#include "support/QStringPrinter.h"

#include <functional>
#include <gtest/gtest.h>

namespace bw::test {
namespace {

using Bytes = std::optional<QByteArray>;

struct DefaultLine {
    const char* content;
    std::optional<QString> expected;
};

class DefaultInOptions : public ::testing::TestWithParam<DefaultLine> {};

TEST_P(DefaultInOptions, FindsThePrinterOfTheDefaultLine)
{
    EXPECT_EQ(defaultInOptions(GetParam().content), GetParam().expected) << GetParam().content;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DefaultInOptions,
    ::testing::Values(DefaultLine{"", std::nullopt}, DefaultLine{"Dest A media=A4\n", std::nullopt},
                      DefaultLine{"Default A\r\n", QStringLiteral("A")},
                      DefaultLine{"Dest B x=1\nDEFAULT B/draft copies=2", QStringLiteral("B/draft")},
                      DefaultLine{"  default\tC sides=one-sided\n", QStringLiteral("C")},
                      DefaultLine{"Default A\nDefault B\n", QStringLiteral("B")}));

// A print run over the user's options file: what the run's change writes,
// what else changes the file meanwhile, and what the put-back leaves.
struct RunEdit {
    const char* name;
    Bytes before;
    const char* chosen;
    Bytes written;
    std::function<void(Bytes&)> meanwhile;
    Bytes after;
};

class OptionsEdit : public ::testing::TestWithParam<RunEdit> {};

TEST_P(OptionsEdit, ChangesAndPutsBackOnlyTheDefaultLine)
{
    FakePrinterServices printers;
    printers.printers = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("B/draft"),
                         QStringLiteral("C")};
    printers.userOptions = GetParam().before;
    FakeMessageBoxes boxes;
    DefaultPrinter defaultPrinter(printers, boxes);
    FakeStateFolder state;
    FakeProcesses processes;
    FakeUserLocks locks;
    FakeSleeper sleeper;
    DefaultPrinterKeeper keeper(defaultPrinter, printers, state, processes, locks, sleeper, nullptr);

    keeper.change(QString::fromLatin1(GetParam().chosen));
    EXPECT_EQ(printers.userOptions, GetParam().written);
    if (GetParam().meanwhile)
        GetParam().meanwhile(printers.userOptions);
    keeper.putBack();
    EXPECT_EQ(printers.userOptions, GetParam().after);
}

const QByteArray Commented = "# my printers\nDest A media=A4\nSomething CUPS does not know\nDefault C\n";
const QByteArray Crlf = "Default A x=1\r\nDest C y=2\r\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, OptionsEdit,
    ::testing::Values(
        RunEdit{"NoFile", std::nullopt, "B", QByteArray("Default B\n"), nullptr, std::nullopt},
        RunEdit{"CommentsAndUnknownLinesStay", Commented, "B",
                QByteArray("# my printers\nDest A media=A4\nSomething CUPS does not know\nDefault B\n"),
                nullptr, Commented},
        RunEdit{"DestLinesKeepTheirOptions",
                QByteArray("Dest B sides=two-sided-long-edge\nDefault A  media=A4\n"), "B",
                QByteArray("Default B sides=two-sided-long-edge\nDest A  media=A4\n"), nullptr,
                QByteArray("Dest B sides=two-sided-long-edge\nDefault A  media=A4\n")},
        RunEdit{"Instance", QByteArray("Dest B/draft copies=2\nDefault B\n"), "B/draft",
                QByteArray("Default B/draft copies=2\n"), nullptr,
                QByteArray("Dest B/draft copies=2\nDefault B\n")},
        RunEdit{"NoLineEndAtTheEnd", QByteArray("Dest A x=1"), "B", QByteArray("Dest A x=1\nDefault B\n"),
                nullptr, QByteArray("Dest A x=1")},
        RunEdit{"Crlf", Crlf, "B", QByteArray("Dest A x=1\r\nDest C y=2\r\nDefault B\r\n"), nullptr, Crlf},
        RunEdit{"KeywordsInAnyCase", QByteArray("dest b copies=2\ndefault A\n"), "B",
                QByteArray("Default b copies=2\n"), nullptr, QByteArray("dest b copies=2\ndefault A\n")},
        RunEdit{"UserChoseAnotherDefaultDuringTheRun", QByteArray("Default A\n"), "B",
                QByteArray("Default B\n"), [](Bytes& file) { file = QByteArray("# theirs\nDefault C\n"); },
                QByteArray("# theirs\nDefault C\n")},
        RunEdit{"OtherLinesChangedDuringTheRunStay", QByteArray("Default A\n# x\n"), "B",
                QByteArray("# x\nDefault B\n"), [](Bytes& file) { *file += "Dest C o=1\n"; },
                QByteArray("# x\nDest C o=1\nDefault A\n")},
        RunEdit{"FileRemovedDuringTheRunStaysRemoved", QByteArray("Default A\n"), "B",
                QByteArray("Default B\n"), [](Bytes& file) { file.reset(); }, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace bw::test
