#include "filelist/DragReorder.h"

#include "filelist/EditingCommands.h"
#include "filelist/FileListModel.h"
#include "support/FakeListDragPort.h"
#include "support/FakeListViewPort.h"
#include "support/FakeWindowPointer.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace bw::test {
using bw::test::FakeListDragPort;
using bw::test::FakeListViewPort;
using bw::test::FakeWindowPointer;

namespace {

const QString ProgramFolder = QStringLiteral("/opt/bw");
const QString DragIcon = QStringLiteral("/opt/bw/drag.ico");

// One thing the user (or another command) does. Row 0 in a move means a
// point below the last row.
struct Step {
    enum Kind { Click, Down, Move, Up, Remove, MoveUp, MoveDown } kind;
    int row = 0;
};

Step click(int row)
{
    return {Step::Click, row};
}
Step down()
{
    return {Step::Down};
}
Step move(int row)
{
    return {Step::Move, row};
}
Step up()
{
    return {Step::Up};
}
Step removeRow(int row)
{
    return {Step::Remove, row};
}
Step moveUpCommand()
{
    return {Step::MoveUp};
}
Step moveDownCommand()
{
    return {Step::MoveDown};
}

// A list wired to the drag handlers over fakes, like the real window.
struct DragBench {
    explicit DragBench(const QStringList& paths)
    {
        list.appendAll(paths);
        drag.rows = list.count();
    }

    void run(const Step& step)
    {
        switch (step.kind) {
        case Step::Click:
            // The widget selects the entry under the button, then reports the click.
            list.select(step.row);
            reorder.itemClick();
            break;
        case Step::Down:
            reorder.mouseDown();
            break;
        case Step::Move:
            reorder.mouseMove(5, step.row > 0 ? drag.rowY(step.row) : drag.rowY(list.count() + 1));
            break;
        case Step::Up:
            reorder.mouseUp();
            break;
        case Step::Remove:
            list.removeAt(step.row);
            drag.rows = list.count();
            break;
        case Step::MoveUp:
            commands.moveUp();
            break;
        case Step::MoveDown:
            commands.moveDown();
            break;
        }
    }

    void run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps)
            run(step);
    }

    FileListModel list;
    QAbstractItemModelTester tester{&list, QAbstractItemModelTester::FailureReportingMode::Fatal};
    FakeListViewPort view;
    FakeListDragPort drag;
    FakeWindowPointer window;
    DragReorder reorder{list, view, drag, window, ProgramFolder};
    EditingCommands commands{list, view};
};

