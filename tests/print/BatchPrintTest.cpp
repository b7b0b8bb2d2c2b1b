#include "print/BatchPrint.h"

#include "support/FakeOfficeSuite.h"
#include "support/FakePrintJobs.h"
#include "support/FakeStopRequest.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bw::test {
namespace {

// Offices in memory render into a real work folder; their PDFs go to the
// fake printing system's held queue B.
class Batch {
public:
    Batch()
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        jobs.holding = {QStringLiteral("B")};
        for (FakeOfficeSuite* office : {&first, &second}) {
            for (const char* name : {"/d/a.ods", "/d/b.ods", "/d/c.ods", "/d/d.ods"})
                office->addDocument(QStringLiteral("file://") + QLatin1String(name));
            office->addDocument(QStringLiteral("file:///d/junk.ods"),
                                FakeOfficeSuite::Loads::AsEmptyReference);
        }
    }

    BatchPrint::Totals run(const QStringList& paths, const QList<QPair<QString, QString>>& options = {},
                           bool fitToWidth = false, int restartAfter = 0, int offices = 1)
    {
        BatchPrint::Settings settings;
        settings.printer = QStringLiteral("B");
        settings.jobOptions = options;
        settings.fitToWidth = fitToWidth;
        settings.restartAfter = restartAfter;
        settings.pdfFolder = pdfFolder;
        std::vector<BatchPrint::Renderer> renderers;
        for (FakeOfficeSuite* office : {&first, &second}) {
            if (int(renderers.size()) < offices)
                renderers.push_back({*office, [this, office] { restarts << loads(*office); },
                                     [office] { ++office->restarts; }, work.path()});
        }
        BatchPrint batch({renderers, jobs, stop}, std::move(settings));
        return batch.run(paths, [this](const BatchPrint::Outcome& outcome) {
            lines << QStringLiteral("%1/%2 %3 %4")
                         .arg(outcome.number)
                         .arg(outcome.total)
                         .arg(outcome.path, outcome.printed
                                                ? QStringLiteral("job %1%2")
                                                      .arg(outcome.jobId)
                                                      .arg(outcome.pdf.section(QLatin1Char('/'), -1))
                                                : outcome.reason);
            if (stopAfter == lines.size())
                stop.requested = true;
        });
    }

    static int loads(const FakeOfficeSuite& office)
    {
        return int(office.operations().filter(QStringLiteral("loadComponentFromURL")).size());
    }
    QStringList callsOf(const QString& operation) const
    {
        QStringList result;
        for (const auto& call : first.calls)
            if (call.operation == operation)
                result
                    << call.arguments.mid(1).join(QLatin1Char(' ')).replace(work.path(), QStringLiteral("W"));
        return result;
    }

    QTemporaryDir work;
    FakePrinters printers;
    FakePrintJobs jobs{printers};
    FakeOfficeSuite first;
    FakeOfficeSuite second;
    FakeStopRequest stop;
    QStringList lines;
    QList<int> restarts;
    int stopAfter = 0;
    QString pdfFolder;
};

const QStringList Four{"/d/a.ods", "/d/b.ods", "/d/c.ods", "/d/d.ods"};

