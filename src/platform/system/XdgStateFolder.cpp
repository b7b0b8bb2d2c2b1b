#include "platform/system/XdgStateFolder.h"

#include "platform/PlatformError.h"
#include "platform/system/FileWriting.h"
#include "platform/system/PrivateFolder.h"

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

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    throw PlatformError(ErrorNumber::FileAccess, path + QStringLiteral(": ") + reason);
}

[[noreturn]] void failWithErrno(const QString& path, int error)
{
    fail(path, QString::fromLocal8Bit(std::strerror(error)));
}

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int value) : value_(value) {}
    ~Descriptor()
    {
        if (value_ >= 0)
            ::close(value_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return value_; }

private:
    int value_;
};

QByteArray fileName(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("Not a file name: ") + name);
    return QFile::encodeName(name);
}

} // namespace

QString XdgStateFolder::path() const
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QLatin1Char('/') + program_;
}

QStringList XdgStateFolder::names()
{
    const PrivateFolder folder(path(), PrivateFolder::Missing::Leave);
    if (!folder.isOpen())
        return {};
    DIR* listing = ::fdopendir(::fcntl(folder.descriptor(), F_DUPFD_CLOEXEC, 0));
    if (!listing)
        failWithErrno(folder.path(), errno);
    QStringList found;
    while (const dirent* entry = ::readdir(listing)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            found.append(name);
    }
    ::closedir(listing);
    found.sort();
    return found;
}

std::optional<QByteArray> XdgStateFolder::read(const QString& name)
{
    const PrivateFolder folder(path(), PrivateFolder::Missing::Leave);
    if (!folder.isOpen())
        return std::nullopt;
    const QString where = folder.path() + QLatin1Char('/') + name;
    // Not blocking: a FIFO planted there would otherwise hang the program.
    const Descriptor file(::openat(folder.descriptor(), fileName(name).constData(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        if (errno == ELOOP)
            fail(where, QStringLiteral("a symbolic link, not a file of Brindlework"));
        failWithErrno(where, errno);
    }
    struct stat info = {};
    if (::fstat(file.get(), &info) != 0)
        failWithErrno(where, errno);
    if (!S_ISREG(info.st_mode))
        fail(where, QStringLiteral("not a plain file"));
    if (info.st_uid != ::getuid())
        fail(where, QStringLiteral("the file belongs to another user"));
    if (info.st_size > MaximumFileSize)
        fail(where, QStringLiteral("the file is larger than %1 bytes").arg(MaximumFileSize));
    QByteArray content(MaximumFileSize + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < content.size()) {
        const ssize_t count = ::read(file.get(), content.data() + total, content.size() - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            failWithErrno(where, errno);
        if (count == 0)
            break;
        total += count;
    }
    if (total > MaximumFileSize)
        fail(where, QStringLiteral("the file is larger than %1 bytes").arg(MaximumFileSize));
    content.truncate(total);
    return content;
}

void XdgStateFolder::write(const QString& name, const QByteArray& content)
{
    const PrivateFolder folder(path(), PrivateFolder::Missing::Create);
    const QString where = folder.path() + QLatin1Char('/') + name;
    if (const int error = replaceFileAt(folder.descriptor(), fileName(name), content, 0600))
        failWithErrno(where, error);
}

void XdgStateFolder::remove(const QString& name)
{
    const PrivateFolder folder(path(), PrivateFolder::Missing::Leave);
    if (!folder.isOpen())
        return;
    if (::unlinkat(folder.descriptor(), fileName(name).constData(), 0) != 0 && errno != ENOENT)
        failWithErrno(folder.path() + QLatin1Char('/') + name, errno);
}

void XdgStateFolder::rename(const QString& name, const QString& newName)
{
    const PrivateFolder folder(path(), PrivateFolder::Missing::Leave);
    if (!folder.isOpen())
        fail(folder.path(), QStringLiteral("the folder does not exist"));
    if (::renameat(folder.descriptor(), fileName(name).constData(), folder.descriptor(),
                   fileName(newName).constData()) != 0)
        failWithErrno(folder.path() + QLatin1Char('/') + name, errno);
}

} // namespace bw
