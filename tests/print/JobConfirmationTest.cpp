#include "print/JobConfirmation.h"

#include "intake/LocalName.h"
#include "support/FakePrintJobs.h"
#include "support/FakeSleeper.h"
#include "support/FakeStopRequest.h"
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
        jobs.clock = &sleeper;
    }

    FakeSleeper sleeper;
    FakePrinters printers;
    FakePrintJobs jobs{printers};
    JobConfirmation confirmation{printers, jobs, sleeper, sleeper};
};

// What is in the job list before and after the watch, and what a wait of at
// most 10 s makes of it.
struct WaitCase {
    const char* name;
    std::function<void(JobConfirmationTest&)> beforeWatch;
    std::function<void(JobConfirmationTest&)> afterWatch;
    QString printer;
    Outcome outcome;
    qint64 waited;      // virtual milliseconds the wait took
    QString jobQueue{}; // of the job found
};

class JobConfirmationWait : public JobConfirmationTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(JobConfirmationWait, TellsWhereTheFilesJobWent)
{
    if (GetParam().beforeWatch)
        GetParam().beforeWatch(*this);
    confirmation.watch(GetParam().printer);
    if (GetParam().afterWatch)
        GetParam().afterWatch(*this);
    const auto result = confirmation.waitFor(File, GetParam().printer, 10000);
    EXPECT_EQ(result.outcome, GetParam().outcome);
    EXPECT_EQ(sleeper.now, GetParam().waited);
    EXPECT_EQ(result.job.queue, GetParam().jobQueue);
    for (int wait : sleeper.waits)
        EXPECT_LE(wait, JobConfirmation::PollMilliseconds);
}

// A job for the file on each of the named one-letter queues, in that order.
auto submit(const char* queues, QString title = Title, qint64 delay = 0)
{
    return [=](JobConfirmationTest& t) {
        for (const char* queue = queues; *queue; ++queue)
            t.jobs.submit(QString(QLatin1Char(*queue)), title, delay);
    };
}

