#include "ReportReader.h"
#include "SpreadsheetMaker.h"
#include "UserOffice.h"
#include "filelist/FileListModel.h"
#include "platform/PlatformError.h"
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
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The print run from end to end: a real LibreOffice with a private profile,
// a private CUPS daemon with disabled queues A (the default) and B (the
// choice), and the real five-second wait after each print.
namespace bw::test {
namespace {

using namespace std::chrono_literals;

const QString Plain = QStringLiteral("plain.ods");
const QString WithSpace = QStringLiteral("with space.ods");
const QString WithHash = QStringLiteral("hash#name.ods");
const QString SavedWithA = QStringLiteral("saved with A.ods");
const QString Long = QStringLiteral("two hundred pages.ods");

// The office the run talks to, watched: what the printing system holds when
// a document is closed, and how often the office was restarted.
class WatchedOffice : public OfficeSuite {
public:
    WatchedOffice(OfficeSuite& inner, std::function<void()> beforeClose)
        : inner_(inner), beforeClose_(std::move(beforeClose))
    {
    }
    OfficeReference createServiceManager() override { return inner_.createServiceManager(); }
    OfficeReference createInstance(const OfficeReference& manager, const QString& name) override
    {
        return inner_.createInstance(manager, name);
    }
    OfficeReference blankPropertyRecord(const OfficeReference& manager) override
    {
        return inner_.blankPropertyRecord(manager);
    }
    OfficeReference loadComponentFromURL(const OfficeReference& desktop, const QString& url,
                                         const QString& target, qint16 flags,
                                         const std::vector<OfficeReference>& arguments) override
    {
        return inner_.loadComponentFromURL(desktop, url, target, flags, arguments);
    }
    OfficeReference getCurrentController(const OfficeReference& document) override
    {
        return inner_.getCurrentController(document);
    }
    OfficeReference getFrame(const OfficeReference& controller) override
    {
        return inner_.getFrame(controller);
    }
    void executeDispatch(const OfficeReference& dispatcher, const OfficeReference& frame,
                         const QString& command, const QString& target, qint16 flags,
                         const std::vector<OfficeReference>& arguments) override
    {
        inner_.executeDispatch(dispatcher, frame, command, target, flags, arguments);
    }
    void close(const OfficeReference& document, bool deliverOwnership) override
    {
        beforeClose_();
        inner_.close(document, deliverOwnership);
    }
    bool knowsPrinter(const QString& name) override { return inner_.knowsPrinter(name); }
    bool restartSelfStartedOffice() override
    {
        const bool restarted = inner_.restartSelfStartedOffice();
        restarts += restarted ? 1 : 0;
        return restarted;
    }

    int restarts = 0;

private:
    OfficeSuite& inner_;
    std::function<void()> beforeClose_;
};

// The office processes listening on the given pipe.
QList<pid_t> officeProcesses(const QString& pipeName)
{
    const QByteArray pipe = (QStringLiteral("name=") + pipeName + ';').toUtf8();
    QList<pid_t> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (entry.toLongLong() > 0 && commandLine.open(QIODevice::ReadOnly) &&
            commandLine.readAll().contains(pipe))
            found << static_cast<pid_t>(entry.toLongLong());
    }
    return found;
}

class PrintRunEndToEnd : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        root = PrivateCupsDaemon::newSharedFolder();
        // HOME is a temporary folder already (the test's main sets it before any libcups call).
        cups = new PrivateCupsDaemon;
        cups->addQueue(QStringLiteral("A"), true);
        cups->addQueue(QStringLiteral("B"), true);
        CupsPrintingSystem().printers.setDefaultPrinter(QStringLiteral("A"));