TEST(BatchPrintTest, EachFileIsRenderedReadOnlyAsPdfAndSentInListOrderWithItsOptions)
{
    for (const int offices : {1, 2}) {
        Batch b;
        const QList<QPair<QString, QString>> options{{"copies", "2"}, {"sides", "two-sided-long-edge"}};
        b.run(Four, options, true, 0, offices);

        EXPECT_EQ(b.lines, (QStringList{"1/4 /d/a.ods job 1", "2/4 /d/b.ods job 2", "3/4 /d/c.ods job 3",
                                        "4/4 /d/d.ods job 4"}))
            << offices;
        EXPECT_EQ(b.jobs.titles(QStringLiteral("B")), (QStringList{"a.ods", "b.ods", "c.ods", "d.ods"}));
        ASSERT_EQ(b.jobs.submitted.size(), 4);
        EXPECT_EQ(b.jobs.submitted[1].options, options);
        // Sent from the work folder and removed from it at once.
        EXPECT_TRUE(b.jobs.submitted[1].file.startsWith(b.work.path() + QLatin1Char('/')));
        EXPECT_EQ(QDir(b.work.path()).entryList(QDir::Files), QStringList());
        EXPECT_EQ(b.first.openDocumentCount() + b.second.openDocumentCount(), 0);
    }
    Batch b;
    b.run({QStringLiteral("/d/a.ods")}, {}, true);
    EXPECT_EQ(b.callsOf(QStringLiteral("loadComponentFromURL")),
              QStringList{"file:///d/a.ods _blank 0 Hidden=true (bool), ReadOnly=true (bool)"});
    EXPECT_EQ(b.callsOf(QStringLiteral("setPageStyleProperties")),
              QStringList{"ScaleToPagesX=1 (int16), ScaleToPagesY=0 (int16)"});
    EXPECT_EQ(b.callsOf(QStringLiteral("storeToUrl")),
              QStringList{"file://W/1.pdf FilterName=calc_pdf_Export (text)"});
}

TEST(BatchPrintTest, AFailedFileIsReportedWithItsReasonAndTheBatchGoesOn)
{
    const struct {
        const char* what;
        std::function<void(Batch&)> arrange;
        QStringList lines; // one per file, whose path is its second word
        int recoveries;
    } table[] = {
        {"a file the office cannot find",
         {},
         {"1/2 /d/gone.ods Unsupported URL <file:///d/gone.ods>: \"type detection failed\"",
          "2/2 /d/a.ods job 1"},
         1},
        {"a file that is no document",
         {},
         {"1/2 /d/junk.ods LibreOffice could not open it as a document", "2/2 /d/a.ods job 1"},
         0},
        {"an export that fails",
         [](Batch& t) { t.first.failAt(QStringLiteral("storeToUrl"), 1, PlatformError(440, "hung")); },
         {"1/2 /d/a.ods hung", "2/2 /d/b.ods job 1"},
         1},
        {"a queue that refuses jobs",
         [](Batch& t) { t.printers.refusing = {QStringLiteral("B")}; },
         {"1/1 /d/a.ods Not printed on \"B\": Destination \"B\" is not accepting jobs."},
         0},
        {"a job CUPS aborts",
         [](Batch& t) { t.jobs.endsSubmittedJobs = true; },
         {"1/1 /d/a.ods CUPS aborted job 1 on \"B\": job-aborted-by-system"},
         0},
    };
    for (const auto& row : table) {
        Batch t;
        if (row.arrange)
            row.arrange(t);
        QStringList paths;
        for (const QString& line : row.lines)
            paths << line.section(QLatin1Char(' '), 1, 1);
        EXPECT_EQ(t.run(paths).failed, 1) << row.what;
        EXPECT_EQ(t.lines, row.lines) << row.what;
        EXPECT_EQ(t.first.restarts, row.recoveries) << row.what;
        EXPECT_EQ(t.first.openDocumentCount(), 0) << row.what;
        EXPECT_EQ(QDir(t.work.path()).entryList(QDir::Files), QStringList()) << row.what;
    }
}

