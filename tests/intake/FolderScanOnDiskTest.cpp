#include "TempTree.h"
#include "filelist/FileListModel.h"
#include "intake/FolderScanCommand.h"
#include "platform/qt/EventLoopYielder.h"
#include "platform/system/PosixFileSystem.h"
#include "support/FakeDialogs.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeWindowPointer.h"
#include "support/FakeYielder.h"
#include "support/QtPrinters.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

class FolderScanOnDiskTest : public ::testing::Test {
protected:
    test::TempTree tree;
    PosixFileSystem fileSystem;
    test::FakeYielder yielder;
    test::FakeWindowPointer pointer;
    test::FakeMessageBoxes boxes;
    FileListModel list;

    QStringList scan(const QString& extension, const QString& relativeFolder = QString())
    {
        return scanWith(yielder, extension, relativeFolder);
    }

    QStringList scanWith(Yielder& useYielder, const QString& extension, const QString& relativeFolder)
    {
        test::FakeDialogs dialogs;
        dialogs.typedText = extension;
        dialogs.chosenFolder = tree.path(relativeFolder);
        const int before = list.count();
        FolderScanCommand(dialogs, fileSystem, useYielder, pointer, boxes, list).run();
        return list.paths().mid(before);
    }
};

TEST_F(FolderScanOnDiskTest, TheWorkedExampleGivesItsRowsInOrder)
{
    for (const char* file : {"Data/a.ods", "Data/~a.ods", "Data/b.txt", "Data/X/c.ods", "Data/Y/Z/d.ods"})
        tree.file(QString::fromLatin1(file));
    EXPECT_EQ(scan(QStringLiteral("ods"), QStringLiteral("Data")),
              (QStringList{tree.path("Data/a.ods"), tree.path("Data/X/c.ods"), tree.path("Data/Y/Z/d.ods")}));
    EXPECT_EQ(pointer.set, (QList<int>{WindowPointer::Busy, WindowPointer::Default}));
}

TEST_F(FolderScanOnDiskTest, ExtensionsMatchWithoutRegardToCaseAndHiddenFoldersAreNotEntered)
{
    for (const char* file :
         {"a.ods", "B.ODS", "c.Ods", "d.txt", "e..ods", "noext", ".hidden.ods", "~tilde.ods", ".~lock.a.ods#",
          "S/g.oDs", "S/~h.ods", "S/.~lock.g.oDs#", "S/i.txt", ".Hid/j.ods", "S/.deep/k.ods"})
        tree.file(QString::fromLatin1(file));
    const struct {
        const char* extension;
        QStringList top;
        QStringList sub;
    } table[] = {
        {"ods", {"a.ods", "B.ODS", "c.Ods", "e..ods", ".hidden.ods"}, {"g.oDs"}},
        {"ODS", {"a.ods", "B.ODS", "c.Ods", "e..ods", ".hidden.ods"}, {"g.oDs"}},
        {".ods", {"e..ods"}, {}},
        {"*", {"a.ods", "B.ODS", "c.Ods", "d.txt", "e..ods", "noext", ".hidden.ods"}, {"g.oDs", "i.txt"}},
    };
    for (const auto& row : table) {
        const QStringList expected =
            tree.inListingOrder(QString(), row.top) + tree.inListingOrder(QStringLiteral("S"), row.sub);
        EXPECT_EQ(scan(QString::fromLatin1(row.extension)), expected) << row.extension;
    }
}

TEST_F(FolderScanOnDiskTest, AnEmptyTreeAppendsNothing)
{
    tree.folder(QStringLiteral("A/B/C"));
    tree.folder(QStringLiteral("D"));
    EXPECT_TRUE(scan(QStringLiteral("*")).isEmpty());
    EXPECT_EQ(pointer.code, WindowPointer::Default);
}

TEST_F(FolderScanOnDiskTest, TheSameFilesTwiceAreAppendedTwice)
{
    tree.file(QStringLiteral("a.ods"));
    tree.file(QStringLiteral("S/b.ods"));
    const QStringList once{tree.path("a.ods"), tree.path("S/b.ods")};
    scan(QStringLiteral("ods"));
    scan(QStringLiteral("ods"));
    EXPECT_EQ(list.paths(), once + once);
}

TEST_F(FolderScanOnDiskTest, AFolderTooLargeForOneReadIsListedWhole)
{
    for (int i = 0; i < 1000; ++i) // about 150 KB of entries: the listing takes several reads
        tree.file(QStringLiteral("Big/%1-%2.ods").arg(QString(120, QLatin1Char('s'))).arg(i));
    EXPECT_EQ(scan(QStringLiteral("ods"), QStringLiteral("Big")).size(), 1000);
}