        QDir().mkpath(path(QStringLiteral("docs")));
        SpreadsheetMaker maker(path(QStringLiteral("maker-profile")),
                               QStringLiteral("bw_e2e_maker_%1").arg(QCoreApplication::applicationPid()));
        maker.make(document(Plain), QStringLiteral("plain"));
        maker.make(document(WithSpace), QStringLiteral("with space"));
        maker.make(document(WithHash), QStringLiteral("hash"));
        maker.make(document(SavedWithA), QStringLiteral("saved with A"), QStringLiteral("A"));
        QString rows;
        for (int row = 1; row <= 10600; ++row)
            rows += QStringLiteral("Row %1 of a long sheet,%1\n").arg(row);
        maker.make(document(Long), rows);
    }

    static void TearDownTestSuite()
    {
        delete cups;
        delete root;
    }

    static QString path(const QString& relative) { return root->path() + QLatin1Char('/') + relative; }
    static QString document(const QString& name) { return path(QStringLiteral("docs/") + name); }

    static UnoOfficeSuite::Options officeOptions()
    {
        UnoOfficeSuite::Options options = UnoOfficeSuite::programOptions();
        options.pipeName = QStringLiteral("bw_e2e_%1").arg(QCoreApplication::applicationPid());
        options.profileUrl = QUrl::fromLocalFile(path(QStringLiteral("profile"))).toString();
        options.startTimeout = 60s;
        return options;
    }

    void SetUp() override
    {
        for (const QString& queue : {QStringLiteral("A"), QStringLiteral("B")})
            cups->cancelAllJobs(queue);
        printers.setDefaultPrinter(QStringLiteral("A"));
        boxes.onShow = [this](const FakeMessageBoxes::Box& box) {
            if (box.text == QLatin1String("Done."))
                defaultWhileDone = printers.defaultPrinterName();
        };
        for (const auto& job : cups->jobs())
            lastJobBefore = std::max(lastJobBefore, job.id);
    }

    // The jobs made since the test began, as "queue:title", oldest first.
    QStringList newJobs() const
    {
        QStringList result;
        for (const auto& job : cups->jobs()) {
            if (job.id > lastJobBefore)
                result << job.queue + QLatin1Char(':') + job.title;
        }
        return result;
    }

    void TearDown() override { office->endSelfStartedOffice(); }

    void runOver(const QStringList& names, const QString& chosen = QStringLiteral("B"))
    {
        FileListModel list;
        for (const QString& name : names)
            list.append(document(name));
        ThreadSleeper sleeper;
        FakeWindowPointer pointer;
        std::vector<int> progress;
        DefaultPrinter defaultPrinter(printers, boxes);
        SteadyClock clock;
        XdgStateFolder state;
        PosixProcesses processes;
        FlockUserLocks locks;
        DefaultPrinterKeeper keeper(defaultPrinter, printing.options, state, processes, locks, sleeper,
                                    nullptr);
        WatchedOffice watched(*office, [&] { jobsAtClose << newJobs().size(); });
        PrintRun run({list, watched, boxes, sleeper, pointer,
                      [&progress](int value) { progress.push_back(value); }, defaultPrinter,
                      [chosen] { return chosen; }, printers, printing.jobs, clock, keeper});
        run.run();
        restarts += watched.restarts;
        EXPECT_EQ(pointer.set, QList<int>({11, 0}));
        EXPECT_EQ(progress, std::vector<int>({0}));
    }

    static inline QTemporaryDir* root = nullptr;
    static inline PrivateCupsDaemon* cups = nullptr;
    CupsPrintingSystem printing;
    CupsPrinters& printers = printing.printers;
    FakeMessageBoxes boxes;
    QString defaultWhileDone;
    int lastJobBefore = 0;
    // How many jobs had come when each document was closed.
    QList<qsizetype> jobsAtClose;
    int restarts = 0;
    std::unique_ptr<UnoOfficeSuite> office = std::make_unique<UnoOfficeSuite>(officeOptions());
};

TEST_F(PrintRunEndToEnd, PrintsEveryFileOnTheChosenQueueInListOrder)
{
    const QString pipe = officeOptions().pipeName;
    ASSERT_TRUE(officeProcesses(pipe).isEmpty());
    runOver({Plain, WithSpace, WithHash});

    EXPECT_EQ(cups->waitForJobTitles(QStringLiteral("B"), 3, 10000),
              QStringList({Plain, WithSpace, WithHash}));
    EXPECT_TRUE(cups->pendingJobTitles(QStringLiteral("A")).isEmpty());
    EXPECT_EQ(defaultWhileDone, QStringLiteral("A"));
    EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(printers.defaultPrinterName(), QStringLiteral("A"));
    // The office was started for the run, and goes when asked.
    EXPECT_FALSE(officeProcesses(pipe).isEmpty());
    EXPECT_TRUE(office->endSelfStartedOffice());
    EXPECT_TRUE(officeProcesses(pipe).isEmpty());
}

TEST_F(PrintRunEndToEnd, AnOfficeRunningSinceBeforeWithAnotherDefaultStillPrintsOnTheChosenQueue)
{
    // Started while A was the default, and it has printed there since, so it
    // keeps A as its default.
    const UserOffice running(path(QStringLiteral("profile")), officeOptions().pipeName);
    runOver({Plain}, QStringLiteral("A"));
    ASSERT_EQ(cups->waitForJobTitles(QStringLiteral("A"), 1, 10000), QStringList({Plain}));
    cups->cancelAllJobs(QStringLiteral("A"));
    boxes.boxes.clear();
    runOver({WithHash});

    EXPECT_EQ(cups->waitForJobTitles(QStringLiteral("B"), 1, 10000), QStringList({WithHash}));
    EXPECT_TRUE(cups->pendingJobTitles(QStringLiteral("A")).isEmpty());
    EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_FALSE(office->endSelfStartedOffice());
}

