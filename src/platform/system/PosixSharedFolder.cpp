#include "platform/system/PosixSharedFolder.h"

#include "platform/PlatformError.h"

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

} // namespace

std::vector<SharedFolderEntry> PosixSharedFolder::entries(const QString& folder)
{
    const QByteArray encoded = QFile::encodeName(folder);
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
        if (::fstatat(fd, item->d_name, &info, 0) != 0)
            continue;
        SharedFolderEntry entry;
        entry.name = QFile::decodeName(item->d_name);
        entry.nameIsText = QFile::encodeName(entry.name) == QByteArray(item->d_name);
        entry.isRegularFile = S_ISREG(info.st_mode);
        entry.isDirectory = S_ISDIR(info.st_mode);
        entry.size = info.st_size;
        entry.modifiedMilliseconds = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
        found.push_back(std::move(entry));
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
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
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
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        fail(QStringLiteral("Cannot write"), path, errno);
    }
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t count = ::write(fd, content.constData() + written, size_t(content.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            ::close(fd);
            fail(QStringLiteral("Cannot write"), path, error);
        }
        written += count;
    }
    if (::close(fd) != 0)
        fail(QStringLiteral("Cannot write"), path, errno);
    return true;
}

QByteArray PosixSharedFolder::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PosixSharedFolder::remove(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (::unlink(encoded.constData()) != 0 && (errno == EISDIR || errno == EPERM))
        ::rmdir(encoded.constData());
}

} // namespace bw
