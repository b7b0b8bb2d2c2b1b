#include "support/FakeFileSystem.h"

#include "platform/PlatformError.h"

namespace bw::test {

FakeFileSystem::FakeFileSystem()
{
    nodes_.insert(QStringLiteral("/"), Node{Kind::Folder, {}, nextInode_++});
}

QString FakeFileSystem::normalise(const QString& path)
{
    QString result = path;
    while (result.contains(QStringLiteral("//")))
        result.replace(QStringLiteral("//"), QStringLiteral("/"));
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QString FakeFileSystem::parentOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString FakeFileSystem::nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void FakeFileSystem::add(const QString& rawPath, Kind kind)
{
    const QString path = normalise(rawPath);
    if (nodes_.contains(path))
        return;
    const QString parent = parentOf(path);
    if (!nodes_.contains(parent))
        addFolder(parent);
    nodes_[parent].children.append(nameOf(path));
    nodes_.insert(path, Node{kind, {}, nextInode_++});
}

void FakeFileSystem::addFolder(const QString& path)
{
    add(path, Kind::Folder);
}
void FakeFileSystem::addFile(const QString& path)
{
    add(path, Kind::File);
}
void FakeFileSystem::addSpecial(const QString& path)
{
    add(path, Kind::Special);
}

void FakeFileSystem::addLink(const QString& path, const QString& target)
{
    add(path, Kind::Link);
    nodes_[normalise(path)].target = normalise(target);
}

QString FakeFileSystem::resolve(const QString& rawPath) const
{
    QStringList pending = normalise(rawPath).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString resolved = QStringLiteral("/");
    int linksFollowed = 0;
    while (!pending.isEmpty()) {
        const QString next = resolved == QStringLiteral("/")
                                 ? QLatin1Char('/') + pending.takeFirst()
                                 : resolved + QLatin1Char('/') + pending.takeFirst();
        const auto node = nodes_.constFind(next);
        if (node == nodes_.cend() || node->kind != Kind::Link) {
            resolved = next;
            continue;
        }
        if (++linksFollowed > 40)
            return {};
        pending = node->target.split(QLatin1Char('/'), Qt::SkipEmptyParts) + pending;
        resolved = QStringLiteral("/");
    }
    return resolved;
}

void FakeFileSystem::remove(const QString& rawPath)
{
    const QString path = normalise(rawPath);
    if (!nodes_.contains(path))
        return;
    const QStringList children = nodes_[path].children;
    for (const QString& child : children)
        remove(path == QStringLiteral("/") ? QLatin1Char('/') + child : path + QLatin1Char('/') + child);
    nodes_.remove(path);
    nodes_[parentOf(path)].children.removeAll(nameOf(path));
}

bool FakeFileSystem::exists(const QString& path) const
{
    return nodes_.contains(normalise(path));
}

QDateTime FakeFileSystem::lastModified(const QString& rawPath)
{
    const QString path = normalise(rawPath);
    if (rawPath.isEmpty() || !nodes_.contains(path) || failStatus.contains(path))
        throw PlatformError(ErrorNumber::FileNotFound, QStringLiteral("File not found: ") + rawPath);
    return QDateTime::fromSecsSinceEpoch(1700000000);
}

FileStatus FakeFileSystem::status(const QString& rawPath)
{
    const QString path = resolve(rawPath);
    if (rawPath.isEmpty() || !nodes_.contains(path) || failStatus.contains(normalise(rawPath)))
        throw PlatformError(ErrorNumber::FileNotFound, QStringLiteral("File not found: ") + rawPath);
    const Node& node = nodes_[path];
    FileStatus status;
    status.isDirectory = node.kind == Kind::Folder;
    status.isRegularFile = node.kind == Kind::File;
    status.isHidden = nameOf(normalise(rawPath)).startsWith(QLatin1Char('.'));
    status.isReadable = !unreadable.contains(path);
    status.device = 1;
    status.inode = node.inode;
    return status;
}

std::vector<DirectoryEntry> FakeFileSystem::listDirectory(const QString& rawFolder)
{
    const QString asGiven = normalise(rawFolder);
    if (onList)
        onList(asGiven);
    listed.append(asGiven);
    const QString folder = resolve(asGiven);
    if (!nodes_.contains(folder) || nodes_[folder].kind != Kind::Folder || failListing.contains(asGiven))
        throw PlatformError(ErrorNumber::PathNotFound, QStringLiteral("Path not found: ") + rawFolder);
    std::vector<DirectoryEntry> entries;
    for (const QString& name : nodes_[folder].children) {
        const QString childPath =
            folder == QStringLiteral("/") ? QLatin1Char('/') + name : folder + QLatin1Char('/') + name;
        const auto child = nodes_.constFind(resolve(childPath)); // a dangling link is neither
        DirectoryEntry entry;
        entry.name = name;
        entry.isDirectory = child != nodes_.cend() && child->kind == Kind::Folder;
        entry.isRegularFile = child != nodes_.cend() && child->kind == Kind::File;
        entry.isHidden = name.startsWith(QLatin1Char('.'));
        entries.push_back(entry);
    }
    return entries;
}

} // namespace bw::test
