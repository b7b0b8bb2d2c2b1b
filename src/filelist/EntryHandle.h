#pragma once

#include <QtGlobal>

namespace bw {

class FileListModel;

// A reference to one entry of a file list. It outlives the entry: once the
// entry has left the list, the list gives its position as 0.
class EntryHandle {
public:
    EntryHandle() = default;
    friend bool operator==(const EntryHandle&, const EntryHandle&) = default;

private:
    friend class FileListModel;
    explicit EntryHandle(quint64 id) : id_(id) {}
    quint64 id_ = 0; // 0 refers to no entry
};

} // namespace bw
