#include "platform/PlatformError.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "printers/DefaultPrinter.h"
#include "support/FakeMessageBoxes.h"
#include "support/LpoptionsSnapshot.h"
#include "support/PrivateCupsDaemon.h"
#include "support/QStringPrinter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::test {
using bw::test::FakeMessageBoxes;
using bw::test::LpoptionsSnapshot;
using bw::test::PrivateCupsDaemon;

namespace {

constexpr int CupsNotFound = 1030;           // client-error-not-found
constexpr int CupsServiceUnavailable = 1282; // server-error-service-unavailable

const QString ReportEnd = QStringLiteral("\r\nHas occured in modPrinters.GetDefaultPrinter\r\nPlease contact "
                                         "Technical Support");

class CupsAdaptersTest : public ::testing::Test {
protected:
    CupsAdaptersTest()
    {
        // HOME is the process's temporary one; start every test without a user default.
        QDir(testHome() + QStringLiteral("/.cups")).removeRecursively();
    }

    static QString testHome() { return qEnvironmentVariable("HOME"); }
    static QString lpoptionsPath() { return testHome() + QStringLiteral("/.cups/lpoptions"); }

    void addQueues(const QStringList& names)
    {
        for (const QString& name : names)
            daemon.addQueue(name);
    }
    QString lpstatDefault() const
    {
        return daemon.runTool(QStringLiteral("lpstat"), {QStringLiteral("-d")}).trimmed();
    }
    void lpoptions(const QStringList& arguments) const
    {
        daemon.runTool(QStringLiteral("lpoptions"), arguments);
    }

    PrivateCupsDaemon daemon;
    CupsPrintingSystem cups;
};

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

int numberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const PlatformError& error) {
        return error.number();
    }
    return 0;
}

