#include "intake/WildcardPattern.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

TEST(WildcardPatternTest, MatchesWithoutRegardToLetterCase)
{
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } table[] = {
        {"*.ods", "a.ods", true},
        {"*.ods", "REPORT.ODS", true},
        {"*.ODS", "report.Ods", true},
        {"*.ods", "a.odsx", false},
        {"*.ods", "a.ods.bak", false},
        {"*.ods", ".ods", true},
        {"*.ods", "ods", false},
        {"*.*", "README", true},
        {"*.*", ".hidden", true},
        {"*.*", "a.b.c", true},
        {"*.txt", "a.ods", false},
        {"*..ods", "a.ods", false},
        {"*..ods", "a..ods", true},
        {"*.", "a.", true},
        {"*.", "a", false},
        {"*.o?s", "a.ODS", true},
        {"*.o?s", "a.os", false},
        {"*a*b*", "xaYbz", true},
        {"*a*b*", "xbYaz", false},
        {"*.ÄÖ", "x.äö", true},
        {"*.ods", "Tabelle ä.ODS", true},
        {"*", "", true},
        {"*.ods", "", false},
        {"**.ods", "a.ods", true},
    };
    for (const auto& row : table) {
        const WildcardPattern pattern(QString::fromUtf8(row.pattern));
        EXPECT_EQ(pattern.matches(QString::fromUtf8(row.name)), row.matches)
            << row.pattern << " vs " << row.name;
    }
}

} // namespace

} // namespace bw::test
