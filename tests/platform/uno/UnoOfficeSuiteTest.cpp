#include "platform/uno/UnoOfficeSuite.h"

#include "../../print/SpreadsheetMaker.h"
#include "../../print/UserOffice.h"
#include "platform/PlatformError.h"
#include "platform/uno/CallWatchdog.h"
#include "platform/uno/OfficeLauncher.h"
#include "print/DocumentUrl.h"
#include "support/QStringPrinter.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

// The office adapter against a real LibreOffice with a private profile and
// pipe. Nothing here prints: the office sees no printing system.
namespace bw::test {
namespace {

using namespace std::chrono_literals;

class UnoOfficeSuiteTest : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        home = new TempHome;
        qputenv("CUPS_SERVER", QFile::encodeName(home->path() + QStringLiteral("/no-cups.sock")));
        folder = new QTemporaryDir;
        QDir().mkpath(documents());
        SpreadsheetMaker maker(folder->path() + QStringLiteral("/maker-profile"),
                               QStringLiteral("bw_adapter_maker_%1").arg(QCoreApplication::applicationPid()));
        maker.make(documents() + QStringLiteral("/ünï #1 100%?.ods"), QStringLiteral("first"));
        maker.make(documents() + QStringLiteral("/plain.ods"), QStringLiteral("second"));
        QFile text(documents() + QStringLiteral("/notes.txt"));
        text.open(QIODevice::WriteOnly);
        // Plain text opens in the office's text module: this one names no format.
        text.write("PK\3\4just text\n");
        maker.make(documents() + QStringLiteral("/protected.ods"), QStringLiteral("secret"), QString(),
                   QStringLiteral("secret"));
        // In use by another user on another machine: its lock file says so.
        QFile::copy(documents() + QStringLiteral("/plain.ods"), documents() + QStringLiteral("/in use.ods"));
        QFile lock(documents() + QStringLiteral("/.~lock.in use.ods#"));
        lock.open(QIODevice::WriteOnly);
        lock.write("Ann Other,ann,elsewhere,07.12.2026 09:00,file:///home/ann/.config/libreoffice/4;");
    }
    static void TearDownTestSuite()
    {
        delete folder;
        delete home;
    }

    static QString documents() { return folder->path() + QStringLiteral("/docs"); }
    static QString pipeName()
    {
        return QStringLiteral("bw_adapter_%1").arg(QCoreApplication::applicationPid());
    }
    // A folder holding a shell script named soffice, standing in for the office program.
    static QString standInOffice(const QString& name, const char* script)
    {
        const QString programFolder = folder->path() + QLatin1Char('/') + name;
        QDir().mkpath(programFolder);
        QFile program(programFolder + QStringLiteral("/soffice"));
        if (!program.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the stand-in office");
        program.write(QByteArray("#!/bin/sh\n") + script);
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return programFolder;
    }

    static UnoOfficeSuite::Options options()
    {
        UnoOfficeSuite::Options options = UnoOfficeSuite::programOptions();
        options.pipeName = pipeName();
        options.profileUrl = QUrl::fromLocalFile(folder->path() + QStringLiteral("/profile")).toString();
        options.startTimeout = 60s;
        return options;
    }
    // Options that can reach a running office but never start one.
    static UnoOfficeSuite::Options reachOnly()
    {
        UnoOfficeSuite::Options only = options();
        only.programFolder = folder->path() + QStringLiteral("/no-office");
        only.restartPause = 0ms;
        return only;
    }
    static bool officeAnswers() { return UserOffice::answers(pipeName()); }

    void TearDown() override
    {
        if (suite)
            suite->endSelfStartedOffice();
    }

    OfficeReference desktopOf(UnoOfficeSuite& office)
    {
        return office.createInstance(office.createServiceManager(),
                                     QStringLiteral("com.sun.star.frame.Desktop"));
    }

    static inline TempHome* home = nullptr;
    static inline QTemporaryDir* folder = nullptr;
    std::unique_ptr<UnoOfficeSuite> suite = std::make_unique<UnoOfficeSuite>(options());
};

// The office's own process: the one whose command line holds this test's pipe.
QList<pid_t> officeProcesses()
{
    const QByteArray pipe = (QStringLiteral("name=") + UnoOfficeSuiteTest::pipeName() + ';').toUtf8();
    QList<pid_t> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const pid_t pid = static_cast<pid_t>(entry.toLongLong(&isNumber));
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!isNumber || !commandLine.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = commandLine.readAll();
        if (text.contains("soffice.bin") && text.contains(pipe))
            found << pid;
    }
    return found;
}

