#include "../print/SpreadsheetMaker.h"
#include "ProgramRun.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "support/PrivateCupsDaemon.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

// The real executable's --print with no display, a real LibreOffice (the
// batch's own, under the test's HOME) and a private CUPS daemon: disabled
// queues A (the user's default), B, S and D (a duplex PDF printer) keep their
// jobs for the test to read, R refuses jobs.
namespace bw::test {
namespace {

class BatchEndToEnd : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        root = PrivateCupsDaemon::newSharedFolder();
        cups = new PrivateCupsDaemon;
        for (const char* queue : {"A", "B", "R", "S"})
            cups->addQueue(QString::fromLatin1(queue), true);
        cups->runTool(QStringLiteral("cupsreject"), {QStringLiteral("R")});
        cups->addFailingQueue(QStringLiteral("F"));
        cups->runTool(QStringLiteral("lpadmin"), {"-p", "D", "-v", "file:///dev/null", "-P",
                                                  "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"});
        cups->runTool(QStringLiteral("cupsaccept"), {QStringLiteral("D")});
        CupsPrintingSystem().printers.setDefaultPrinter(QStringLiteral("A"));

        for (const char* folder : {"docs/S/T", "loose", "empty", "many", "odd", "read-only-cache"})
            QDir().mkpath(path(QString::fromLatin1(folder)));
        const QString model = path(QStringLiteral("model.ods"));
        {
            SpreadsheetMaker maker(path(QStringLiteral("maker-profile")),
                                   QStringLiteral("bw_cli_maker_%1").arg(QCoreApplication::applicationPid()));
            maker.make(model, QStringLiteral("sheet"));
        }
        QStringList copies{"docs/top.ods",    "docs/S/mid.ods", "docs/S/T/deep.ods", "docs/S/~skip.ods",
                           "loose/first.ods", "locked.ods",     "odd/bad.ods"};
        for (int i = 1; i <= 20; ++i)
            copies << QStringLiteral("many/f%1.ods").arg(i, 2, 10, QLatin1Char('0'));
        for (const QString& copy : copies)
            QFile::copy(model, path(copy));
        QFile::setPermissions(path(QStringLiteral("locked.ods")), QFileDevice::Permissions());
        QFile::setPermissions(path(QStringLiteral("read-only-cache")),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        // A name whose bytes are not UTF-8.
        ::rename(QFile::encodeName(path(QStringLiteral("odd/bad.ods"))).constData(),
                 (QFile::encodeName(path(QStringLiteral("odd/"))) + "bad\xe9.ods").constData());
        // Forty columns: several pages wide unless scaled to the width.
        QFile csv(path(QStringLiteral("wide.csv")));
        csv.open(QIODevice::WriteOnly);
        csv.write((QByteArray("wide cell,").repeated(40) + "\n").repeated(30));
        csv.close();
        QProcess convert;
        convert.start(QStringLiteral("soffice"),
                      {"--headless", "--norestore", "-env:UserInstallation=file://" + path("maker-profile"),
                       "--convert-to", "ods", "--outdir", path(QString()), path("wide.csv")});
        convert.waitForFinished(120000);
        // The office opens plain text as a text document: junk is a broken package.
        for (const auto& [name, text] : {std::pair{"docs/note.txt", "not a spreadsheet\n"},
                                         std::pair{"junk.ods", "PK\3\4not a workbook\n"}}) {
            QFile file(path(QString::fromLatin1(name)));
            file.open(QIODevice::WriteOnly);
            file.write(text);
        }
    }

    static void TearDownTestSuite()
    {
        // Names Qt cannot decode, and a folder it cannot write, are not removed by it.
        ::unlink((QFile::encodeName(path(QStringLiteral("odd/"))) + "bad\xe9.ods").constData());
        QFile::setPermissions(path(QStringLiteral("read-only-cache")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        delete cups;
        delete root;
    }

    static QString path(const QString& relative) { return root->path() + QLatin1Char('/') + relative; }

    void SetUp() override
    {
        for (const char* queue : {"A", "B", "R", "S", "D"})
            cups->cancelAllJobs(QString::fromLatin1(queue));
        cups->runTool(QStringLiteral("cupsaccept"), {QStringLiteral("S")});
    }

    // The job's attributes as CUPS keeps them, by name.
    static QHash<QString, QString> jobAttributes(int id)
    {
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr,
                     QStringLiteral("ipp://localhost/jobs/%1").arg(id).toUtf8().constData());
        // The owner sees the job's name.
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
        ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        QHash<QString, QString> attributes;
        for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
            char text[1024];
            ippAttributeString(a, text, sizeof text);
            if (ippGetName(a))
                attributes.insert(QString::fromUtf8(ippGetName(a)), QString::fromUtf8(text));
        }
        ippDelete(response);
        return attributes;
    }