TEST(BatchPrintTest, TheOfficeIsRestartedEveryNDocumentsAndAStopEndsAfterTheFileSent)
{
    const struct {
        const char* what;
        int restartAfter;
        int stopAfter;
        QList<int> restarts; // after how many loads
        int printed;
        bool stopped;
    } table[] = {
        {"never", 0, 0, {}, 4, false},
        {"every document", 1, 0, {1, 2, 3}, 4, false},
        {"every two", 2, 0, {2}, 4, false},
        {"a stop after the second file", 0, 2, {}, 2, true},
        {"a stop after the last file changes nothing", 0, 4, {}, 4, false},
    };
    for (const auto& row : table) {
        Batch t;
        t.stopAfter = row.stopAfter;
        const auto totals = t.run(Four, {}, false, row.restartAfter);
        EXPECT_EQ(t.restarts, row.restarts) << row.what;
        EXPECT_EQ(totals.printed, row.printed) << row.what;
        EXPECT_EQ(t.jobs.submitted.size(), row.printed) << row.what;
        EXPECT_EQ(totals.stopped, row.stopped) << row.what;
        EXPECT_EQ(t.first.openDocumentCount(), 0) << row.what;
        EXPECT_EQ(QDir(t.work.path()).entryList(QDir::Files), QStringList()) << row.what;
    }
}

TEST(BatchPrintTest, APdfNameTakenByALinkGetsTheNextNumber)
{
    QTemporaryDir out;
    QFile(out.filePath(QStringLiteral("kept.txt"))).open(QIODevice::WriteOnly);
    // One leading to a file, one leading nowhere: neither is written through.
    QFile::link(out.filePath(QStringLiteral("kept.txt")), out.filePath(QStringLiteral("a.pdf")));
    QFile::link(out.filePath(QStringLiteral("nowhere")), out.filePath(QStringLiteral("b.pdf")));
    QStringList names;
    for (const QString& pdf :
         BatchPrint::pdfPaths({"/d/a.ods", "/d/b.ods", "/e/a.ods", "/d/c.ods"}, out.path()))
        names << QFileInfo(pdf).fileName();
    EXPECT_EQ(names, (QStringList{"a (2).pdf", "b (2).pdf", "a (3).pdf", "c.pdf"}));
}

TEST(BatchPrintTest, EachKindIsWrittenThroughItsOwnFilterAndAPdfGoesAsItIsWithoutTheOffice)
{
    QTemporaryDir in;
    QFile scan(in.filePath(QStringLiteral("scan.dat")));
    ASSERT_TRUE(scan.open(QIODevice::WriteOnly) && scan.write("%PDF-1.7 scanned") > 0);
    scan.close();
    for (const bool toFolder : {false, true}) {
        Batch b;
        b.pdfFolder = toFolder ? in.path() : QString();
        using L = FakeOfficeSuite::Loads;
        for (const auto& [name, kind] : {std::pair{"t.odt", L::Text}, std::pair{"p.odp", L::Presentation},
                                         std::pair{"g.odg", L::Drawing}, std::pair{"f.odf", L::Formula}})
            b.first.addDocument(QStringLiteral("file:///d/") + QLatin1String(name), kind);
        b.run({"/d/a.ods", "/d/t.odt", "/d/p.odp", "/d/g.odg", "/d/f.odf", scan.fileName()}, {}, true);

        EXPECT_EQ(b.lines.mid(4),
                  (QStringList{"5/6 /d/f.odf LibreOffice opened it, but not as a spreadsheet, "
                               "text, presentation or drawing",
                               "6/6 " + scan.fileName() + (toFolder ? " job 0scan.pdf" : " job 5")}));
        EXPECT_EQ(b.callsOf(QStringLiteral("storeToUrl")).replaceInStrings(QRegularExpression(".*="), ""),
                  (QStringList{"calc_pdf_Export (text)", "writer_pdf_Export (text)",
                               "impress_pdf_Export (text)", "draw_pdf_Export (text)"}));
        // Only a sheet is scaled to the width; the PDF never reaches the office.
        EXPECT_EQ(b.callsOf(QStringLiteral("setPageStyleProperties")).size(), 1);
        EXPECT_EQ(b.callsOf(QStringLiteral("loadComponentFromURL")).size(), 5);
    }
    QFile copy(in.filePath(QStringLiteral("scan.pdf")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("%PDF-1.7 scanned"));
}

} // namespace
} // namespace bw::test