TEST_F(UnoOfficeSuiteTest, StartsTheOfficeAndRunsEveryOperation)
{
    const OfficeReference manager = suite->createServiceManager();
    ASSERT_FALSE(manager.isEmpty());
    EXPECT_FALSE(officeProcesses().isEmpty());
    const OfficeReference desktop =
        suite->createInstance(manager, QStringLiteral("com.sun.star.frame.Desktop"));
    const OfficeReference dispatcher =
        suite->createInstance(manager, QStringLiteral("com.sun.star.frame.DispatchHelper"));
    ASSERT_FALSE(desktop.isEmpty());
    ASSERT_FALSE(dispatcher.isEmpty());

    const OfficeReference document =
        suite->loadComponentFromURL(desktop, documentUrl(documents() + QStringLiteral("/ünï #1 100%?.ods")),
                                    QStringLiteral("_blank"), 0, {});
    ASSERT_FALSE(document.isEmpty());
    const OfficeReference frame = suite->getFrame(suite->getCurrentController(document));
    ASSERT_FALSE(frame.isEmpty());

    OfficeReference copies = suite->blankPropertyRecord(manager);
    copies.objectAs<PropertyRecord>().setName(QStringLiteral("Copies"));
    copies.objectAs<PropertyRecord>().setValue(qint16(1));
    // With no printing system the office prints nowhere, without complaint.
    EXPECT_NO_THROW(
        suite->executeDispatch(dispatcher, frame, QStringLiteral(".uno:Print"), QString(), 0, {copies}));
    EXPECT_NO_THROW(suite->close(document, true));
}

TEST_F(UnoOfficeSuiteTest, GivesEmptyReferencesWhereTheOfficeGivesNone)
{
    const OfficeReference manager = suite->createServiceManager();
    EXPECT_TRUE(suite->createInstance(manager, QStringLiteral("com.example.NoSuchService")).isEmpty());
    const OfficeReference desktop =
        suite->createInstance(manager, QStringLiteral("com.sun.star.frame.Desktop"));
    EXPECT_TRUE(suite
                    ->loadComponentFromURL(desktop, documentUrl(documents() + QStringLiteral("/notes.txt")),
                                           QStringLiteral("_blank"), 0, {})
                    .isEmpty());
}

TEST_F(UnoOfficeSuiteTest, MissingFileFailsWithTheOfficesDescription)
{
    const OfficeReference desktop = desktopOf(*suite);
    try {
        suite->loadComponentFromURL(desktop, documentUrl(documents() + QStringLiteral("/missing.ods")),
                                    QStringLiteral("_blank"), 0, {});
        FAIL() << "a missing file loaded";
    } catch (const PlatformError& error) {
        EXPECT_TRUE(error.description().contains(QStringLiteral("missing.ods"))) << error.what();
    }
}

struct EmptyUse {
    const char* name;
    std::function<void(UnoOfficeSuite&, const OfficeReference& manager)> use;
};

TEST_F(UnoOfficeSuiteTest, AMemberOfAnEmptyReferenceFailsWithObjectVariableNotSet)
{
    const OfficeReference manager = suite->createServiceManager();
    const EmptyUse uses[] = {
        EmptyUse{"CreateInstance",
                 [](UnoOfficeSuite& o, const OfficeReference&) { o.createInstance({}, "x"); }},
        EmptyUse{"BlankRecord", [](UnoOfficeSuite& o, const OfficeReference&) { o.blankPropertyRecord({}); }},
        EmptyUse{"Load",
                 [](UnoOfficeSuite& o, const OfficeReference&) {
                     o.loadComponentFromURL({}, "file:///x", "_blank", 0, {});
                 }},
        EmptyUse{"Controller", [](UnoOfficeSuite& o, const OfficeReference&) { o.getCurrentController({}); }},
        EmptyUse{"Frame", [](UnoOfficeSuite& o, const OfficeReference&) { o.getFrame({}); }},
        EmptyUse{"Dispatch",
                 [](UnoOfficeSuite& o, const OfficeReference&) {
                     o.executeDispatch({}, {}, ".uno:Print", "", 0, {});
                 }},
        EmptyUse{"EmptyRecordInArguments",
                 [](UnoOfficeSuite& o, const OfficeReference& m) {
                     o.executeDispatch(o.createInstance(m, "com.sun.star.frame.DispatchHelper"), {},
                                       ".uno:Print", "", 0, {OfficeReference()});
                 }},
        EmptyUse{"Close", [](UnoOfficeSuite& o, const OfficeReference&) { o.close({}, true); }}};
    for (const EmptyUse& use : uses) {
        SCOPED_TRACE(use.name);
        try {
            use.use(*suite, manager);
            ADD_FAILURE() << "no failure";
        } catch (const PlatformError& error) {
            EXPECT_EQ(error.number(), 91);
            EXPECT_EQ(error.description(), QStringLiteral("Object variable not set"));
        }
    }
}

