#include "filelist/FileListModel.h"
#include "platform/PlatformError.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace bw;

TEST(FileListModel, PositionsRunFromOneToCountInAppendOrder)
{
    FileListModel list;
    list.append(QStringLiteral("/a.ods"));
    list.appendAll({QStringLiteral("/b.ods"), QStringLiteral("/a.ods")});
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.paths(), (QStringList{"/a.ods", "/b.ods", "/a.ods"}));
    EXPECT_EQ(list.textAt(3), QStringLiteral("/a.ods"));
    EXPECT_EQ(list.selectedPosition(), 0);
}

TEST(FileListModel, PositionsOutsideTheListFailAndChangeNothing)
{
    FileListModel list;
    list.append(QStringLiteral("A"));
    EXPECT_THROW(list.removeAt(0), PlatformError);
    EXPECT_THROW(list.removeAt(2), PlatformError);
    EXPECT_THROW(list.insertAt(3, QStringLiteral("X")), PlatformError);
    EXPECT_THROW(list.textAt(2), PlatformError);
    EXPECT_THROW(list.select(0), PlatformError);
    EXPECT_EQ(list.paths(), QStringList{"A"});
    list.insertAt(2, QStringLiteral("B")); // Count + 1 appends
    EXPECT_EQ(list.paths(), (QStringList{"A", "B"}));
}

TEST(FileListModel, HandleBecomesNoneWhenItsEntryLeavesTheList)
{
    FileListModel list;
    list.appendAll({"A", "B", "C"});
    const EntryHandle b = list.entryAt(2);
    list.insertAt(1, QStringLiteral("Z"));
    EXPECT_EQ(list.positionOf(b), 3); // moves with insertions
    list.setTextAt(3, QStringLiteral("B2"));
    EXPECT_FALSE(b.isNone()); // a new text keeps the identity
    list.removeAt(3);
    EXPECT_TRUE(b.isNone());
    EXPECT_EQ(list.positionOf(b), 0);
}

TEST(FileListModel, RemovingTheSelectedEntryLeavesNoSelectionAndSaysSo)
{
    FileListModel list;
    list.appendAll({"A", "B", "C"});
    QSignalSpy spy(&list, &FileListModel::selectedPositionChanged);
    list.select(2);
    list.removeAt(2);
    EXPECT_EQ(list.paths(), (QStringList{"A", "C"}));
    EXPECT_EQ(list.selectedPosition(), 0);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 0);
}

TEST(FileListModel, ItemModelContractHoldsWhileTheListChanges)
{
    FileListModel list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.appendAll({"A", "B", "C"});
    list.insertAt(2, QStringLiteral("X"));
    list.setTextAt(1, QStringLiteral("Y"));
    list.removeAt(4);
    list.setHeaderData(0, Qt::Horizontal, QStringLiteral("Calc File(s)"), Qt::DisplayRole);
    EXPECT_EQ(list.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Calc File(s)"));
    EXPECT_EQ(list.data(list.index(1), Qt::DisplayRole).toString(), QStringLiteral("X"));
}
