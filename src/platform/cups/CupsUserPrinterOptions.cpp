#include "platform/cups/CupsUserPrinterOptions.h"

#include "platform/PlatformError.h"
#include "platform/system/FileWriting.h"

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
    const int folderDescriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor < 0)
        fail(target, errno);
    const QByteArray name = QFile::encodeName(QFileInfo(target).fileName());
    mode_t mode = 0644;
    struct stat old = {};
    if (::fstatat(folderDescriptor, name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0)
        mode = old.st_mode & 07777;
    // The file keeps its mode, owner and group, or it is not replaced.
    const int error =
        replaceFileAt(folderDescriptor, name, *content, mode,
                      old.st_nlink > 0 ? std::optional(FileOwner{old.st_uid, old.st_gid}) : std::nullopt);
    ::close(folderDescriptor);
    if (error != 0)
        fail(target, error);
}

} // namespace bw
