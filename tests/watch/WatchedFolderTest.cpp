#include "watch/WatchedFolder.h"

#include "platform/system/PosixSharedFolder.h"
#include "support/FakeProcesses.h"
#include "support/QStringPrinter.h"
#include "watch/WatchNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace bw::test {
namespace {

// Watchers of host "h-1" on a real folder; this one is process 100.
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

    QTemporaryDir dir;
    PosixSharedFolder shared;
    FakeProcesses processes;
    WatchedFolder folder{shared, processes, dir.path(), QStringLiteral("h-1")};
};

TEST(WatchNamesTest, WatchersOfThisHostAreKnownByTheirFolderAndTakenNamesNumbered)
{
    const struct {
        const char* folder;
        qint64 pid; // 0: not a watcher of host h-1
    } watchers[] = {{"h-1-42", 42}, {"h-1-7", 7}, {"h-2-42", 0},  {"h-42", 0},
                    {"h-1-4x", 0},  {"h-1-", 0},  {".h-1-42", 0}, {"h-1--4", 0}};
    for (const auto& row : watchers)
        EXPECT_EQ(WatchNames::watcherOf(QStringLiteral("h-1"), QString::fromUtf8(row.folder)).value_or(0),
                  row.pid)
            << row.folder;

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

TEST(WatchedFolderTest, AtStartClaimsOfEndedWatchersOfThisHostComeBackAndNoOthers)
{
    Watch w;
    const struct {
        const char* watcher;
        const char* name;
        const char* mark;  // the watcher's mark, nullptr for none
        const char* alive; // that process number's identity now, nullptr for none
        bool putBack;
    } table[] = {
        {"h-1-7", "live.ods", "boot/7", "boot/7", false},
        {"h-1-8", "gone.ods", "boot/8", nullptr, true},
        {"h-1-9", "reused.ods", "boot/9", "boot/9b", true},
        {"h-1-10", "unmarked.ods", nullptr, "boot/10", true},
        {"h-1-100", "mine.ods", "boot/100-old", "boot/100", true},
        {"h-1-11", "taken.ods", nullptr, nullptr, true},
        {"other-8", "remote.ods", nullptr, nullptr, false},
    };
    w.write(QStringLiteral("taken.ods"), "new");
    for (const auto& row : table) {
        const QString folder = QStringLiteral(".brindlework/") + QString::fromUtf8(row.watcher);
        w.write(folder + QLatin1Char('/') + QString::fromUtf8(row.name), row.name);
        if (row.mark)
            w.write(folder + QStringLiteral("/.watcher"), row.mark);
        if (row.alive)
            w.processes.alive[QString::fromUtf8(row.watcher).section(QLatin1Char('-'), -1).toLongLong()] =
                QString::fromUtf8(row.alive);
    }

    const QStringList back = w.folder.open();

    for (const auto& row : table) {
        const QString name = QString::fromUtf8(row.name);
        EXPECT_EQ(w.files(QStringLiteral(".brindlework/") + QString::fromUtf8(row.watcher)).contains(name),
                  !row.putBack)
            << row.name;
        const QString backAs = name == "taken.ods" ? QStringLiteral("taken-1.ods") : name;
        EXPECT_EQ(back.contains(w.path(backAs)), row.putBack) << row.name;
        if (row.putBack) {
            EXPECT_EQ(w.read(backAs), QByteArray(row.name)) << row.name;
        }
    }
    EXPECT_EQ(w.read(QStringLiteral("taken.ods")), "new");
    EXPECT_EQ(QDir(w.path(QStringLiteral(".brindlework"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"h-1-100", "h-1-7", "other-8"}));
    EXPECT_EQ(w.read(QStringLiteral(".brindlework/h-1-100/.watcher")), "boot/100");
    w.folder.close();
    EXPECT_FALSE(QDir(w.path(QStringLiteral(".brindlework/h-1-100"))).exists());
}

TEST(WatchedFolderTest, AFileIsClaimedOnceAndFiledWithoutReplacingAnything)
{
    Watch w;
    w.folder.open();
    FakeProcesses otherProcess;
    otherProcess.current = 101;
    WatchedFolder second(w.shared, otherProcess, w.dir.path(), QStringLiteral("h-1"));
    second.open();
    for (const char* name : {"a.ods", "b.ods", "printed/a.ods", "printed/a-1.ods", "failed/b.ods.txt"})
        w.write(QString::fromUtf8(name), name);

    ASSERT_EQ(w.folder.claim(QStringLiteral("a.ods")), w.path(QStringLiteral(".brindlework/h-1-100/a.ods")));
    EXPECT_EQ(second.claim(QStringLiteral("a.ods")), std::nullopt);
    EXPECT_EQ(w.folder.filePrinted(QStringLiteral("a.ods")), w.path(QStringLiteral("printed/a-2.ods")));
    ASSERT_TRUE(second.claim(QStringLiteral("b.ods")));
    EXPECT_EQ(second.fileFailed(QStringLiteral("b.ods"), QStringLiteral("the printer does not accept jobs")),
              w.path(QStringLiteral("failed/b-1.ods")));
    EXPECT_EQ(w.folder.claim(QStringLiteral("gone.ods")), std::nullopt);

    EXPECT_EQ(w.files(QStringLiteral("printed")), (QStringList{"a-1.ods", "a-2.ods", "a.ods"}));
    EXPECT_EQ(w.read(QStringLiteral("printed/a-2.ods")), "a.ods");
    EXPECT_EQ(w.files(QStringLiteral("failed")), (QStringList{"b-1.ods", "b-1.ods.txt", "b.ods.txt"}));
    EXPECT_EQ(w.read(QStringLiteral("failed/b-1.ods.txt")), "the printer does not accept jobs\n");
    EXPECT_EQ(w.read(QStringLiteral("failed/b.ods.txt")), "failed/b.ods.txt");
    EXPECT_EQ(w.files(QStringLiteral(".brindlework/h-1-100")), QStringList{".watcher"});
}

} // namespace
} // namespace bw::test