TEST_F(UnoOfficeSuiteTest, EndsTheOfficeItStartedWhenOnlyItsOwnDocumentsAreOpen)
{
    const OfficeReference desktop = desktopOf(*suite);
    // A document of the run left open (its close failed) does not keep the office.
    const OfficeReference left = suite->loadComponentFromURL(desktop, documentUrl(documents() + "/plain.ods"),
                                                             QStringLiteral("_blank"), 0, {});
    ASSERT_FALSE(left.isEmpty());
    EXPECT_TRUE(suite->endSelfStartedOffice());
    EXPECT_TRUE(officeProcesses().isEmpty());
    EXPECT_FALSE(officeAnswers());
}

TEST_F(UnoOfficeSuiteTest, APrivateProfileSparesLaterStartsTheOfficesSelfTest)
{
    UnoOfficeSuite::Options own = options();
    own.profileUrl = QUrl::fromLocalFile(folder->path() + QStringLiteral("/private-profile")).toString();
    own.privateProfile = true;
    own.headless = true;
    // The office writes it each time its graphics self-test runs.
    const QString selfTestLog =
        folder->path() + QStringLiteral("/private-profile/user/GraphicsRenderTests.log");
    for (const bool testsItself : {true, false}) {
        QFile::remove(selfTestLog);
        UnoOfficeSuite office(own);
        ASSERT_FALSE(office.createServiceManager().isEmpty());
        ASSERT_TRUE(office.endSelfStartedOffice());
        EXPECT_EQ(QFile::exists(selfTestLog), testsItself);
    }
}

TEST_F(UnoOfficeSuiteTest, LeavesItsOfficeRunningWhileTheUserHasDocumentsOpenInIt)
{
    desktopOf(*suite);
    UserOffice user(QString(), pipeName());
    user.open(documents() + "/plain.ods");
    EXPECT_FALSE(suite->endSelfStartedOffice());
    EXPECT_TRUE(officeAnswers());
    user.closeDocuments();
    EXPECT_TRUE(suite->endSelfStartedOffice());
    EXPECT_FALSE(officeAnswers());
}

TEST_F(UnoOfficeSuiteTest, NeverEndsAnOfficeItDidNotStart)
{
    // The user's office, on the same profile and pipe, started before.
    auto users = std::make_unique<UserOffice>(folder->path() + QStringLiteral("/profile"), pipeName());
    ASSERT_TRUE(officeAnswers());
    const QList<pid_t> running = officeProcesses();
    desktopOf(*suite);
    EXPECT_EQ(officeProcesses(), running);
    EXPECT_FALSE(suite->endSelfStartedOffice());
    EXPECT_TRUE(officeAnswers());
    users.reset();
    EXPECT_FALSE(officeAnswers());
}

TEST_F(UnoOfficeSuiteTest, ReachesTheOfficeAgainAfterItHasGone)
{
    const OfficeReference before = desktopOf(*suite);
    ASSERT_TRUE(suite->endSelfStartedOffice());
    ASSERT_FALSE(officeAnswers());
    // An object of the office that went fails; a new service manager starts it again.
    EXPECT_THROW(suite->loadComponentFromURL(before, documentUrl(documents() + "/plain.ods"),
                                             QStringLiteral("_blank"), 0, {}),
                 PlatformError);
    const OfficeReference desktop = desktopOf(*suite);
    EXPECT_FALSE(officeProcesses().isEmpty());
    const OfficeReference document = suite->loadComponentFromURL(
        desktop, documentUrl(documents() + "/plain.ods"), QStringLiteral("_blank"), 0, {});
    ASSERT_FALSE(document.isEmpty());
    EXPECT_NO_THROW(suite->close(document, true));
}

void signalAll(const QList<pid_t>& processes, int signal)
{
    for (const pid_t pid : processes)
        ::kill(pid, signal);
}

struct Freeze {
    const char* name;
    bool usersOffice; // started by the test, not by the suite
    bool resumes;     // continued before the next call
};

