#include "filelist/FileListModel.h"

#include "platform/PlatformError.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace bw::test {

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

TEST(FileListModel, EveryTextComesBackAsGiven)
{
    FileListModel list;
    const QString lone = QString(QChar(0xD800)) + QStringLiteral("x.ods"); // not UTF-8 material
    list.appendAll({QString::fromUtf8("/\u00e4/\u65e5\u672c.ods"), lone, QString()});
    list.setTextAt(3, lone);
    EXPECT_EQ(list.paths(), (QStringList{QString::fromUtf8("/\u00e4/\u65e5\u672c.ods"), lone, lone}));
    EXPECT_EQ(list.data(list.index(1), Qt::DisplayRole).toString(), lone);
}

TEST(FileListModel, PositionsOutsideTheListFailAndChangeNothing)
{
    FileListModel list;
    list.append(QStringLiteral("A"));
    EXPECT_THROW(list.removeAt(0), PlatformError);
    EXPECT_THROW(list.removeAt(2), PlatformError);
    EXPECT_THROW(list.textAt(2), PlatformError);
    EXPECT_THROW(list.select(0), PlatformError);
    EXPECT_EQ(list.paths(), QStringList{"A"});
}

TEST(FileListModel, HandleBecomesNoneWhenItsEntryLeavesTheList)
{
    FileListModel list;
    list.appendAll({"A", "B", "C"});
    const EntryHandle b = list.entryAt(2);
    list.removeAt(1);
    EXPECT_EQ(list.positionOf(b), 1); // moves with removals
    list.setTextAt(1, QStringLiteral("B2"));
    EXPECT_EQ(list.positionOf(b), 1); // a new text keeps the identity
    list.removeAt(1);
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
    list.appendAll({"A", "X", "C", "D"});
    list.setTextAt(1, QStringLiteral("Y"));
    list.removeAt(4);
    list.setHeaderData(0, Qt::Horizontal, QStringLiteral("Calc File(s)"), Qt::DisplayRole);
    EXPECT_EQ(list.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Calc File(s)"));
    EXPECT_EQ(list.data(list.index(1), Qt::DisplayRole).toString(), QStringLiteral("X"));
}

// A move to a neighbour carries the path in a new entry and shows as two
// changed rows; anything but a neighbour inside the list fails and changes nothing.
TEST(FileListModel, MoveToNeighbourCarriesThePathInANewEntry)
{
    const struct {
        int position, neighbour, selected;
        QStringList after; // empty: the move fails
        int selectedAfter;
    } table[] = {
        {3, 2, 3, {"A", "C", "B"}, 0},
        {1, 2, 2, {"B", "A", "C"}, 1},
        {2, 3, 1, {"A", "C", "B"}, 1},
        {1, 3, 1, {}, 1},
        {0, 1, 0, {}, 0},
        {3, 4, 3, {}, 3},
        {2, 2, 2, {}, 2},
    };
    for (const auto& c : table) {
        FileListModel list;
        QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
        list.appendAll({"A", "B", "C"});
        if (c.selected > 0)
            list.select(c.selected);
        const bool valid = !c.after.isEmpty();
        const EntryHandle moved = valid ? list.entryAt(c.position) : EntryHandle();
        const EntryHandle neighbour = valid ? list.entryAt(c.neighbour) : EntryHandle();
        QSignalSpy changed(&list, &FileListModel::dataChanged);
        QSignalSpy inserted(&list, &FileListModel::rowsInserted);
        QSignalSpy removed(&list, &FileListModel::rowsRemoved);
        QSignalSpy selection(&list, &FileListModel::selectedPositionChanged);
        if (!valid) {
            EXPECT_THROW(list.moveToNeighbour(c.position, c.neighbour), PlatformError) << c.position;
            EXPECT_EQ(list.paths(), (QStringList{"A", "B", "C"}));
            EXPECT_EQ(changed.count() + selection.count(), 0);
        } else {
            list.moveToNeighbour(c.position, c.neighbour);
            EXPECT_EQ(list.paths(), c.after) << c.position;
            EXPECT_EQ(list.positionOf(moved), 0);
            EXPECT_EQ(list.positionOf(neighbour), c.position);
            ASSERT_EQ(changed.count(), 1);
            EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), std::min(c.position, c.neighbour) - 1);
            EXPECT_EQ(changed.at(0).at(1).toModelIndex().row(), std::max(c.position, c.neighbour) - 1);
            // The moved path's old entry, if it was selected, takes the selection with it.
            EXPECT_EQ(selection.count(), c.selected == c.position ? 1 : 0);
        }
        EXPECT_EQ(inserted.count() + removed.count(), 0);
        EXPECT_EQ(list.selectedPosition(), c.selectedAfter) << c.position;
    }
}

TEST(FileListModel, SelectedPositionFollowsTheEntryThroughInsertionsAndRemovals)
{
    FileListModel list;
    list.appendAll({"A", "B", "C", "D", "E", "F"});
    list.select(5);
    const struct {
        std::function<void()> change;
        int selectedAfter;
    } steps[] = {
        {[&] { list.removeAt(1); }, 4},
        {[&] { list.removeAt(1); }, 3},
        {[&] { list.append(QStringLiteral("Z")); }, 3},
        {[&] { list.removeAt(3); }, 0},
    };
    for (const auto& step : steps) {
        step.change();
        EXPECT_EQ(list.selectedPosition(), step.selectedAfter);
        if (step.selectedAfter > 0) {
            EXPECT_EQ(list.textAt(step.selectedAfter), QStringLiteral("E"));
        }
    }
}

} // namespace bw::test
