#include "platform/system/PrivateFolder.h"

#include "platform/PlatformError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

namespace {

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    throw PlatformError(ErrorNumber::FileAccess, path + QStringLiteral(": ") + reason);
}

QString errorText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PrivateFolder::PrivateFolder(const QString& path, Missing missing) : path_(path)
{
    const QByteArray name = QFile::encodeName(path);
    if (missing == Missing::Create) {
        const QString parent = QFileInfo(path).path();
        if (!QDir().mkpath(parent))
            fail(parent, QStringLiteral("the folder cannot be made"));
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
            fail(path, QStringLiteral("the folder cannot be made: ") + errorText());
    }
    descriptor_ = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor_ < 0) {
        if (errno == ENOENT && missing == Missing::Leave)
            return;
        if (errno == ELOOP || errno == ENOTDIR) {
            struct stat link = {};
            if (::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode))
                fail(path, QStringLiteral("the folder is a symbolic link; Brindlework keeps nothing "
                                          "through a link. Remove the link to let it keep its state there"));
            fail(path, QStringLiteral("this is not a folder"));
        }
        fail(path, QStringLiteral("the folder cannot be opened: ") + errorText());
    }
    struct stat info = {};
    if (::fstat(descriptor_, &info) != 0 || info.st_uid != ::getuid()) {
        ::close(descriptor_);
        descriptor_ = -1;
        fail(path, QStringLiteral("the folder belongs to another user"));
    }
    // Whatever it holds is the user's alone.
    if ((info.st_mode & 077) != 0 && ::fchmod(descriptor_, 0700) != 0) {
        ::close(descriptor_);
        descriptor_ = -1;
        fail(path, QStringLiteral("the folder cannot be closed to other users: ") + errorText());
    }
}

PrivateFolder::~PrivateFolder()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

} // namespace bw
