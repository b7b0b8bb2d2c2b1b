#pragma once

#include "platform/FileSystem.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

namespace bw::test {

// A file tree in memory. Paths are absolute with "/" separators; a folder
// lists its children in the order they were added. Any path can be told to
// fail its listing or its status.
class FakeFileSystem : public FileSystem {
public:
    enum class Kind { File, Folder, Special, Link };

    FakeFileSystem();

    void addFolder(const QString& path);
    void addFile(const QString& path);
    void addSpecial(const QString& path); // a FIFO, socket or device
    void remove(const QString& path);     // with everything below it
    // A symbolic link to an absolute path; status and listings follow it.
    void addLink(const QString& path, const QString& target);
    bool exists(const QString& path) const;

    QDateTime lastModified(const QString& path) override;
    FileStatus status(const QString& path) override;
    std::vector<DirectoryEntry> listDirectory(const QString& folder) override;

    QSet<QString> failListing;
    QSet<QString> failStatus;
    QSet<QString> unreadable;
    std::function<void(const QString&)> onList; // runs before each listing
    QStringList listed;                         // every folder listed, in order

private:
    struct Node {
        Kind kind;
        QStringList children;
        std::uint64_t inode;
        QString target = {}; // of a link
    };
    // The path with every link on it followed; "" when a link chain loops.
    QString resolve(const QString& path) const;
    static QString normalise(const QString& path);
    static QString parentOf(const QString& path);
    static QString nameOf(const QString& path);
    void add(const QString& path, Kind kind);

    QMap<QString, Node> nodes_;
    std::uint64_t nextInode_ = 1;
};

} // namespace bw::test