TEST_F(CupsAdaptersTest, ListsEveryDestinationInCupsOrderWithInstances)
{
    addQueues({QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(cups.printers.installedPrinters(), (QStringList{"A", "B", "C"}));

    lpoptions(
        {QStringLiteral("-p"), QStringLiteral("B/draft"), QStringLiteral("-o"), QStringLiteral("copies=2")});
    EXPECT_EQ(cups.printers.installedPrinters(), (QStringList{"A", "B", "B/draft", "C"}));

    // Nothing is cached: a queue removed or added shows at the next call.
    daemon.removeQueue(QStringLiteral("A"));
    daemon.addQueue(QStringLiteral("Aa"));
    EXPECT_EQ(cups.printers.installedPrinters(), (QStringList{"Aa", "B", "B/draft", "C"}));
}

TEST_F(CupsAdaptersTest, PrintingSystemWithoutPrintersListsNothingAndHasNoDefault)
{
    EXPECT_EQ(cups.printers.installedPrinters(), QStringList());
    EXPECT_EQ(numberOf([this] { cups.printers.defaultPrinterName(); }), CupsNotFound);
}

TEST_F(CupsAdaptersTest, DefaultIsTheServersUnlessTheUserChoseOne)
{
    addQueues({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    EXPECT_EQ(numberOf([this] { cups.printers.defaultPrinterName(); }), CupsNotFound);

    daemon.setServerDefault(QStringLiteral("C"));
    EXPECT_EQ(cups.printers.defaultPrinterName(), QStringLiteral("C"));

    lpoptions({QStringLiteral("-d"), QStringLiteral("B")});
    EXPECT_EQ(cups.printers.defaultPrinterName(), QStringLiteral("B"));

    lpoptions(
        {QStringLiteral("-p"), QStringLiteral("B/draft"), QStringLiteral("-o"), QStringLiteral("copies=2")});
    lpoptions({QStringLiteral("-d"), QStringLiteral("B/draft")});
    EXPECT_EQ(cups.printers.defaultPrinterName(), QStringLiteral("B/draft"));
}

TEST_F(CupsAdaptersTest, SetDefaultToBAndBackShowsInLpstat)
{
    addQueues({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    daemon.setServerDefault(QStringLiteral("A"));
    FakeMessageBoxes boxes;
    DefaultPrinter defaultPrinter(cups.printers, boxes);

    const QString previous = defaultPrinter.get();
    ASSERT_EQ(previous, QStringLiteral("A"));
    defaultPrinter.set(QStringLiteral("B"));
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: B"));
    EXPECT_EQ(defaultPrinter.get(), QStringLiteral("B"));

    defaultPrinter.set(previous);
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: A"));
    EXPECT_EQ(defaultPrinter.get(), QStringLiteral("A"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CupsAdaptersTest, SetDefaultToAnInstanceRoundTrips)
{
    addQueues({QStringLiteral("A"), QStringLiteral("B")});
    lpoptions(
        {QStringLiteral("-p"), QStringLiteral("B/draft"), QStringLiteral("-o"), QStringLiteral("copies=2")});
    cups.printers.setDefaultPrinter(QStringLiteral("B/draft"));
    EXPECT_EQ(cups.printers.defaultPrinterName(), QStringLiteral("B/draft"));
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: B/draft"));
    cups.printers.setDefaultPrinter(QStringLiteral("A"));
    EXPECT_EQ(cups.printers.defaultPrinterName(), QStringLiteral("A"));
    // The instance and its options outlive the change of default.
    EXPECT_TRUE(cups.printers.installedPrinters().contains(QStringLiteral("B/draft")));
}

TEST_F(CupsAdaptersTest, SetDefaultWithEmptyOrUnknownNameRaisesAndChangesNothing)
{
    addQueues({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    cups.printers.setDefaultPrinter(QStringLiteral("B"));
    const LpoptionsSnapshot before(testHome());
    const QString lpstatBefore = lpstatDefault();
    ASSERT_EQ(lpstatBefore, QStringLiteral("system default destination: B"));

    struct Case {
        QString name;
        int number;
    };
    const Case table[] = {
        {QString(), ErrorNumber::InvalidArgument},
        {QStringLiteral("NoSuchQueue"), CupsNotFound},
        {QStringLiteral("B/"), CupsNotFound},
        {QStringLiteral("/B"), CupsNotFound},
        {QStringLiteral("B/nosuchinstance"), CupsNotFound},
    };
    for (const Case& row : table) {
        try {
            cups.printers.setDefaultPrinter(row.name);
            ADD_FAILURE() << "no failure for '" << row.name.toStdString() << "'";
        } catch (const PlatformError& error) {
            EXPECT_EQ(error.number(), row.number) << row.name.toStdString();
            EXPECT_FALSE(error.description().isEmpty());
        }
        EXPECT_TRUE(LpoptionsSnapshot(testHome()) == before) << row.name.toStdString();
        EXPECT_EQ(lpstatDefault(), lpstatBefore) << row.name.toStdString();
        EXPECT_EQ(cups.printers.defaultPrinterName(), QStringLiteral("B"));
    }
}

TEST_F(CupsAdaptersTest, DefaultHiddenByLpdestIsReportedNotPassedOff)
{
    addQueues({QStringLiteral("A"), QStringLiteral("B")});
    qputenv("LPDEST", "A");
    const int number = numberOf([this] { cups.printers.setDefaultPrinter(QStringLiteral("B")); });
    const QString seen = cups.printers.defaultPrinterName();
    qunsetenv("LPDEST");
    EXPECT_EQ(number, ErrorNumber::PrinterService);
    EXPECT_EQ(seen, QStringLiteral("A"));
}

TEST_F(CupsAdaptersTest, UnreachablePrintingSystemRaisesWithCupsNumber)
{
    addQueues({QStringLiteral("A")});
    daemon.stop();
    try {
        cups.printers.installedPrinters();
        FAIL() << "no failure";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.number(), CupsServiceUnavailable);
        EXPECT_TRUE(error.description().contains(daemon.socketPath())) << error.what();
    }
    EXPECT_EQ(numberOf([this] { cups.printers.defaultPrinterName(); }), CupsServiceUnavailable);
    EXPECT_EQ(numberOf([this] { cups.printers.setDefaultPrinter(QStringLiteral("A")); }),
              CupsServiceUnavailable);
    EXPECT_FALSE(QFile::exists(lpoptionsPath()));
}

TEST_F(CupsAdaptersTest, GetDefaultPrinterReportsOnceAndGivesEmpty)
{
    addQueues({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    FakeMessageBoxes boxes;
    DefaultPrinter defaultPrinter(cups.printers, boxes);

    // No default: CUPS lists the queues but marks none.
    EXPECT_EQ(defaultPrinter.get(), QString());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Error No: 1030\r\nNo default printer is set") + ReportEnd);
    EXPECT_EQ(boxes.boxes[0].style, 16);
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Brindlework"));

    // CUPS unreachable.
    daemon.stop();
    EXPECT_EQ(defaultPrinter.get(), QString());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    const QString text = boxes.boxes[1].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Error No: 1282\r\nThe printing system (CUPS) at ") +
                                daemon.socketPath() + QStringLiteral(" is not running")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(ReportEnd)) << text.toStdString();
    EXPECT_EQ(text.split(QStringLiteral("\r\n")).size(), 4) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1Char('\n') + QStringLiteral("\n")));
    EXPECT_EQ(boxes.boxes[1].style, 16);
    EXPECT_EQ(boxes.boxes[1].title, QStringLiteral("Brindlework"));
}

TEST_F(CupsAdaptersTest, RealLpoptionsOfTheUserStayUntouched)
{
    const QString realHome = LpoptionsSnapshot::realHome();
    ASSERT_FALSE(realHome.isEmpty());
    ASSERT_NE(realHome, testHome());
    const LpoptionsSnapshot realBefore(realHome);
    const LpoptionsSnapshot testBefore(testHome());

    addQueues({QStringLiteral("A"), QStringLiteral("B")});
    FakeMessageBoxes boxes;
    DefaultPrinter defaultPrinter(cups.printers, boxes);
    defaultPrinter.set(QStringLiteral("B"));
    defaultPrinter.set(QStringLiteral("A"));
    lpoptions({QStringLiteral("-d"), QStringLiteral("B")});

    // The changes went to the test's HOME ...
    EXPECT_FALSE(LpoptionsSnapshot(testHome()) == testBefore);
    EXPECT_TRUE(QFile::exists(lpoptionsPath()));
    // ... and not to the user's.
    const LpoptionsSnapshot realAfter(realHome);
    EXPECT_TRUE(realAfter == realBefore) << realBefore.describe().toStdString() << "\n--- now:\n"
                                         << realAfter.describe().toStdString();
}

TEST_F(CupsAdaptersTest, HeldQueueKeepsJobsWithTheirTitles)
{
    daemon.addQueue(QStringLiteral("Held"), true);
    daemon.addQueue(QStringLiteral("Open"));
    daemon.runTool(QStringLiteral("lp"),
                   {QStringLiteral("-d"), QStringLiteral("Held"), QStringLiteral("-t"),
                    QStringLiteral("Quarterly report.ods"), QStringLiteral("/etc/hostname")});
    const auto jobs = daemon.jobs(QStringLiteral("Held"));
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].title, QStringLiteral("Quarterly report.ods"));
    EXPECT_EQ(jobs[0].queue, QStringLiteral("Held"));
    EXPECT_EQ(jobs[0].state, 3); // pending
    EXPECT_TRUE(daemon.jobs(QStringLiteral("Open")).empty());
}

TEST_F(CupsAdaptersTest, JobStatesReadsQueuedAndEndedJobsTogether)
{
    daemon.addQueue(QStringLiteral("Held"), true);
    const auto send = [this](const QString& title) {
        return cups.queue.submitFile(QStringLiteral("Held"), QStringLiteral("/etc/hostname"), title, {});
    };
    const int kept = send(QStringLiteral("kept.ods"));
    const int canceled = send(QStringLiteral("gone.ods"));
    daemon.runTool(QStringLiteral("cancel"), {QString::number(canceled)});

    QHash<int, PrintJob> read;
    for (const PrintJob& job : cups.queue.jobStates({kept, canceled, canceled + 1000}))
        read.insert(job.id, job);
    EXPECT_EQ(read.keys().size(), 2);
    EXPECT_EQ(read[kept].state, PrintJob::Pending);
    EXPECT_EQ(read[kept].queue, QStringLiteral("Held"));
    EXPECT_EQ(read[canceled].state, PrintJob::Canceled);
}

TEST_F(CupsAdaptersTest, AKeptPrinterRemovedSinceIsToldAsUnknown)
{
    daemon.addQueue(QStringLiteral("Held"), true);
    cups.queue.keepPrinters();
    const auto send = [this] {
        return cups.queue.submitFile(QStringLiteral("Held"), QStringLiteral("/etc/hostname"),
                                     QStringLiteral("a.ods"), {});
    };
    EXPECT_GT(send(), 0);
    daemon.removeQueue(QStringLiteral("Held"));
    try {
        send();
        ADD_FAILURE() << "sent to a removed printer";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.number(), CupsNotFound);
        EXPECT_EQ(error.description(), QStringLiteral("Unknown printer Held"));
    }
}

TEST_F(CupsAdaptersTest, AFrozenPrintingSystemIsGivenUpOnAndNamed)
{
    addQueues({QStringLiteral("A")});
    QFile pidFile(daemon.folder() + QStringLiteral("/cupsd.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
    ASSERT_GT(pid, 0);
    // The daemon is root's: a user cannot stop it, the fixture can.
    daemon.administer(QStringLiteral("kill"), {QStringLiteral("-STOP"), QString::number(pid)});
    // Each call fails with the same words, the later ones without waiting again.
    for (int call = 0; call < 3; ++call) {
        try {
            cups.printers.installedPrinters();
            ADD_FAILURE() << "no failure";
        } catch (const PlatformError& error) {
            EXPECT_TRUE(error.description().contains(QLatin1String("cannot be reached"))) << error.what();
        }
    }
    daemon.administer(QStringLiteral("kill"), {QStringLiteral("-CONT"), QString::number(pid)});
}

TEST_F(CupsAdaptersTest, AWatchSeesTheJobsCreatedAfterItWithTheirStates)
{
    daemon.addQueue(QStringLiteral("Held"), true);
    daemon.addQueue(QStringLiteral("Open"));
    // Gives the job's name as cancel takes it ("request id is Held-2 (1 file(s))").
    const auto print = [this](const QString& queue, const QString& title) {
        return daemon
            .runTool(QStringLiteral("lp"), {QStringLiteral("-d"), queue, QStringLiteral("-t"), title,
                                            QStringLiteral("/etc/hostname")})
            .section(QLatin1Char(' '), 3, 3);
    };
    const QString before = print(QStringLiteral("Held"), QStringLiteral("before.ods"));
    const int watch = cups.jobs.watchJobs(QStringLiteral("Held"));
    const QString sales = print(QStringLiteral("Held"), QStringLiteral("Q1 sales.ods"));
    print(QStringLiteral("Open"), QStringLiteral("other.ods"));
    daemon.runTool(QStringLiteral("cancel"), {before, sales});

    QHash<QString, PrintJob> last; // by title
    QStringList created;
    int sequence = 0;
    for (const JobEvent& event : cups.jobs.jobEvents(watch, 0)) {
        EXPECT_GT(event.sequence, sequence);
        sequence = event.sequence;
        if (event.created)
            created.append(event.job.title);
        last[event.job.title] = event.job;
    }
    // The earlier job's cancel is told, its creation is not.
    EXPECT_EQ(created, (QStringList{"Q1 sales.ods", "other.ods"}));
    EXPECT_EQ(last[QStringLiteral("Q1 sales.ods")].queue, QStringLiteral("Held"));
    EXPECT_EQ(last[QStringLiteral("Q1 sales.ods")].state, PrintJob::Canceled);
    QStringList listed;
    for (const PrintJob& job : cups.jobs.ownJobs(QStringLiteral("Held"), 0))
        listed << job.title;
    EXPECT_EQ(listed, (QStringList{"before.ods", "Q1 sales.ods"}));
    EXPECT_TRUE(cups.jobs.ownJobs(QStringLiteral("Held"), QDateTime::currentSecsSinceEpoch() + 60).isEmpty());
    // Only what came after the sequence number given.
    EXPECT_TRUE(cups.jobs.jobEvents(watch, sequence).isEmpty());
    cups.jobs.endWatch(watch);
    EXPECT_ANY_THROW(cups.jobs.jobEvents(watch, 0));

    daemon.stop();
    EXPECT_EQ(numberOf([this] { cups.jobs.watchJobs(QStringLiteral("Held")); }), CupsServiceUnavailable);
}

TEST_F(CupsAdaptersTest, TellsWhetherAQueueAcceptsJobs)
{
    addQueues({QStringLiteral("A"), QStringLiteral("B")});
    daemon.disable(QStringLiteral("B"));
    EXPECT_TRUE(cups.printers.acceptsJobs(QStringLiteral("B")));
    daemon.administer(QStringLiteral("cupsreject"), {QStringLiteral("B")});
    EXPECT_FALSE(cups.printers.acceptsJobs(QStringLiteral("B")));
    EXPECT_FALSE(cups.printers.acceptsJobs(QStringLiteral("B/draft")));
    EXPECT_TRUE(cups.printers.acceptsJobs(QStringLiteral("A")));
    EXPECT_FALSE(cups.printers.acceptsJobs(QStringLiteral("Z")));
    EXPECT_FALSE(cups.printers.acceptsJobs(QString()));
    daemon.administer(QStringLiteral("cupsaccept"), {QStringLiteral("B")});
    EXPECT_TRUE(cups.printers.acceptsJobs(QStringLiteral("B")));
}

// The options file is read only as a plain file of at most a megabyte:
// nothing else may hang the program or fill its memory.
TEST_F(CupsAdaptersTest, OptionsAreReadOnlyFromAPlainFileOfBoundedSize)
{
    QDir().mkpath(testHome() + QStringLiteral("/.cups"));
    const QByteArray path = QFile::encodeName(lpoptionsPath());
    const QByteArray fifo = QFile::encodeName(testHome() + QStringLiteral("/fifo"));
    ::mkfifo(fifo.constData(), 0600);
    const QByteArray largest(CupsUserPrinterOptions::MaximumUserOptionsSize, '#');
    const std::vector<std::pair<std::function<void()>, std::optional<QByteArray>>> cases{
        {[&] { ::symlink(fifo.constData(), path.constData()); }, std::nullopt},
        {[&] { ::symlink("/dev/zero", path.constData()); }, std::nullopt},
        {[&] { ::symlink("/nowhere", path.constData()); }, QByteArray("none")},
        {[&] { writeFile(lpoptionsPath(), largest + '#'); }, std::nullopt},
        {[&] { writeFile(lpoptionsPath(), largest); }, largest},
    };
    for (const auto& [plant, read] : cases) {
        QFile::remove(lpoptionsPath());
        plant();
        if (!read) {
            EXPECT_EQ(numberOf([this] { cups.options.readUserOptions(); }), ErrorNumber::FileAccess);
        } else {
            EXPECT_EQ(cups.options.readUserOptions().value_or("none"), *read);
        }
    }
    ::unlink(fifo.constData());
}

} // namespace

} // namespace bw::test
