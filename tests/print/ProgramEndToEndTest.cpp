#include "../cli/ProgramRun.h"
#include "SpreadsheetMaker.h"
#include "intake/LocalName.h"
#include "printers/DefaultPrinterKeeper.h"
#include "support/PrivateCupsDaemon.h"
#include "support/QStringPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <cstdio>
#include <cups/cups.h>
#include <functional>
#include <gtest/gtest.h>

// The real program as a user runs it: ended by signals in the middle of a
// print run, two at once, against a real LibreOffice and a private CUPS
// daemon (queues A and B disabled, so jobs stay to be counted); the user has
// no default printer of their own, and the server has none either.
namespace bw::test {
namespace {

const QString First = QStringLiteral("first.ods");
const QString Second = QStringLiteral("second.ods");
const QString WithTab = QStringLiteral("tab\there.ods");
// Named in Latin-1, as old archives are: bytes that are not UTF-8.
const QString InLatin1 = decodeLocalName("caf\xe9 100%.ods");
const QString NoDefault = QStringLiteral("no system default destination");

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.hasExpired(timeoutMs))
            return false;
        QThread::msleep(50);
    }
    return true;
}

class ProgramSignals : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        root = PrivateCupsDaemon::newSharedFolder();
        cups = new PrivateCupsDaemon;
        cups->addQueue(QStringLiteral("A"), true);
        cups->addQueue(QStringLiteral("B"), true);
        cups->addQueue(QStringLiteral("C"), true);
        QDir().mkpath(path(QStringLiteral("docs")));
        SpreadsheetMaker maker(path(QStringLiteral("maker-profile")),
                               QStringLiteral("bw_sig_maker_%1").arg(QCoreApplication::applicationPid()));
        maker.make(path(QStringLiteral("docs/") + First), QStringLiteral("first"));
        maker.make(path(QStringLiteral("docs/") + Second), QStringLiteral("second"));
        QFile::copy(path(QStringLiteral("docs/") + First), path(QStringLiteral("docs/") + WithTab));
        QFile::copy(path(QStringLiteral("docs/") + First), path(QStringLiteral("docs/latin1.ods")));
        ::rename(QFile::encodeName(path(QStringLiteral("docs/latin1.ods"))).constData(),
                 encodeLocalName(path(QStringLiteral("docs/") + InLatin1)).constData());
    }
    static void TearDownTestSuite()
    {
        delete cups;
        delete root;
    }
    static QString path(const QString& relative) { return root->path() + QLatin1Char('/') + relative; }

    void SetUp() override
    {
        QFile::remove(lpoptionsPath());
        QDir(stateFolder()).removeRecursively();
        for (int instance : {0, 1})
            QFile::remove(logPath(instance));
        cups->cancelAllJobs(QStringLiteral("A"));
        cups->cancelAllJobs(QStringLiteral("B"));
        ASSERT_EQ(lpstatDefault(), NoDefault);
    }
    void TearDown() override
    {
        // An office left by a killed program: ours, found by its own pipe name.
        for (const qint64 id : officeProcesses())
            ::kill(static_cast<pid_t>(id), SIGKILL);
    }

    static QString lpoptionsPath()
    {
        return qEnvironmentVariable("HOME") + QStringLiteral("/.cups/lpoptions");
    }
    static QString stateFolder()
    {
        return qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/brindlework");
    }
    // Each program at once has its own log, office pipe and profile.
    // The run's record of the user's default, apart from the record of its office.
    static QStringList snapshots()
    {
        return QDir(stateFolder()).entryList({QStringLiteral("default-printer-*")}, QDir::Files);
    }
    static QString logPath(int instance = 0) { return path(QStringLiteral("driver%1.log").arg(instance)); }
    QString pipeName(int instance = 0) const
    {
        return QStringLiteral("bw_sig_%1_%2_%3")
            .arg(QCoreApplication::applicationPid())
            .arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()))
            .arg(instance)
            .replace(QLatin1Char('/'), QLatin1Char('_'));
    }
    QString lpstatDefault() const
    {
        return cups->runTool(QStringLiteral("lpstat"), {QStringLiteral("-d")}).trimmed();
    }
    static QStringList logLines(int instance = 0)
    {
        QFile file(logPath(instance));
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                   : QStringList();
    }

    std::unique_ptr<QProcess> start(const QStringList& files, const QString& printer = QStringLiteral("B"),
                                    int instance = 0)
    {
        auto program = std::make_unique<QProcess>();
        ProgramRun run(qEnvironmentVariable("HOME"), root->path());
        run.setExecutable(QStringLiteral(BRINDLE_PROGRAM_DRIVER));
        run.setVariable(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        run.setVariable(QStringLiteral("BRINDLE_DRIVER_LOG"), logPath(instance));
        run.setVariable(QStringLiteral("BRINDLE_DRIVER_PIPE"), pipeName(instance));
        run.setVariable(QStringLiteral("BRINDLE_DRIVER_PRINTER"), printer);
        run.setVariable(QStringLiteral("BRINDLE_DRIVER_PROFILE"),
                        QUrl::fromLocalFile(path(QStringLiteral("profile%1").arg(instance))).toString());
        program->setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList arguments;
        for (const QString& file : files)
            arguments << path(QStringLiteral("docs/") + file);
        run.start(*program, arguments);
        EXPECT_TRUE(program->waitForStarted());
        return program;
    }

    // Signalled once the first file's job is on the queue: the run is in its five-second wait.
    void signalDuringTheFirstWait(QProcess& program, int signalNumber)
    {
        ASSERT_TRUE(waitUntil([] { return cups->pendingJobTitles(QStringLiteral("B")).size() == 1; }, 90000));
        ASSERT_EQ(lpstatDefault(), QStringLiteral("system default destination: B"));
        ASSERT_EQ(snapshots().size(), 1);
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        ASSERT_TRUE(program.waitForFinished(60000));
    }

    // Waits for the run's "Done.", then ends the program as closing its window would.
    static void finishRun(QProcess& program, int instance = 0, int timeoutMs = 120000)
    {
        EXPECT_TRUE(waitUntil(
            [instance] { return logLines(instance).contains(QStringLiteral("box: Done.")); }, timeoutMs));
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        EXPECT_TRUE(program.waitForFinished(60000));
    }
    // As the user: the choice is theirs, in their own lpoptions.
    static void setUserDefault(const QString& printer)
    {
        handOver(qEnvironmentVariable("HOME"), programAccount());
        cups->runTool(QStringLiteral("lpoptions"), {QStringLiteral("-d"), printer}, programAccount());
    }

    QList<qint64> officeProcesses() const
    {
        QList<qint64> found;
        const QByteArray pipe = pipeName().left(pipeName().size() - 1).toUtf8();
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool number = false;
            const qint64 id = entry.toLongLong(&number);
            QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
            if (number && commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(pipe))
                found << id;
        }
        return found;
    }

    static inline QTemporaryDir* root = nullptr;
    static inline PrivateCupsDaemon* cups = nullptr;
};

