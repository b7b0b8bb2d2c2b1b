#include "platform/system/FileWriting.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

int writeAll(int descriptor, const QByteArray& bytes)
{
    qsizetype total = 0;
    while (total < bytes.size()) {
        const ssize_t count = ::write(descriptor, bytes.constData() + total, size_t(bytes.size() - total));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count < 0 ? errno : EIO;
        total += count;
    }
    return 0;
}

int replaceFileAt(int folder, const QByteArray& name, const QByteArray& content, mode_t mode,
                  std::optional<FileOwner> owner)
{
    const QByteArray temporary = name + ".new-" + QByteArray::number(qint64(::getpid()));
    // A file of that name left by a process that had this number before goes first.
    ::unlinkat(folder, temporary.constData(), 0);
    const int file =
        ::openat(folder, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0)
        return errno;
    int error = writeAll(file, content);
    // The mode given, whatever the umask.
    if (error == 0 && ::fchmod(file, mode) != 0)
        error = errno;
    if (error == 0 && owner && ::fchown(file, owner->user, owner->group) != 0)
        error = errno;
    if (error == 0 && ::fsync(file) != 0)
        error = errno;
    if (::close(file) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::renameat(folder, temporary.constData(), folder, name.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlinkat(folder, temporary.constData(), 0);
    return error;
}

} // namespace bw
