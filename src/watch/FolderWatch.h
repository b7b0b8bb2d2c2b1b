#pragma once

#include "watch/WatchedFolder.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace bw {

class Clock;
class FolderChangeWait;
class SharedFolder;
class StopRequest;

// Prints each file that arrives in a watched folder, oldest first, until a
// stop is asked for: claims it, prints it, files it. A file moved in whole
// or closed by its writer is taken at once; any other once its size and
// time have stayed the same for a while (network folders announce
// nothing). A rescan at a fixed pace finds what notification never
// announces. A passing outage (the printing system, a queue, the office)
// leaves the files where they are and is retried with growing delays; a
// file that cannot be taken is named once and left alone.
class FolderWatch {
public:
    struct Settings {
        QStringList extensions;
        // How long size and time of change must stay the same.
        int settleMilliseconds = 2000;
        int rescanMilliseconds = 5000;
        // Files printed side by side.
        int atOnce = 1;
        // The pace at which the watcher's mark is renewed.
        int refreshMilliseconds = 60 * 1000;
    };
    enum class Outcome { Printed, Failed, Passing };
    struct Printed {
        Outcome outcome = Outcome::Failed;
        QString reason; // why it failed, or what keeps it waiting
        int jobId = 0;  // 0: no job was made
        QString printer;
    };
    struct Services {
        WatchedFolder& folder;
        SharedFolder& files;
        FolderChangeWait& changes;
        Clock& clock;
        const StopRequest& stop;
    };
    using Done = std::function<void(size_t index, const Printed&)>;
    // Prints the claimed files, telling each outcome as soon as it is known;
    // one not told (a stop came first) is put back.
    using Print = std::function<void(const std::vector<WatchedFolder::Claimed>&, const Done&)>;
    // Why nothing can be printed for now; nothing when it can.
    using Outage = std::function<std::optional<QString>()>;
    using Tell = std::function<void(const QString& message)>;

    static constexpr qint64 LongestRetryMilliseconds = 5 * 60 * 1000;
    // 1 s, 2 s, 4 s... up to 5 minutes.
    static qint64 retryDelay(int attempt);

    FolderWatch(Services services, Settings settings);

    // Throws when the folder is gone or replaced.
    void run(const Print& print, const Outage& outage, const Tell& tell);

private:
    struct Seen {
        qint64 size = 0;
        qint64 modified = 0;
        qint64 since = 0; // clock time it was first seen so
        int scans = 0;
    };
    // The files ready to be taken, oldest first; notes when the next one settles.
    QStringList ready(const Tell& tell);
    void printSome(const QStringList& names, const Print& print, const Tell& tell);
    void waitOut(const QString& reason, const Tell& tell);
    void wait(qint64 until);

    Services services_;
    Settings settings_;
    QHash<QString, Seen> seen_;
    // Moved in or closed by their writer since the last look.
    QSet<QString> arrived_;
    // Named once, by size and time of change: told again only when it changes.
    QHash<QString, QPair<qint64, qint64>> untaken_;
    bool retryUntaken_ = false;
    qint64 nextSettle_ = -1;
    // The outage under way: when to try again, and how often it was tried.
    qint64 retryAt_ = -1;
    int attempts_ = 0;
};

} // namespace bw