TEST_F(PrintRunEndToEnd, ADocumentSavedWithAnotherPrinterStillPrintsOnTheChosenQueue)
{
    runOver({SavedWithA});

    EXPECT_EQ(cups->waitForJobTitles(QStringLiteral("B"), 1, 10000), QStringList({SavedWithA}));
    EXPECT_TRUE(cups->pendingJobTitles(QStringLiteral("A")).isEmpty());
    EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
}

TEST_F(PrintRunEndToEnd, AMissingFileInTheMiddleIsReportedAndTheOthersPrint)
{
    runOver({Plain, QStringLiteral("missing.ods"), WithSpace});

    EXPECT_EQ(reportPlaces(boxes), std::vector<QString>({QStringLiteral("PushButton2_Click:116"),
                                                         QStringLiteral("PushButton2_Click:122"),
                                                         QStringLiteral("PushButton2_Click:132")}));
    EXPECT_TRUE(shownReports(boxes)[0].description.contains(QStringLiteral("missing.ods")));
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(cups->waitForJobTitles(QStringLiteral("B"), 2, 10000), QStringList({Plain, WithSpace}));
    EXPECT_EQ(defaultWhileDone, QStringLiteral("A"));
}

TEST_F(PrintRunEndToEnd, WithTheOfficeUnavailableEveryStepIsReportedAndTheDefaultComesBack)
{
    UnoOfficeSuite::Options unavailable = officeOptions();
    unavailable.pipeName += QStringLiteral("_none");
    unavailable.programFolder = path(QStringLiteral("no-office"));
    office = std::make_unique<UnoOfficeSuite>(unavailable);
    runOver({Plain});

    EXPECT_EQ(reportPlaces(boxes),
              std::vector<QString>({"PushButton2_Click:112", "PushButton2_Click:114", "PushButton2_Click:116",
                                    "PushButton2_Click:118", "PushButton2_Click:122", "MakePropertyValue:100",
                                    "MakePropertyValue:102", "MakePropertyValue:104", "MakePropertyValue:106",
                                    "MakePropertyValue:100", "MakePropertyValue:102", "MakePropertyValue:104",
                                    "MakePropertyValue:106", "MakePropertyValue:100", "MakePropertyValue:102",
                                    "MakePropertyValue:104", "MakePropertyValue:106", "PushButton2_Click:128",
                                    "PushButton2_Click:132"}));
    EXPECT_TRUE(
        shownReports(boxes)[0].description.startsWith(QStringLiteral("LibreOffice could not be started")));
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(boxes.boxes.back().text, QStringLiteral("Done."));
    EXPECT_EQ(defaultWhileDone, QStringLiteral("A"));
    EXPECT_TRUE(cups->pendingJobTitles(QStringLiteral("B")).isEmpty());
}

// The real office, frozen (SIGSTOP) as the given load starts; continued as
// soon as that load has failed, or never (it is then killed and started anew).
class FreezingOffice : public UnoOfficeSuite {
public:
    FreezingOffice(Options options, int freezeAtLoad, bool thaws)
        : UnoOfficeSuite(options), pipeName_(options.pipeName), freezeAtLoad_(freezeAtLoad), thaws_(thaws)
    {
    }
    ~FreezingOffice() override { thaw(); }
    OfficeReference loadComponentFromURL(const OfficeReference& desktop, const QString& url,
                                         const QString& targetFrameName, qint16 searchFlags,
                                         const std::vector<OfficeReference>& arguments) override
    {
        if (++loads_ != freezeAtLoad_)
            return UnoOfficeSuite::loadComponentFromURL(desktop, url, targetFrameName, searchFlags,
                                                        arguments);
        frozen_ = officeProcesses(pipeName_);
        for (const pid_t pid : frozen_)
            ::kill(pid, SIGSTOP);
        try {
            return UnoOfficeSuite::loadComponentFromURL(desktop, url, targetFrameName, searchFlags,
                                                        arguments);
        } catch (const PlatformError&) {
            if (thaws_)
                thaw();
            throw;
        }
    }
    QList<pid_t> frozen_;

private:
    void thaw()
    {
        // Only those still there: a killed one's number may be another's by now.
        for (const pid_t pid : officeProcesses(pipeName_))
            if (frozen_.contains(pid))
                ::kill(pid, SIGCONT);
    }