// The file's job on B, ended by the printing system, and gone from its list if forgotten.
auto ended(int state, const char* reasons, bool forgotten = false)
{
    return [=](JobConfirmationTest& t) {
        t.jobs.changeState(t.jobs.submit("B", Title), state, QString::fromLatin1(reasons));
        if (forgotten)
            t.jobs.jobList.clear();
    };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobConfirmationWait,
    ::testing::Values(
        WaitCase{"ThereAtOnce", {}, submit("B"), "B", Outcome::Arrived, 0, "B"},
        WaitCase{"HeldCountsAsArrived", [](JobConfirmationTest& t) { t.jobs.holding << "B"; }, submit("B"),
                 "B", Outcome::Arrived, 0, "B"},
        WaitCase{"ArrivesLater", {}, submit("B", Title, 1220), "B", Outcome::Arrived, 1300, "B"},
        WaitCase{"InstanceNamesItsQueue", {}, submit("B"), "B/draft", Outcome::Arrived, 0, "B"},
        WaitCase{"OnAnotherQueue", {}, submit("A"), "B", Outcome::NothingArrived, 10000},
        WaitCase{"OnTheChosenQueueAsWellAsAnother", {}, submit("AB"), "B", Outcome::Arrived, 0, "B"},
        WaitCase{"RefusingQueue", [](JobConfirmationTest& t) { t.printers.refusing << "B"; }, submit("B"),
                 "B", Outcome::Refused, 0},
        WaitCase{"UnknownPrinterTakesNoJobs", {}, {}, "Z", Outcome::Refused, 0},
        WaitCase{"NothingUntilTheEnd", {}, {}, "B", Outcome::NothingArrived, 10000},
        WaitCase{"TooLate", {}, submit("B", Title, 10001), "B", Outcome::NothingArrived, 10000},
        WaitCase{"OlderThanTheWatch", submit("B"), {}, "B", Outcome::NothingArrived, 10000},
        WaitCase{"PrintedAndForgottenStillCounts",
                 {},
                 ended(PrintJob::Completed, "", true),
                 "B",
                 Outcome::Arrived,
                 0,
                 "B"},
        WaitCase{"CanceledByThePrintingSystem",
                 {},
                 ended(PrintJob::Aborted, "job-aborted-by-system"),
                 "B",
                 Outcome::Failed,
                 0,
                 "B"},
        WaitCase{"AnotherFilesJob", {}, submit("B", "other.ods"), "B", Outcome::NothingArrived, 10000},
        WaitCase{"TitleWithoutExtension", {}, submit("B", "Q1 sales"), "B", Outcome::NothingArrived, 10000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobConfirmationTest, EachJobConfirmsOnePrintOnlyOldestFirst)
{
    confirmation.watch("B");
    jobs.submit("B", Title);
    jobs.submit("B", Title);
    EXPECT_EQ(confirmation.check(File, "B").job.id, 1);
    EXPECT_EQ(confirmation.check(File, "B").job.id, 2);
    EXPECT_EQ(confirmation.check(File, "B").outcome, Outcome::NothingArrived);
}

// Refused names as "Untitled", bytes that are not UTF-8 as in the URL.
TEST_F(JobConfirmationTest, AFileIsMatchedByTheTitleTheOfficeGivesItsJob)
{
    const std::pair<QString, QString> table[] = {
        {QStringLiteral("tab\there.ods"), QStringLiteral("Untitled")},
        {QString(300, QLatin1Char('x')), QStringLiteral("Untitled")},
        {decodeLocalName("caf\xe9 100%.ods"), QStringLiteral("caf%E9 100%.ods")}};
    for (const auto& [name, title] : table) {
        confirmation.watch("B");
        jobs.submit("B", QStringLiteral("other.ods"));
        jobs.submit("B", title);
        EXPECT_EQ(JobConfirmation::jobTitle(QStringLiteral("/data/") + name), title);
        EXPECT_EQ(confirmation.check(QStringLiteral("/data/") + name, "B").outcome, Outcome::Arrived);
    }
}

TEST_F(JobConfirmationTest, OneWatchServesEveryPrintUntilItIsRenewed)
{
    for (int file = 1; file <= 3; ++file) {
        confirmation.watch("B");
        jobs.submit("B", Title);
        EXPECT_EQ(confirmation.check(File, "B").job.id, file);
        sleeper.now += 5000;
    }
    EXPECT_EQ(jobs.nextWatch, 2);
    sleeper.now += 300000;
    confirmation.watch("B");
    EXPECT_EQ(jobs.watches.keys(), QList<int>{2});
}

TEST_F(JobConfirmationTest, AStopEndsTheWaitAtOnce)
{
    FakeStopRequest stop;
    JobConfirmation stoppable{printers, jobs, sleeper, sleeper, &stop};
    stoppable.watch("B");
    sleeper.onSleep = [&](int) { stop.requested = true; };
    EXPECT_EQ(stoppable.waitFor(File, "B", 120000).outcome, Outcome::NothingArrived);
    EXPECT_LE(sleeper.now, JobConfirmation::PollMilliseconds);
}

TEST_F(JobConfirmationTest, AFailedWatchFailsTheCheckANewWatchClearsItAndASystemGoneFailsTheWait)
{
    printers.jobsUnreachable = true;
    confirmation.watch("B");
    printers.jobsUnreachable = false;
    jobs.submit("B", Title);
    EXPECT_THROW(confirmation.waitFor(File, "B", 1000), PlatformError);
    confirmation.watch("B");
    jobs.submit("B", Title);
    EXPECT_EQ(confirmation.waitFor(File, "B", 1000).job.id, 2);
    confirmation.endWatch();
    EXPECT_TRUE(jobs.watches.isEmpty());
    // A printing system gone mid-wait fails the wait too.
    confirmation.watch("B");
    sleeper.onSleep = [this](int) { printers.jobsUnreachable = true; };
    EXPECT_THROW(confirmation.waitFor(File, "B", 1000), PlatformError);
}

// CUPS keeps only so many events a watch: with the creation of the file's
// job dropped, the user's jobs on the queue since the watch are listed, once.
TEST_F(JobConfirmationTest, DroppedEventsAreMadeUpForByOneListingOfTheQueue)
{
    jobs.keptEvents = 2;
    jobs.submit("B", Title);
    jobs.jobList.last().createdAt = 0; // before the watch
    confirmation.watch("B");
    const int ours = jobs.submit("B", Title);
    for (int i = 0; i < 3; ++i)
        jobs.submit("B", QStringLiteral("other.ods"));
    EXPECT_EQ(confirmation.check(File, "B").job.id, ours);
    jobs.jobList.append({{99, QStringLiteral("B"), Title, PrintJob::Pending, {}}, 0});
    EXPECT_EQ(confirmation.check(File, "B").outcome, Outcome::NothingArrived);
}

struct TextCase {
    Outcome outcome;
    QString text;
};

class JobConfirmationText : public ::testing::TestWithParam<TextCase> {};

TEST_P(JobConfirmationText, NamesThePrinterAndTheFile)
{
    JobConfirmation::Result result{
        GetParam().outcome,
        {7, QStringLiteral("A"), Title, PrintJob::Aborted, QStringLiteral("job-aborted-by-system")}};
    EXPECT_EQ(JobConfirmation::failureText(result, File, QStringLiteral("B")), GetParam().text);
}

const QString NothingOnB = QStringLiteral("Nothing reached printer \"B\" for \"Q1 sales.ods\"");

INSTANTIATE_TEST_SUITE_P(
    Outcomes, JobConfirmationText,
    ::testing::Values(
        TextCase{Outcome::Arrived, QString()}, TextCase{Outcome::NothingArrived, NothingOnB},
        TextCase{Outcome::Refused, NothingOnB + QStringLiteral(": the printer does not accept jobs")},
        TextCase{Outcome::Failed, QStringLiteral("Printer \"B\" did not print \"Q1 sales.ods\": the printing "
                                                 "system aborted its job 7 (job-aborted-by-system)")},
        TextCase{Outcome::UnknownToOffice,
                 NothingOnB + QStringLiteral(": the office does not know this printer")}));

} // namespace
} // namespace bw::test
