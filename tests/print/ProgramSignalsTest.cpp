#include "SpreadsheetMaker.h"
#include "printers/DefaultPrinterKeeper.h"
#include "support/PrivateCupsDaemon.h"
#include "support/QStringPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

// The real program ended by signals in the middle of a print run, against a
// real LibreOffice and a private CUPS daemon (queue B disabled, so jobs stay
// to be counted); the user has no default printer of their own, and the
// server has none either.
namespace bw::test {
namespace {

const QString First = QStringLiteral("first.ods");
const QString Second = QStringLiteral("second.ods");
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
        QDir().mkpath(path(QStringLiteral("docs")));
        SpreadsheetMaker maker(path(QStringLiteral("maker-profile")),
                               QStringLiteral("bw_sig_maker_%1").arg(QCoreApplication::applicationPid()));
        maker.make(path(QStringLiteral("docs/") + First), QStringLiteral("first"));
        maker.make(path(QStringLiteral("docs/") + Second), QStringLiteral("second"));
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
        QFile::remove(logPath());
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
    static QString logPath() { return path(QStringLiteral("driver.log")); }
    QString pipeName() const
    {
        return QStringLiteral("bw_sig_%1_%2")
            .arg(QCoreApplication::applicationPid())
            .arg(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    QString lpstatDefault() const
    {
        return cups->runTool(QStringLiteral("lpstat"), {QStringLiteral("-d")}).trimmed();
    }
    static QStringList logLines()
    {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                   : QStringList();
    }

    std::unique_ptr<QProcess> start(const QStringList& files)
    {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("BRINDLE_DRIVER_LOG"), logPath());
        environment.insert(QStringLiteral("BRINDLE_DRIVER_PIPE"), pipeName());
        environment.insert(QStringLiteral("BRINDLE_DRIVER_PRINTER"), QStringLiteral("B"));
        environment.insert(QStringLiteral("BRINDLE_DRIVER_PROFILE"),
                           QUrl::fromLocalFile(path(QStringLiteral("profile"))).toString());
        program->setProcessEnvironment(environment);
        program->setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList arguments;
        for (const QString& file : files)
            arguments << path(QStringLiteral("docs/") + file);
        program->start(QStringLiteral(BRINDLE_PROGRAM_DRIVER), arguments);
        EXPECT_TRUE(program->waitForStarted());
        return program;
    }

    // Signalled once the first file's job is on the queue: the run is in its five-second wait.
    void signalDuringTheFirstWait(QProcess& program, int signalNumber)
    {
        ASSERT_TRUE(waitUntil([] { return cups->pendingJobTitles(QStringLiteral("B")).size() == 1; }, 90000));
        ASSERT_EQ(lpstatDefault(), QStringLiteral("system default destination: B"));
        ASSERT_EQ(QDir(stateFolder()).entryList(QDir::Files).size(), 1);
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        ASSERT_TRUE(program.waitForFinished(60000));
    }

    QList<qint64> officeProcesses() const
    {
        QList<qint64> found;
        const QByteArray pipe = pipeName().toUtf8();
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
    EXPECT_TRUE(QDir(stateFolder()).entryList(QDir::Files).isEmpty());
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

} // namespace
} // namespace bw::test