    // Pages of a PDF (each ends in a form feed), and its text.
    static std::pair<int, QString> pdf(const QString& file)
    {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        text.waitForFinished();
        const QString all = QString::fromUtf8(text.readAllStandardOutput());
        return {int(all.count(QLatin1Char('\f'))), all};
    }

    // Process ids of offices running on a batch profile under this test's HOME.
    static QList<int> batchOffices(const QString& slot = QString(), const QString& home = QDir::homePath())
    {
        const QByteArray profile = home.toUtf8() + "/.cache/brindlework/batch-office" + slot.toUtf8();
        QList<int> pids;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool isPid = false;
            const int pid = entry.toInt(&isPid);
            if (!isPid)
                continue;
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(profile))
                pids << pid;
        }
        return pids;
    }

    // Not gone and not a zombie waiting for a parent that will never reap it.
    static bool running(int pid)
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        const auto end = line.lastIndexOf(')');
        return end >= 0 && end + 2 < line.size() && line.at(end + 2) != 'Z';
    }

    static QStringList titlesOf(const QString& queue) { return cups->pendingJobTitles(queue); }

    // Job ids of the "sent" lines, in order.
    static QList<int> printedJobIds(const QStringList& lines)
    {
        static const QRegularExpression job(QStringLiteral("^sent \\d+/\\d+ .* -> \\S+ \\(job (\\d+)\\)$"));
        QList<int> ids;
        for (const QString& line : lines) {
            const auto match = job.match(line);
            if (match.hasMatch())
                ids << match.captured(1).toInt();
        }
        return ids;
    }

    static inline QTemporaryDir* root = nullptr;
    static inline PrivateCupsDaemon* cups = nullptr;
    ProgramRun program{QDir::homePath(), root->path()};
};

TEST_F(BatchEndToEnd, FilesAndFoldersMixedPrintInOrderOnTheNamedQueueEachJobConfirmed)
{
    const auto result = program.run({QStringLiteral("--print"), QStringLiteral("--printer"),
                                     QStringLiteral("B"), QStringLiteral("loose/first.ods"),
                                     QStringLiteral("docs"), QStringLiteral("loose/first.ods")});

    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(titlesOf(QStringLiteral("B")),
              (QStringList{"first.ods", "top.ods", "mid.ods", "deep.ods", "first.ods"}));
    EXPECT_TRUE(titlesOf(QStringLiteral("A")).isEmpty());
    const QStringList lines = result.outLines();
    ASSERT_EQ(lines.size(), 11) << result.out.toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("sent 2/5 %1 -> B (job %2)")
                            .arg(path(QStringLiteral("docs/top.ods")))
                            .arg(printedJobIds(lines).value(1)));
    QList<int> queued;
    for (const auto& job : cups->jobs(QStringLiteral("B")))
        queued << job.id;
    std::sort(queued.begin(), queued.end());
    EXPECT_EQ(printedJobIds(lines), queued);
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("done: 0 printed, 5 sent, 0 failed, of 5 on B in ")));
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    EXPECT_TRUE(batchOffices().isEmpty());
    // The user's default stays as it was.
    EXPECT_EQ(CupsPrintingSystem().printers.defaultPrinterName(), QStringLiteral("A"));
}

TEST_F(BatchEndToEnd, ATextAPdfAndAWorkbookFromOneFolderPrintInOneBatch)
{
    const QString kinds = path(QStringLiteral("kinds"));
    const std::pair<const char*, const char*> made[] = {
        {"odt", "docs/note.txt"}, {"pdf", "docs/note.txt"}, {"xlsx", "model.ods"}};
    for (const auto& [format, source] : made) {
        QProcess convert;
        convert.start(QStringLiteral("soffice"),
                      {"--headless", "--norestore", "-env:UserInstallation=file://" + path("maker-profile"),
                       "--convert-to", format, "--outdir", kinds, path(QString::fromLatin1(source))});
        ASSERT_TRUE(convert.waitForFinished(120000));
    }

    const auto result =
        program.run({QStringLiteral("--print"), QStringLiteral("--printer"), QStringLiteral("B"),
                     QStringLiteral("--extension"), QStringLiteral("odt,pdf,xlsx"), QStringLiteral("kinds")});

    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    QStringList titles = titlesOf(QStringLiteral("B"));
    titles.sort();
    EXPECT_EQ(titles, (QStringList{"model.xlsx", "note.odt", "note.pdf"}));
}

