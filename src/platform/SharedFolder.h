#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace bw {

// One name in a folder that other programs, possibly on other machines,
// change at the same time.
struct SharedFolderEntry {
    QString name;
    // As the name itself is (a link is neither, whatever it points at).
    bool isRegularFile = false;
    bool isDirectory = false;
    bool isLink = false;
    qint64 size = 0;
    qint64 modifiedMilliseconds = 0; // since the epoch
    // What tells this folder or file apart from a later one of the same name.
    quint64 device = 0;
    quint64 inode = 0;
    // Others than the owner may add and remove names in it.
    bool othersMayWrite = false;
    // Only a name's owner may remove it (the sticky bit).
    bool ownersOnlyRemove = false;
};

// A folder shared with other writers and other watchers: every change is
// made so that a concurrent one can neither lose nor overwrite a file.
// Failures throw PlatformError.
class SharedFolder {
public:
    enum class Move { Moved, TargetTaken, SourceGone };
    // Whether a file may be taken now.
    enum class Use {
        Closed,  // a regular file no process has open for writing, as far as can be told
        Writing, // a process of this machine still has it open for writing
        NotAFile // gone, a link or anything but a regular file
    };

    virtual ~SharedFolder() = default;

    virtual std::vector<SharedFolderEntry> entries(const QString& folder) = 0;
    // The folder and its parents; nothing when it is there.
    virtual void makeFolder(const QString& path) = 0;
    // Atomic: of several moves of one source only one succeeds, and an
    // existing target is never replaced.
    virtual Move moveWithoutReplacing(const QString& from, const QString& to) = 0;
    // False when the path is taken.
    virtual bool createFile(const QString& path, const QByteArray& content) = 0;
    // Empty when the file is not there.
    virtual QByteArray read(const QString& path) = 0;
    // Quietly: a file, or a folder once it is empty.
    virtual void remove(const QString& path) = 0;

    // The name itself, links not followed; nothing when it is not there.
    virtual std::optional<SharedFolderEntry> entry(const QString& path) = 0;
    // Opened without following a link; never blocks on a FIFO or a device.
    virtual Use use(const QString& path) = 0;
    // Adds the line to the file (made when missing) and waits until it is on disk.
    virtual void append(const QString& path, const QByteArray& line) = 0;
    // Sets its time of change to now, as the file server's clock has it.
    virtual void touch(const QString& path) = 0;
};

} // namespace bw
