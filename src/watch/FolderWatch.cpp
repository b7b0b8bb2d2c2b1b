#include "watch/FolderWatch.h"

#include "intake/IntakeRules.h"
#include "intake/WildcardPattern.h"
#include "platform/Clock.h"
#include "platform/FolderChangeWait.h"
#include "platform/PlatformError.h"
#include "platform/SharedFolder.h"
#include "platform/StopRequest.h"
#include "watch/WatchedFolder.h"

#include <algorithm>

namespace bw {

FolderWatch::FolderWatch(Services services, Settings settings)
    : services_(services), settings_(std::move(settings))
{
}

QStringList FolderWatch::settled(const Untaken& untaken)
{
    const WildcardPattern pattern = WildcardPattern::forExtensions(settings_.extensions);
    const qint64 now = services_.clock.nowMilliseconds();
    std::vector<SharedFolderEntry> entries;
    try {
        entries = services_.files.entries(services_.folder.folder());
    } catch (const PlatformError&) {
        // A network folder away for a moment: the next rescan tries again.
        return {};
    }
    QHash<QString, Seen> still;
    std::vector<std::pair<qint64, QString>> ready;
    nextSettle_ = -1;
    for (const SharedFolderEntry& entry : entries) {
        if (!entry.isRegularFile || entry.name.startsWith(QLatin1Char('.')) ||
            IntakeRules::isSkippedInFolderListing(entry.name) || !pattern.matches(entry.name))
            continue;
        if (!entry.nameIsText) {
            if (!untaken_.contains(entry.name))
                untaken(services_.folder.folder() + QLatin1Char('/') + entry.name,
                        QStringLiteral("The name is not valid UTF-8 and cannot be passed on"));
            untaken_.insert(entry.name);
            continue;
        }
        Seen seen = seen_.value(entry.name, Seen{-1, 0, now});
        if (seen.size != entry.size || seen.modified != entry.modifiedMilliseconds)
            seen = {entry.size, entry.modifiedMilliseconds, now};
        still.insert(entry.name, seen);
        const qint64 settles = seen.since + settings_.settleMilliseconds;
        if (settles <= now)
            ready.emplace_back(entry.modifiedMilliseconds, entry.name);
        else if (nextSettle_ < 0 || settles < nextSettle_)
            nextSettle_ = settles;
    }
    seen_ = std::move(still);
    std::sort(ready.begin(), ready.end());
    QStringList names;
    for (const auto& [modified, name] : ready)
        names << name;
    return names;
}

void FolderWatch::run(const Print& print, const Untaken& untaken)
{
    while (!services_.stop.stopRequested()) {
        const QStringList ready = settled(untaken);
        if (ready.isEmpty()) {
            qint64 wait = settings_.rescanMilliseconds;
            if (nextSettle_ >= 0)
                wait = std::clamp<qint64>(nextSettle_ - services_.clock.nowMilliseconds(), 1, wait);
            services_.changes.waitForChange(int(wait));
            continue;
        }
        // One at a time, then a fresh look: the others' claims and new,
        // older arrivals count.
        const QString name = ready.first();
        seen_.remove(name);
        const auto claimed = services_.folder.claim(name);
        if (!claimed)
            continue;
        const auto result = print(*claimed, services_.folder.folder() + QLatin1Char('/') + name);
        if (!result) {
            services_.folder.putBack(name);
            return;
        }
        if (result->printed)
            services_.folder.filePrinted(name);
        else
            services_.folder.fileFailed(name, result->reason);
    }
}

} // namespace bw