// The run goes on holding the references it had before the freeze, as the
// print run does; the next service manager must still lead to a working office.
TEST_F(UnoOfficeSuiteTest, AfterACallTimesOutTheNextServiceManagerReachesAWorkingOffice)
{
    const Freeze freezes[] = {{"OwnOfficeResumes", false, true},
                              {"OwnOfficeStaysFrozenAndIsStartedAnew", false, false},
                              {"UsersOfficeIsNeverKilled", true, false}};
    for (const Freeze& freeze : freezes) {
        SCOPED_TRACE(freeze.name);
        // A new office on a profile whose office is still ending hands over to it.
        for (QDeadlineTimer gone(15000); !officeProcesses().isEmpty() && !gone.hasExpired();)
            QThread::msleep(100);
        // The user's office shares no bridge with this process: UNO would
        // route the suite's calls over that one.
        OfficeLauncher users(UnoOfficeSuite::defaultProgramFolder(), pipeName(), options().profileUrl);
        if (freeze.usersOffice) {
            users.start();
            for (QDeadlineTimer listens(60000); !officeAnswers() && !listens.hasExpired();)
                QThread::msleep(200);
        }
        UnoOfficeSuite::Options quick = options();
        quick.answerTimeout = 2s;
        // Ample for a live office on a busy machine; a stopped one never answers.
        quick.probeTimeout = 3s;
        suite = std::make_unique<UnoOfficeSuite>(quick);
        const OfficeReference manager = suite->createServiceManager();
        const OfficeReference desktop =
            suite->createInstance(manager, QStringLiteral("com.sun.star.frame.Desktop"));
        const QList<pid_t> frozen = officeProcesses();
        ASSERT_FALSE(frozen.isEmpty());
        signalAll(frozen, SIGSTOP);

        QElapsedTimer clock;
        clock.start();
        try {
            suite->loadComponentFromURL(desktop, documentUrl(documents() + "/plain.ods"),
                                        QStringLiteral("_blank"), 0, {});
            ADD_FAILURE() << "a stopped office answered";
        } catch (const PlatformError& error) {
            EXPECT_EQ(error.description(), QStringLiteral("LibreOffice did not answer within 2 seconds"));
        }
        RecordProperty(std::string(freeze.name) + "_detect_ms", int(clock.elapsed()));
        // The rest of that file's steps fail at once on the broken-off connection.
        EXPECT_THROW(suite->createInstance(manager, QStringLiteral("com.sun.star.frame.DispatchHelper")),
                     PlatformError);
        if (freeze.resumes)
            signalAll(frozen, SIGCONT);

        clock.restart();
        if (freeze.usersOffice) {
            EXPECT_THROW(suite->createServiceManager(), PlatformError);
            EXPECT_EQ(officeProcesses(), frozen);
            signalAll(frozen, SIGCONT);
        }
        const OfficeReference document = suite->loadComponentFromURL(
            desktopOf(*suite), documentUrl(documents() + "/plain.ods"), QStringLiteral("_blank"), 0, {});
        RecordProperty(std::string(freeze.name) + "_recover_ms", int(clock.elapsed()));
        ASSERT_FALSE(document.isEmpty());
        EXPECT_NO_THROW(suite->close(document, true));
        const QList<pid_t> now = officeProcesses();
        if (freeze.resumes || freeze.usersOffice) {
            EXPECT_EQ(now, frozen);
        } else {
            EXPECT_FALSE(now.isEmpty());
            for (const pid_t pid : frozen)
                EXPECT_FALSE(now.contains(pid)) << "the frozen office is still there";
        }
        suite->endSelfStartedOffice();
        users.kill();
    }
}

TEST_F(UnoOfficeSuiteTest, AnOfficeItStartedThatNoLongerAnswersIsKilledWhenItIsEnded)
{
    UnoOfficeSuite::Options quick = options();
    quick.answerTimeout = 1s;
    quick.probeTimeout = 3s;
    suite = std::make_unique<UnoOfficeSuite>(quick);
    desktopOf(*suite);
    const QList<pid_t> frozen = officeProcesses();
    ASSERT_FALSE(frozen.isEmpty());
    signalAll(frozen, SIGSTOP);
    EXPECT_TRUE(suite->endSelfStartedOffice());
    EXPECT_TRUE(officeProcesses().isEmpty());
}

