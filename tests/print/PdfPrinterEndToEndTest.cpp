#include "SpreadsheetMaker.h"
#include "filelist/FileListModel.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "platform/system/FlockUserLocks.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/SteadyClock.h"
#include "platform/system/ThreadSleeper.h"
#include "platform/system/XdgStateFolder.h"
#include "platform/uno/UnoOfficeSuite.h"
#include "print/PrintRun.h"
#include "printers/DefaultPrinter.h"
#include "printers/DefaultPrinterKeeper.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeWindowPointer.h"
#include "support/PrivateCupsDaemon.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

// The printer the run command sets up on a machine without one: a print run
// on its "PDF" queue (cups-pdf) of a private CUPS daemon leaves a PDF with
// the sheet on it, and the office's job for a held twin of that queue holds
// the sheet's text.
namespace bw::test {
namespace {

using namespace std::chrono_literals;

const QString SheetText = QStringLiteral("Brindlework quarterly total 4711");
const QString Sheet = QStringLiteral("quarterly.ods");
const QString Pdf = QStringLiteral("PDF");
const QString HeldTwin = QStringLiteral("PDF-held");

// Runs a program; its standard output, or "" with the failure recorded.
QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// Where cups-pdf puts the PDFs of a user it does not know.
QString anonymousFolder()
{
    QString folder = QStringLiteral("/var/spool/cups-pdf/ANONYMOUS");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : conf.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() == 2 && words[0] == "AnonDirName")
                folder = QString::fromLocal8Bit(words[1]);
        }
    }
    return folder;
}

// Pixels darker than mid-grey on the page images of a PDF.
int inkedPixels(const QString& pdf, const QString& imagePrefix, int& pages)
{
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"), pdf, imagePrefix});
    const QFileInfo prefix(imagePrefix);
    const QStringList images = QDir(prefix.path()).entryList({prefix.fileName() + QStringLiteral("*.png")});
    pages = images.size();
    int inked = 0;
    for (const QString& name : images) {
        const QImage page =
            QImage(prefix.path() + QLatin1Char('/') + name).convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < page.height(); ++y) {
            const uchar* line = page.constScanLine(y);
            inked +=
                static_cast<int>(std::count_if(line, line + page.width(), [](uchar v) { return v < 128; }));
        }
    }
    return inked;
}

class PdfPrinterEndToEnd : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        root = PrivateCupsDaemon::newSharedFolder();
        cups = new PrivateCupsDaemon;
        // The queue as the run command makes it on a scheduler with none.
        // As the run command's user does it: with root (sudo) for the queue.
        setUpOutput =
            cups->administer(QStringLiteral("bash"), {QStringLiteral(BRINDLE_SETUP_PDF_PRINTER_SCRIPT)})
                .toUtf8();
        cups->administer(QStringLiteral("lpadmin"),
                         {QStringLiteral("-p"), HeldTwin, QStringLiteral("-E"), QStringLiteral("-v"),
                          QStringLiteral("cups-pdf:/"), QStringLiteral("-P"),
                          QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")});
        cups->disable(HeldTwin);
        // cups-pdf writes into the home of the job's user; a user it does not
        // know gets its anonymous folder, so no real home gets the test's PDFs.
        qputenv("CUPS_USER",
                QStringLiteral("bw-pdf-test-%1").arg(QCoreApplication::applicationPid()).toUtf8());

        QDir().mkpath(path(QStringLiteral("docs")));
        SpreadsheetMaker maker(path(QStringLiteral("maker-profile")),
                               QStringLiteral("bw_pdf_maker_%1").arg(QCoreApplication::applicationPid()));
        QString rows = SheetText;
        for (int row = 2; row <= 40; ++row)
            rows += QStringLiteral("\nRow %1 of the quarterly sheet").arg(row);
        maker.make(path(QStringLiteral("docs/") + Sheet), rows);
    }

    static void TearDownTestSuite()
    {
        qunsetenv("CUPS_USER");
        delete cups;
        delete root;
    }

    void SetUp() override
    {
        if (!rootAtHand())
            GTEST_SKIP() << "cups-pdf runs only under a daemon of root's";
    }

    static QString path(const QString& relative) { return root->path() + QLatin1Char('/') + relative; }

    // One print run of the sheet on the chosen queue, as the window does it.
    void printOn(const QString& queue)
    {
        UnoOfficeSuite::Options options = UnoOfficeSuite::programOptions();
        options.pipeName = QStringLiteral("bw_pdf_%1").arg(QCoreApplication::applicationPid());
        options.profileUrl = QUrl::fromLocalFile(path(QStringLiteral("profile"))).toString();
        options.startTimeout = 60s;
        UnoOfficeSuite office(options);
        FileListModel list;
        list.append(path(QStringLiteral("docs/") + Sheet));
        CupsPrintingSystem printing;
        FakeMessageBoxes boxes;
        ThreadSleeper sleeper;
        FakeWindowPointer pointer;
        std::vector<int> progress;
        DefaultPrinter defaultPrinter(printing.printers, boxes);
        SteadyClock clock;
        XdgStateFolder state;
        PosixProcesses processes;
        FlockUserLocks locks;
        DefaultPrinterKeeper keeper(defaultPrinter, printing.options, state, processes, locks, sleeper,
                                    nullptr);
        PrintRun({list, office, boxes, sleeper, pointer,
                  [&progress](int value) { progress.push_back(value); }, defaultPrinter,
                  [queue] { return queue; }, printing.printers, printing.jobs, clock, keeper})
            .run();
        office.endSelfStartedOffice();
        EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
    }

    // The id of the queue's one job once it reached the given state (9 completed, 4 held).
    static int waitForJob(const QString& queue, int state)
    {
        const QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            const auto jobs = cups->jobs(queue);
            if (jobs.size() == 1 && (jobs[0].state == state || (state == 4 && jobs[0].state == 3)))
                return jobs[0].id;
            QThread::msleep(200);
        }
        return 0;
    }

    static inline QTemporaryDir* root = nullptr;
    static inline PrivateCupsDaemon* cups = nullptr;
    static inline QByteArray setUpOutput;
};

