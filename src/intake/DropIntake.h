#pragma once

#include <QStringList>

class QMimeData;

namespace bw {

class FileListModel;
class FileSystem;
class Yielder;

// ListView1_OLEDragOver / ListView1_OLEDragDrop: only drags that carry local
// files are welcome. Dropped entries are handled in the dropped order, and
// their rows always go to the end of the list: a file as it comes, a folder
// (hidden ones too) as every file of its tree, breadth first, with "//"
// collapsed. FIFOs, sockets and devices are never appended. A drop stopped
// because the program is ending appends nothing more.
class DropIntake {
public:
    DropIntake(FileSystem& fileSystem, Yielder& yielder, FileListModel& list);

    // The local paths a drag carries, in its order; empty unless it holds at
    // least one URL and every URL is a local file.
    static QStringList droppedPaths(const QMimeData& data);
    static bool acceptsDrag(const QMimeData& data) { return !droppedPaths(data).isEmpty(); }

    void run(const QStringList& paths);

private:
    FileSystem& fileSystem_;
    Yielder& yielder_;
    FileListModel& list_;
};

} // namespace bw