TEST_F(UnoOfficeSuiteTest, AnOfficeThatCannotStartFailsAtOnceAndIsNotRetriedRightAway)
{
    // A stand-in soffice that notes each start and ends at once.
    const QString fakeFolder = standInOffice(QStringLiteral("ends-at-once"),
                                             "echo started >> \"$(dirname \"$0\")/starts.log\"\nexit 1\n");

    UnoOfficeSuite::Options failing = options();
    failing.pipeName = pipeName() + QStringLiteral("_none");
    failing.programFolder = fakeFolder;
    failing.startTimeout = 5s;
    UnoOfficeSuite office(failing);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            office.createServiceManager();
            FAIL() << "an office answered";
        } catch (const PlatformError& error) {
            EXPECT_TRUE(error.description().contains(QStringLiteral("LibreOffice ended before it answered")))
                << error.what();
        }
    }
    QFile log(fakeFolder + QStringLiteral("/starts.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("started\n"));
}

TEST_F(UnoOfficeSuiteTest, NoOfficeProgramFailsWithADescription)
{
    UnoOfficeSuite::Options missing = reachOnly();
    missing.pipeName = pipeName() + QStringLiteral("_missing");
    UnoOfficeSuite office(missing);
    try {
        office.createServiceManager();
        FAIL() << "an office answered";
    } catch (const PlatformError& error) {
        EXPECT_TRUE(error.description().startsWith(QStringLiteral("LibreOffice could not be started")))
            << error.what();
    }
}

TEST_F(UnoOfficeSuiteTest, AnOfficeThatStartsButNeverListensFailsAfterTheBoundedWait)
{
    const QString fakeFolder = standInOffice(QStringLiteral("never-listens"),
                                             "sleep 60 &\necho $! > \"$(dirname \"$0\")/pid\"\nwait\n");

    UnoOfficeSuite::Options silent = options();
    silent.pipeName = pipeName() + QStringLiteral("_silent");
    silent.programFolder = fakeFolder;
    silent.startTimeout = 1s;
    UnoOfficeSuite office(silent);
    try {
        office.createServiceManager();
        FAIL() << "an office answered";
    } catch (const PlatformError& error) {
        EXPECT_TRUE(error.description().contains(QStringLiteral("did not answer on pipe"))) << error.what();
    }
    QFile pid(fakeFolder + QStringLiteral("/pid"));
    if (pid.open(QIODevice::ReadOnly))
        ::kill(static_cast<pid_t>(pid.readAll().trimmed().toLongLong()), SIGTERM);
}

// Something that listens on an office's pipe and never says a word.
class MutePipe {
public:
    explicit MutePipe(const QString& pipe)
        : path_(QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(pipe).toLocal8Bit()),
          socket_(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path_.constData(), path_.size());
        ::unlink(path_.constData());
        if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(socket_, 8) != 0)
            throw std::runtime_error("cannot take the pipe");
    }
    ~MutePipe()
    {
        ::close(socket_);
        ::unlink(path_.constData());
    }
    MutePipe(const MutePipe&) = delete;
    MutePipe& operator=(const MutePipe&) = delete;

private:
    QByteArray path_;
    int socket_;
};

QString failureOf(UnoOfficeSuite& office)
{
    try {
        office.createServiceManager();
        return QStringLiteral("an office answered");
    } catch (const PlatformError& error) {
        return error.description();
    }
}

TEST_F(UnoOfficeSuiteTest, AnOfficeThatTakesThePipeButNeverAnswersFailsAfterTheBoundedWait)
{
    const QString pipe = pipeName() + QStringLiteral("_mute");
    const MutePipe mute(pipe);
    UnoOfficeSuite::Options options = reachOnly();
    options.pipeName = pipe;
    options.answerTimeout = 1s;
    UnoOfficeSuite office(options);
    EXPECT_EQ(failureOf(office), QStringLiteral("LibreOffice did not answer within 1 seconds"));
}

// An office just started may be slow to shake hands on a busy machine: only
// the start's bound ends that wait, never a single call's.
TEST_F(UnoOfficeSuiteTest, AStartingOfficesHandShakeHasTheStartsBound)
{
    const QString fakeFolder = standInOffice(QStringLiteral("starts-mute"),
                                             "sleep 60 &\necho $! > \"$(dirname \"$0\")/pid\"\nwait\n");
    UnoOfficeSuite::Options starting = options();
    starting.pipeName = pipeName() + QStringLiteral("_starts_mute");
    starting.programFolder = fakeFolder;
    starting.privateProfile = true;
    starting.startTimeout = 2s;
    starting.answerTimeout = 1s;
    starting.probeTimeout = 1s;
    const MutePipe mute(starting.pipeName);
    UnoOfficeSuite office(starting);
    EXPECT_EQ(
        failureOf(office),
        QStringLiteral("LibreOffice did not answer on pipe \"%1\" within 2 seconds").arg(starting.pipeName));
    QFile pid(fakeFolder + QStringLiteral("/pid"));
    if (pid.open(QIODevice::ReadOnly))
        ::kill(static_cast<pid_t>(pid.readAll().trimmed().toLongLong()), SIGTERM);
}

} // namespace
} // namespace bw::test