TEST_F(BatchEndToEnd, ExitStatusTellsWhatHappened)
{
    const struct {
        QStringList arguments;
        int status;
        QStringList onB;
        QStringList onA;
        int failedLines;
        const char* errHolds;
    } table[] = {
        {{"--print", "--printer", "B", "loose/first.ods", "nothere.ods"}, 2, {}, {}, 0, "nothere.ods"},
        {{"--print", "--printer", "B", "junk.ods", "loose/first.ods"},
         1,
         {"first.ods"},
         {},
         1,
         "failed 1/2 "},
        {{"--print", "--printer", "Z", "loose/first.ods"}, 2, {}, {}, 0, "unknown printer \"Z\""},
        {{"--print", "--printer", "B", "empty"}, 2, {}, {}, 0, "no files found"},
        {{"--print", "--printer", "R", "loose/first.ods", "docs"}, 1, {}, {}, 4, "not accepting jobs"},
        {{"--print", "--printer", "D", "--copies", "99999", "docs"}, 2, {}, {}, 0, "(supported: 1-9999)"},
        {{"--print", "--json", "loose/first.ods"}, 0, {}, {"first.ods"}, 0, ""},
        // Taken, then aborted by its backend a second later: followed to that end.
        {{"--print", "--printer", "F", "--wait", "loose/first.ods"}, 1, {}, {}, 1, "CUPS aborted job "},
    };
    for (const auto& row : table) {
        SetUp();
        const auto result = program.run(row.arguments);
        const std::string what = row.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, row.status) << what << "\n" << result.err.toStdString();
        EXPECT_EQ(titlesOf(QStringLiteral("B")), row.onB) << what;
        EXPECT_EQ(titlesOf(QStringLiteral("A")), row.onA) << what;
        EXPECT_TRUE(titlesOf(QStringLiteral("R")).isEmpty()) << what;
        EXPECT_EQ(result.errLines().filter(QRegularExpression(QStringLiteral("^failed "))).size(),
                  row.failedLines)
            << what;
        EXPECT_TRUE(result.err.contains(QLatin1String(row.errHolds))) << what << "\n"
                                                                      << result.err.toStdString();
    }
}

TEST_F(BatchEndToEnd, ASignalEndsTheBatchAfterTheCurrentFileWithTotals)
{
    for (int signal : {SIGINT, SIGTERM}) {
        SetUp();
        int printedLines = 0;
        const auto result =
            program.run({QStringLiteral("--print"), QStringLiteral("--printer"), QStringLiteral("B"),
                         QStringLiteral("many")},
                        120000, [&](QProcess& process, const QString& line) {
                            if (line.startsWith(QLatin1String("sent ")) && ++printedLines == 2)
                                ::kill(pid_t(process.processId()), signal);
                        });

        EXPECT_EQ(result.status, 130) << signal << result.err.toStdString();
        const int printed = int(printedJobIds(result.outLines()).size());
        EXPECT_GE(printed, 2) << signal;
        EXPECT_LT(printed, 20) << signal;
        EXPECT_EQ(titlesOf(QStringLiteral("B")).size(), printed) << signal;
        EXPECT_TRUE(result.err.contains(
            QStringLiteral("stopped: 0 printed, %1 sent, 0 failed, %2 not started, of 20 on B")
                .arg(printed)
                .arg(20 - printed)))
            << result.err.toStdString();
        // Its office is gone, and no document with it.
        EXPECT_TRUE(batchOffices().isEmpty()) << signal;
    }
}

TEST_F(BatchEndToEnd, AnOfficeLeftByABatchKilledOutrightIsEndedByTheNextBatch)
{
    program.run(
        {QStringLiteral("--print"), QStringLiteral("--printer"), QStringLiteral("B"), QStringLiteral("many")},
        120000, [&](QProcess& process, const QString& line) {
            if (line.startsWith(QLatin1String("sent 2/20")))
                ::kill(pid_t(process.processId()), SIGKILL);
        });
    const QList<int> orphans = batchOffices();
    ASSERT_FALSE(orphans.isEmpty());
    // Frozen, it would hold up a batch that took it for someone else's office.
    for (int pid : orphans)
        ::kill(pid, SIGSTOP);
    SetUp();

    const auto result =
        program.run({QStringLiteral("--print"), QStringLiteral("--printer"), QStringLiteral("B"),
                     QStringLiteral("--timeout"), QStringLiteral("5"), QStringLiteral("docs")},
                    120000);

    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(titlesOf(QStringLiteral("B")).size(), 3);
    for (int pid : orphans) {
        if (running(pid)) {
            ::kill(pid, SIGKILL);
            ADD_FAILURE() << "the office " << pid << " left by the killed batch still runs";
        }
    }
    EXPECT_TRUE(batchOffices().isEmpty());
    // Nor PDFs of the killed batch.
    for (const char* work : {"/.cache/brindlework/batch-1", "/.cache/brindlework/batch-2"})
        EXPECT_EQ(QDir(QDir::homePath() + QLatin1String(work)).entryList(QDir::Files), QStringList()) << work;
    // Read-only loads leave no lock files behind in the user's folders.
    EXPECT_EQ(
        QDir(path(QStringLiteral("many"))).entryList({QStringLiteral(".~lock*")}, QDir::Hidden | QDir::Files),
        QStringList());
}

