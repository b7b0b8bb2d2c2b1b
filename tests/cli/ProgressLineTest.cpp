#include "cli/ProgressLine.h"

#include "cli/TerminalText.h"
#include "intake/LocalName.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

TEST(ProgressLineTest, TheLineFitsTheTerminal)
{
    const struct {
        int number;
        int total;
        const char* path;
        double secondsLeft;
        int width;
        const char* text;
    } table[] = {
        {12, 200, "/r/report.ods", 200.0, 80, "[12/200] report.ods, 3 min 20 s left"},
        {1, 3, "/r/first.ods", -1, 80, "[1/3] first.ods"},
        {4, 0, "/in/q.ods", -1, 80, "[4] q.ods"},
        {5, 9, "/r/a-rather-long-name.ods", 5, 24, "[5/9] a-rath…, 5 s left"},
        {6, 9, "/r/a\x1b[2K\rb.ods", -1, 80, "[6/9] a\\e[2K\\rb.ods"},
    };
    for (const auto& row : table)
        EXPECT_EQ(ProgressLine::text(row.number, row.total, QString::fromUtf8(row.path), row.secondsLeft,
                                     row.width),
                  QString::fromUtf8(row.text))
            << row.text;
}

TEST(ProgressLineTest, ControlCharactersAreShownEscaped)
{
    const struct {
        const char* name;
        const char* shown;
    } table[] = {
        {"plain é.ods", "plain é.ods"},
        {"a\tb\nc\rd.ods", "a\\tb\\nc\\rd.ods"},
        {"a\x1b[31mb.ods", "a\\e[31mb.ods"},
        {"bell\x07\x7f.ods", "bell\\x07\\x7f.ods"},
        {"c1\u009b31m.ods", "c1\\x9b31m.ods"},
        {"evil\u202esdo.exe", "evil\\u202esdo.exe"},
        {"caf\xe9 \xf0\x90\x82\x80.ods", "caf\\xe9 \U00010080.ods"},
    };
    for (const auto& row : table)
        EXPECT_EQ(escapedForTerminal(decodeLocalName(row.name)), QString::fromUtf8(row.shown)) << row.shown;
}

} // namespace
} // namespace bw::test