namespace bw::test {
namespace {

// A write to the pipe of an office that died must fail the call, not end the program.
TEST(UnoOfficeSuiteSignals, AnOfficeDyingMidWriteCannotEndTheProgram)
{
    std::signal(SIGPIPE, SIG_DFL);
    UnoOfficeSuite office(UnoOfficeSuite::programOptions());
    struct sigaction current {};
    ASSERT_EQ(sigaction(SIGPIPE, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_IGN);
}

} // namespace
} // namespace bw::test

namespace bw::test {
namespace {

// The office decodes file URLs with its locale's character set; it must get UTF-8.
TEST(OfficeEnvironment, TheOfficeAlwaysGetsAUtf8CharacterSet)
{
    struct Row {
        QStringList set; // NAME=value
        QString lcAll, lcCtype, lang;
    };
    const Row rows[] = {
        {{}, {}, QStringLiteral("C.UTF-8"), {}},
        {{"LANG=C"}, {}, QStringLiteral("C.UTF-8"), QStringLiteral("C")},
        {{"LANG=POSIX"}, {}, QStringLiteral("C.UTF-8"), QStringLiteral("POSIX")},
        {{"LANG=de_DE.UTF-8"}, {}, {}, QStringLiteral("de_DE.UTF-8")},
        {{"LANG=en_GB.utf8", "LC_CTYPE=C"}, {}, QStringLiteral("C.UTF-8"), QStringLiteral("en_GB.utf8")},
        {{"LC_ALL=fr_FR.UTF-8", "LANG=C"}, QStringLiteral("fr_FR.UTF-8"), {}, QStringLiteral("C")},
        {{"LC_ALL=C"}, {}, QStringLiteral("C.UTF-8"), QStringLiteral("C")},
    };
    for (const Row& row : rows) {
        QProcessEnvironment environment;
        for (const QString& pair : row.set)
            environment.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        const QProcessEnvironment result = OfficeLauncher::officeEnvironment(environment);
        const QString what = row.set.join(QLatin1Char(' '));
        EXPECT_EQ(result.value(QStringLiteral("LC_ALL")), row.lcAll) << what.toStdString();
        EXPECT_EQ(result.value(QStringLiteral("LC_CTYPE")), row.lcCtype) << what.toStdString();
        EXPECT_EQ(result.value(QStringLiteral("LANG")), row.lang) << what.toStdString();
    }
}

} // namespace
} // namespace bw::test

namespace bw::test {
namespace {

// One office per user, profile and print system: a program with another HOME
// or CUPS server never prints through an office that reads other ones.
TEST(OfficePipeName, DiffersWithUserProfileAndPrintSystem)
{
    struct Row {
        const char* name;
        uint userId;
        QString profileUrl;
        QStringList set; // NAME=value
        bool sameAsBase;
    };
    const QStringList base{"HOME=/home/ann", "CUPS_SERVER=/run/cups/cups.sock"};
    const Row rows[] = {
        {"Same", 1000, {}, base, true},
        {"OtherVariablesDoNotMatter", 1000, {}, base + QStringList{"LANG=C", "DISPLAY=:1"}, true},
        {"OtherUser", 1001, {}, base, false},
        {"OtherHome", 1000, {}, {"HOME=/tmp/x", "CUPS_SERVER=/run/cups/cups.sock"}, false},
        {"OtherConfigFolder", 1000, {}, base + QStringList{"XDG_CONFIG_HOME=/tmp/c"}, false},
        {"OtherCupsServer", 1000, {}, {"HOME=/home/ann", "CUPS_SERVER=/tmp/cups.sock"}, false},
        {"NoCupsServer", 1000, {}, {"HOME=/home/ann"}, false},
        {"OwnProfile", 1000, QStringLiteral("file:///tmp/profile"), base, false},
    };
    auto environmentOf = [](const QStringList& set) {
        QProcessEnvironment environment;
        for (const QString& pair : set)
            environment.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        return environment;
    };
    const QString baseName = UnoOfficeSuite::pipeNameFor(1000, {}, environmentOf(base));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^brindlework_[0-9a-f]{12}$")).match(baseName).hasMatch())
        << baseName.toStdString();
    QSet<QString> names{baseName};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = UnoOfficeSuite::pipeNameFor(row.userId, row.profileUrl, environmentOf(row.set));
        EXPECT_EQ(name == baseName, row.sameAsBase) << name.toStdString();
        if (!row.sameAsBase) {
            EXPECT_FALSE(names.contains(name)) << "two settings share " << name.toStdString();
        }
        names.insert(name);
    }
    EXPECT_EQ(UnoOfficeSuite::programOptions().pipeName, UnoOfficeSuite::defaultPipeName());
}

} // namespace
} // namespace bw::test

