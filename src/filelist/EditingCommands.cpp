#include "filelist/EditingCommands.h"

#include "filelist/FileListModel.h"
#include "filelist/SkipOnFailure.h"
#include "platform/ListViewPort.h"

namespace bw {

namespace {

// The selected entry's text; fails when nothing is selected.
QString selectedText(const FileListModel& list)
{
    const auto entry = list.selectedEntry().lock();
    if (!entry)
        throw PlatformError(ErrorNumber::ObjectNotSet, QStringLiteral("Object variable not set"));
    return entry->path;
}

} // namespace

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
    skipOnFailure([&] { list_.insertAt(p - 1, selectedText(list_)); });
    skipOnFailure([&] { list_.removeAt(p + 1); });
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
    skipOnFailure([&] { list_.insertAt(p + 2, selectedText(list_)); });
    skipOnFailure([&] { list_.removeAt(p); });
    skipOnFailure([&] { list_.select(p + 1); });
    skipOnFailure([&] { view_.ensureVisible(p + 1); });
    view_.focusList();
}

} // namespace bw