TEST_F(PdfPrinterEndToEnd, TheRunCommandsQueueIsTheDefaultAndItsPdfHoldsTheSheet)
{
    EXPECT_TRUE(setUpOutput.startsWith("Added the printer \"PDF\""));
    EXPECT_EQ(CupsPrintingSystem().printers.defaultPrinterName(), Pdf);

    printOn(Pdf);
    const int job = waitForJob(Pdf, 9);
    ASSERT_NE(job, 0) << "no completed job on " << Pdf.toStdString();
    const QString suffix = QStringLiteral("-job_%1.pdf").arg(job);
    QStringList pdfs;
    const QDeadlineTimer deadline(10000);
    while (pdfs.isEmpty() && !deadline.hasExpired()) {
        for (const QString& name : QDir(anonymousFolder()).entryList({QStringLiteral("*.pdf")}))
            if (name.startsWith(QStringLiteral("quarterly")) && name.endsWith(suffix))
                pdfs.append(anonymousFolder() + QLatin1Char('/') + name);
        QThread::msleep(100);
    }
    ASSERT_EQ(pdfs.size(), 1) << "no PDF of job " << job << " in " << anonymousFolder().toStdString();

    int pages = 0;
    const int inked = inkedPixels(pdfs[0], path(QStringLiteral("page")), pages);
    // cups-pdf's, not the user's to remove.
    cups->administer(QStringLiteral("rm"), {QStringLiteral("-f"), pdfs[0]});
    EXPECT_EQ(pages, 1);
    // The sheet's forty rows at 50 dpi ink thousands of pixels; the page's own
    // header and footer on an empty sheet about a hundred.
    EXPECT_GT(inked, 2000) << "pixels inked: " << inked;
}

TEST_F(PdfPrinterEndToEnd, TheJobOnTheHeldTwinQueueHoldsTheSheetsText)
{
    printOn(HeldTwin);
    const int job = waitForJob(HeldTwin, 4);
    ASSERT_NE(job, 0) << "no held job on " << HeldTwin.toStdString();
    const QString spoolFile =
        cups->folder() + QStringLiteral("/spool/d%1-001").arg(job, 5, 10, QLatin1Char('0'));

    // The spool is the daemon's, not the user's.
    const QString text =
        cups->administer(QStringLiteral("pdftotext"), {spoolFile, QStringLiteral("-")}).simplified();
    EXPECT_TRUE(text.contains(SheetText)) << text.toStdString();
    cups->cancelAllJobs(HeldTwin);
}

} // namespace
} // namespace bw::test