TEST_F(BatchEndToEnd, AnOfficeThatStopsAnsweringIsRestartedAndTheRestPrinted)
{
    QList<int> stoppedOffice;
    const auto result =
        program.run({QStringLiteral("--print"), QStringLiteral("--printer"), QStringLiteral("B"),
                     QStringLiteral("--timeout"), QStringLiteral("5"), QStringLiteral("many")},
                    180000, [&](QProcess&, const QString& line) {
                        if (stoppedOffice.isEmpty() && line.startsWith(QLatin1String("sent 3/20"))) {
                            // One of the two offices.
                            stoppedOffice = batchOffices(QStringLiteral("-1"));
                            for (int pid : stoppedOffice)
                                ::kill(pid, SIGSTOP);
                        }
                    });

    ASSERT_FALSE(stoppedOffice.isEmpty());
    // The file under way when the office froze fails; the next one goes to a new office.
    const int failed =
        int(result.errLines().filter(QRegularExpression(QStringLiteral("^failed \\d+/20 "))).size());
    EXPECT_LE(failed, 1) << result.err.toStdString();
    EXPECT_EQ(result.status, failed == 0 ? 0 : 1) << result.err.toStdString();
    EXPECT_EQ(printedJobIds(result.outLines()).size(), 20 - failed) << result.out.toStdString();
    EXPECT_EQ(titlesOf(QStringLiteral("B")).size(), 20 - failed);
    for (int pid : stoppedOffice) {
        if (running(pid)) {
            ::kill(pid, SIGKILL);
            ADD_FAILURE() << "the frozen office " << pid << " was left running";
        }
    }
    EXPECT_TRUE(batchOffices().isEmpty());
}

TEST_F(BatchEndToEnd, BadInputGetsAClearMessageAndItsStatus)
{
    enum Setting { Plain, CloseOutput, ReadOnlyCache };
    const struct {
        QStringList arguments;
        int status;
        int onB;
        const char* errHolds;
        const char* outHolds;
        Setting setting = Plain;
        // NAME=VALUE set for the run.
        const char* variable = nullptr;
    } table[] = {
        {{"--print", "--printer", "B", "locked.ods"}, 2, 0, "%1/locked.ods: Cannot be read", ""},
        {{"--dry-run", "loose", "nothere.ods"},
         2,
         0,
         "1 of 2 files cannot be printed",
         "%1/loose/first.ods\n%1/nothere.ods (cannot be printed: No such file or directory"},
        {{"--print", "--timeout", "86401", "loose"}, 2, 0, "from 1 to 86400", ""},
        {{"--print", "--printer", "b", "loose"}, 0, 1, "", "-> B (job "},
        {{"--print", "--printer", "B", "many"}, 141, -1, "stopped: ", "", CloseOutput},
        {{"docs"}, 2, 0, "needs a display", ""},
        // Set but stale: the same clear refusal, never an abort.
        {{"docs"}, 2, 0, "(DISPLAY=:987). Without a display, print with --print", "", Plain, "DISPLAY=:987"},
        {{"docs"}, 2, 0, "(WAYLAND_DISPLAY=wayland-77)", "", Plain, "WAYLAND_DISPLAY=wayland-77"},
        {{"docs"}, 2, 0, "(QT_QPA_PLATFORM=bogus)", "", Plain, "QT_QPA_PLATFORM=bogus"},
        {{"--print", "--printer", "B", "loose"}, 2, 0, "%1/read-only-cache is read-only", "", ReadOnlyCache},
        // A name whose bytes are not UTF-8 prints like any other.
        {{"--print", "--printer", "B", "odd"}, 0, 1, "", "%1/odd/bad\\xe9.ods -> B (job "},
    };
    for (const auto& row : table) {
        SetUp();
        ProgramRun run = program;
        run.closeOutput = row.setting == CloseOutput;
        if (row.setting == ReadOnlyCache)
            run.setVariable(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("read-only-cache")));
        if (row.variable) {
            const QString variable = QString::fromUtf8(row.variable);
            run.setVariable(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
        }
        const auto result = run.run(row.arguments);
        const std::string what = row.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, row.status) << what << "\n" << result.err.toStdString();
        const int onB = int(titlesOf(QStringLiteral("B")).size());
        // A closed output ends the batch after the file under way, not at once.
        if (row.onB < 0)
            EXPECT_TRUE(onB >= 1 && onB < 20) << what << " " << onB;
        else
            EXPECT_EQ(onB, row.onB) << what;
        const auto holds = [&](const QString& text, const char* part) {
            return text.contains(QString::fromUtf8(part).replace(QStringLiteral("%1"), root->path()));
        };
        EXPECT_TRUE(holds(result.err, row.errHolds)) << what << "\n" << result.err.toStdString();
        EXPECT_TRUE(holds(result.out, row.outHolds)) << what << "\n" << result.out.toStdString();
        EXPECT_TRUE(batchOffices().isEmpty()) << what;
    }
}

