#include "watch/WatchedFolder.h"

#include "platform/Clock.h"
#include "platform/FolderChangeWait.h"
#include "platform/PlatformError.h"
#include "platform/system/PosixSharedFolder.h"
#include "support/FakePrintJobs.h"
#include "support/FakeProcesses.h"
#include "support/FakeStopRequest.h"
#include "support/QStringPrinter.h"
#include "watch/FolderWatch.h"
#include "watch/WatchNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace bw::test {
namespace {

// Time passes only in waits, each running to its end; after the last one a
// stop is asked for.
class Waits : public Clock, public FolderChangeWait {
public:
    qint64 nowMilliseconds() override { return now; }
    QStringList waitForChange(int timeoutMilliseconds) override
    {
        // A file moved in wakes the wait at once.
        now += arriving.isEmpty() ? timeoutMilliseconds : 10;
        if (--left <= 0)
            stop.requested = true;
        return std::exchange(arriving, {});
    }
    qint64 now = 0;
    int left = 100;
    QStringList arriving;
    FakeStopRequest stop;
};

// Watchers of host "h-1" on a real folder; this one is process 100, and its
// ids are "w1", "w2"... in the order they are made.
class Watch {
public:
    QString path(const QString& relative) const { return dir.path() + QLatin1Char('/') + relative; }
    void write(const QString& relative, const QByteArray& content = "x")
    {
        QDir().mkpath(path(relative).section(QLatin1Char('/'), 0, -2));
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QStringList files(const QString& relative = {}) const
    {
        return QDir(path(relative)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QByteArray read(const QString& relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : "(none)";
    }
    // Its time of change this many minutes ago.
    void age(const QString& relative, int minutes)
    {
        const utimbuf times{::time(nullptr) - minutes * 60, ::time(nullptr) - minutes * 60};
        ASSERT_EQ(::utime(QFile::encodeName(path(relative)).constData(), &times), 0);
    }
    std::unique_ptr<WatchedFolder> watcher(FakeProcesses& of)
    {
        return std::make_unique<WatchedFolder>(
            WatchedFolder::Services{shared, of, jobs, jobs,
                                    [this] { return QStringLiteral("w%1").arg(++ids); }},
            dir.path(), QStringLiteral("h-1"), QStringLiteral("P"));
    }

    // A watch of the folder, its files printed as results says (printed when empty).
    void run(const FolderWatch::Outage& outage = [] { return std::nullopt; })
    {
        folder->open();
        FolderWatch watch({*folder, shared, waits, waits, waits.stop}, {{QStringLiteral("ods")}});
        watch.run(
            [&](const std::vector<WatchedFolder::Claimed>&, const FolderWatch::Done& done) {
                printedAt << waits.now;
                done(0, results.isEmpty() ? FolderWatch::Printed{FolderWatch::Outcome::Printed, {}, 0, {}}
                                          : results.takeFirst());
            },
            outage, [&](const QString& message) { told << message; });
        folder->close();
    }

    QTemporaryDir dir;
    PosixSharedFolder shared;
    FakeProcesses processes;
    FakePrinters printers;
    FakePrintJobs jobs{printers};
    int ids = 0;
    std::unique_ptr<WatchedFolder> folder = watcher(processes);
    Waits waits;
    QList<FolderWatch::Printed> results;
    QList<qint64> printedAt;
    QStringList told;
};

TEST(WatchNamesTest, TakenNamesAreNumbered)
{
    const struct {
        const char* name;
        int number;
        const char* numbered;
    } numbers[] = {
        {"r.ods", 0, "r.ods"}, {"r.ods", 2, "r-2.ods"}, {"plain", 1, "plain-1"}, {"a.b.ods", 3, "a.b-3.ods"}};
    for (const auto& row : numbers)
        EXPECT_EQ(WatchNames::numbered(QString::fromUtf8(row.name), row.number),
                  QString::fromUtf8(row.numbered));
}

// A dead watcher's claims, each with the last step the journal has of it.
TEST(WatchedFolderTest, ClaimsOfDeadWatchersAreSettledByTheJournalAndThePrintingSystem)
{
    Watch w;
    w.printers.printers = QStringList{"P"};
    const int kept = w.jobs.submit(QStringLiteral("P"), QStringLiteral("t2-kept.ods"));
    const int aborted = w.jobs.submit(QStringLiteral("P"), QStringLiteral("t3-aborted.ods"));
    w.jobs.submit(QStringLiteral("P"), QStringLiteral("t10-unrecorded.ods"));
    w.jobs.changeState(aborted, PrintJob::Aborted, QStringLiteral("job-aborted-by-system"));
    const struct {
        const char* watcher;
        const char* claim;
        const char* journal; // the claim's last journal line, without its token
        const char* endsIn;  // "" when it stays claimed
    } table[] = {
        {"deadhere", "t1-unsent.ods", R"("step":"claimed")", "unsent.ods"},
        {"deadhere", "t2-kept.ods", R"("step":"submitted","job":KEPT,"printer":"P")", "printed/kept.ods"},
        {"deadhere", "t3-aborted.ods", R"("step":"submitted","job":ABORTED,"printer":"P")",
         "failed/aborted.ods"},
        {"deadhere", "t4-forgotten.ods", R"("step":"submitted","job":99,"printer":"P")",
         "printed/forgotten.ods"},
        {"deadhere", "t5-filed.ods", R"("step":"filed","to":"failed","reason":"no")", "failed/filed.ods"},
        {"deadhere", "t6-lost.ods", nullptr, "lost.ods"},
        {"deadhere", "t10-unrecorded.ods", R"("step":"claimed","at":"2026-01-01T00:00:00Z")",
         "printed/unrecorded.ods"},
        {"stale", "t7-away.ods", nullptr, "away.ods"},
        {"alivehere", "t8-live.ods", nullptr, ""},
        {"fresh", "t9-remote.ods", nullptr, ""},
    };
    w.write(QStringLiteral(".brindlework/deadhere/.watcher"), "h-1\n8\nboot/8\n");
    w.write(QStringLiteral(".brindlework/alivehere/.watcher"), "h-1\n7\nboot/7\n");
    w.processes.alive[7] = QStringLiteral("boot/7");
    w.write(QStringLiteral(".brindlework/stale/.watcher"), "h-2\n8\nboot/8\n");
    w.write(QStringLiteral(".brindlework/fresh/.watcher"), "h-2\n8\nboot/8\n");
    QByteArray journal;
    for (const auto& row : table) {
        const QString claim = QString::fromUtf8(row.claim);
        w.write(QStringLiteral(".brindlework/%1/%2").arg(QString::fromUtf8(row.watcher), claim), row.claim);
        if (row.journal)
            journal += QStringLiteral("{\"claim\":\"%1\",%2}\n")
                           .arg(claim.section(QLatin1Char('-'), 0, 0),
                                QString::fromUtf8(row.journal)
                                    .replace(QStringLiteral("KEPT"), QString::number(kept))
                                    .replace(QStringLiteral("ABORTED"), QString::number(aborted)))
                           .toUtf8();
    }
    w.write(QStringLiteral(".brindlework/journal.jsonl"), journal);
    w.age(QStringLiteral(".brindlework/stale"), 6);
    w.age(QStringLiteral(".brindlework/fresh"), 4);

    w.folder->open();

    for (const auto& row : table) {
        const QString endsIn = QString::fromUtf8(row.endsIn);
        if (endsIn.isEmpty())
            EXPECT_EQ(w.read(QStringLiteral(".brindlework/%1/%2").arg(row.watcher, row.claim)), row.claim);
        else
            EXPECT_EQ(w.read(endsIn), row.claim) << row.claim;
    }
    EXPECT_TRUE(w.read(QStringLiteral("failed/aborted.ods.txt")).contains("job-aborted-by-system"));
    EXPECT_EQ(QDir(w.path(QStringLiteral(".brindlework")))
                  .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"alivehere", "fresh", "w1"}));
    EXPECT_EQ(w.files(QStringLiteral(".brindlework/w1")), QStringList{".watcher"});
    w.folder->close();
    EXPECT_FALSE(QDir(w.path(QStringLiteral(".brindlework/w1"))).exists());
}

TEST(WatchedFolderTest, AFileIsClaimedOnceAndFiledWithoutReplacingAnything)
{
    Watch w;
    w.folder->open();
    FakeProcesses otherProcess;
    otherProcess.current = 101;
    const auto second = w.watcher(otherProcess);
    second->open();
    for (const char* name : {"a.ods", "b.ods", "printed/a.ods", "printed/a-1.ods", "failed/b.ods.txt"})
        w.write(QString::fromUtf8(name), name);

    const auto a = w.folder->claim(QStringLiteral("a.ods"));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->path, w.path(QStringLiteral(".brindlework/w1/%1-a.ods").arg(a->token)));
    EXPECT_EQ(second->claim(QStringLiteral("a.ods")), std::nullopt);
    EXPECT_EQ(w.folder->filePrinted(*a), w.path(QStringLiteral("printed/a-2.ods")));
    const auto b = second->claim(QStringLiteral("b.ods"));
    ASSERT_TRUE(b);
    EXPECT_EQ(second->fileFailed(*b, QStringLiteral("the printer does not accept jobs")),
              w.path(QStringLiteral("failed/b-1.ods")));
    EXPECT_EQ(w.folder->claim(QStringLiteral("gone.ods")), std::nullopt);

