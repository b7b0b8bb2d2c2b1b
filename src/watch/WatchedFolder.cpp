#include "watch/WatchedFolder.h"

#include "platform/PlatformError.h"
#include "platform/Processes.h"
#include "platform/SharedFolder.h"
#include "watch/WatchNames.h"

namespace bw {

namespace {
constexpr int MostNumbers = 100000;
}

WatchedFolder::WatchedFolder(SharedFolder& files, Processes& processes, QString folder, QString host)
    : files_(files), processes_(processes), folder_(std::move(folder)), host_(std::move(host)),
      pid_(processes.currentProcessId())
{
}

QString WatchedFolder::claimsPath(const QString& name) const
{
    return folder_ + QLatin1Char('/') + WatchNames::claimsFolder() + QLatin1Char('/') + name;
}

QString WatchedFolder::claimPath(const QString& name) const
{
    return claimsPath(WatchNames::watcher(host_, pid_) + QLatin1Char('/') + name);
}

QStringList WatchedFolder::open()
{
    for (const QString& sub :
         {WatchNames::claimsFolder(), WatchNames::printedFolder(), WatchNames::failedFolder()})
        files_.makeFolder(folder_ + QLatin1Char('/') + sub);

    // Before this watcher's own folder is made: one under its number can
    // only be a dead watcher's that had the number before.
    QStringList putBack;
    for (const SharedFolderEntry& entry : files_.entries(claimsPath({}))) {
        const auto pid = WatchNames::watcherOf(host_, entry.name);
        if (!pid || !entry.isDirectory)
            continue;
        const QString claims = claimsPath(entry.name);
        const QString mark = claims + QLatin1Char('/') + WatchNames::mark();
        const QString owner = QString::fromUtf8(files_.read(mark));
        if (*pid != pid_ && !owner.isEmpty() && owner == processes_.identity(*pid))
            continue;
        for (const SharedFolderEntry& claim : files_.entries(claims)) {
            // Another starting watcher may put the same claim back first.
            if (claim.isRegularFile && claim.name != WatchNames::mark())
                if (const auto back =
                        moveClaimTo(claims + QLatin1Char('/') + claim.name, folder_, claim.name))
                    putBack << *back;
        }
        files_.remove(mark);
        files_.remove(claims);
    }
    // Made aside and moved in whole: a watcher starting now never sees this
    // one's folder without its mark and takes it for a dead one's.
    const QString own = claimsPath(WatchNames::watcher(host_, pid_));
    const QString making = claimsPath(QLatin1Char('.') + WatchNames::watcher(host_, pid_));
    files_.remove(making + QLatin1Char('/') + WatchNames::mark());
    files_.makeFolder(making);
    if (!files_.createFile(making + QLatin1Char('/') + WatchNames::mark(),
                           processes_.identity(pid_).toUtf8()) ||
        files_.moveWithoutReplacing(making, own) != SharedFolder::Move::Moved)
        throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("Cannot make the claims folder ") + own);
    return putBack;
}

void WatchedFolder::close()
{
    const QString own = claimsPath(WatchNames::watcher(host_, pid_));
    files_.remove(own + QLatin1Char('/') + WatchNames::mark());
    files_.remove(own);
}

std::optional<QString> WatchedFolder::claim(const QString& name)
{
    const QString claimed = claimPath(name);
    switch (files_.moveWithoutReplacing(folder_ + QLatin1Char('/') + name, claimed)) {
    case SharedFolder::Move::Moved:
        return claimed;
    case SharedFolder::Move::SourceGone:
        return std::nullopt;
    case SharedFolder::Move::TargetTaken:
        break;
    }
    throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("A claim is in the way: ") + claimed);
}

QString WatchedFolder::filePrinted(const QString& name)
{
    return ownClaimTo(name, folder_ + QLatin1Char('/') + WatchNames::printedFolder());
}

QString WatchedFolder::fileFailed(const QString& name, const QString& reason)
{
    return ownClaimTo(name, folder_ + QLatin1Char('/') + WatchNames::failedFolder(),
                      reason.isEmpty() ? QStringLiteral("failed") : reason);
}

QString WatchedFolder::putBack(const QString& name)
{
    return ownClaimTo(name, folder_);
}

QString WatchedFolder::ownClaimTo(const QString& name, const QString& folder, const QString& reason)
{
    const QString claim = claimPath(name);
    if (const auto target = moveClaimTo(claim, folder, name, reason))
        return *target;
    throw PlatformError(ErrorNumber::FileNotFound, QStringLiteral("The claimed file is gone: ") + claim);
}

std::optional<QString> WatchedFolder::moveClaimTo(const QString& claim, const QString& folder,
                                                  const QString& name, const QString& reason)
{
    for (int number = 0; number < MostNumbers; ++number) {
        const QString target = folder + QLatin1Char('/') + WatchNames::numbered(name, number);
        // The reason goes first, under the name the file will have.
        const QString note = target + QStringLiteral(".txt");
        if (!reason.isEmpty() && !files_.createFile(note, reason.toUtf8() + '\n'))
            continue;
        switch (files_.moveWithoutReplacing(claim, target)) {
        case SharedFolder::Move::Moved:
            return target;
        case SharedFolder::Move::TargetTaken:
            if (!reason.isEmpty())
                files_.remove(note);
            continue;
        case SharedFolder::Move::SourceGone:
            if (!reason.isEmpty())
                files_.remove(note);
            return std::nullopt;
        }
    }
    throw PlatformError(ErrorNumber::FileAccess,
                        QStringLiteral("No free name for %1 in %2").arg(name, folder));
}

} // namespace bw
