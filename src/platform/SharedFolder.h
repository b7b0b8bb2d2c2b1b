#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace bw {

// One name in a folder that other programs, possibly on other machines,
// change at the same time.
struct SharedFolderEntry {
    QString name;
    bool isRegularFile = false;
    bool isDirectory = false;
    qint64 size = 0;
    qint64 modifiedMilliseconds = 0; // since the epoch
    // False when the name's bytes are not UTF-8: the name above then stands
    // in for it and names nothing.
    bool nameIsText = true;
};

// A folder shared with other writers and other watchers: every change is
// made so that a concurrent one can neither lose nor overwrite a file.
// Failures throw PlatformError.
class SharedFolder {
public:
    enum class Move { Moved, TargetTaken, SourceGone };

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
};

} // namespace bw