    QString pipeName_;
    int loads_ = 0;
    int freezeAtLoad_;
    bool thaws_;
};

TEST_F(PrintRunEndToEnd, AnOfficeFrozenMidRunLosesOnlyThatFileAndTheNextRunPrintsEverything)
{
    struct Row {
        const char* name;
        bool thaws;
    };
    const Row rows[] = {{"ThawsRightAfterTheLimit", true}, {"StaysFrozen", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const QString& queue : {QStringLiteral("A"), QStringLiteral("B")})
            cups->cancelAllJobs(queue);
        boxes.boxes.clear();
        UnoOfficeSuite::Options quick = officeOptions();
        quick.answerTimeout = 3s;
        quick.probeTimeout = 1s;
        auto freezing = std::make_unique<FreezingOffice>(quick, 2, row.thaws);
        FreezingOffice& frozen = *freezing;
        office = std::move(freezing);
        runOver({Plain, WithSpace, WithHash});

        const auto reports = shownReports(boxes);
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reportPlaces(boxes).front(), QStringLiteral("PushButton2_Click:116"));
        EXPECT_EQ(reports.front().description, QStringLiteral("LibreOffice did not answer within 3 seconds"));
        EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
        EXPECT_EQ(cups->waitForJobTitles(QStringLiteral("B"), 2, 10000), QStringList({Plain, WithHash}));

        cups->cancelAllJobs(QStringLiteral("B"));
        boxes.boxes.clear();
        runOver({Plain, WithSpace, WithHash});
        EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
        EXPECT_EQ(cups->waitForJobTitles(QStringLiteral("B"), 3, 10000),
                  QStringList({Plain, WithSpace, WithHash}));
        const QList<pid_t> now = officeProcesses(officeOptions().pipeName);
        for (const pid_t pid : frozen.frozen_)
            EXPECT_EQ(now.contains(pid), row.thaws);
        office->endSelfStartedOffice();
    }
}

TEST_F(PrintRunEndToEnd, AnEmptyListNeitherStartsTheOfficeNorTouchesThePrinters)
{
    printers.setDefaultPrinter(QStringLiteral("B"));
    runOver({}, QStringLiteral("A"));

    EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("No files added.")}));
    EXPECT_TRUE(officeProcesses(officeOptions().pipeName).isEmpty());
    EXPECT_EQ(printers.defaultPrinterName(), QStringLiteral("B"));
    EXPECT_TRUE(cups->pendingJobTitles(QStringLiteral("A")).isEmpty());
    EXPECT_TRUE(cups->pendingJobTitles(QStringLiteral("B")).isEmpty());
}

std::vector<QString> descriptions(const FakeMessageBoxes& boxes)
{
    std::vector<QString> result;
    for (const auto& report : shownReports(boxes))
        result.push_back(report.description);
    return result;
}

// Runs where the chosen printer cannot get the files: each file gets its own
// report, naming it and the printer, and nothing is printed anywhere else.
struct UnreachedCase {
    const char* name;
    // Readies the printer and the office; returns the printer to choose.
    std::function<QString(PrintRunEndToEnd&)> arrange;
    const char* why;
};

class PrintRunUnreached : public PrintRunEndToEnd, public ::testing::WithParamInterface<UnreachedCase> {
public:
    void TearDown() override
    {
        cups->administer(QStringLiteral("cupsaccept"), {QStringLiteral("B")});
        userOffice.reset();
        PrintRunEndToEnd::TearDown();
    }
    std::unique_ptr<UserOffice> userOffice;
};

