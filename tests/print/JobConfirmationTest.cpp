#include "print/JobConfirmation.h"

#include "support/FakePrinterServices.h"
#include "support/FakeSleeper.h"
#include "support/QStringPrinter.h"

#include <functional>
#include <gtest/gtest.h>

namespace bw::test {
namespace {

using Outcome = JobConfirmation::Outcome;

const QString File = QStringLiteral("/data/Q1 sales.ods");
const QString Title = QStringLiteral("Q1 sales.ods");

class JobConfirmationTest : public ::testing::Test {
public:
    JobConfirmationTest()
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        printers.clock = &sleeper;
    }

    FakeSleeper sleeper;
    FakePrinterServices printers;
    JobConfirmation confirmation{printers, sleeper, sleeper};
};

// What is in the job list before and after the mark, and what a wait of at
// most 10 s makes of it.
struct WaitCase {
    const char* name;
    std::function<void(JobConfirmationTest&)> beforeMark;
    std::function<void(JobConfirmationTest&)> afterMark;
    QString printer;
    Outcome outcome;
    qint64 waited;      // virtual milliseconds the wait took
    QString jobQueue{}; // of the job found
};

class JobConfirmationWait : public JobConfirmationTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(JobConfirmationWait, TellsWhereTheFilesJobWent)
{
    if (GetParam().beforeMark)
        GetParam().beforeMark(*this);
    confirmation.mark();
    if (GetParam().afterMark)
        GetParam().afterMark(*this);
    const auto result = confirmation.waitFor(File, GetParam().printer, 10000);
    EXPECT_EQ(result.outcome, GetParam().outcome);
    EXPECT_EQ(sleeper.now, GetParam().waited);
    EXPECT_EQ(result.job.queue, GetParam().jobQueue);
    for (int wait : sleeper.waits)
        EXPECT_LE(wait, JobConfirmation::PollMilliseconds);
}

auto submit(const char* queue, QString title = Title, qint64 delay = 0)
{
    return [=](JobConfirmationTest& t) { t.printers.submit(QString::fromLatin1(queue), title, delay); };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobConfirmationWait,
    ::testing::Values(
        WaitCase{"ThereAtOnce", {}, submit("B"), "B", Outcome::Arrived, 0, "B"},
        WaitCase{"HeldCountsAsArrived", [](JobConfirmationTest& t) { t.printers.holding << "B"; },
                 submit("B"), "B", Outcome::Arrived, 0, "B"},
        WaitCase{"ArrivesLater", {}, submit("B", Title, 1220), "B", Outcome::Arrived, 1250, "B"},
        WaitCase{"InstanceNamesItsQueue", {}, submit("B"), "B/draft", Outcome::Arrived, 0, "B"},
        WaitCase{"OnAnotherQueue", {}, submit("A"), "B", Outcome::ArrivedElsewhere, 0, "A"},
        WaitCase{"OnTheChosenQueueAsWellAsAnother",
                 {},
                 [](JobConfirmationTest& t) {
                     t.printers.submit("A", Title);
                     t.printers.submit("B", Title);
                 },
                 "B",
                 Outcome::Arrived,
                 0,
                 "B"},
        WaitCase{"RefusingQueue", [](JobConfirmationTest& t) { t.printers.refusing << "B"; }, submit("B"),
                 "B", Outcome::Refused, 0},
        WaitCase{"UnknownPrinterTakesNoJobs", {}, {}, "Z", Outcome::Refused, 0},
        WaitCase{"NothingUntilTheEnd", {}, {}, "B", Outcome::NothingArrived, 10000},
        WaitCase{"TooLate", {}, submit("B", Title, 10001), "B", Outcome::NothingArrived, 10000},
        WaitCase{"OlderThanTheMark", submit("B"), {}, "B", Outcome::NothingArrived, 10000},
        WaitCase{"AnotherFilesJob", {}, submit("B", "other.ods"), "B", Outcome::NothingArrived, 10000},
        WaitCase{"TitleWithoutExtensionIsAnotherFile",
                 {},
                 submit("B", "Q1 sales"),
                 "B",
                 Outcome::NothingArrived,
                 10000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobConfirmationTest, EachJobConfirmsOnePrintOnly)
{
    confirmation.mark();
    printers.submit("B", Title);
    EXPECT_EQ(confirmation.check(File, "B").outcome, Outcome::Arrived);
    EXPECT_EQ(confirmation.check(File, "B").outcome, Outcome::NothingArrived);
    printers.submit("B", Title);
    const auto second = confirmation.check(File, "B");
    EXPECT_EQ(second.outcome, Outcome::Arrived);
    EXPECT_EQ(second.job.id, 2);
}

TEST_F(JobConfirmationTest, TheOldestNewJobIsTakenFirst)
{
    confirmation.mark();
    printers.submit("B", Title);
    printers.submit("B", Title);
    EXPECT_EQ(confirmation.check(File, "B").job.id, 1);
    EXPECT_EQ(confirmation.check(File, "B").job.id, 2);
}

TEST_F(JobConfirmationTest, AJobStillOnTheQueueIsFoundWithoutTheWholeHistory)
{
    confirmation.mark();
    printers.submit("B", Title);
    EXPECT_EQ(confirmation.check(File, "B").outcome, Outcome::Arrived);
    EXPECT_EQ(printers.wholeJobQueries, 1); // the mark's

    // A job that has ended already is found in the history.
    confirmation.markAtLastLook();
    printers.submit("B", Title);
    printers.jobList.back().job.state = PrintJob::Completed;
    EXPECT_EQ(confirmation.check(File, "B").job.id, 2);
    EXPECT_EQ(printers.wholeJobQueries, 2);
}

TEST_F(JobConfirmationTest, AMarkRightAfterALookListsNoJobs)
{
    printers.submit("B", Title); // before the batch: never counts
    confirmation.markAtLastLook();
    EXPECT_EQ(printers.jobQueries, 1);
    EXPECT_EQ(confirmation.check(File, "B").outcome, Outcome::NothingArrived);
    const int queries = printers.jobQueries;

    confirmation.markAtLastLook();
    EXPECT_EQ(printers.jobQueries, queries);
    printers.submit("B", Title);
    EXPECT_EQ(confirmation.check(File, "B").job.id, 2);
    confirmation.markAtLastLook();
    printers.submit("B", Title);
    EXPECT_EQ(confirmation.check(File, "B").job.id, 3);

    // A look older than a second does not stand in for the listing.
    sleeper.now += 1001;
    confirmation.markAtLastLook();
    EXPECT_EQ(printers.jobQueries, queries + 3);
}

TEST_F(JobConfirmationTest, AnOfficeDoneWithTheJobEndsTheWaitAfterOneMoreLook)
{
    confirmation.mark();
    int asked = 0;
    const auto result = confirmation.waitFor(File, "B", 10000, [&] { return ++asked < 3; });
    EXPECT_EQ(result.outcome, Outcome::NothingArrived);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(sleeper.now, 2 * JobConfirmation::PollMilliseconds);

    // A job that came while the office finished is still seen.
    printers.submit("B", Title, 1);
    EXPECT_EQ(confirmation.waitFor(File, "B", 10000, [] { return false; }).outcome, Outcome::NothingArrived);
    sleeper.now += 1;
    EXPECT_EQ(confirmation.waitFor(File, "B", 10000, [] { return false; }).outcome, Outcome::Arrived);
}

TEST_F(JobConfirmationTest, AFailedMarkFailsTheCheckAndANewMarkClearsIt)
{
    printers.jobsUnreachable = true;
    confirmation.mark();
    printers.jobsUnreachable = false;
    printers.submit("B", Title);
    EXPECT_THROW(confirmation.waitFor(File, "B", 1000), PlatformError);
    confirmation.mark();
    printers.submit("B", Title);
    EXPECT_EQ(confirmation.waitFor(File, "B", 1000).job.id, 2);
}

TEST_F(JobConfirmationTest, APrintingSystemGoneMidWaitFailsTheWait)
{
    confirmation.mark();
    sleeper.onSleep = [this](int) { printers.jobsUnreachable = true; };
    EXPECT_THROW(confirmation.waitFor(File, "B", 1000), PlatformError);
}

struct TextCase {
    Outcome outcome;
    QString text;
};

class JobConfirmationText : public ::testing::TestWithParam<TextCase> {};

TEST_P(JobConfirmationText, NamesThePrinterAndTheFile)
{
    JobConfirmation::Result result{GetParam().outcome,
                                   {7, QStringLiteral("A"), Title, PrintJob::Pending, QString()}};
    EXPECT_EQ(JobConfirmation::failureText(result, File, QStringLiteral("B")), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, JobConfirmationText,
    ::testing::Values(TextCase{Outcome::Arrived, QString()},
                      TextCase{Outcome::NothingArrived,
                               QStringLiteral("Nothing reached printer \"B\" for \"Q1 sales.ods\"")},
                      TextCase{Outcome::Refused,
                               QStringLiteral("Nothing reached printer \"B\" for \"Q1 sales.ods\": the "
                                              "printer does not accept jobs")},
                      TextCase{Outcome::ArrivedElsewhere,
                               QStringLiteral("Nothing reached printer \"B\" for \"Q1 sales.ods\": "
                                              "its job went to printer \"A\"")},
                      TextCase{Outcome::UnknownToOffice,
                               QStringLiteral("Nothing reached printer \"B\" for \"Q1 sales.ods\": "
                                              "the office does not know this printer")}));

} // namespace
} // namespace bw::test
