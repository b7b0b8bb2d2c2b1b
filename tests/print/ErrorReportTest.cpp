#include "print/ErrorReport.h"

#include "platform/PlatformError.h"
#include "print/StepExecutor.h"
#include "support/FakeMessageBoxes.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace bw::test {
namespace {

TEST(ErrorReport, ShowsDescriptionLocationLineAndRequestUnderItsTitle)
{
    FakeMessageBoxes boxes;
    ErrorReport(boxes).show(QStringLiteral("Unsupported URL"),
                            QStringLiteral("in Quillon.Form1.PushButton2_Click "), 116);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Unsupported URL\r\nin Quillon.Form1.PushButton2_Click at line "
                             "116\r\rPlease email screenshot of this message to "
                             "support@brindlework.example.org"));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Application Error"));
    EXPECT_EQ(boxes.boxes[0].style, 48);
}

TEST(ErrorReport, SecondLineOfPropertyRecordReport)
{
    const QString text =
        ErrorReport::text(QStringLiteral("x"), QStringLiteral("in Quillon.Writer1.MakePropertyValue "), 104);
    EXPECT_EQ(text.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0),
              QStringLiteral("in Quillon.Writer1.MakePropertyValue at line 104"));
}

TEST(ErrorReport, EmptyDescriptionKeepsTheLayout)
{
    EXPECT_EQ(
        ErrorReport::text(QString(), QStringLiteral("in Quillon.Form1.PushButton2_Click "), 138),
        QStringLiteral("\r\nin Quillon.Form1.PushButton2_Click at line 138\r\rPlease email screenshot of "
                       "this message to ") +
            ErrorReport::supportAddress());
}

TEST(ErrorReport, ShowsNoErrorNumber)
{
    FakeMessageBoxes boxes;
    ErrorReport report(boxes);
    StepExecutor(report, QStringLiteral("in Quillon.Form1.PushButton2_Click ")).run(112, [] {
        throw PlatformError(4321, QStringLiteral("No office"));
    });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(boxes.boxes[0].text.contains(QStringLiteral("4321")));
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("No office\r\n")));
}

// A table of five steps, each made to fail in turn.
class StepExecutorFailure : public ::testing::TestWithParam<int> {};

TEST_P(StepExecutorFailure, ReportsTheFailedLineOnceAndGoesOn)
{
    const int failing = GetParam();
    FakeMessageBoxes boxes;
    ErrorReport report(boxes);
    std::vector<int> ran;
    std::vector<Step> steps;
    for (int line : {100, 102, 104, 106, 108})
        steps.push_back({line, [line, failing, &ran] {
                             if (line == failing)
                                 throw PlatformError(5, QStringLiteral("step failed"));
                             ran.push_back(line);
                         }});
    StepExecutor(report, QStringLiteral("in Quillon.Form1.PushButton2_Click ")).run(steps);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              ErrorReport::text(QStringLiteral("step failed"),
                                QStringLiteral("in Quillon.Form1.PushButton2_Click "), failing));
    std::vector<int> expected;
    for (int line : {100, 102, 104, 106, 108})
        if (line != failing)
            expected.push_back(line);
    EXPECT_EQ(ran, expected);
}

INSTANTIATE_TEST_SUITE_P(EachLine, StepExecutorFailure, ::testing::Values(100, 102, 104, 106, 108));

TEST(StepExecutor, EveryFailedStepGivesItsOwnReportInOrder)
{
    FakeMessageBoxes boxes;
    ErrorReport report(boxes);
    StepExecutor executor(report, QStringLiteral("in Quillon.Writer1.MakePropertyValue "));
    executor.run({{100, [] { throw PlatformError(1, QStringLiteral("a")); }},
                  {102, [] { throw std::runtime_error("b"); }},
                  {104, [] {}}});
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(
        boxes.boxes[0].text,
        ErrorReport::text(QStringLiteral("a"), QStringLiteral("in Quillon.Writer1.MakePropertyValue "), 100));
    EXPECT_EQ(
        boxes.boxes[1].text,
        ErrorReport::text(QStringLiteral("b"), QStringLiteral("in Quillon.Writer1.MakePropertyValue "), 102));
}

} // namespace
} // namespace bw::test