TEST_F(ProgramSignals, SigtermMidRunStopsItPutsTheDefaultBackEndsTheOfficeAndTheProgram)
{
    auto program = start({First, Second});
    signalDuringTheFirstWait(*program, SIGTERM);

    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 128 + SIGTERM);
    EXPECT_EQ(cups->pendingJobTitles(QStringLiteral("B")), QStringList({First})); // stopped after that step
    EXPECT_FALSE(QFile::exists(lpoptionsPath()));
    EXPECT_EQ(lpstatDefault(), NoDefault);
    EXPECT_TRUE(QDir(stateFolder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(waitUntil([this] { return officeProcesses().isEmpty(); }, 15000));
    // With no default at all, GetDefaultPrinter reports that itself; then no
    // report of a step and no "Done.".
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("shown"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("box: Error No: "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("modPrinters.GetDefaultPrinter")));
}

// Every call to CUPS is bounded: a frozen scheduler cannot hold up the end.
TEST_F(ProgramSignals, SigtermEndsARunWhileCupsIsFrozen)
{
    auto program = start({First, Second});
    ASSERT_TRUE(waitUntil([] { return cups->pendingJobTitles(QStringLiteral("B")).size() == 1; }, 90000));
    QFile pidFile(cups->folder() + QStringLiteral("/cupsd.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t cupsd = pid_t(pidFile.readAll().trimmed().toInt());
    ASSERT_EQ(::kill(cupsd, SIGSTOP), 0);
    QElapsedTimer took;
    took.start();
    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    const bool ended = program->waitForFinished(30000);
    const qint64 milliseconds = took.elapsed();
    ::kill(cupsd, SIGCONT);
    ASSERT_TRUE(ended);
    std::printf("ended %lld ms after SIGTERM, CUPS frozen\n", static_cast<long long>(milliseconds));
    EXPECT_EQ(program->exitCode(), 128 + SIGTERM);
    // The default is the user's file, put back with CUPS away.
    EXPECT_FALSE(QFile::exists(lpoptionsPath()));
    EXPECT_EQ(lpstatDefault(), NoDefault);
}

TEST_F(ProgramSignals, AfterSigkillMidRunTheNextStartPutsTheDefaultBackAndSaysSo)
{
    auto killed = start({First, Second});
    signalDuringTheFirstWait(*killed, SIGKILL);
    EXPECT_EQ(killed->exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: B"));

    QFile::remove(logPath());
    auto next = start({});
    ASSERT_TRUE(waitUntil([] { return logLines().contains(QStringLiteral("shown")); }, 30000));
    EXPECT_FALSE(QFile::exists(lpoptionsPath()));
    EXPECT_EQ(lpstatDefault(), NoDefault);
    EXPECT_TRUE(snapshots().isEmpty());
    // Outside a run a signal ends the program as closing the window does.
    ::kill(static_cast<pid_t>(next->processId()), SIGTERM);
    ASSERT_TRUE(next->waitForFinished(30000));
    EXPECT_EQ(next->exitCode(), 128 + SIGTERM);
    EXPECT_EQ(logLines(),
              QStringList({QStringLiteral(
                               "box: Brindlework ended during a print run before it could put your default "
                               "printer back. It has been put back now: you have no default printer of "
                               "your own again, so the printing system's default applies."),
                           QStringLiteral("shown")}));
}

// The record of the default stays small whatever the size of the user's options.
TEST_F(ProgramSignals, AKilledRunIsUndoneWithAlmostAMegabyteOfUserOptions)
{
    QByteArray options = "Default A\n";
    for (int i = 0; options.size() < 1000000 - 420; ++i)
        options += "Dest C/i" + QByteArray::number(i) + " comment=" + QByteArray(400, 'x') + '\n';
    QDir().mkpath(QFileInfo(lpoptionsPath()).path());
    QFile own(lpoptionsPath());
    ASSERT_TRUE(own.open(QIODevice::WriteOnly) && own.write(options) == options.size());
    own.close();

    auto killed = start({First, Second});
    signalDuringTheFirstWait(*killed, SIGKILL);
    QFile::remove(logPath());
    auto next = start({});
    ASSERT_TRUE(waitUntil([] { return logLines().contains(QStringLiteral("shown")); }, 30000));
    ::kill(static_cast<pid_t>(next->processId()), SIGTERM);
    ASSERT_TRUE(next->waitForFinished(30000));
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_TRUE(own.readAll() == options);
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: A"));
    EXPECT_TRUE(snapshots().isEmpty());
}

TEST_F(ProgramSignals, TwoWindowsPrintingAtOnceEachPrintOnTheirQueueAndTheDefaultComesBack)
{
    QDir().mkpath(QFileInfo(lpoptionsPath()).path());
    QFile own(lpoptionsPath());
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("# mine\nDest A sides=two-sided-long-edge\nDefault B\n");
    own.close();

    auto one = start({First, Second}, QStringLiteral("A"), 0);
    auto two = start({Second, WithTab}, QStringLiteral("B"), 1);
    finishRun(*one, 0);
    finishRun(*two, 1);

    EXPECT_EQ(cups->pendingJobTitles(QStringLiteral("A")), QStringList({First, Second}));
    EXPECT_EQ(cups->pendingJobTitles(QStringLiteral("B")), QStringList({Second, QStringLiteral("Untitled")}));
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_EQ(own.readAll(), QByteArray("# mine\nDest A sides=two-sided-long-edge\nDefault B\n"));
    for (int instance : {0, 1})
        EXPECT_EQ(logLines(instance), QStringList({QStringLiteral("shown"), QStringLiteral("box: Done.")}));
}

TEST_F(ProgramSignals, TheUsersOwnChoiceMadeDuringARunStands)
{
    setUserDefault(QStringLiteral("B"));
    auto program = start({First, Second}, QStringLiteral("A"));
    ASSERT_EQ(cups->waitForJobTitles(QStringLiteral("A"), 1, 90000).size(), 1);
    setUserDefault(QStringLiteral("C"));
    finishRun(*program);
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: C"));
    EXPECT_TRUE(snapshots().isEmpty());
}

TEST_F(ProgramSignals, ALeftoverOfAKilledRunLeavesTheDefaultTheUserChoseSince)
{
    auto killed = start({First, Second});
    signalDuringTheFirstWait(*killed, SIGKILL);
    setUserDefault(QStringLiteral("A"));

    QFile::remove(logPath());
    auto next = start({});
    ASSERT_TRUE(waitUntil([] { return logLines().contains(QStringLiteral("shown")); }, 30000));
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: A"));
    EXPECT_TRUE(snapshots().isEmpty());
    ::kill(static_cast<pid_t>(next->processId()), SIGTERM);
    ASSERT_TRUE(next->waitForFinished(30000));
    // The office the killed program started was ended like one of its own.
    EXPECT_TRUE(waitUntil([this] { return officeProcesses().isEmpty(); }, 15000));
}

// A print whose job the printing system names, keeps or ends otherwise than
// the window expects, on a daemon of the case's own.
struct JobCase {
    const char* name;
    QString file;
    bool keepJobHistory;
    int history;   // jobs the daemon has printed before
    QString queue; // "Held" keeps its jobs, "Open" prints them at once
    bool cancelOnArrival;
    QString report; // what the one report says; "" for none
    // "Quota" refuses the user's job; meanwhile another user sends one of the same title.
    bool twinOfAnotherUser = false;
};

class ProgramJobs : public ProgramSignals, public ::testing::WithParamInterface<JobCase> {};

TEST_P(ProgramJobs, EachPrintIsConfirmedByItsOwnJob)
{
    const JobCase& row = GetParam();
    // Root sees every job's title: only an ordinary user shows what a user sees.
    if (row.twinOfAnotherUser && !otherAccount())
        GTEST_SKIP() << "needs a second ordinary account: run the tests as root";
    PrivateCupsDaemon own(row.keepJobHistory);
    own.addQueue(QStringLiteral("Held"), true);
    own.addQueue(QStringLiteral("Open"));
    own.setServerDefault(QStringLiteral("Open"));
    for (int i = 0; i < row.history; ++i)
        cupsPrintFile("Open", "/etc/hostname", QStringLiteral("old %1.ods").arg(i).toUtf8().constData(), 0,
                      nullptr);
    if (row.twinOfAnotherUser) {
        // One job a day for each user, and the user has had theirs.
        own.addQueue(QStringLiteral("Quota"), true);
        own.runTool(QStringLiteral("lpadmin"),
                    {"-p", "Quota", "-o", "job-quota-period=86400", "-o", "job-k-limit=1"});
        own.runTool(QStringLiteral("lp"), {"-d", "Quota", "-t", "earlier", "/etc/hostname"},
                    programAccount());
    }

    auto program = start({row.file}, row.queue);
    if (row.cancelOnArrival) {
        ASSERT_EQ(own.waitForJobTitles(row.queue, 1, 90000).size(), 1);
        own.cancelAllJobs(row.queue);
    }
    if (row.twinOfAnotherUser) {
        // Once CUPS has refused the user's job, while the window waits for it.
        const auto refused = [&own] {
            QFile log(own.folder() + QStringLiteral("/log/access_log"));
            return log.open(QIODevice::ReadOnly) && log.readAll().contains("client-error-not-possible");
        };
        ASSERT_TRUE(waitUntil(refused, 90000));
        own.runTool(QStringLiteral("lp"), {"-d", "Quota", "-t", row.file, "/etc/hostname"}, otherAccount());
    }
    // With no job of its own the window waits 120 s more before it reports the file.
    finishRun(*program, 0, row.twinOfAnotherUser ? 200000 : 120000);
    QStringList expected{QStringLiteral("shown")};
    const QStringList lines = logLines();
    if (!row.report.isEmpty()) {
        ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(lines[1].contains(row.report)) << lines[1].toStdString();
        expected << lines[1];
    }
    expected << QStringLiteral("box: Done.");
    EXPECT_EQ(lines, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramJobs,
    ::testing::Values(
        JobCase{"FileNamedWithATab", WithTab, true, 0, QStringLiteral("Held"), false, {}},
        JobCase{"FileNamedInLatin1", InLatin1, true, 0, QStringLiteral("Held"), false, {}},
        JobCase{"NoJobHistoryOnAnOpenQueue", First, false, 0, QStringLiteral("Open"), false, {}},
        JobCase{"LongJobHistoryOnAnOpenQueue", First, true, 500, QStringLiteral("Open"), false, {}},
        JobCase{"CanceledOnTheQueue", First, true, 0, QStringLiteral("Held"), true,
                QStringLiteral(
                    "Printer \"Held\" did not print \"first.ods\": the printing system canceled its job")},
        JobCase{"RefusedWhileAnotherUsersJobHasItsTitle", First, true, 0, QStringLiteral("Quota"), false,
                QStringLiteral("Nothing reached printer \"Quota\" for \"first.ods\""), true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace bw::test
