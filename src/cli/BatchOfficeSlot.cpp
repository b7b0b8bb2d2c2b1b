#include "cli/BatchOfficeSlot.h"

#include "platform/PlatformError.h"
#include "platform/uno/OfficeLauncher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <unistd.h>

namespace bw {

namespace {

constexpr int Slots = 64;

// The first of the folder and its parents that is there.
QString existingPart(QString folder)
{
    while (!QFileInfo::exists(folder) && folder != QDir::cleanPath(folder + QStringLiteral("/..")))
        folder = QDir::cleanPath(folder + QStringLiteral("/.."));
    return folder;
}

[[noreturn]] void readOnly(const QString& cacheFolder)
{
    throw PlatformError(ErrorNumber::FileAccess,
                        QStringLiteral("The cache folder %1 is read-only, and a batch keeps its office there "
                                       "(set XDG_CACHE_HOME to a folder you can write)")
                            .arg(cacheFolder));
}

} // namespace

BatchOfficeSlot::BatchOfficeSlot(const QString& cacheFolder, const QString& runtimeFolder)
{
    const QString folder = cacheFolder + QStringLiteral("/brindlework");
    if (!QDir().mkpath(folder)) {
        if (::access(QFile::encodeName(existingPart(folder)).constData(), W_OK) != 0)
            readOnly(cacheFolder);
        throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("Cannot make the folder ") + folder);
    }
    for (int slot = 1; slot <= Slots; ++slot) {
        auto lock =
            std::make_unique<QLockFile>(QStringLiteral("%1/batch-office-%2.lock").arg(folder).arg(slot));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::PermissionError)
                readOnly(cacheFolder);
            continue;
        }
        lock_ = std::move(lock);
        profileFolder_ = QStringLiteral("%1/batch-office-%2").arg(folder).arg(slot);
        const QString profileUrl = QUrl::fromLocalFile(profileFolder_).toString();
        pipeName_ =
            UnoOfficeSuite::pipeNameFor(::getuid(), profileUrl, QProcessEnvironment::systemEnvironment());
        // The slot was free, so an office still on its profile belongs to a
        // batch that was killed outright: taken over, it would count as
        // someone else's and could never be ended or restarted.
        OfficeLauncher::killOfficesOnProfile(profileUrl);
        workFolder_ = QStringLiteral("%1/brindlework/batch-%2")
                          .arg(runtimeFolder.isEmpty() ? cacheFolder : runtimeFolder)
                          .arg(slot);
        makeWorkFolder();
        return;
    }
    throw PlatformError(ErrorNumber::FileAccess,
                        QStringLiteral("Every batch office slot under %1 is in use").arg(folder));
}

void BatchOfficeSlot::makeWorkFolder()
{
    QDir work(workFolder_);
    // Only this slot's holder writes there: whatever is in it was left by a killed batch.
    if (work.exists())
        work.removeRecursively();
    if (!QDir().mkpath(workFolder_) ||
        !QFile::setPermissions(workFolder_,
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("Cannot make the folder ") + workFolder_);
}

QString BatchOfficeSlot::defaultRuntimeFolder()
{
    return qEnvironmentVariable("XDG_RUNTIME_DIR");
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
    // Headless, even under a display, the office never waits on a user: a
    // short look tells a hung one.
    options.headless = true;
    // Offices left on the slot's profile were ended when it was taken.
    options.privateProfile = true;
    options.probeTimeout = std::min<std::chrono::milliseconds>(timeout, std::chrono::seconds(10));
    // A batch does not wait a minute before it tries a failed office again.
    options.restartPause = std::chrono::milliseconds(0);
    return options;
}

} // namespace bw