// Two machines on one shared folder (a host of its own each, run by root), one
// of them killed mid-file: its claims wait for its mark to age, then the other
// takes them over.
TEST_F(BatchEndToEnd, TwoWatchersOnTwoHostsPrintEachArrivingFileOnceThoughOneIsKilled)
{
    const QString inbox = path(QStringLiteral("inbox"));
    const auto inboxFiles = [&](const QString& sub, QDir::Filters kind = QDir::Files) {
        return QDir(inbox + QLatin1Char('/') + sub)
            .entryList(kind | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    };
    QDir().mkpath(inbox + QStringLiteral("/printed"));
    QFile::copy(path(QStringLiteral("docs/note.txt")), inbox + QStringLiteral("/printed/w01.ods"));
    QProcess watchers[2];
    for (int i = 0; i < 2; ++i) {
        ProgramRun host(path(QStringLiteral("home-%1").arg(i)), root->path());
        host.hostName = QStringLiteral("print-%1").arg(i);
        host.start(watchers[i], {QStringLiteral("--watch"), QStringLiteral("inbox"),
                                 QStringLiteral("--printer"), QStringLiteral("B")});
    }
    const auto waitUntil = [&](const std::function<bool()>& done) {
        QDeadlineTimer deadline(300000);
        while (!done() && !deadline.hasExpired())
            watchers[1].waitForFinished(100);
        return done();
    };
    ASSERT_TRUE(
        waitUntil([&] { return inboxFiles(QStringLiteral(".brindlework"), QDir::Dirs).size() == 2; }));
    QString claimsOfFirst;
    QByteArrayList markOfFirst;
    for (const QString& folder : inboxFiles(QStringLiteral(".brindlework"), QDir::Dirs)) {
        QFile mark(inbox + QStringLiteral("/.brindlework/") + folder + QStringLiteral("/.watcher"));
        const QByteArrayList lines =
            mark.open(QIODevice::ReadOnly) ? mark.readAll().split('\n') : QByteArrayList();
        if (lines.value(1).toLongLong() == watchers[0].processId())
            std::tie(claimsOfFirst, markOfFirst) =
                std::pair(inbox + QStringLiteral("/.brindlework/") + folder, lines);
    }
    ASSERT_FALSE(claimsOfFirst.isEmpty());
    if (programAccount()) {
        EXPECT_EQ(markOfFirst.value(0), "print-0");
    }

    QFile model(path(QStringLiteral("model.ods")));
    ASSERT_TRUE(model.open(QIODevice::ReadOnly));
    const QByteArray content = model.readAll();
    QStringList names;
    for (int i = 1; i <= 30; ++i) {
        names << QStringLiteral("w%1.ods").arg(i, 2, 10, QLatin1Char('0'));
        // Written in two goes, one with a pause: each waits until its size stays the same.
        QFile file(inbox + QLatin1Char('/') + names.last());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.left(content.size() / 2));
        file.flush();
        if (i == 15)
            QThread::msleep(300);
        file.write(content.mid(content.size() / 2));
    }
    QFile::copy(path(QStringLiteral("junk.ods")), inbox + QStringLiteral("/junk.ods"));
    QFile::copy(path(QStringLiteral("docs/note.txt")), inbox + QStringLiteral("/note.txt"));

    // Killed while it holds a claim (seen with the process frozen).
    const auto holdsClaim = [&] { return QDir(claimsOfFirst).entryList(QDir::Files).size() > 0; };
    bool killed = false;
    for (QDeadlineTimer deadline(120000); !killed && !deadline.hasExpired();) {
        ::kill(pid_t(watchers[0].processId()), SIGSTOP);
        killed = holdsClaim() && ::kill(pid_t(watchers[0].processId()), SIGKILL) == 0;
        if (!killed) {
            ::kill(pid_t(watchers[0].processId()), SIGCONT);
            QThread::msleep(20);
        }
    }
    ASSERT_TRUE(killed);
    watchers[0].waitForFinished(10000);
    // Its mark six minutes old: dead to a watcher of any host.
    QProcess::execute(QStringLiteral("touch"),
                      {QStringLiteral("-d"), QStringLiteral("6 minutes ago"), claimsOfFirst});

    EXPECT_TRUE(waitUntil([&] {
        return inboxFiles(QStringLiteral("printed")).size() == 31 &&
               inboxFiles(QStringLiteral("failed")).size() == 2;
    })) << inboxFiles(QStringLiteral("printed")).join(' ').toStdString();
    ::kill(pid_t(watchers[1].processId()), SIGTERM);
    EXPECT_TRUE(watchers[1].waitForFinished(180000) && watchers[1].exitStatus() == QProcess::NormalExit &&
                watchers[1].exitCode() == 0)
        << watchers[1].readAllStandardError().toStdString();
    // The killed watcher's office.
    QProcess::execute(QStringLiteral("pkill"),
                      {QStringLiteral("-KILL"), QStringLiteral("-f"), path("home-0")});

    // Each job titled with its claim's token and the file's name.
    QStringList titles;
    for (const QString& title : titlesOf(QStringLiteral("B")))
        titles << title.section(QLatin1Char('-'), 1);
    titles.sort();
    EXPECT_EQ(titles, names);
    EXPECT_EQ(inboxFiles(QString()), QStringList{"note.txt"});
    // The older printed/w01.ods is kept: the new one is filed beside it.
    EXPECT_EQ(inboxFiles(QStringLiteral("printed")), QStringList{"w01-1.ods"} + names);
    EXPECT_EQ(inboxFiles(QStringLiteral("failed")), (QStringList{"junk.ods", "junk.ods.txt"}));
    EXPECT_EQ(inboxFiles(QStringLiteral(".brindlework"), QDir::AllEntries), QStringList{"journal.jsonl"});
    QFile journal(inbox + QStringLiteral("/.brindlework/journal.jsonl"));
    EXPECT_TRUE(journal.open(QIODevice::ReadOnly) && journal.readAll().contains("\"take-over\""));
    EXPECT_TRUE(batchOffices(QString(), path(QStringLiteral("home-1"))).isEmpty());
}

