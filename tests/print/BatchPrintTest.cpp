#include "print/BatchPrint.h"

#include "print/JobConfirmation.h"
#include "support/FakeOfficeSuite.h"
#include "support/FakePrinterServices.h"
#include "support/FakeSleeper.h"
#include "support/FakeStopRequest.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

// The fake office's prints reach the fake printing system as the real
// office's do: a job titled after the file on the queue the arguments name.
class Batch {
public:
    Batch()
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        printers.holding = {QStringLiteral("A"), QStringLiteral("B")};
        printers.clock = &sleeper;
        for (const char* name : {"/d/a.ods", "/d/b.ods", "/d/c.ods", "/d/d.ods"})
            office.addDocument(QStringLiteral("file://") + QLatin1String(name));
        office.addDocument(QStringLiteral("file:///d/junk.ods"), FakeOfficeSuite::Loads::AsEmptyReference);
        office.onCall = [this](const FakeOfficeSuite::Call& call) {
            if (call.operation == QLatin1String("loadComponentFromURL"))
                loading = call.arguments.at(1);
            if (call.operation == QLatin1String("executeDispatch") && !dispatchSendsNothing) {
                const QString queue =
                    call.arguments.last().section(QStringLiteral("PrinterName="), 1).section(' ', 0, 0);
                printers.submit(queue, loading.section(QLatin1Char('/'), -1), 200);
            }
        };
    }

    BatchPrint::Totals run(const QStringList& paths, int restartAfter = 0)
    {
        BatchPrint batch({office, confirmation, [this] { restarts.append(outcomes.size()); }, stop},
                         {QStringLiteral("B"), restartAfter, 10000});
        return batch.run(paths, [this](const BatchPrint::Outcome& outcome) {
            outcomes.push_back(outcome);
            if (stopAfter == int(outcomes.size()))
                stop.requested = true;
        });
    }

    QStringList lines() const
    {
        QStringList result;
        for (const auto& outcome : outcomes)
            result << QStringLiteral("%1/%2 %3 %4")
                          .arg(outcome.number)
                          .arg(outcome.total)
                          .arg(outcome.path, outcome.printed ? QStringLiteral("job %1").arg(outcome.jobId)
                                                             : outcome.reason);
        return result;
    }

    FakeSleeper sleeper;
    FakePrinterServices printers;
    FakeOfficeSuite office;
    JobConfirmation confirmation{printers, sleeper, sleeper};
    FakeStopRequest stop;
    std::vector<BatchPrint::Outcome> outcomes;
    QList<qsizetype> restarts;
    QString loading;
    bool dispatchSendsNothing = false;
    int stopAfter = 0;
};

TEST(BatchPrintTest, EachFileIsLoadedHiddenReadOnlyPrintedOnTheNamedPrinterConfirmedAndClosed)
{
    Batch b;
    const auto totals = b.run({QStringLiteral("/d/a.ods"), QStringLiteral("/d/b.ods")});

    EXPECT_EQ(b.lines(), (QStringList{"1/2 /d/a.ods job 1", "2/2 /d/b.ods job 2"}));
    EXPECT_EQ(b.printers.titles(QStringLiteral("B")), (QStringList{"a.ods", "b.ods"}));
    EXPECT_EQ(totals.printed, 2);
    EXPECT_EQ(totals.failed, 0);
    EXPECT_FALSE(totals.stopped);
    EXPECT_EQ(b.office.openDocumentCount(), 0);
    ASSERT_EQ(b.office.printed.size(), 2u);
    EXPECT_EQ(b.office.printed[0].arguments,
              QStringLiteral("Copies=1 (int16), Collate=true (bool), PrinterName=B (text)"));
    for (const auto& call : b.office.calls) {
        if (call.operation == QLatin1String("loadComponentFromURL")) {
            EXPECT_EQ(call.arguments.last(), QStringLiteral("Hidden=true (bool), ReadOnly=true (bool)"));
        }
    }
    // The next file loads while the last one's job spools; each is closed once its job showed.
    QStringList order;
    for (const auto& call : b.office.calls) {
        if (call.operation == QLatin1String("loadComponentFromURL") ||
            call.operation == QLatin1String("close") || call.operation == QLatin1String("executeDispatch"))
            order << call.operation;
    }
    EXPECT_EQ(order, (QStringList{"loadComponentFromURL", "executeDispatch", "loadComponentFromURL", "close",
                                  "executeDispatch", "close"}));
    // Closed only after the job showed (200 ms after the dispatch): no fixed wait beyond that.
    EXPECT_EQ(b.sleeper.now, 400);
    EXPECT_TRUE(b.printers.calls.filter(QStringLiteral("setDefaultPrinter")).isEmpty());
}

