#include "watch/FolderWatch.h"

#include "platform/Clock.h"
#include "platform/FolderChangeWait.h"
#include "platform/system/PosixSharedFolder.h"
#include "support/FakePrinterServices.h"
#include "support/FakeProcesses.h"
#include "support/FakeStopRequest.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

class Watch {
public:
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    void write(const QString& name)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    void run(const FolderWatch::Outage& outage = [] { return std::nullopt; })
    {
        folder.open();
        FolderWatch watch({folder, shared, waits, waits, waits.stop}, {QStringLiteral("ods")});
        watch.run(
            [&](const std::vector<WatchedFolder::Claimed>&, const FolderWatch::Done& done) {
                printedAt << waits.now;
                done(0, results.isEmpty() ? FolderWatch::Printed{FolderWatch::Outcome::Printed, {}, 0, {}}
                                          : results.takeFirst());
            },
            outage, [&](const QString& message) { told << message; });
        folder.close();
    }

    QTemporaryDir dir;
    PosixSharedFolder shared;
    FakeProcesses processes;
    FakePrinterServices printers;
    int ids = 0;
    WatchedFolder folder{{shared, processes, printers, [this] { return QStringLiteral("w%1").arg(++ids); }},
                         dir.path(),
                         QStringLiteral("h")};
    Waits waits;
    QList<FolderWatch::Printed> results;
    QList<qint64> printedAt;
    QStringList told;
};

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
