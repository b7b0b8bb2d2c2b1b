#include "filelist/EditingCommands.h"

#include "filelist/FileListModel.h"
#include "filelist/SkipOnFailure.h"
#include "platform/ListViewPort.h"

namespace bw {

EditingCommands::EditingCommands(FileListModel& list, ListViewPort& view) : list_(list), view_(view) {}

bool EditingCommands::keyDown(int keyCode)
{
    if (keyCode != DeleteKeyCode)
        return false;
    removeSelected();
    return true;
}

void EditingCommands::removeSelected()
{
    const int position = list_.selectedPosition();
    if (position == 0)
        return; // no selected entry: the removal does not run
    skipOnFailure([&] { list_.removeAt(position); });
}

void EditingCommands::moveUp()
{
    const int p = list_.selectedPosition();
    if (p <= 1) {
        view_.focusList();
        return;
    }
    skipOnFailure([&] { list_.moveToNeighbour(p, p - 1); });
    skipOnFailure([&] { list_.select(p - 1); });
    skipOnFailure([&] { view_.ensureVisible(p - 1); });
    view_.focusList();
}

void EditingCommands::moveDown()
{
    const int p = list_.selectedPosition();
    if (p >= list_.count()) {
        view_.focusList();
        return;
    }
    // With nothing selected (p = 0) there is nothing to move.
    skipOnFailure([&] { list_.moveToNeighbour(p, p + 1); });
    skipOnFailure([&] { list_.select(p + 1); });
    skipOnFailure([&] { view_.ensureVisible(p + 1); });
    view_.focusList();
}

} // namespace bw
