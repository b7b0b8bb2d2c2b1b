#include "printers/LpoptionsText.h"

#include "printers/DefaultPrinterSnapshot.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

using Bytes = std::optional<QByteArray>;
using Origin = DefaultPrinterSnapshot::Origin;

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
                      DefaultLine{"Default A\n", QStringLiteral("A")},
                      DefaultLine{"Dest B x=1\nDEFAULT B/draft copies=2", QStringLiteral("B/draft")},
                      DefaultLine{"  default\tC sides=one-sided\n", QStringLiteral("C")},
                      DefaultLine{"Default A\nDefault B\n", QStringLiteral("B")}));

struct NewDefault {
    const char* content;
    std::optional<QString> name;
    const char* expected;
};

class WithDefault : public ::testing::TestWithParam<NewDefault> {};

TEST_P(WithDefault, MakesTheOneDefaultAndKeepsEveryOtherLine)
{
    EXPECT_EQ(withDefault(GetParam().content, GetParam().name), QByteArray(GetParam().expected))
        << GetParam().content;
}

const std::optional<QString> None;
const std::optional<QString> B = QStringLiteral("B");

INSTANTIATE_TEST_SUITE_P(
    Lines, WithDefault,
    ::testing::Values(NewDefault{"", B, "Default B\n"}, NewDefault{"Default A\n", B, "Default B\n"},
                      NewDefault{"Default A\n", None, ""},
                      // A former default's options stay with it.
                      NewDefault{"Default A sides=two-sided-long-edge\n", B,
                                 "Dest A sides=two-sided-long-edge\nDefault B\n"},
                      NewDefault{"Dest B media=A4\nDefault A\n", B, "Default B media=A4\n"},
                      NewDefault{"Default B media=A4\n", B, "Default B media=A4\n"},
                      NewDefault{"default a\nDest X opt=1", None, "Dest X opt=1\n"},
                      NewDefault{"Dest B/draft copies=2\nDefault B\n", QStringLiteral("B/draft"),
                                 "Default B/draft copies=2\n"}));

// What the options file holds after the put-back, from what it held before
// the run, what the run left in it and what it holds now.
struct PutBack {
    const char* name;
    Bytes before;
    bool writtenKnown;
    Bytes written;
    Bytes now;
    Bytes expected;
};

class RestoredOptions : public ::testing::TestWithParam<PutBack> {};

TEST_P(RestoredOptions, PutsBackTheUsersOwnDefault)
{
    DefaultPrinterSnapshot snapshot;
    snapshot.userOptions = GetParam().before;
    snapshot.writtenKnown = GetParam().writtenKnown;
    snapshot.written = GetParam().written;
    EXPECT_EQ(snapshot.restoredOptions(GetParam().now), GetParam().expected);
}

const QByteArray RunWrote = "Default B\n";
const QByteArray Own = "# kept as I wrote it\nDefault A   media=A4\nDest C copies=2\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoredOptions,
    ::testing::Values(
        PutBack{"NoFileBeforeNoneAfter", std::nullopt, true, RunWrote, RunWrote, std::nullopt},
        PutBack{"OwnFileByteForByte", Own, true, RunWrote, RunWrote, Own},
        PutBack{"UntouchedFileStays", Own, true, RunWrote, Own, Own},
        PutBack{"AnotherChangeMeanwhileKeepsItButNotTheRunsDefault", std::nullopt, true, RunWrote,
                QByteArray("Default B\nDest X o=1\n"), QByteArray("Dest X o=1\n")},
        PutBack{"AnotherDefaultMeanwhileGivesWayToTheOwnOne", QByteArray("Default A\n"), true, RunWrote,
                QByteArray("Default C\n"), QByteArray("Default A\n")},
        PutBack{"UnknownWriteRestoresTheDefaultLine", QByteArray("Default A\n"), false, std::nullopt,
                QByteArray("Dest A x=1\nDefault B\n"), QByteArray("Default A x=1\n")},
        PutBack{"UnknownWriteWithoutFileBeforeRemovesIt", std::nullopt, false, std::nullopt, RunWrote,
                std::nullopt},
        PutBack{"RemovedFileComesBack", QByteArray("Default A\n"), true, RunWrote, std::nullopt,
                QByteArray("Default A\n")},
        PutBack{"NoFileBeforeAndNoneNow", std::nullopt, true, RunWrote, std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct OriginCase {
    const char* environment;
    std::optional<QString> userDefault;
    const char* effective;
    Origin expected;
};

class SnapshotOrigin : public ::testing::TestWithParam<OriginCase> {};

TEST_P(SnapshotOrigin, TellsWhereTheDefaultCameFrom)
{
    EXPECT_EQ(DefaultPrinterSnapshot::originOf(GetParam().environment, GetParam().userDefault,
                                               GetParam().effective),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SnapshotOrigin,
                         ::testing::Values(OriginCase{"C", QStringLiteral("A"), "C", Origin::Environment},
                                           OriginCase{"", QStringLiteral("A"), "A", Origin::UserOptions},
                                           OriginCase{"", std::nullopt, "S", Origin::System},
                                           OriginCase{"", std::nullopt, "", Origin::None}));

TEST(DefaultPrinterSnapshotTest, SurvivesTheTripThroughItsFile)
{
    for (const bool writtenKnown : {false, true}) {
        DefaultPrinterSnapshot snapshot;
        snapshot.processId = 4242;
        snapshot.processIdentity = QStringLiteral("boot/77");
        snapshot.userOptions = QByteArray("Default A\n\0binary\xff", 17);
        snapshot.effectiveDefault = QStringLiteral("A");
        snapshot.origin = Origin::UserOptions;
        snapshot.chosenPrinter = QStringLiteral("Bü");
        snapshot.writtenKnown = writtenKnown;
        const std::optional<DefaultPrinterSnapshot> back =
            DefaultPrinterSnapshot::fromBytes(snapshot.toBytes());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->processId, 4242);
        EXPECT_EQ(back->processIdentity, snapshot.processIdentity);
        EXPECT_EQ(back->userOptions, snapshot.userOptions);
        EXPECT_EQ(back->effectiveDefault, snapshot.effectiveDefault);
        EXPECT_EQ(back->origin, Origin::UserOptions);
        EXPECT_EQ(back->chosenPrinter, snapshot.chosenPrinter);
        EXPECT_EQ(back->writtenKnown, writtenKnown);
        EXPECT_EQ(back->written, std::nullopt);
    }
    EXPECT_FALSE(DefaultPrinterSnapshot::fromBytes("{\"processId\": \"x\"}"));
    EXPECT_FALSE(DefaultPrinterSnapshot::fromBytes("not json"));
}

TEST(DefaultPrinterSnapshotTest, FileNamesCarryTheProcessNumber)
{
    EXPECT_EQ(DefaultPrinterSnapshot::fileName(31), QStringLiteral("default-printer-31.json"));
    EXPECT_EQ(DefaultPrinterSnapshot::processIdOfFileName(QStringLiteral("default-printer-31.json")), 31);
    for (const char* other :
         {"default-printer-.json", "default-printer-31.json.tmp", "notes", "default-printer-3x.json"})
        EXPECT_EQ(DefaultPrinterSnapshot::processIdOfFileName(QString::fromLatin1(other)), std::nullopt)
            << other;
}

} // namespace
} // namespace bw::test