    EXPECT_EQ(w.files(QStringLiteral("printed")), (QStringList{"a-1.ods", "a-2.ods", "a.ods"}));
    EXPECT_EQ(w.read(QStringLiteral("printed/a-2.ods")), "a.ods");
    EXPECT_EQ(w.files(QStringLiteral("failed")), (QStringList{"b-1.ods", "b-1.ods.txt", "b.ods.txt"}));
    EXPECT_EQ(w.read(QStringLiteral("failed/b-1.ods.txt")), "the printer does not accept jobs\n");
    EXPECT_EQ(w.files(QStringLiteral(".brindlework/w1")), QStringList{".watcher"});
    const QByteArray journal = w.read(QStringLiteral(".brindlework/journal.jsonl"));
    EXPECT_EQ(journal.count('\n'), 4);
    EXPECT_TRUE(journal.contains(
        QStringLiteral(R"("claim":"%1","step":"filed","to":"printed")").arg(a->token).toUtf8()))
        << journal.toStdString();
}

TEST(WatchedFolderTest, AFileWhoseJobCupsAbortsLaterMovesOnToFailed)
{
    Watch w;
    w.printers.printers = QStringList{"P"};
    w.folder->open();
    const int kept = w.jobs.submit(QStringLiteral("P"), QStringLiteral("kept"));
    const int aborted = w.jobs.submit(QStringLiteral("P"), QStringLiteral("aborted"));
    for (const auto& [name, job] : {std::pair{"kept.ods", kept}, std::pair{"aborted.ods", aborted}}) {
        w.write(QString::fromUtf8(name));
        const auto claimed = w.folder->claim(QString::fromUtf8(name));
        ASSERT_TRUE(claimed);
        w.folder->follow(*claimed, job, QStringLiteral("P"), w.folder->filePrinted(*claimed));
    }
    EXPECT_EQ(w.folder->followUp(), QStringList());
    w.jobs.changeState(aborted, PrintJob::Aborted, QStringLiteral("the printer jammed"));
    EXPECT_EQ(w.folder->followUp().size(), 1);
    EXPECT_EQ(w.files(QStringLiteral("printed")), QStringList{"kept.ods"});
    EXPECT_EQ(w.files(QStringLiteral("failed")), (QStringList{"aborted.ods", "aborted.ods.txt"}));
    EXPECT_TRUE(w.read(QStringLiteral("failed/aborted.ods.txt")).contains("the printer jammed"));
    EXPECT_TRUE(w.read(QStringLiteral(".brindlework/journal.jsonl")).contains(R"("state":"aborted")"));
}

TEST(WatchedFolderTest, AFolderOfTheWatchThatIsALinkIsRefusedAndAFolderGoneOrReplacedEndsIt)
{
    Watch w;
    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), w.path(QStringLiteral("failed"))));
    EXPECT_THROW(w.folder->open(), PlatformError);
    EXPECT_TRUE(QDir(outside.path()).isEmpty());

    QFile::remove(w.path(QStringLiteral("failed")));
    ::chmod(QFile::encodeName(w.dir.path()).constData(), 0777);
    const QStringList told = w.folder->open();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().startsWith("warning: others may write")) << qPrintable(told.first());
    w.folder->checkStillThere();
    ASSERT_TRUE(QDir().rename(w.dir.path(), w.dir.path() + QStringLiteral("-away")));
    ASSERT_TRUE(QDir().mkdir(w.dir.path()));
    EXPECT_THROW(w.folder->checkStillThere(), PlatformError);
    QDir(w.dir.path() + QStringLiteral("-away")).removeRecursively();
}

