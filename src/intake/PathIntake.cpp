#include "intake/PathIntake.h"

#include "intake/TreeScan.h"
#include "intake/WildcardPattern.h"
#include "platform/FileSystem.h"
#include "platform/PlatformError.h"

#include <QDir>

namespace bw {

PathIntake::PathIntake(FileSystem& fileSystem, Yielder& yielder) : fileSystem_(fileSystem), yielder_(yielder)
{
}

std::vector<PathIntake::Item> PathIntake::take(const QStringList& paths, const QStringList& extensions,
                                               const QString& currentFolder)
{
    const QDir current(currentFolder);
    const WildcardPattern pattern = WildcardPattern::forExtensions(extensions);
    std::vector<Item> items;
    items.reserve(paths.size());
    for (const QString& given : paths)
        items.push_back(takeOne(QDir::cleanPath(current.absoluteFilePath(given)), pattern));
    return items;
}

PathIntake::Item PathIntake::takeOne(const QString& path, const WildcardPattern& pattern)
{
    FileStatus status;
    try {
        status = fileSystem_.status(path);
    } catch (const PlatformError& error) {
        return {path, Kind::Missing, {path}, error.description()};
    }
    if (status.isRegularFile && !status.isReadable)
        return {path, Kind::Unreadable, {path}, QStringLiteral("Cannot be read (no permission): ") + path};
    if (status.isRegularFile)
        return {path, Kind::File, {path}, {}};
    if (!status.isDirectory)
        return {path, Kind::NotAFile, {}, QStringLiteral("Not a file or a folder: ") + path};
    try {
        // The walk passes over folders it cannot list; the one named here is
        // worth a word.
        fileSystem_.listDirectory(path);
    } catch (const PlatformError& error) {
        return {path, Kind::UnreadableFolder, {}, error.description()};
    }
    return {path, Kind::Folder, TreeScan(fileSystem_, yielder_).rows(path, pattern), {}};
}

QStringList PathIntake::rowsOf(const std::vector<Item>& items)
{
    QStringList rows;
    for (const Item& item : items)
        rows.append(item.rows);
    return rows;
}

} // namespace bw
