#include "intake/IntakeRules.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

TEST(IntakeRulesTest, JoinPutsOneSeparatorBetweenFolderAndName)
{
    EXPECT_EQ(IntakeRules::join(QStringLiteral("/data"), QStringLiteral("a.ods")),
              QStringLiteral("/data/a.ods"));
    EXPECT_EQ(IntakeRules::join(QStringLiteral("/"), QStringLiteral("a.ods")), QStringLiteral("//a.ods"));
    EXPECT_EQ(IntakeRules::join(QString(), QStringLiteral("a.ods")), QStringLiteral("/a.ods"));
}

TEST(IntakeRulesTest, CollapseReplacesDoubledSeparatorsInOnePass)
{
    const struct {
        const char* given;
        const char* expected;
    } table[] = {
        {"//a.ods", "/a.ods"}, {"/data//a.ods", "/data/a.ods"},
        {"///a", "//a"},       {"////a", "//a"},
        {"/a/b", "/a/b"},      {"", ""},
        {"//x//y//", "/x/y/"}, {"/ä//ß.ods", "/ä/ß.ods"},
    };
    for (const auto& row : table)
        EXPECT_EQ(IntakeRules::collapse(QString::fromUtf8(row.given)), QString::fromUtf8(row.expected))
            << row.given;
}

TEST(IntakeRulesTest, TildeAndLockFilesAreSkippedInFolderListingsOnly)
{
    const struct {
        const char* name;
        bool skipped;
    } table[] = {
        {"~a.ods", true},  {"~", true},        {".~lock.a.ods#", true}, {"a~.ods", false},
        {".a.ods", false}, {".~lockx", false}, {"a.ods", false},        {"~$x.ods", true},
    };
    for (const auto& row : table)
        EXPECT_EQ(IntakeRules::isSkippedInFolderListing(QString::fromUtf8(row.name)), row.skipped)
            << row.name;
}

} // namespace

} // namespace bw::test
