#include "printers/DefaultPrinterKeeper.h"

#include "printers/DefaultPrinter.h"
#include "printers/DefaultPrinterLeftovers.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakePrinters.h"
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

// The default printer of the run; notes whether the snapshot was kept before each change.
class WatchedDefaultPrinter : public DefaultPrinterAccess {
public:
    WatchedDefaultPrinter(DefaultPrinterAccess& inner, FakeStateFolder& state) : inner_(inner), state_(state)
    {
    }
    QString get() override { return inner_.get(); }
    void set(const QString& name) override
    {
        snapshotKeptAtSet.push_back(!state_.files.empty());
        inner_.set(name);
    }
    std::vector<bool> snapshotKeptAtSet;

private:
    DefaultPrinterAccess& inner_;
    FakeStateFolder& state_;
};

class KeeperTest : public ::testing::Test {
public:
    KeeperTest()
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        printers.defaultPrinter = QStringLiteral("A");
    }
    // The snapshot of another program's run that made B the default.
    void runOfAnother(qint64 id, const QString& identity)
    {
        FakeProcesses writer;
        writer.current = id;
        writer.alive = {{id, identity}};
        FakeUserLocks otherLocks;
        DefaultPrinterKeeper(reporting, printers.options, state, writer, otherLocks, sleeper, nullptr)
            .change(QStringLiteral("B"));
    }

    FakePrinters printers;
    FakeMessageBoxes boxes;
    FakeStateFolder state;
    FakeProcesses processes;
    FakeUserLocks locks;
    FakeSleeper sleeper;
    DefaultPrinter reporting{printers, boxes};
    WatchedDefaultPrinter defaultPrinter{reporting, state};
    DefaultPrinterKeeper keeper{defaultPrinter, printers.options, state, processes, locks, sleeper, nullptr};
    DefaultPrinterLeftovers leftovers{printers.options, state, processes, locks};
};

// One run: the user's situation, the printer chosen, what may go wrong, and
// what the options file and the default are after the put-back.
struct RunCase {
    const char* name;
    Bytes options;
    const char* environment;
    QString chosen;
    bool changeFails;
    bool putBackFails;
    std::function<void(KeeperTest&)> duringRun = [](KeeperTest&) {};
};

class KeeperRun : public KeeperTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(KeeperRun, PutsTheUsersOwnDefaultBack)
{
    printers.options.userOptions = GetParam().options;
    printers.environment = QString::fromLatin1(GetParam().environment);
    const Bytes before = printers.options.userOptions;
    const QString effectiveBefore = printers.effectiveDefault();

    if (GetParam().changeFails)
        EXPECT_ANY_THROW(keeper.change(GetParam().chosen));
    else
        EXPECT_NO_THROW(keeper.change(GetParam().chosen));
    for (const bool kept : defaultPrinter.snapshotKeptAtSet)
        EXPECT_TRUE(kept);
    GetParam().duringRun(*this);

