#include "intake/FolderWalk.h"

#include "intake/IntakeRules.h"
#include "platform/FileSystem.h"
#include "platform/PlatformError.h"
#include "platform/Yielder.h"

#include <vector>

namespace bw {

FolderWalk::FolderWalk(FileSystem& fileSystem, Yielder& yielder) : fileSystem_(fileSystem), yielder_(yielder)
{
}

bool FolderWalk::markVisited(const QString& folder)
{
    try {
        const FileStatus status = fileSystem_.status(folder);
        if (!status.isDirectory)
            return false;
        return visited_.insert({status.device, status.inode}).second;
    } catch (const PlatformError&) {
        return false;
    }
}

bool FolderWalk::yieldAndGoOn()
{
    yielder_.yieldToEvents();
    stopped_ = stopped_ || yielder_.stopRequested();
    return !stopped_;
}

QStringList FolderWalk::subFoldersOf(const QStringList& level)
{
    QStringList found;
    for (const QString& folder : level) {
        std::vector<DirectoryEntry> entries;
        try {
            entries = fileSystem_.listDirectory(folder);
        } catch (const PlatformError&) {
            // An unreadable folder contributes no sub-folders.
        }
        if (!yieldAndGoOn())
            return found;
        for (const DirectoryEntry& entry : entries) {
            if (entry.isHidden)
                continue;
            if (!yieldAndGoOn())
                return found;
            if (!entry.isDirectory)
                continue;
            const QString path = folder + entry.name;
            if (markVisited(path))
                found.append(path + IntakeRules::Separator);
        }
    }
    return found;
}

void FolderWalk::collectSubFolders(QStringList& folders)
{
    for (const QString& folder : folders)
        markVisited(folder);

    // Read level after level; each level's folders are handed up through
    // every level above it, one yield per hand-up, as a recursive walk would.
    std::vector<QStringList> levels;
    QStringList current = subFoldersOf(folders);
    while (!current.isEmpty() && !stopped_) {
        QStringList next = subFoldersOf(current);
        levels.push_back(std::move(current));
        current = std::move(next);
    }
    qsizetype handedUp = 0;
    for (auto level = levels.rbegin(); level != levels.rend() && !stopped_; ++level) {
        handedUp += level->size();
        for (qsizetype i = 0; i < handedUp && yieldAndGoOn(); ++i) {
        }
    }
    for (QStringList& level : levels)
        folders.append(std::move(level));
}

} // namespace bw