// A file moved in is taken at once, one written in place once it has
// settled; links, FIFOs and folders are named once and left alone.
TEST(FolderWatchTest, ArrivalsAreTakenAndOtherEntriesLeftAloneWhileTheWatchGoesOn)
{
    Watch w;
    QTemporaryDir outside;
    QFile secret(outside.path() + QStringLiteral("/salary.ods"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(secret.fileName(), w.path(QStringLiteral("q.ods"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(w.path(QStringLiteral("f.ods"))).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(w.path(QStringLiteral("d.ods"))));
    w.write(QStringLiteral("moved.ods"));
    w.waits.arriving = {QStringLiteral("moved.ods")};
    w.waits.left = 3;

    w.run();
    w.write(QStringLiteral("written.ods"));
    const qint64 written = w.waits.now;
    w.waits.stop.requested = false;
    w.waits.left = 100;
    w.run();

    ASSERT_EQ(w.printedAt.size(), 2);
    EXPECT_LT(w.printedAt.at(0), 2000);
    EXPECT_GE(w.printedAt.at(1) - written, 2000);
    EXPECT_EQ(QDir(w.path(QStringLiteral("printed"))).entryList(QDir::Files),
              (QStringList{"moved.ods", "written.ods"}));
    EXPECT_TRUE(QFile::exists(secret.fileName()));
    for (const char* name : {"q.ods", "f.ods", "d.ods"}) {
        EXPECT_TRUE(QFileInfo::exists(w.path(QString::fromUtf8(name)))) << name;
        EXPECT_EQ(w.told.filter(QString::fromUtf8(name)).size(), 2) << name; // once a run
    }
    EXPECT_EQ(w.told.size(), 6) << w.told.join('\n').toStdString();
}

TEST(FolderWatchTest, APassingOutageKeepsTheFilesAndIsTriedAgainLaterAndLaterALastingFaultFailsAtOnce)
{
    Watch w;
    w.write(QStringLiteral("a.ods"));
    w.write(QStringLiteral("b.ods"));
    w.results = {{FolderWatch::Outcome::Passing, QStringLiteral("the office does not start"), 0, {}},
                 {FolderWatch::Outcome::Failed, QStringLiteral("not a document"), 0, {}}};
    QList<qint64> asked;
    int down = 2;
    w.run([&]() -> std::optional<QString> {
        asked << w.waits.now;
        if (down-- > 0)
            return QStringLiteral("CUPS cannot be reached");
        return std::nullopt;
    });

    // Down twice, then the office once: 1 s, 2 s, 4 s.
    ASSERT_GE(asked.size(), 4);
    EXPECT_EQ(asked.at(1) - asked.at(0), 1000);
    EXPECT_EQ(asked.at(2) - asked.at(1), 2000);
    EXPECT_EQ(asked.at(3) - asked.at(2), 4000);
    EXPECT_EQ(w.told,
              (QStringList{"waiting, files stay in the folder: CUPS cannot be reached", "printing again"}));
    EXPECT_EQ(QDir(w.path(QStringLiteral("failed"))).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(QDir(w.path(QStringLiteral("printed"))).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files), QStringList());
}

} // namespace
} // namespace bw::test