struct Case {
    const char* name;
    QStringList before;
    std::vector<Step> steps;
    QStringList after;
    int selectedAfter;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class DragRule : public ::testing::TestWithParam<Case> {};

TEST_P(DragRule, GivesTheOrderAndSelection)
{
    const Case& c = GetParam();
    DragBench bench(c.before);
    bench.run(c.steps);
    EXPECT_EQ(bench.list.paths(), c.after);
    EXPECT_EQ(bench.list.selectedPosition(), c.selectedAfter);
}

const QStringList ABCD{"A", "B", "C", "D"};

INSTANTIATE_TEST_SUITE_P(
    Cases, DragRule,
    ::testing::Values(
        Case{"SlowDragDownMovesOneRowAtATime",
             ABCD,
             {click(1), down(), move(1), move(2), move(3), move(4), up()},
             {"B", "C", "D", "A"},
             4},
        Case{"SlowDragBackRestores",
             ABCD,
             {click(1), down(), move(2), move(3), move(4), move(3), move(2), move(1), up()},
             ABCD,
             1},
        Case{"JumpExchangesOnlyTheTwoEnds", ABCD, {click(1), down(), move(4), up()}, {"D", "B", "C", "A"}, 4},
        Case{"JumpThenSlowBack",
             ABCD,
             {click(1), down(), move(4), move(3), move(2), move(1), up()},
             {"A", "D", "B", "C"},
             1},
        Case{"EqualPathIsPassedOver", {"P", "P", "Q"}, {click(1), down(), move(2)}, {"P", "P", "Q"}, 1},
        Case{"EqualPathThenOtherPath",
             {"P", "P", "Q"},
             {click(1), down(), move(2), move(3)},
             {"Q", "P", "P"},
             3},
        Case{"OwnRowChangesNothing", ABCD, {click(2), down(), move(2), move(2)}, ABCD, 2},
        Case{"BelowTheLastRowNothingThenResumes",
             ABCD,
             {click(1), down(), move(2), move(0), move(3)},
             {"B", "C", "A", "D"},
             3},
        Case{"NoClickSinceStartMovesNothing", ABCD, {down(), move(1), move(2), move(4)}, ABCD, 0},
        Case{"MovesWithoutAButtonDownMoveNothing", ABCD, {click(1), up(), move(2), move(3)}, ABCD, 1},
        Case{"ReleaseEndsTheDrag", ABCD, {click(1), down(), move(2), up(), move(3)}, {"B", "A", "C", "D"}, 2},
        Case{"DraggedEntryOutlastsTheRelease",
             ABCD,
             {click(1), down(), move(2), up(), down(), move(3), up()},
             {"B", "C", "A", "D"},
             3},
        Case{"EmptyList", {}, {down(), move(1), move(0), up()}, {}, 0},
        Case{"RemovedDraggedEntryMovesNothing",
             ABCD,
             {click(2), removeRow(2), down(), move(1), move(3), up()},
             {"A", "C", "D"},
             0},
        Case{"RemovedDraggedEntryUntilTheNextClick",
             ABCD,
             {click(2), removeRow(2), down(), move(1), up(), click(1), down(), move(2), up()},
             {"C", "A", "D"},
             2},
        Case{"MoveUpReplacesTheDraggedEntry",
             ABCD,
             {click(3), moveUpCommand(), down(), move(1), move(4), up()},
             {"A", "C", "B", "D"},
             2},
        Case{"MoveDownReplacesTheDraggedEntry",
             ABCD,
             {click(1), moveDownCommand(), down(), move(1), move(4), up()},
             {"B", "A", "C", "D"},
             2},
        Case{"OtherEntryRemovedDragGoesOn",
             ABCD,
             {click(1), removeRow(4), down(), move(3)},
             {"C", "B", "A"},
             3}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(DragReorder, TargetIsSelectedAfterEachExchange)
{
    DragBench bench(ABCD);
    bench.run({click(1), down()});
    const int rows[] = {2, 3, 4, 2, 1};
    for (int row : rows) {
        bench.run(move(row));
        EXPECT_EQ(bench.list.selectedPosition(), row) << "after reaching row " << row;
        EXPECT_EQ(bench.list.positionOf(bench.reorder.draggedEntry()), row);
        EXPECT_EQ(bench.list.textAt(row), QStringLiteral("A"));
    }
}

TEST(DragReorder, ClickShowsTheDragIconAndMakesTheListAManualDragSource)
{
    DragBench bench(ABCD);
    bench.run(click(2));
    EXPECT_EQ(bench.drag.calls,
              (QStringList{QStringLiteral("pointer:99"), QStringLiteral("picture:") + DragIcon,
                           QStringLiteral("manual")}));
    EXPECT_EQ(bench.drag.listPointer, ListDragPort::CustomPointer);
    EXPECT_TRUE(bench.drag.dragSourceManual);
    EXPECT_TRUE(bench.reorder.draggedEntry() == bench.list.entryAt(2));

    // The release shows the arrow; the next click reads the icon anew.
    bench.drag.calls.clear();
    bench.run({down(), up()});
    EXPECT_EQ(bench.drag.listPointer, ListDragPort::ArrowPointer);
    bench.run(click(3));
    EXPECT_EQ(bench.drag.listPointer, ListDragPort::CustomPointer);
    EXPECT_EQ(bench.drag.calls,
              (QStringList{QStringLiteral("pointer:1"), QStringLiteral("pointer:99"),
                           QStringLiteral("picture:") + DragIcon, QStringLiteral("manual")}));
}

TEST(DragReorder, UnreadableDragIconKeepsTheArrowAndTheDragWorks)
{
    DragBench bench(ABCD);
    bench.drag.pictureLoads = false;
    bench.run(click(1));
    EXPECT_EQ(bench.drag.listPointer, ListDragPort::ArrowPointer);
    EXPECT_TRUE(bench.drag.dragSourceManual);
    bench.run({down(), move(2), move(3), up()});
    EXPECT_EQ(bench.list.paths(), (QStringList{"B", "C", "A", "D"}));
    EXPECT_EQ(bench.drag.listPointer, ListDragPort::ArrowPointer);
}

TEST(DragReorder, ClickWithNothingSelectedRecordsNone)
{
    DragBench bench(ABCD);
    bench.run({click(1), down(), up()});
    bench.list.clearSelection();
    bench.reorder.itemClick();
    EXPECT_EQ(bench.list.positionOf(bench.reorder.draggedEntry()), 0);
    bench.run({down(), move(2)});
    EXPECT_EQ(bench.list.paths(), ABCD);
}

// Window pointer code before a list move, whether a drag runs, code after.
struct PointerCase {
    int before;
    bool dragging;
    int after;
};

TEST(DragReorder, ListMovesResetTheWindowPointerUnlessBusy)
{
    const PointerCase table[] = {
        {WindowPointer::Default, false, WindowPointer::Default},
        {WindowPointer::Custom, false, WindowPointer::Default},
        {WindowPointer::Busy, false, WindowPointer::Busy},
        {WindowPointer::Default, true, WindowPointer::Default},
        {WindowPointer::Custom, true, WindowPointer::Default},
        {WindowPointer::Busy, true, WindowPointer::Busy},
    };
    for (const PointerCase& c : table) {
        DragBench bench(ABCD);
        bench.run(click(1));
        if (c.dragging)
            bench.run(down());
        bench.window.code = c.before;
        bench.run(move(2));
        EXPECT_EQ(bench.window.code, c.after) << c.before << (c.dragging ? " dragging" : "");
        // The drag itself goes on under the busy pointer.
        EXPECT_EQ(bench.list.textAt(2), c.dragging ? QStringLiteral("A") : QStringLiteral("B"));
        // Set on every move, even to the value it already has.
        EXPECT_EQ(bench.window.set.size(), c.before == WindowPointer::Busy ? 0 : 1);
    }
}

// Auto-scroll: which row is brought into view after an exchange onto a target
// row, by the pointer's screen row. 0 means none.
struct ScrollCase {
    int draggedRow;
    int targetRow;
    int screenY;
    int shown;
};

TEST(DragReorder, AutoScrollFollowsTheScreenRow)
{
    const ScrollCase table[] = {
        {7, 5, 304, 4},  {7, 5, 305, 0},  {7, 5, 330, 0}, {7, 5, 364, 0}, {7, 5, 365, 6},
        {7, 5, 0, 4},    {7, 5, 2000, 6}, {3, 1, 304, 0}, {3, 1, 365, 2}, {1, 10, 365, 0},
        {1, 10, 304, 9}, {4, 9, 365, 10}, {4, 9, 364, 0}, {4, 6, 304, 5},
    };
    for (const ScrollCase& c : table) {
        QStringList paths;
        for (int i = 1; i <= 10; ++i)
            paths.append(QStringLiteral("/d/%1.ods").arg(i));
        DragBench bench(paths);
        bench.drag.screenY = c.screenY;
        bench.run({click(c.draggedRow), down(), move(c.targetRow)});
        const QStringList expected =
            c.shown > 0 ? QStringList{QStringLiteral("ensureVisible:%1").arg(c.shown)} : QStringList{};
        EXPECT_EQ(bench.view.calls, expected) << c.draggedRow << "->" << c.targetRow << " at y " << c.screenY;
    }
}

TEST(DragReorder, NoScrollWithoutAnExchange)
{
    const int screenRows[] = {0, 304, 365, 1000};
    for (int screenY : screenRows) {
        DragBench bench({"P", "P", "Q", "R", "S"});
        bench.drag.screenY = screenY;
        bench.run({click(2), down(), move(2), move(1), move(0)}); // own row, equal path, no row
        EXPECT_TRUE(bench.view.calls.isEmpty()) << screenY;
        EXPECT_EQ(bench.list.paths(), (QStringList{"P", "P", "Q", "R", "S"}));
    }
}

} // namespace

} // namespace bw::test
