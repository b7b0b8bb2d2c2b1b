#pragma once

#include <QStringList>
#include <cstdint>
#include <set>
#include <utility>

namespace bw {

class FileSystem;
class Yielder;

// CollectSubFolders: gathers every sub-folder of a folder list level by level
// (breadth first), yielding to the event queue as it reads so the window stays
// live. Hidden folders are not entered. Each walk keeps its own listings and
// its own record of visited folders, so a folder reached again through a link
// is not entered twice and a second walk started inside a yield is unaffected.
// A folder that cannot be listed, or a name whose status cannot be read, is
// passed over and the walk goes on. When the yielder asks for a stop, the walk
// stops at that yield.
class FolderWalk {
public:
    FolderWalk(FileSystem& fileSystem, Yielder& yielder);

    // folders holds paths that end in "/"; the sub-folders found below them
    // are appended in the same form: the first level, then the next, and so on.
    // Stops at the first yield after the yielder asks for a stop; the
    // folders found by then are appended.
    void collectSubFolders(QStringList& folders);
    bool stopped() const { return stopped_; }

private:
    using FolderIdentity = std::pair<std::uint64_t, std::uint64_t>; // device, inode

    // Lists one level; returns the sub-folders of all its folders, in order.
    QStringList subFoldersOf(const QStringList& level);
    bool markVisited(const QString& folder);
    // Yields; false when the walk is to stop.
    bool yieldAndGoOn();

    FileSystem& fileSystem_;
    Yielder& yielder_;
    std::set<FolderIdentity> visited_;
    bool stopped_ = false;
};

} // namespace bw
