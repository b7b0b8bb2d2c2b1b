#include "cli/ProgressLine.h"

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
    };
    for (const auto& row : table)
        EXPECT_EQ(ProgressLine::text(row.number, row.total, QString::fromUtf8(row.path), row.secondsLeft,
                                     row.width),
                  QString::fromUtf8(row.text))
            << row.text;
}

} // namespace
} // namespace bw::test
