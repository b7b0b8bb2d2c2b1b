#include "platform/system/PosixFileSystem.h"

#include "intake/LocalName.h"
#include "platform/PlatformError.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

namespace {

[[noreturn]] void throwErrno(int error, const QString& path)
{
    const int number = error == ENOENT ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound;
    throw PlatformError(number, QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral(": ") + path);
}

QString baseName(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

struct stat statPath(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(encodeLocalName(path).constData(), &info) != 0) {
        const int error = path.isEmpty() ? ENOENT : errno;
        // A name whose bytes were not UTF-8 may come from Qt (a dialog) with
        // stand-ins for them and name nothing: that, not "not found", is the fault.
        if (error == ENOENT && path.contains(QChar::ReplacementCharacter))
            throw PlatformError(ErrorNumber::FileNotFound,
                                QStringLiteral("The name is not valid UTF-8 and cannot be passed on: ") +
                                    path);
        throwErrno(error, path);
    }
    return info;
}

} // namespace

QDateTime PosixFileSystem::lastModified(const QString& path)
{
    const struct stat info = statPath(path);
    return QDateTime::fromSecsSinceEpoch(info.st_mtime);
}

FileStatus PosixFileSystem::status(const QString& path)
{
    const struct stat info = statPath(path);
    FileStatus result;
    result.isDirectory = S_ISDIR(info.st_mode);
    result.isRegularFile = S_ISREG(info.st_mode);
    result.isHidden = baseName(path).startsWith(QLatin1Char('.'));
    // Asked of files only: a folder walk then pays no extra call per folder.
    result.isReadable = !result.isRegularFile || ::access(encodeLocalName(path).constData(), R_OK) == 0;
    result.device = static_cast<std::uint64_t>(info.st_dev);
    result.inode = static_cast<std::uint64_t>(info.st_ino);
    return result;
}

std::vector<DirectoryEntry> PosixFileSystem::listDirectory(const QString& folder)
{
    // getdents64 straight into a buffer on the stack: opendir would add a status
    // call and a 32 KB allocation to every listing, and a scan lists each folder twice.
    const int fd =
        ::open(encodeLocalName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throwErrno(errno, folder);
    std::vector<DirectoryEntry> entries;
    alignas(dirent64) char buffer[32768];
    ssize_t filled = 0;
    while ((filled = ::getdents64(fd, buffer, sizeof buffer)) > 0) {
        for (ssize_t offset = 0; offset < filled;) {
            const auto* item = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += item->d_reclen;
            if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
                continue;
            DirectoryEntry entry;
            // Bytes that are not UTF-8 kept, so the name still names the file.
            entry.name = decodeLocalName(item->d_name);
            entry.isHidden = item->d_name[0] == '.';
            // The entry's own type saves a status call per name; links count as
            // what they point to, and a dangling link is neither file nor folder.
            if (item->d_type == DT_DIR) {
                entry.isDirectory = true;
            } else if (item->d_type == DT_REG) {
                entry.isRegularFile = true;
            } else if (item->d_type == DT_LNK || item->d_type == DT_UNKNOWN) {
                struct stat info {};
                if (::fstatat(fd, item->d_name, &info, 0) == 0) {
                    entry.isDirectory = S_ISDIR(info.st_mode);
                    entry.isRegularFile = S_ISREG(info.st_mode);
                }
            }
            entries.push_back(std::move(entry));
        }
    }
    const int readError = filled < 0 ? errno : 0;
    ::close(fd);
    if (readError != 0)
        throwErrno(readError, folder);
    return entries;
}

} // namespace bw
