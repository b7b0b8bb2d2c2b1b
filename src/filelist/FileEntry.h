#pragma once

#include <QString>
#include <memory>

namespace bw {

// One row of the file list: a path and an identity of its own.
struct FileEntry {
    explicit FileEntry(QString p) : path(std::move(p)) {}
    QString path;
};

// A reference to an entry that reads as none once the entry has left the list.
class EntryHandle {
public:
    EntryHandle() = default;
    explicit EntryHandle(const std::shared_ptr<FileEntry>& entry) : entry_(entry) {}

    bool isNone() const { return entry_.expired(); }
    std::shared_ptr<FileEntry> lock() const { return entry_.lock(); }
    bool refersTo(const FileEntry* entry) const { return !isNone() && entry_.lock().get() == entry; }

    friend bool operator==(const EntryHandle& a, const EntryHandle& b)
    {
        return a.entry_.lock() == b.entry_.lock();
    }

private:
    std::weak_ptr<FileEntry> entry_;
};

} // namespace bw
