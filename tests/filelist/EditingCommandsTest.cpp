#include "filelist/EditingCommands.h"

#include "filelist/FileListModel.h"
#include "support/FakeListViewPort.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace bw::test {
using bw::test::FakeListViewPort;

namespace {

enum class Command { Delete, MoveUp, MoveDown };

struct Case {
    const char* name;
    QStringList before;
    int selected; // 0: none
    std::vector<Command> commands;
    QStringList after;
    int selectedAfter;
    QStringList viewCalls; // what the view was asked, in order
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class EditingCommandsTable : public ::testing::TestWithParam<Case> {};

TEST_P(EditingCommandsTable, GivesTheOrderSelectionAndViewCalls)
{
    const Case& c = GetParam();
    FileListModel list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    FakeListViewPort view;
    EditingCommands commands(list, view);
    list.appendAll(c.before);
    if (c.selected > 0)
        list.select(c.selected);
    for (Command command : c.commands) {
        switch (command) {
        case Command::Delete:
            commands.removeSelected();
            break;
        case Command::MoveUp:
            commands.moveUp();
            break;
        case Command::MoveDown:
            commands.moveDown();
            break;
        }
    }
    EXPECT_EQ(list.paths(), c.after);
    EXPECT_EQ(list.selectedPosition(), c.selectedAfter);
    EXPECT_EQ(view.calls, c.viewCalls);
}

using C = Command;
const QStringList ABC{"A", "B", "C"};

INSTANTIATE_TEST_SUITE_P(
    Cases, EditingCommandsTable,
    ::testing::Values(
        Case{"EmptyListDeleteDoesNothing", {}, 0, {C::Delete}, {}, 0, {}},
        Case{"EmptyListMovesOnlyFocus", {}, 0, {C::MoveUp, C::MoveDown}, {}, 0, {"focus", "focus"}},
        Case{"SingleEntryMovesOnlyFocus", {"A"}, 1, {C::MoveUp, C::MoveDown}, {"A"}, 1, {"focus", "focus"}},
        Case{"FirstEntryMoveUpUnchanged", ABC, 1, {C::MoveUp}, ABC, 1, {"focus"}},
        Case{"LastEntryMoveDownUnchanged", ABC, 3, {C::MoveDown}, ABC, 3, {"focus"}},
        Case{"MoveUpOnce", ABC, 3, {C::MoveUp}, {"A", "C", "B"}, 2, {"ensureVisible:2", "focus"}},
        Case{"MoveUpToTopThenOnlyFocus",
             ABC,
             3,
             {C::MoveUp, C::MoveUp, C::MoveUp},
             {"C", "A", "B"},
             1,
             {"ensureVisible:2", "focus", "ensureVisible:1", "focus", "focus"}},
        Case{"MoveDownToBottomThenOnlyFocus",
             ABC,
             1,
             {C::MoveDown, C::MoveDown, C::MoveDown},
             {"B", "C", "A"},
             3,
             {"ensureVisible:2", "focus", "ensureVisible:3", "focus", "focus"}},
        Case{"NoSelectionMoveDownSelectsFirst", ABC, 0, {C::MoveDown}, ABC, 1, {"ensureVisible:1", "focus"}},
        Case{"NoSelectionMoveUpOnlyFocus", ABC, 0, {C::MoveUp}, ABC, 0, {"focus"}},
        Case{"NoSelectionDeleteDoesNothing", ABC, 0, {C::Delete}, ABC, 0, {}},
        Case{"DuplicatePathsMoveByPosition",
             {"A", "B", "A"},
             3,
             {C::MoveUp},
             {"A", "A", "B"},
             2,
             {"ensureVisible:2", "focus"}},
        Case{"DeleteSelectedMiddle", ABC, 2, {C::Delete}, {"A", "C"}, 0, {}},
        Case{"DeleteTwiceRemovesOnlyOnce", ABC, 1, {C::Delete, C::Delete}, {"B", "C"}, 0, {}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(EditingCommands, DeleteKeyRemovesWhateverTheModifiersOtherKeysAreLeft)
{
    FileListModel list;
    FakeListViewPort view;
    EditingCommands commands(list, view);
    list.appendAll({"A", "B"});
    list.select(1);
    EXPECT_FALSE(commands.keyDown(45)); // Insert
    EXPECT_FALSE(commands.keyDown(8));  // Backspace
    EXPECT_EQ(list.count(), 2);
    EXPECT_TRUE(commands.keyDown(EditingCommands::DeleteKeyCode));
    EXPECT_EQ(list.paths(), QStringList{"B"});
}

TEST(EditingCommands, MovedPathIsCarriedByANewEntry)
{
    FileListModel list;
    FakeListViewPort view;
    EditingCommands commands(list, view);
    list.appendAll({"A", "B", "C"});
    list.select(2);
    const EntryHandle before = list.selectedEntry();
    commands.moveDown();
    EXPECT_EQ(list.positionOf(before), 0);
    EXPECT_EQ(list.textAt(list.selectedPosition()), QStringLiteral("B"));
}

} // namespace

} // namespace bw::test