namespace bw::test {
namespace {

// An X server of its own, so that the office it starts has a display.
class XvfbDisplay {
public:
    XvfbDisplay()
    {
        int number = 100 + int(QCoreApplication::applicationPid() % 400);
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
               QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            ++number;
        name_ = QStringLiteral(":%1").arg(number);
        server_.setStandardOutputFile(QProcess::nullDevice());
        server_.setStandardErrorFile(QProcess::nullDevice());
        server_.start(QStringLiteral("Xvfb"),
                      {name_, QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x1024x24")});
        // Up once a client can ask it for its size.
        for (QDeadlineTimer up(10000);
             tool({QStringLiteral("getdisplaygeometry")}).isEmpty() && !up.hasExpired();)
            QThread::msleep(50);
        previous_ = qgetenv("DISPLAY");
        qputenv("DISPLAY", name_.toLocal8Bit());
    }
    ~XvfbDisplay()
    {
        qputenv("DISPLAY", previous_);
        server_.terminate();
        server_.waitForFinished(5000);
    }
    // The names of the visible windows, by window id.
    QMap<QString, QString> windows() const
    {
        QMap<QString, QString> found;
        for (const QString& id : tool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), QStringLiteral(".")})
                                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            found.insert(id, tool({QStringLiteral("getwindowname"), id}).trimmed());
        return found;
    }
    QString tool(const QStringList& arguments) const
    {
        QProcess xdotool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), name_);
        xdotool.setProcessEnvironment(environment);
        xdotool.start(QStringLiteral("xdotool"), arguments);
        xdotool.waitForFinished(5000);
        return QString::fromUtf8(xdotool.readAllStandardOutput());
    }

private:
    QString name_;
    QByteArray previous_;
    QProcess server_;
};

struct DialogCase {
    const char* file;
    const char* dialog;   // the start of its window's title
    const char* headless; // what a headless office makes of it, at once
};

const DialogCase dialogCases[] = {{"protected.ods", "Enter Password", "empty"},
                                  {"in use.ods", "Document in Use", "document"}};

// Loads the file; the outcome is "empty", "document" or the error's description.
QString loadOutcome(UnoOfficeSuite& office, const OfficeReference& desktop, const QString& file)
{
    try {
        const OfficeReference document = office.loadComponentFromURL(
            desktop, documentUrl(UnoOfficeSuiteTest::documents() + QLatin1Char('/') + file),
            QStringLiteral("_blank"), 0, {});
        if (document.isEmpty())
            return QStringLiteral("empty");
        office.close(document, true);
        return QStringLiteral("document");
    } catch (const PlatformError& error) {
        return error.description();
    }
}

