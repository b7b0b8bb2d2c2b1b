#pragma once

#include "appearance/PointerRules.h"
#include "filelist/EntryHandle.h"

#include <QString>

namespace bw {

class FileListModel;
class ListDragPort;
class ListViewPort;
class WindowPointer;

// Reordering the file list with the mouse: after a click on an entry, a held
// button carries its path over the rows, exchanging texts with each row the
// pointer reaches. Entries are never inserted or removed by a drag.
class DragReorder {
public:
    static constexpr int ScrollUpBelowScreenY = 305;   // pointer above this screen row: show the row above
    static constexpr int ScrollDownAboveScreenY = 364; // pointer below this screen row: show the row below

    DragReorder(FileListModel& list, ListViewPort& view, ListDragPort& drag, WindowPointer& window,
                QString programFolder);

    // ListView1_ItemClick: an entry was clicked (and is the selected one).
    void itemClick();
    // ListView1_MouseDown: any button goes down over the list.
    void mouseDown();
    // ListView1_MouseMove, with the point in the list's own coordinates.
    void mouseMove(int x, int y);
    // ListView1_MouseUp: any button comes up.
    void mouseUp();

    QString dragIconPath() const;
    const EntryHandle& draggedEntry() const { return dragged_; }

private:
    void exchangeWith(const EntryHandle& target);
    void scrollBeside(int targetPosition);

    FileListModel& list_;
    ListViewPort& view_;
    ListDragPort& drag_;
    PointerRules pointerRules_;
    QString programFolder_;
    bool dragging_ = false;
    EntryHandle dragged_;
};

} // namespace bw