    if (GetParam().putBackFails) {
        EXPECT_ANY_THROW(keeper.putBack());
        EXPECT_EQ(state.files.size(), 1u); // kept for a later try
        printers.options.failOptionsWrite = false;
    }
    EXPECT_NO_THROW(keeper.putBack());
    EXPECT_EQ(printers.options.userOptions, before);
    EXPECT_EQ(printers.effectiveDefault(), effectiveBefore);
    EXPECT_TRUE(state.files.empty());
    EXPECT_TRUE(locks.held.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeeperRun,
    ::testing::Values(
        RunCase{"NoDefaultOfTheirOwn", std::nullopt, "", QStringLiteral("B"), false, false},
        RunCase{"OwnDefaultWithOptions", QByteArray("Dest B copies=2\nDefault C  media=A4\n"), "",
                QStringLiteral("B"), false, false},
        RunCase{"TheChosenIsTheDefaultAlready", QByteArray("Default B\n"), "", QStringLiteral("B"), false,
                false},
        RunCase{"EnvironmentDecides", QByteArray("Dest A x=1\n"), "C", QStringLiteral("B"), true, false},
        RunCase{"UnknownPrinterChangesNothing", std::nullopt, "", QStringLiteral("Gone"), true, false},
        RunCase{"PutBackFailsOnceThenSucceeds", std::nullopt, "", QStringLiteral("B"), false, true,
                [](KeeperTest& t) { t.printers.options.failOptionsWrite = true; }}),
    [](const auto& info) { return std::string(info.param.name); });

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

class OptionsEdit : public KeeperTest, public ::testing::WithParamInterface<RunEdit> {};

TEST_P(OptionsEdit, ChangesAndPutsBackOnlyTheDefaultLine)
{
    printers.printers << QStringLiteral("B/draft");
    printers.options.userOptions = GetParam().before;

    keeper.change(QString::fromLatin1(GetParam().chosen));
    EXPECT_EQ(printers.options.userOptions, GetParam().written);
    if (GetParam().meanwhile)
        GetParam().meanwhile(printers.options.userOptions);
    keeper.putBack();
    EXPECT_EQ(printers.options.userOptions, GetParam().after);
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

// An options file of 8000 printers: the record stays small, and a run
// killed before its put-back is undone byte for byte at the next start.
TEST_F(KeeperTest, AMegabyteOptionsFileIsUndoneAfterAKilledRun)
{
    QByteArray big = "# mine\nDefault A media=A4\n";
    for (int i = 0; big.size() < 1000000; ++i)
        big += "Dest P" + QByteArray::number(i) + " media=A4 sides=two-sided-long-edge print-quality=5\n";
    printers.options.userOptions = big;
    runOfAnother(7, QStringLiteral("boot/first"));
    ASSERT_EQ(state.files.size(), 1u);
    EXPECT_LT(state.files.begin()->second.size(), 1024);
    EXPECT_NE(printers.options.userOptions, Bytes(big));
    leftovers.restore();
    EXPECT_EQ(printers.options.userOptions, Bytes(big));
    EXPECT_TRUE(state.files.empty());
}

// A record that cannot be kept, or that would not read back, leaves the default alone and says why.
TEST_F(KeeperTest, WithoutAPlaceForTheSnapshotTheDefaultIsLeftAlone)
{
    QByteArray defaults;
    for (int i = 0; defaults.size() < StateFolder::MaximumFileSize; ++i)
        defaults += "Default P" + QByteArray::number(i) + " media=A4\n";
    for (const bool tooLarge : {false, true}) {
        state.refuseWrites = !tooLarge;
        printers.options.userOptions = tooLarge ? std::optional<QByteArray>(defaults) : std::nullopt;
        try {
            keeper.change(QStringLiteral("B"));
            ADD_FAILURE() << "changed";
        } catch (const PlatformError& error) {
            EXPECT_TRUE(
                error.description().startsWith(QStringLiteral("Your default printer was left as it is")));
        }
        EXPECT_FALSE(printers.calls.contains(QStringLiteral("setDefaultPrinter:B")));
        EXPECT_EQ(printers.options.userOptions,
                  tooLarge ? std::optional<QByteArray>(defaults) : std::nullopt);
        EXPECT_TRUE(state.files.empty());
        EXPECT_NO_THROW(keeper.putBack());
        EXPECT_TRUE(locks.held.isEmpty());
    }
}

TEST_F(KeeperTest, ASecondRunAfterAFailedPutBackKeepsTheFirstSnapshot)
{
    printers.options.userOptions = QByteArray("Default A\n");
    keeper.change(QStringLiteral("B"));
    printers.options.failOptionsWrite = true;
    EXPECT_THROW(keeper.putBack(), PlatformError);
    printers.options.failOptionsWrite = false;
    keeper.change(QStringLiteral("C"));
    keeper.putBack();
    EXPECT_EQ(printers.options.userOptions, Bytes(QByteArray("Default A\n")));
}

// A snapshot found at start-up, by the state of the process that wrote it.
struct LeftoverCase {
    const char* name;
    qint64 writer;
    std::function<void(KeeperTest&)> arrange;
    Bytes options;     // the options file afterwards
    QStringList files; // the state folder afterwards
    QString message;
};

const QString CutShort =
    QStringLiteral("Brindlework ended during a print run before it could put your default printer back.");
const QString NoneAgain =
    CutShort + QStringLiteral(" It has been put back now: you have no default printer of "
                              "your own again, so the printing system's default applies.");

class KeeperLeftover : public KeeperTest, public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(KeeperLeftover, IsPutBackOnlyWhenItsProgramHasEnded)
{
    runOfAnother(GetParam().writer, QStringLiteral("boot/first"));
    GetParam().arrange(*this);

    EXPECT_EQ(DefaultPrinterLeftovers::message(leftovers.restore()), GetParam().message);
    EXPECT_EQ(printers.options.userOptions, GetParam().options);
    EXPECT_EQ(state.names(), GetParam().files);
    // Told once: what is left is not told of again.
    if (GetParam().files.isEmpty() || GetParam().files.first().endsWith(QStringLiteral(".unreadable"))) {
        EXPECT_EQ(DefaultPrinterLeftovers::message(leftovers.restore()), QString());
    }
}

const Bytes RunsDefault = QByteArray("Default B\n");
const QStringList Kept{QStringLiteral("default-printer-boot-first.json")};

INSTANTIATE_TEST_SUITE_P(
    Cases, KeeperLeftover,
    ::testing::Values(
        LeftoverCase{"Ended", 7, [](KeeperTest&) {}, std::nullopt, {}, NoneAgain},
        LeftoverCase{"StillRunning", 7,
                     [](KeeperTest& t) { t.processes.alive[7] = QStringLiteral("boot/first"); }, RunsDefault,
                     Kept, QString()},
        LeftoverCase{"NumberTakenByAnotherProcess",
                     7,
                     [](KeeperTest& t) { t.processes.alive[7] = QStringLiteral("boot/later"); },
                     std::nullopt,
                     {},
                     NoneAgain},
        LeftoverCase{
            "NumberIsThisProcessAfterARestart", 100, [](KeeperTest&) {}, std::nullopt, {}, NoneAgain},
        LeftoverCase{"AnotherRunIsUnderWay", 7,
                     [](KeeperTest& t) { t.locks.heldElsewhere << DefaultPrinterKeeper::lockName(); },
                     RunsDefault, Kept, QString()},
        LeftoverCase{
            "UserChoseAnewSince",
            7,
            [](KeeperTest& t) { t.printers.options.userOptions = QByteArray("# mine\nDefault C\n"); },
            QByteArray("# mine\nDefault C\n"),
            {},
            CutShort + QStringLiteral(" Your default printer has been chosen anew since, so that "
                                      "choice stays as it is.")},
        LeftoverCase{"CannotBePutBack", 7, [](KeeperTest& t) { t.printers.options.failOptionsWrite = true; },
                     RunsDefault, Kept,
                     CutShort + QStringLiteral(" It cannot be put back now: lpoptions: permission denied")},
        LeftoverCase{"Unreadable",
                     7,
                     [](KeeperTest& t) { t.state.files.begin()->second = "{"; },
                     RunsDefault,
                     {QStringLiteral("default-printer-boot-first.json.unreadable")},
                     QStringLiteral("A record Brindlework keeps of your default printer cannot be read, so "
                                    "it has been set aside: default-printer-boot-first.json: not a record "
                                    "of Brindlework")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeeperTest, TheMessageNamesTheDefaultThatCameBackOnceForSeveralLeftovers)
{
    printers.options.userOptions = QByteArray("Default C\n");
    for (const qint64 id : {7, 8})
        runOfAnother(id, QStringLiteral("boot/%1").arg(id));
    const auto found = leftovers.restore();
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(DefaultPrinterLeftovers::message(found),
              CutShort + QStringLiteral(" It has been put back now: your default printer is \"C\" again."));
    EXPECT_EQ(printers.options.userOptions, Bytes(QByteArray("Default C\n")));
}

} // namespace
} // namespace bw::test
