#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

namespace bw {

// One name in a folder listing ("." and ".." are never returned).
struct DirectoryEntry {
    QString name;
    bool isDirectory = false;   // a folder, or a link to one
    bool isRegularFile = false; // a regular file, or a link to one
    bool isHidden = false;      // the name begins with "."
};

// What the file system tells about one path (links followed).
struct FileStatus {
    bool isDirectory = false;
    bool isRegularFile = false;
    bool isHidden = false;
    bool isReadable = true; // a regular file this process may open for reading (not asked of others)
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The file system, as the logic needs it. Failures throw PlatformError.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual QDateTime lastModified(const QString& path) = 0;
    virtual FileStatus status(const QString& path) = 0;
    // Every entry of a folder, in the order the file system gives them.
    virtual std::vector<DirectoryEntry> listDirectory(const QString& folder) = 0;
};

} // namespace bw
