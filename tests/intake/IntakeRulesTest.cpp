#include "intake/IntakeRules.h"

#include "intake/DialogResult.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace bw;

namespace {

const QChar nul(0);

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

TEST(DialogResultTest, PathsMapOntoTheThreeForms)
{
    const struct {
        QStringList paths;
        QString form;
    } table[] = {
        {{}, QString()},
        {{QStringLiteral("/data/a.ods")}, QStringLiteral("/data/a.ods")},
        {{QStringLiteral("/data/a.ods"), QStringLiteral("/data/b.ods")},
         QStringLiteral("/data") + nul + QStringLiteral("a.ods") + nul + QStringLiteral("b.ods")},
        {{QStringLiteral("/a.ods"), QStringLiteral("/b.ods")},
         QStringLiteral("/") + nul + QStringLiteral("a.ods") + nul + QStringLiteral("b.ods")},
        {{QStringLiteral("/data/x/a.ods"), QStringLiteral("/data/y/b.ods")},
         QStringLiteral("/data") + nul + QStringLiteral("x/a.ods") + nul + QStringLiteral("y/b.ods")},
        {{QStringLiteral("/data/a.ods"), QStringLiteral("/database/b.ods")},
         QStringLiteral("/") + nul + QStringLiteral("data/a.ods") + nul + QStringLiteral("database/b.ods")},
    };
    for (const auto& row : table)
        EXPECT_EQ(DialogResult::fromPaths(row.paths), row.form)
            << row.paths.join(QLatin1Char('|')).toStdString();
}

TEST(DialogResultTest, EachFormGivesItsRows)
{
    const struct {
        QString form;
        QStringList rows;
    } table[] = {
        {QString(), {}},
        // One path is taken unchanged, doubled separators and all.
        {QStringLiteral("/data//a.ods"), {QStringLiteral("/data//a.ods")}},
        {QStringLiteral("~a.ods"), {QStringLiteral("~a.ods")}},
        {QStringLiteral("/data") + nul + QStringLiteral("a.ods") + nul + QStringLiteral("b.ods"),
         {QStringLiteral("/data/a.ods"), QStringLiteral("/data/b.ods")}},
        {QStringLiteral("/") + nul + QStringLiteral("a.ods"), {QStringLiteral("/a.ods")}},
        {QStringLiteral("/") + nul + QStringLiteral("a.ods") + nul + QStringLiteral("~b.ods"),
         {QStringLiteral("/a.ods"), QStringLiteral("/~b.ods")}},
        {QStringLiteral("/data") + nul + QStringLiteral("b.ods") + nul + QStringLiteral("a.ods") + nul +
             QStringLiteral("b.ods"),
         {QStringLiteral("/data/b.ods"), QStringLiteral("/data/a.ods"), QStringLiteral("/data/b.ods")}},
    };
    for (const auto& row : table)
        EXPECT_EQ(DialogResult::rows(row.form), row.rows) << row.form.toStdString();
}

TEST(DialogResultTest, RowsOfTheMappedFormAreTheChosenPaths)
{
    const QStringList selections[] = {
        {QStringLiteral("/data/a.ods")},
        {QStringLiteral("/data/a.ods"), QStringLiteral("/data/b.txt"), QStringLiteral("/data/~c.ods")},
        {QStringLiteral("/a.ods"), QStringLiteral("/b.ods")},
        {QStringLiteral("/data/x/a.ods"), QStringLiteral("/other/b.ods")},
        {QStringLiteral("/data/a.ods"), QStringLiteral("/data/a.ods")},
        {QStringLiteral("/d a/ä ö.ods"), QStringLiteral("/d a/#1.ods")},
    };
    for (const QStringList& chosen : selections)
        EXPECT_EQ(DialogResult::rows(DialogResult::fromPaths(chosen)), chosen)
            << chosen.join(QLatin1Char('|')).toStdString();
}

} // namespace