TEST(BatchPrintTest, AFailedFileIsReportedAndTheBatchGoesOn)
{
    const struct {
        const char* what;
        std::function<void(Batch&)> arrange;
        QStringList paths;
        QStringList lines;
        int stillOpen;
    } table[] = {
        {"a file the office cannot find",
         {},
         {"/d/gone.ods", "/d/a.ods"},
         {"1/2 /d/gone.ods Unsupported URL <file:///d/gone.ods>: \"type detection failed\"",
          "2/2 /d/a.ods job 1"},
         0},
        {"a file that is no document",
         {},
         {"/d/junk.ods", "/d/a.ods"},
         {"1/2 /d/junk.ods LibreOffice could not open it as a document", "2/2 /d/a.ods job 1"},
         0},
        {"a print that never reaches the queue",
         [](Batch& t) { t.dispatchSendsNothing = true; },
         {"/d/a.ods"},
         {"1/1 /d/a.ods Nothing reached printer \"B\" for \"a.ods\""},
         0},
        {"a queue that refuses jobs",
         [](Batch& t) { t.printers.refusing = {QStringLiteral("B")}; },
         {"/d/a.ods", "/d/b.ods"},
         {"1/2 /d/a.ods Nothing reached printer \"B\" for \"a.ods\": the printer does not accept jobs",
          "2/2 /d/b.ods Nothing reached printer \"B\" for \"b.ods\": the printer does not accept jobs"},
         0},
        {"an office call that fails after the load closes the document",
         [](Batch& t) { t.office.failAt(QStringLiteral("getFrame"), 1, PlatformError(440, "hung")); },
         {"/d/a.ods", "/d/b.ods"},
         {"1/2 /d/a.ods hung", "2/2 /d/b.ods job 1"},
         0},
        {"a close that fails does not undo a confirmed print",
         [](Batch& t) { t.office.failAt(QStringLiteral("close"), 0, PlatformError(440, "gone")); },
         {"/d/a.ods"},
         {"1/1 /d/a.ods job 1"},
         1},
        {"an office that cannot be reached fails every file",
         [](Batch& t) { t.office.available = false; },
         {"/d/a.ods", "/d/b.ods"},
         {},
         0},
    };
    for (const auto& row : table) {
        Batch t;
        if (row.arrange)
            row.arrange(t);
        const auto totals = t.run(row.paths);
        if (!row.lines.isEmpty()) {
            EXPECT_EQ(t.lines(), row.lines) << row.what;
        }
        EXPECT_EQ(totals.total, row.paths.size()) << row.what;
        EXPECT_EQ(totals.printed + totals.failed, row.paths.size()) << row.what;
        EXPECT_EQ(totals.failed, int(std::count_if(t.outcomes.begin(), t.outcomes.end(),
                                                   [](const auto& o) { return !o.printed; })))
            << row.what;
        EXPECT_EQ(t.office.openDocumentCount(), row.stillOpen) << row.what;
        if (row.lines.isEmpty()) {
            EXPECT_EQ(totals.failed, row.paths.size()) << row.what;
        }
    }
}

TEST(BatchPrintTest, TheOfficeIsRestartedEveryNDocumentsAndAStopEndsAfterTheCurrentFile)
{
    const QStringList four{"/d/a.ods", "/d/b.ods", "/d/c.ods", "/d/d.ods"};
    const struct {
        const char* what;
        int restartAfter;
        int stopAfter;
        QList<qsizetype> restarts; // after how many files
        int printed;
        bool stopped;
    } table[] = {
        {"never", 0, 0, {}, 4, false},
        {"every document", 1, 0, {1, 2, 3}, 4, false},
        {"every two", 2, 0, {2}, 4, false},
        {"more than there are", 10, 0, {}, 4, false},
        {"a stop after the second file", 0, 2, {}, 2, true},
        {"a stop after the last file changes nothing", 0, 4, {}, 4, false},
    };
    for (const auto& row : table) {
        Batch t;
        t.stopAfter = row.stopAfter;
        const auto totals = t.run(four, row.restartAfter);
        EXPECT_EQ(t.restarts, row.restarts) << row.what;
        EXPECT_EQ(totals.printed, row.printed) << row.what;
        EXPECT_EQ(int(t.outcomes.size()), row.printed) << row.what;
        EXPECT_EQ(totals.stopped, row.stopped) << row.what;
        EXPECT_EQ(t.office.openDocumentCount(), 0) << row.what;
    }
}

} // namespace
} // namespace bw::test
