#include "platform/cups/CupsUserPrinterOptions.h"

#include "platform/PlatformError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

QString CupsUserPrinterOptions::userOptionsPath()
{
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        if (const passwd* account = ::getpwuid(::getuid()))
            home = QFile::decodeName(account->pw_dir);
    }
    return home + QStringLiteral("/.cups/lpoptions");
}

std::optional<QByteArray> CupsUserPrinterOptions::readUserOptions()
{
    const QString path = userOptionsPath();
    const auto fail = [&path](const QString& why) {
        throw PlatformError(ErrorNumber::FileAccess, path + QStringLiteral(": ") + why);
    };
    // Not blocking: a link to a FIFO or a device must not hang the program.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat info = {};
    QByteArray content;
    QString problem;
    if (::fstat(descriptor, &info) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(info.st_mode))
        problem = QStringLiteral("not a plain file, so Brindlework does not read it");
    else if (info.st_size > MaximumUserOptionsSize)
        problem = QStringLiteral("larger than %1 bytes, so Brindlework does not read it")
                      .arg(MaximumUserOptionsSize);
    else
        content.resize(MaximumUserOptionsSize + 1);
    qsizetype total = 0;
    while (problem.isEmpty() && total < content.size()) {
        const ssize_t count = ::read(descriptor, content.data() + total, size_t(content.size() - total));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            problem = QString::fromLocal8Bit(std::strerror(errno));
        if (count <= 0)
            break;
        total += count;
    }
    ::close(descriptor);
    if (problem.isEmpty() && total > MaximumUserOptionsSize)
        problem = QStringLiteral("larger than %1 bytes, so Brindlework does not read it")
                      .arg(MaximumUserOptionsSize);
    if (!problem.isEmpty())
        fail(problem);
    content.truncate(total);
    return content;
}

void CupsUserPrinterOptions::writeUserOptions(const std::optional<QByteArray>& content)
{
    const QString path = userOptionsPath();
    const auto fail = [](const QString& where, int error) {
        throw PlatformError(ErrorNumber::FileAccess,
                            where + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
    };
    // A linked file stays linked: what is written is the file it points to.
    const QFileInfo info(path);
    QString target = path;
    if (info.isSymLink())
        target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    const QByteArray targetName = QFile::encodeName(target);
    if (!content) {
        if (::unlink(targetName.constData()) != 0 && errno != ENOENT)
            fail(target, errno);
        return;
    }
    // A private folder, as libcups makes it.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).path());
    if (!QFileInfo::exists(QFile::decodeName(folder)))
        ::mkdir(folder.constData(), 0700);
    mode_t mode = 0644;
    struct stat old = {};
    if (::stat(targetName.constData(), &old) == 0)
        mode = old.st_mode & 07777;
    // Written beside it and renamed over it: a crash leaves the old file or the new one.
    QByteArray temporary = targetName + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        fail(target, errno);
    qsizetype total = 0;
    int error = 0;
    while (error == 0 && total < content->size()) {
        const ssize_t count = ::write(descriptor, content->constData() + total, content->size() - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            error = count < 0 ? errno : EIO;
        else
            total += count;
    }
    if (error == 0 && (::fchmod(descriptor, mode) != 0 || ::fsync(descriptor) != 0))
        error = errno;
    // The file keeps its owner and group, or it is not replaced.
    if (error == 0 && old.st_nlink > 0 && ::fchown(descriptor, old.st_uid, old.st_gid) != 0)
        error = errno;
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), targetName.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        fail(target, error);
    }
}

} // namespace bw