// One watched folder through its life: an option the printer refuses, a
// dead watcher's claim already printed, a link and another user's file in a
// shared inbox, options on the job, a queue rejecting jobs and CUPS stopped
// for a while, and a converting folder.
TEST_F(BatchEndToEnd, AWatchedFolderServesUnattendedAndPrintsEachFileOnce)
{
    const QString inbox = path(QStringLiteral("served"));
    const auto in = [&](const QString& name) { return inbox + QLatin1Char('/') + name; };
    const auto put = [&](const QString& name, const QByteArray& content) {
        QFile file(in(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    // Moved in whole, as a user drops a file.
    const auto drop = [&](const QString& name, const char* from = "model.ods") {
        QFile::copy(path(QString::fromLatin1(from)), path(QLatin1Char('.') + name));
        // Dropped by the watcher's own user, as into a shared sticky inbox.
        handOver(path(QLatin1Char('.') + name), programAccount());
        ASSERT_TRUE(QFile::rename(path(QLatin1Char('.') + name), in(name)));
    };
    const auto submitted = [&] {
        QFile file(in(QStringLiteral(".brindlework/journal.jsonl")));
        QList<QJsonObject> found;
        for (const QByteArray& line :
             file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList())
            if (QJsonDocument::fromJson(line).object().value("step") == QLatin1String("submitted"))
                found << QJsonDocument::fromJson(line).object();
        return found;
    };
    QProcess watcher;
    QString told;
    const auto waitUntil = [&](const std::function<bool()>& done) {
        QDeadlineTimer deadline(180000);
        while (!done() && !deadline.hasExpired() && watcher.state() != QProcess::NotRunning) {
            watcher.waitForReadyRead(100);
            told += QString::fromUtf8(watcher.readAllStandardError());
        }
        return done();
    };
    const auto printed = [&](int count) {
        return waitUntil(
            [&] { return QDir(in(QStringLiteral("printed"))).entryList(QDir::Files).size() == count; });
    };
    const auto stop = [&] {
        ::kill(pid_t(watcher.processId()), SIGTERM);
        EXPECT_TRUE(watcher.waitForFinished(180000));
        told += QString::fromUtf8(watcher.readAllStandardError());
        return watcher.exitCode();
    };

    const auto refused = program.run({"--watch", "served", "--printer", "D", "--copies", "99999"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(QLatin1String("(supported: 1-9999)"))) << refused.err.toStdString();

    // A watcher of this host that died after its job was sent.
    const QString sent =
        cups->runTool(QStringLiteral("lp"), {"-d", "B", "-t", "tok1-sent.ods", path("model.ods")});
    QDir().mkpath(in(QStringLiteral(".brindlework/dead")));
    QFile::copy(path(QStringLiteral("model.ods")), in(QStringLiteral(".brindlework/dead/tok1-sent.ods")));
    ASSERT_TRUE(put(QStringLiteral(".brindlework/dead/.watcher"),
                    QSysInfo::machineHostName().toUtf8() + "\n4194000\ngone\n"));
    ASSERT_TRUE(
        put(QStringLiteral(".brindlework/journal.jsonl"),
            QStringLiteral("{\"claim\":\"tok1\",\"step\":\"submitted\",\"job\":%1,\"printer\":\"B\"}\n")
                .arg(sent.section(QLatin1Char('-'), 1).section(QLatin1Char(' '), 0, 0))
                .toUtf8()));
    // A shared inbox of another user's: a link to a file outside, and
    // another user's file, which the sticky bit keeps from being moved.
    ::chmod(QFile::encodeName(inbox).constData(), 01777);
    ASSERT_TRUE(QFile::link(path(QStringLiteral("model.ods")), in(QStringLiteral("link.ods"))));
    QFile::copy(path(QStringLiteral("model.ods")), in(QStringLiteral("foreign.ods")));
    for (const QString& owned : {inbox, in(QStringLiteral("foreign.ods"))})
        ASSERT_EQ(::chown(QFile::encodeName(owned).constData(), 65534, 65534), 0);

    ProgramRun user = program;
    user.start(watcher, {"--watch", "served", "--printer", "D", "--copies", "2"});
    EXPECT_TRUE(printed(1) && QFile::exists(in(QStringLiteral("printed/sent.ods")))) << told.toStdString();
    EXPECT_EQ(titlesOf(QStringLiteral("B")), QStringList{"tok1-sent.ods"});
    drop(QStringLiteral("wide.ods"), "wide.ods");
    ASSERT_TRUE(printed(2) && submitted().size() == 2) << told.toStdString();
    const QJsonObject wide = submitted().last();
    EXPECT_EQ(jobAttributes(wide.value("job").toInt()).value(QStringLiteral("copies")), QStringLiteral("2"));
    EXPECT_EQ(jobAttributes(wide.value("job").toInt()).value(QStringLiteral("job-name")),
              wide.value("claim").toString() + QStringLiteral("-wide.ods"));

    // Rejecting for a while: the files wait, and print once it takes jobs again.
    cups->runTool(QStringLiteral("cupsreject"), {QStringLiteral("D")});
    for (const char* name : {"r1.ods", "r2.ods", "r3.ods"})
        drop(QString::fromLatin1(name));
    EXPECT_TRUE(waitUntil([&] { return told.contains(QLatin1String("waiting, files stay in the folder")); }));
    cups->runTool(QStringLiteral("cupsaccept"), {QStringLiteral("D")});
    EXPECT_TRUE(printed(5)) << told.toStdString();
    // CUPS stopped for a while, as by an upgrade: the same.
    cups->stop();
    drop(QStringLiteral("s1.ods"));
    EXPECT_TRUE(waitUntil([&] { return told.contains(QLatin1String("CUPS cannot be reached")); }))
        << told.toStdString();
    cups->start();
    EXPECT_TRUE(printed(6)) << told.toStdString();
    // Tried once it has settled, as it came with no news.
    const QString foreign = QStringLiteral("cannot take ") + in(QStringLiteral("foreign.ods"));
    EXPECT_TRUE(waitUntil([&] { return told.contains(foreign); })) << told.toStdString();
    EXPECT_EQ(stop(), 0) << told.toStdString();
    EXPECT_EQ(submitted().size(), 6);
    EXPECT_TRUE(QDir(in(QStringLiteral("failed"))).isEmpty());
    EXPECT_EQ(told.count(QLatin1String("link.ods is a link")), 1) << told.toStdString();
    EXPECT_EQ(told.count(foreign), 1);
    EXPECT_EQ(QDir(inbox).entryList(QDir::Files | QDir::System), (QStringList{"foreign.ods", "link.ods"}));

    program.start(watcher, {"--watch", "served", "--pdf-to", "served-pdf"});
    drop(QStringLiteral("first.ods"));
    EXPECT_TRUE(printed(7)) << told.toStdString();
    EXPECT_EQ(stop(), 0);
    EXPECT_EQ(QDir(path(QStringLiteral("served-pdf"))).entryList(QDir::Files), QStringList{"first.pdf"});
    EXPECT_TRUE(batchOffices().isEmpty());
}

TEST_F(BatchEndToEnd, PrintOptionsReachTheCupsJob)
{
    const struct {
        QStringList options;
        QStringList attributes;
        bool fewerPages; // than without --fit-to-width
    } table[] = {
        {{}, {"job-name=wide.ods copies=1 number-up=1"}, false},
        {{"--copies", "3", "--sides", "two-sided-long-edge", "--media", "A5", "--pages", "1-2,4",
          "--orientation", "landscape", "-o", "number-up=2", "--fit-to-width"},
         {"copies=3 sides=two-sided-long-edge media=A5 page-ranges=1-2,4-4 orientation-requested=landscape "
          "number-up=2"},
         true},
    };
    int plainPages = 0;
    for (const auto& row : table) {
        SetUp();
        const auto result =
            program.run(QStringList{"--print", "--printer", "D"} + row.options + QStringList{"wide.ods"});
        const std::string what = row.options.join(' ').toStdString();
        ASSERT_EQ(result.status, 0) << what << result.err.toStdString();
        const QList<int> ids = printedJobIds(result.outLines());
        ASSERT_EQ(ids.size(), 1) << what;
        const auto attributes = jobAttributes(ids[0]);
        for (const QString& wanted : row.attributes.join(QLatin1Char(' ')).split(QLatin1Char(' ')))
            EXPECT_EQ(attributes.value(wanted.section('=', 0, 0), QStringLiteral("1")),
                      wanted.section('=', 1))
                << what;
        const auto [pages, text] =
            pdf(QStringLiteral("%1/spool/d%2-001").arg(cups->folder()).arg(ids[0], 5, 10, QLatin1Char('0')));
        EXPECT_TRUE(text.contains(QLatin1String("wide cell"))) << what;
        plainPages = row.options.isEmpty() ? pages : plainPages;
        EXPECT_EQ(pages > 0 && pages < plainPages, row.fewerPages) << what << pages << " " << plainPages;
    }
}

TEST_F(BatchEndToEnd, TwoOfficesKeepTheListOrderAndAQueueThatStopsTakingJobsFailsTheRestWithCupsReason)
{
    QStringList inOrder;
    for (const QString& line : program.run({"--dry-run", "many"}).outLines())
        inOrder << line.section(QLatin1Char('/'), -1);
    const auto result = program.run(
        {"--print", "--printer", "S", "--jobs", "2", "many"}, 120000, [&](QProcess&, const QString& line) {
            if (line.startsWith(QLatin1String("sent 3/20")))
                cups->runTool(QStringLiteral("cupsreject"), {QStringLiteral("S")});
        });

    EXPECT_EQ(result.status, 1);
    const int printed = int(printedJobIds(result.outLines()).size());
    const QStringList failed = result.errLines().filter(QRegularExpression(QStringLiteral("^failed ")));
    EXPECT_GE(printed, 3);
    EXPECT_EQ(printed + failed.size(), 20);
    EXPECT_EQ(titlesOf(QStringLiteral("S")), inOrder.mid(0, printed));
    for (const QString& line : failed)
        EXPECT_TRUE(
            line.endsWith(QLatin1String("Not printed on \"S\": Destination \"S\" is not accepting jobs.")))
            << line.toStdString();
}

TEST_F(BatchEndToEnd, PdfToWritesEachFileAsARenderedPdfUnderANameOfItsOwn)
{
    QTemporaryDir out;
    handOver(out.path(), programAccount());
    const auto result = program.run(
        {"--print", "--pdf-to", out.path(), "--fit-to-width", "loose/first.ods", "docs", "loose/first.ods"});

    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    const QStringList written{"first.pdf", "top.pdf", "mid.pdf", "deep.pdf", "first (2).pdf"};
    for (const QString& name : written) {
        const auto [pages, text] = pdf(out.filePath(name));
        EXPECT_EQ(pages, 1) << name.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String("sheet"))) << name.toStdString();
    }
    EXPECT_TRUE(titlesOf(QStringLiteral("A")).isEmpty());
}

} // namespace
} // namespace bw::test