TEST_F(FolderScanOnDiskTest, ASymbolicLinkLoopEnds)
{
    tree.file(QStringLiteral("a.ods"));
    tree.file(QStringLiteral("S/b.ods"));
    tree.link(QStringLiteral("S/up"), tree.path());
    tree.link(QStringLiteral("S/self"), QStringLiteral("."));
    tree.link(QStringLiteral("again"), QStringLiteral("S"));
    const QStringList rows = scan(QStringLiteral("ods"));
    // S is entered once, by whichever of its two names the listing gives first.
    const QStringList subFolder = tree.listingOrder(QString()).indexOf(QStringLiteral("again")) <
                                          tree.listingOrder(QString()).indexOf(QStringLiteral("S"))
                                      ? QStringList{tree.path("again/b.ods")}
                                      : QStringList{tree.path("S/b.ods")};
    EXPECT_EQ(rows, QStringList{tree.path("a.ods")} + subFolder);
}

TEST_F(FolderScanOnDiskTest, SpecialFilesAreNeverAppended)
{
    tree.file(QStringLiteral("a.ods"));
    tree.fifo(QStringLiteral("pipe.ods"));
    tree.fifo(QStringLiteral("S/pipe"));
    tree.link(QStringLiteral("to-pipe.ods"), QStringLiteral("pipe.ods"));
    tree.link(QStringLiteral("to-a.ods"), QStringLiteral("a.ods"));
    tree.link(QStringLiteral("dangling.ods"), QStringLiteral("nowhere.ods"));
    EXPECT_EQ(scan(QStringLiteral("*")), tree.inListingOrder(QString(), {"a.ods", "to-a.ods"}));
}

TEST_F(FolderScanOnDiskTest, AFolderDeletedDuringTheWalkIsPassedOver)
{
    for (const char* file : {"a.ods", "A/x.ods", "B/y.ods", "B/C/z.ods"})
        tree.file(QString::fromLatin1(file));
    // A tree of the same shape tells how many yields a walk makes.
    test::FakeYielder counting;
    scanWith(counting, QStringLiteral("ods"), QString());
    const int lastYield = counting.yields;

    const struct {
        const char* what;
        int atYield;
        const char* removed;
        QStringList rows;
        bool startFolderMessage;
    } table[] = {
        {"removed after the root was listed", 1, "B", {"a.ods", "A/x.ods"}, false},
        {"removed after it was collected, before its files are listed",
         lastYield,
         "A",
         {"a.ods", "B/y.ods", "B/C/z.ods"},
         false},
        {"the start folder, before its files are listed", lastYield, "", {}, true},
    };
    for (const auto& row : table) {
        test::TempTree fresh;
        for (const char* file : {"a.ods", "A/x.ods", "B/y.ods", "B/C/z.ods"})
            fresh.file(QString::fromLatin1(file));
        test::FakeYielder deleting;
        deleting.onYield = [&](int count) {
            if (count == row.atYield)
                fresh.remove(QString::fromLatin1(row.removed));
        };
        test::FakeDialogs dialogs;
        dialogs.typedText = QStringLiteral("ods");
        dialogs.chosenFolder = fresh.path();
        test::FakeWindowPointer freshPointer;
        FileListModel freshList;
        test::FakeMessageBoxes shown;
        FolderScanCommand(dialogs, fileSystem, deleting, freshPointer, shown, freshList).run();
        ASSERT_EQ(shown.boxes.size(), row.startFolderMessage ? 1u : 0u) << row.what;
        if (row.startFolderMessage) {
            EXPECT_EQ(shown.boxes[0].text,
                      FolderScanCommand::unreadableFolderMessage(
                          fresh.path(), QStringLiteral("No such file or directory: ") + fresh.path() + "/"))
                << row.what;
        }
        QStringList expected;
        for (const QString& relative : row.rows)
            expected.append(fresh.path(relative));
        EXPECT_EQ(freshList.paths(), expected) << row.what;
        EXPECT_EQ(freshPointer.code, WindowPointer::Default) << row.what;
    }
}

TEST_F(FolderScanOnDiskTest, ASecondScanStartedFromTheEventQueueInsideAYieldCompletes)
{
    for (const char* file : {"Outer/a.ods", "Outer/S/b.ods", "Inner/c.txt", "Inner/T/d.txt"})
        tree.file(QString::fromLatin1(file));
    EventLoopYielder eventLoop;
    QStringList innerRows;
    bool ranInside = false;
    // Posted before the outer scan starts, so only a yield of the walk can run it.
    QTimer::singleShot(0, [&] {
        ranInside = true;
        innerRows = scanWith(eventLoop, QStringLiteral("txt"), QStringLiteral("Inner"));
    });
    scanWith(eventLoop, QStringLiteral("ods"), QStringLiteral("Outer"));
    ASSERT_TRUE(ranInside);
    EXPECT_EQ(innerRows, (QStringList{tree.path("Inner/c.txt"), tree.path("Inner/T/d.txt")}));
    EXPECT_EQ(list.paths(), (QStringList{tree.path("Inner/c.txt"), tree.path("Inner/T/d.txt"),
                                         tree.path("Outer/a.ods"), tree.path("Outer/S/b.ods")}));
    EXPECT_EQ(pointer.code, WindowPointer::Default);
}

} // namespace

} // namespace bw::test