// With a display the office asks its user while it loads such a file. The
// call limit must not cut that wait: the office still answers elsewhere.
TEST_F(UnoOfficeSuiteTest, AnOfficeDialogWaitsForItsUserPastTheCallLimit)
{
    XvfbDisplay display;
    UnoOfficeSuite::Options windowed = options();
    windowed.pipeName = pipeName() + QStringLiteral("_x");
    windowed.profileUrl =
        QUrl::fromLocalFile(folder->path() + QStringLiteral("/windowed-profile")).toString();
    windowed.answerTimeout = 2s;
    windowed.probeTimeout = 2s;
    windowed.restartPause = 0ms;
    suite = std::make_unique<UnoOfficeSuite>(windowed);
    // Seen here: the first start on a new profile under a display now and
    // then ends at once, printing nothing; a second start comes up.
    OfficeReference desktop;
    for (int start = 0; start < 3 && desktop.isEmpty(); ++start) {
        try {
            desktop = desktopOf(*suite);
        } catch (const PlatformError& error) {
            RecordProperty("failed_start_" + std::to_string(start), error.what());
        }
    }
    ASSERT_FALSE(desktop.isEmpty());
    const QMap<QString, QString> before = display.windows();
    for (const DialogCase& dialogCase : dialogCases) {
        SCOPED_TRACE(dialogCase.file);
        std::atomic<bool> loading = true;
        QString dialog;
        qint64 answeredAt = -1;
        bool secondConnectionAnswered = false;
        std::thread user([&] {
            QElapsedTimer clock;
            clock.start();
            while (loading && clock.elapsed() < 60000) {
                QThread::msleep(200);
                const auto now = display.windows();
                for (auto each = now.cbegin(); each != now.cend(); ++each) {
                    if (before.contains(each.key()) ||
                        !each.value().startsWith(QLatin1String(dialogCase.dialog)))
                        continue;
                    dialog = each.value();
                    // Well past the limit, as a user who takes his time.
                    if (clock.elapsed() < 3 * windowed.answerTimeout.count())
                        continue;
                    secondConnectionAnswered = UserOffice::answers(windowed.pipeName);
                    answeredAt = clock.elapsed();
                    display.tool({QStringLiteral("key"), QStringLiteral("--window"), each.key(),
                                  QStringLiteral("Escape")});
                }
            }
        });
        const QString outcome = loadOutcome(*suite, desktop, QString::fromUtf8(dialogCase.file));
        loading = false;
        user.join();
        EXPECT_TRUE(dialog.startsWith(QLatin1String(dialogCase.dialog))) << dialog.toStdString();
        EXPECT_GT(answeredAt, 0) << "the load ended before the user answered";
        EXPECT_TRUE(secondConnectionAnswered);
        // Cancelled: no document, so the run reports that file and goes on.
        EXPECT_EQ(outcome, QStringLiteral("empty"));
        RecordProperty(std::string(dialogCase.file) + "_answered_ms", int(answeredAt));
        EXPECT_EQ(loadOutcome(*suite, desktop, QStringLiteral("plain.ods")), QStringLiteral("document"));
    }
}

// Without a display the office asks nobody: each such file loads or fails at once.
TEST_F(UnoOfficeSuiteTest, AHeadlessOfficeNeverWaitsOnADialog)
{
    ASSERT_TRUE(qEnvironmentVariableIsEmpty("DISPLAY"));
    UnoOfficeSuite::Options quick = options();
    quick.answerTimeout = 5s;
    quick.probeTimeout = 1s;
    suite = std::make_unique<UnoOfficeSuite>(quick);
    const OfficeReference desktop = desktopOf(*suite);
    std::atomic<bool> loading = true;
    // A load that waited on an unseen dialog would never end; fail it instead.
    std::thread guard([&] {
        for (QDeadlineTimer limit(60000); loading && !limit.hasExpired();)
            QThread::msleep(100);
        if (loading)
            signalAll(officeProcesses(), SIGKILL);
    });
    for (const DialogCase& dialogCase : dialogCases) {
        SCOPED_TRACE(dialogCase.file);
        EXPECT_EQ(loadOutcome(*suite, desktop, QString::fromUtf8(dialogCase.file)),
                  QString::fromUtf8(dialogCase.headless));
    }
    loading = false;
    guard.join();
}

} // namespace
} // namespace bw::test

namespace bw::test {
namespace {

// A call granted more time at its limit is asked again at the next one, until
// the action refuses; a call that has ended is never asked again.
TEST(CallWatchdogGrant, AsksAgainOnlyWhileGrantedAndTheCallRuns)
{
    CallWatchdog watchdog;
    std::atomic<int> asked = 0;
    watchdog.arm(20ms, [&] { return ++asked < 3; });
    for (QDeadlineTimer limit(5000); asked < 3 && !limit.hasExpired();)
        QThread::msleep(5);
    QThread::msleep(100);
    EXPECT_EQ(asked, 3);
    watchdog.disarm();

    asked = 0;
    watchdog.arm(20ms, [&] {
        ++asked;
        return true;
    });
    for (QDeadlineTimer limit(5000); asked < 1 && !limit.hasExpired();)
        QThread::msleep(1);
    watchdog.disarm();
    const int atEnd = asked;
    QThread::msleep(100);
    EXPECT_GE(atEnd, 1);
    EXPECT_EQ(asked, atEnd);
}

} // namespace
} // namespace bw::test
