#include "filelist/DragReorder.h"

#include "filelist/FileListModel.h"
#include "platform/ListDragPort.h"
#include "platform/ListViewPort.h"

namespace bw {

DragReorder::DragReorder(FileListModel& list, ListViewPort& view, ListDragPort& drag, WindowPointer& window,
                         QString programFolder)
    : list_(list), view_(view), drag_(drag), pointerRules_(window), programFolder_(std::move(programFolder))
{
}

QString DragReorder::dragIconPath() const
{
    return programFolder_ + QStringLiteral("/drag.ico");
}

void DragReorder::itemClick()
{
    drag_.setListPointer(ListDragPort::CustomPointer);
    // Read anew at every click; without a readable icon the list keeps its arrow.
    if (!drag_.loadListPointerPicture(dragIconPath()))
        drag_.setListPointer(ListDragPort::ArrowPointer);
    drag_.setDragSourceManual();
    dragged_ = list_.selectedEntry();
}

void DragReorder::mouseDown()
{
    dragging_ = true;
}

void DragReorder::mouseMove(int x, int y)
{
    pointerRules_.backgroundMouseMove();
    if (!dragging_)
        return;
    const int targetPosition = drag_.hitTest(x, y);
    if (targetPosition < 1 || targetPosition > list_.count())
        return;
    // An entry that has left the list since the click counts as none.
    if (list_.positionOf(dragged_) == 0)
        return;
    const EntryHandle target = list_.entryAt(targetPosition);
    exchangeWith(target);
}

void DragReorder::exchangeWith(const EntryHandle& target)
{
    const int draggedPosition = list_.positionOf(dragged_);
    const int targetPosition = list_.positionOf(target);
    const QString kept = list_.textAt(draggedPosition);
    const QString targetText = list_.textAt(targetPosition);
    if (targetText == kept)
        return; // the same path: passed over without change
    list_.setTextAt(draggedPosition, targetText);
    list_.setTextAt(targetPosition, kept);
    list_.select(targetPosition);
    dragged_ = target;
    scrollBeside(targetPosition);
}

void DragReorder::scrollBeside(int targetPosition)
{
    const int screenY = drag_.cursorScreenY();
    if (screenY < ScrollUpBelowScreenY) {
        if (targetPosition - 1 > 0)
            view_.ensureVisible(targetPosition - 1);
    } else if (screenY > ScrollDownAboveScreenY) {
        if (targetPosition + 1 <= list_.count())
            view_.ensureVisible(targetPosition + 1);
    }
}

void DragReorder::mouseUp()
{
    dragging_ = false;
    drag_.setListPointer(ListDragPort::ArrowPointer);
}

} // namespace bw
