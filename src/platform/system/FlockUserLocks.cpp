#include "platform/system/FlockUserLocks.h"

#include "platform/PlatformError.h"
#include "platform/system/PrivateFolder.h"
#include "platform/system/XdgStateFolder.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

FlockUserLocks::~FlockUserLocks()
{
    for (const int descriptor : std::as_const(held_))
        ::close(descriptor);
}

QString FlockUserLocks::folderPath()
{
    return XdgStateFolder().path() + QStringLiteral("/locks");
}

bool FlockUserLocks::tryLock(const QString& name)
{
    if (held_.contains(name))
        return true;
    // The state folder is made private first, so nobody else can plant anything in it.
    const PrivateFolder state(XdgStateFolder().path(), PrivateFolder::Missing::Create);
    const PrivateFolder folder(folderPath(), PrivateFolder::Missing::Create);
    const QString path = folder.path() + QLatin1Char('/') + name + QStringLiteral(".lock");
    const QByteArray file = QFile::encodeName(name + QStringLiteral(".lock"));
    const int descriptor =
        ::openat(folder.descriptor(), file.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    struct stat info = {};
    if (descriptor < 0 || ::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::getuid()) {
        const QString reason = QString::fromLocal8Bit(std::strerror(descriptor < 0 ? errno : EPERM));
        if (descriptor >= 0)
            ::close(descriptor);
        throw PlatformError(ErrorNumber::FileAccess, path + QStringLiteral(": ") + reason);
    }
    int result;
    do {
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK)
            return false;
        throw PlatformError(ErrorNumber::FileAccess,
                            path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
    }
    held_.insert(name, descriptor);
    return true;
}

void FlockUserLocks::unlock(const QString& name)
{
    const auto it = held_.constFind(name);
    if (it == held_.cend())
        return;
    // Closing the only descriptor of the open file releases the lock.
    ::close(it.value());
    held_.erase(it);
}

} // namespace bw
