#include "platform/system/PosixSharedFolder.h"

#include "intake/LocalName.h"
#include "platform/PlatformError.h"
#include "platform/system/FileWriting.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

namespace {

[[noreturn]] void fail(const QString& what, const QString& path, int error)
{
    throw PlatformError(ErrorNumber::FileAccess, what + QStringLiteral(" ") + path + QStringLiteral(": ") +
                                                     QString::fromLocal8Bit(std::strerror(error)));
}

// A link plus an unlink: no replace and atomic on file systems without
// RENAME_NOREPLACE (NFS among them).
SharedFolder::Move linkThenUnlink(const QByteArray& from, const QByteArray& to, const QString& path)
{
    if (::link(from.constData(), to.constData()) != 0) {
        if (errno == EEXIST)
            return SharedFolder::Move::TargetTaken;
        if (errno == ENOENT)
            return SharedFolder::Move::SourceGone;
        // A folder cannot be linked; the folders moved here have names no
        // other process uses.
        struct stat info {};
        if (errno == EPERM && ::stat(from.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
            if (::access(to.constData(), F_OK) == 0)
                return SharedFolder::Move::TargetTaken;
            if (::rename(from.constData(), to.constData()) == 0)
                return SharedFolder::Move::Moved;
        }
        fail(QStringLiteral("Cannot move"), path, errno);
    }
    // Another watcher may have moved the source in between: then it has it,
    // and the link made here must go again.
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        if (error == ENOENT)
            return SharedFolder::Move::SourceGone;
        fail(QStringLiteral("Cannot move"), path, error);
    }
    return SharedFolder::Move::Moved;
}

SharedFolderEntry entryOf(const QByteArray& name, const struct stat& info)
{
    SharedFolderEntry entry;
    entry.name = decodeLocalName(name);
    entry.isRegularFile = S_ISREG(info.st_mode);
    entry.isDirectory = S_ISDIR(info.st_mode);
    entry.isLink = S_ISLNK(info.st_mode);
    entry.size = info.st_size;
    entry.modifiedMilliseconds = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    entry.device = quint64(info.st_dev);
    entry.inode = quint64(info.st_ino);
    entry.othersMayWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    entry.ownersOnlyRemove = (info.st_mode & S_ISVTX) != 0;
    return entry;
}

} // namespace

std::vector<SharedFolderEntry> PosixSharedFolder::entries(const QString& folder)
{
    const QByteArray encoded = encodeLocalName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        fail(QStringLiteral("Cannot list"), folder, errno);
    std::vector<SharedFolderEntry> found;
    const int fd = ::dirfd(dir);
    while (const dirent* item = ::readdir(dir)) {
        if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
            continue;
        struct stat info {};
        // Gone since the listing: another watcher took it.
        if (::fstatat(fd, item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        found.push_back(entryOf(QByteArray(item->d_name), info));
    }
    ::closedir(dir);
    return found;
}

void PosixSharedFolder::makeFolder(const QString& path)
{
    if (!QDir().mkpath(path))
        fail(QStringLiteral("Cannot make the folder"), path, errno ? errno : EACCES);
}

SharedFolder::Move PosixSharedFolder::moveWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = encodeLocalName(from);
    const QByteArray target = encodeLocalName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return Move::Moved;
    switch (errno) {
    case EEXIST:
        return Move::TargetTaken;
    case ENOENT:
        return Move::SourceGone;
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
        return linkThenUnlink(source, target, from);
    default:
        fail(QStringLiteral("Cannot move"), from, errno);
    }
}

bool PosixSharedFolder::createFile(const QString& path, const QByteArray& content)
{
    const int fd = ::open(encodeLocalName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        fail(QStringLiteral("Cannot write"), path, errno);
    }
    // A file cut short is never left behind: the next try would find it taken.
    int error = writeAll(fd, content);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(encodeLocalName(path).constData());
        fail(QStringLiteral("Cannot write"), path, error);
    }
    return true;
}

QByteArray PosixSharedFolder::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PosixSharedFolder::remove(const QString& path)
{
    const QByteArray encoded = encodeLocalName(path);
    if (::unlink(encoded.constData()) != 0 && (errno == EISDIR || errno == EPERM))
        ::rmdir(encoded.constData());
}

std::optional<SharedFolderEntry> PosixSharedFolder::entry(const QString& path)
{
    const QByteArray encoded = encodeLocalName(path);
    struct stat info {};
    if (::lstat(encoded.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        fail(QStringLiteral("Cannot look at"), path, errno);
    }
    return entryOf(encoded.mid(encoded.lastIndexOf('/') + 1), info);
}

SharedFolder::Use PosixSharedFolder::use(const QString& path)
{
    const int fd =
        ::open(encodeLocalName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES ? Use::Closed : Use::NotAFile;
    struct stat info {};
    Use use = Use::Closed;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        use = Use::NotAFile;
    // A read lease is refused while any process has the file open for
    // writing. Where leases are not to be had (another owner's file, a
    // network folder) the settling time alone has to tell.
    else if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0)
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
    else if (errno == EAGAIN || errno == EBUSY)
        use = Use::Writing;
    ::close(fd);
    return use;
}

void PosixSharedFolder::append(const QString& path, const QByteArray& line)
{
    const int fd = ::open(encodeLocalName(path).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(QStringLiteral("Cannot write"), path, errno);
    // One write: lines of several watchers never interleave.
    const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
    const int error = written < 0 ? errno : written < line.size() ? ENOSPC : 0;
    if (error != 0 || ::fsync(fd) != 0) {
        const int failed = error ? error : errno;
        ::close(fd);
        fail(QStringLiteral("Cannot write"), path, failed);
    }
    ::close(fd);
}

void PosixSharedFolder::touch(const QString& path)
{
    if (::utimensat(AT_FDCWD, encodeLocalName(path).constData(), nullptr, AT_SYMLINK_NOFOLLOW) != 0)
        fail(QStringLiteral("Cannot mark"), path, errno);
}

} // namespace bw
