#include "cli/BatchOfficeSlot.h"

#include "platform/PlatformError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace bw {

namespace {
constexpr int Slots = 64;
}

BatchOfficeSlot::BatchOfficeSlot(const QString& cacheFolder)
{
    const QString folder = cacheFolder + QStringLiteral("/brindlework");
    if (!QDir().mkpath(folder))
        throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("Cannot make the folder ") + folder);
    for (int slot = 1; slot <= Slots; ++slot) {
        auto lock =
            std::make_unique<QLockFile>(QStringLiteral("%1/batch-office-%2.lock").arg(folder).arg(slot));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue;
        lock_ = std::move(lock);
        profileFolder_ = QStringLiteral("%1/batch-office-%2").arg(folder).arg(slot);
        // The pipe is the user's (LibreOffice puts the user id in its path);
        // the profile's own path in its name keeps other HOMEs apart.
        const QByteArray hash =
            QCryptographicHash::hash(profileFolder_.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
        pipeName_ = QStringLiteral("brindlework-batch-") + QString::fromLatin1(hash);
        return;
    }
    throw PlatformError(ErrorNumber::FileAccess,
                        QStringLiteral("Every batch office slot under %1 is in use").arg(folder));
}

QString BatchOfficeSlot::defaultCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}

UnoOfficeSuite::Options BatchOfficeSlot::officeOptions(std::chrono::seconds timeout) const
{
    UnoOfficeSuite::Options options = UnoOfficeSuite::programOptions();
    options.pipeName = pipeName_;
    options.profileUrl = QUrl::fromLocalFile(profileFolder_).toString();
    options.answerTimeout = timeout;
    // A batch does not wait a minute before it tries a failed office again.
    options.restartPause = std::chrono::milliseconds(0);
    return options;
}

} // namespace bw