TEST_P(PrintRunUnreached, ReportsEachFileAndPrintsNowhere)
{
    const QString chosen = GetParam().arrange(*this);
    runOver({Plain, WithSpace}, chosen);

    EXPECT_EQ(reportPlaces(boxes), std::vector<QString>(2, QStringLiteral("PushButton2_Click:131")));
    const QString start = QStringLiteral("Nothing reached printer \"%1\" for ").arg(chosen);
    EXPECT_EQ(descriptions(boxes), std::vector<QString>({start + "\"" + Plain + "\"" + GetParam().why,
                                                         start + "\"" + WithSpace + "\"" + GetParam().why}));
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(boxes.boxes.back().text, QStringLiteral("Done."));
    QThread::msleep(1000);
    EXPECT_EQ(newJobs(), QStringList());
    EXPECT_EQ(printers.defaultPrinterName(), QStringLiteral("A"));
    EXPECT_EQ(restarts, 0);
    // An office the user started is still there, and still answers.
    if (userOffice) {
        EXPECT_NO_THROW(userOffice->make(path(QStringLiteral("after.ods")), QStringLiteral("still here")));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintRunUnreached,
                         ::testing::Values(UnreachedCase{"QueueRejectingJobs",
                                                         [](PrintRunEndToEnd& t) {
                                                             t.cups->administer(QStringLiteral("cupsreject"),
                                                                                {QStringLiteral("B")});
                                                             return QStringLiteral("B");
                                                         },
                                                         ": the printer does not accept jobs"},
                                           UnreachedCase{
                                               "QueueAddedAfterTheUsersOfficeStarted",
                                               [](PrintRunEndToEnd& t) {
                                                   static_cast<PrintRunUnreached&>(t).userOffice =
                                                       std::make_unique<UserOffice>(
                                                           PrintRunEndToEnd::path(QStringLiteral("profile")),
                                                           PrintRunEndToEnd::officeOptions().pipeName);
                                                   // The office reads the printers when it first needs them.
                                                   t.office->knowsPrinter(QStringLiteral("B"));
                                                   t.cups->addQueue(QStringLiteral("Late"), true);
                                                   return QStringLiteral("Late");
                                               },
                                               ": the office does not know this printer"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintRunEndToEnd, AQueueAddedAfterTheProgramsOfficeStartedGetsEveryFileAfterOneRestart)
{
    // The office reads the printers when it first needs them.
    ASSERT_TRUE(office->knowsPrinter(QStringLiteral("B")));
    ASSERT_FALSE(officeProcesses(officeOptions().pipeName).isEmpty());
    cups->addQueue(QStringLiteral("Later"), true);
    runOver({Plain, WithSpace}, QStringLiteral("Later"));

    EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(newJobs(), QStringList({"Later:" + Plain, "Later:" + WithSpace}));
    EXPECT_TRUE(office->knowsPrinter(QStringLiteral("Later")));
    cups->removeQueue(QStringLiteral("Later"));
}

TEST_F(PrintRunEndToEnd, ALongSheetIsOneJobAndIsClosedOnlyOnceItHasArrived)
{
    runOver({Long, Plain});

    EXPECT_EQ(boxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(newJobs(), QStringList({"B:" + Long, "B:" + Plain}));
    EXPECT_EQ(jobsAtClose, QList<qsizetype>({1, 2}));
}

TEST_F(PrintRunEndToEnd, TheUsersOwnDefaultComesBackExactlyAsItWas)
{
    const QString options = qEnvironmentVariable("HOME") + QStringLiteral("/.cups/lpoptions");
    auto content = [&options]() -> std::optional<QByteArray> {
        QFile file(options);
        return file.open(QIODevice::ReadOnly) ? std::optional<QByteArray>(file.readAll()) : std::nullopt;
    };
    auto lpstatDefault = [] {
        return cups->runTool(QStringLiteral("lpstat"), {QStringLiteral("-d")}).trimmed();
    };

    boxes.onShow = nullptr; // there is not always a default to look at
    // No default anywhere: none after.
    QFile::remove(options);
    ASSERT_EQ(lpstatDefault(), QStringLiteral("no system default destination"));
    runOver({Plain});
    EXPECT_EQ(content(), std::nullopt);
    EXPECT_EQ(lpstatDefault(), QStringLiteral("no system default destination"));

    // The server's default only: it alone decides again.
    cups->setServerDefault(QStringLiteral("A"));
    runOver({Plain});
    EXPECT_EQ(content(), std::nullopt);
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: A"));

    // LPDEST decides; the options file of the user's stays byte for byte.
    cups->runTool(QStringLiteral("lpoptions"), {QStringLiteral("-p"), QStringLiteral("B"),
                                                QStringLiteral("-o"), QStringLiteral("copies=2")});
    const std::optional<QByteArray> own = content();
    ASSERT_TRUE(own);
    qputenv("LPDEST", "A");
    boxes.boxes.clear();
    runOver({Plain});
    qunsetenv("LPDEST");
    EXPECT_EQ(content(), own);
    EXPECT_EQ(reportPlaces(boxes), std::vector<QString>({QStringLiteral("PushButton2_Click:106")}))
        << shownReports(boxes).back().description.toStdString();
    EXPECT_EQ(cups->waitForJobTitles(QStringLiteral("B"), 3, 10000), QStringList({Plain, Plain, Plain}));
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: A"));
    EXPECT_TRUE(QDir(qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/brindlework"))
                    .entryList(QDir::Files)
                    .isEmpty());
}

} // namespace
} // namespace bw::test
