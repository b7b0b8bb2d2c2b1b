#include "watch/FolderWatch.h"

#include "intake/IntakeRules.h"
#include "intake/WildcardPattern.h"
#include "platform/Clock.h"
#include "platform/FolderChangeWait.h"
#include "platform/PlatformError.h"
#include "platform/SharedFolder.h"
#include "platform/StopRequest.h"
#include "watch/WatchNames.h"

#include <algorithm>

namespace bw {

FolderWatch::FolderWatch(Services services, Settings settings)
    : services_(services), settings_(std::move(settings))
{
}

qint64 FolderWatch::retryDelay(int attempt)
{
    return attempt >= 9 ? LongestRetryMilliseconds
                        : std::min<qint64>(1000LL << attempt, LongestRetryMilliseconds);
}

QStringList FolderWatch::ready(const Tell& tell)
{
    const WildcardPattern pattern = WildcardPattern::forExtensions(settings_.extensions);
    const qint64 now = services_.clock.nowMilliseconds();
    const QString& folder = services_.folder.folder();
    std::vector<SharedFolderEntry> entries;
    try {
        entries = services_.files.entries(folder);
    } catch (const PlatformError&) {
        // A network folder away for a moment: the next rescan tries again.
        return {};
    }
    const auto leaveAlone = [&](const SharedFolderEntry& entry, const QString& why) {
        const QPair<qint64, qint64> mark{entry.size, entry.modifiedMilliseconds};
        if (untaken_.value(entry.name, {-1, -1}) != mark)
            tell(QStringLiteral("left alone: %1/%2 %3").arg(folder, entry.name, why));
        untaken_.insert(entry.name, mark);
    };
    QHash<QString, Seen> still;
    QHash<QString, QPair<qint64, qint64>> untaken;
    QSet<QString> arrived;
    std::vector<std::pair<qint64, QString>> ready;
    nextSettle_ = -1;
    for (const SharedFolderEntry& entry : entries) {
        if (entry.name.startsWith(QLatin1Char('.')) || IntakeRules::isSkippedInFolderListing(entry.name) ||
            !pattern.matches(entry.name) ||
            (entry.isDirectory &&
             (entry.name == WatchNames::printedFolder() || entry.name == WatchNames::failedFolder())))
            continue;
        if (untaken_.contains(entry.name))
            untaken.insert(entry.name, untaken_.value(entry.name));
        if (!entry.isRegularFile) {
            leaveAlone(entry, entry.isLink        ? QStringLiteral("is a link")
                              : entry.isDirectory ? QStringLiteral("is a folder")
                                                  : QStringLiteral("is not a regular file"));
            untaken.insert(entry.name, untaken_.value(entry.name));
            continue;
        }
        // One that could not be claimed is tried again at each renewal of
        // the mark (the disk may have been full), but not told of again.
        if (!retryUntaken_ &&
            untaken_.value(entry.name, {-1, -1}) == qMakePair(entry.size, entry.modifiedMilliseconds))
            continue;
        Seen seen = seen_.value(entry.name, Seen{-1, 0, now, 0});
        if (seen.size != entry.size || seen.modified != entry.modifiedMilliseconds)
            seen = {entry.size, entry.modifiedMilliseconds, now, 0};
        ++seen.scans;
        still.insert(entry.name, seen);
        const qint64 settles = seen.since + settings_.settleMilliseconds;
        if (arrived_.contains(entry.name))
            arrived.insert(entry.name);
        if (arrived_.contains(entry.name) || (settles <= now && seen.scans >= 2))
            ready.emplace_back(entry.modifiedMilliseconds, entry.name);
        else if (nextSettle_ < 0 || settles < nextSettle_)
            nextSettle_ = std::max(settles, now + 1);
    }
    seen_ = std::move(still);
    untaken_ = std::move(untaken);
    retryUntaken_ = false;
    // Those not taken this time stay announced.
    arrived_ = std::move(arrived);
    std::sort(ready.begin(), ready.end());
    QStringList names;
    for (const auto& [modified, name] : ready) {
        // Only as many as are taken now are looked at.
        if (names.size() == std::max(1, settings_.atOnce))
            break;
        // Still being written by a process of this machine: its closing
        // announces it again.
        switch (services_.files.use(folder + QLatin1Char('/') + name)) {
        case SharedFolder::Use::Closed:
            names << name;
            break;
        case SharedFolder::Use::Writing:
            seen_.remove(name);
            arrived_.remove(name);
            break;
        case SharedFolder::Use::NotAFile:
            break;
        }
    }
    return names;
}

void FolderWatch::wait(qint64 until)
{
    const qint64 wait =
        std::clamp<qint64>(until - services_.clock.nowMilliseconds(), 1, settings_.rescanMilliseconds);
    for (const QString& name : services_.changes.waitForChange(int(wait)))
        arrived_.insert(name);
}

void FolderWatch::waitOut(const QString& reason, const Tell& tell)
{
    if (retryAt_ < 0)
        tell(QStringLiteral("waiting, files stay in the folder: %1").arg(reason));
    retryAt_ = services_.clock.nowMilliseconds() + retryDelay(attempts_++);
}

void FolderWatch::printSome(const QStringList& names, const Print& print, const Tell& tell)
{
    const QString& folder = services_.folder.folder();
    std::vector<WatchedFolder::Claimed> claimed;
    for (const QString& name : names) {
        seen_.remove(name);
        arrived_.remove(name);
        try {
            if (const auto claim = services_.folder.claim(name))
                claimed.push_back(*claim);
        } catch (const PlatformError& error) {
            // Another user's file in a shared folder, for one.
            if (const auto entry = services_.files.entry(folder + QLatin1Char('/') + name)) {
                const QPair<qint64, qint64> mark{entry->size, entry->modifiedMilliseconds};
                if (untaken_.value(name, {-1, -1}) != mark)
                    tell(QStringLiteral("cannot take %1/%2: %3").arg(folder, name, error.description()));
                untaken_.insert(name, mark);
            }
        }
    }
    if (claimed.empty())
        return;
    std::vector<bool> told(claimed.size(), false);
    bool lasting = false;
    std::optional<QString> passing;
    print(claimed, [&](size_t index, const Printed& printed) {
        const WatchedFolder::Claimed& claim = claimed.at(index);
        told.at(index) = true;
        try {
            if (printed.jobId > 0)
                services_.folder.submitted(claim, printed.jobId, printed.printer);
            switch (printed.outcome) {
            case Outcome::Printed: {
                const QString filed = services_.folder.filePrinted(claim);
                if (printed.jobId > 0)
                    services_.folder.follow(claim, printed.jobId, printed.printer, filed);
                lasting = true;
                break;
            }
            case Outcome::Failed:
                services_.folder.fileFailed(claim, printed.reason);
                lasting = true;
                break;
            case Outcome::Passing:
                services_.folder.putBack(claim);
                passing = printed.reason;
                break;
            }
        } catch (const PlatformError& error) {
            // It stays claimed, and the journal settles it at the next start.
            tell(QStringLiteral("cannot file %1/%2: %3").arg(folder, claim.name, error.description()));
        }
    });
    for (size_t i = 0; i < claimed.size(); ++i) {
        if (told.at(i))
            continue;
        try {
            services_.folder.putBack(claimed.at(i));
        } catch (const PlatformError& error) {
            tell(QStringLiteral("cannot put back %1/%2: %3")
                     .arg(folder, claimed.at(i).name, error.description()));
        }
    }
    if (passing)
        waitOut(*passing, tell);
    else if (lasting && retryAt_ >= 0) {
        tell(QStringLiteral("printing again"));
        retryAt_ = -1;
        attempts_ = 0;
    }
}

void FolderWatch::run(const Print& print, const Outage& outage, const Tell& tell)
{
    qint64 nextRefresh = services_.clock.nowMilliseconds() + settings_.refreshMilliseconds;
    qint64 nextFollowUp = 0;
    while (!services_.stop.stopRequested()) {
        services_.folder.checkStillThere();
        const qint64 now = services_.clock.nowMilliseconds();
        if (now >= nextRefresh) {
            nextRefresh = now + settings_.refreshMilliseconds;
            retryUntaken_ = true;
            try {
                for (const QString& message : services_.folder.refresh())
                    tell(message);
            } catch (const PlatformError& error) {
                tell(QStringLiteral("cannot renew this watcher's mark: %1").arg(error.description()));
            }
        }
        if (now >= nextFollowUp) {
            nextFollowUp = now + settings_.rescanMilliseconds;
            try {
                for (const QString& message : services_.folder.followUp())
                    tell(message);
            } catch (const PlatformError& error) {
                tell(QStringLiteral("cannot follow the jobs sent: %1").arg(error.description()));
            }
        }
        const QStringList names = ready(tell);
        if (names.isEmpty() || (retryAt_ >= 0 && now < retryAt_)) {
            qint64 until = std::min(nextRefresh, now + settings_.rescanMilliseconds);
            if (!names.isEmpty())
                until = std::min(until, retryAt_);
            else if (nextSettle_ >= 0)
                until = std::min(until, nextSettle_);
            wait(until);
            continue;
        }
        if (const auto problem = outage()) {
            waitOut(*problem, tell);
            continue;
        }
        printSome(names, print, tell);
    }
}

} // namespace bw
