#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace bw {

class Clock;
class FolderChangeWait;
class SharedFolder;
class StopRequest;
class WatchedFolder;

// Prints each file that arrives in a watched folder once its size has
// stopped changing, oldest first, until a stop is asked for: claims it,
// prints it, files it. Notification wakes the watch early; a rescan at a
// fixed pace finds what notification never announces.
class FolderWatch {
public:
    struct Settings {
        QStringList extensions;
        // How long size and time of change must stay the same.
        int settleMilliseconds = 2000;
        int rescanMilliseconds = 5000;
    };
    struct Printed {
        bool printed = false;
        QString reason; // why it failed
    };
    struct Services {
        WatchedFolder& folder;
        SharedFolder& files;
        FolderChangeWait& changes;
        Clock& clock;
        const StopRequest& stop;
    };
    // Prints the claimed file (shown under its name in the folder); nothing
    // when a stop came before it started.
    using Print = std::function<std::optional<Printed>(const QString& claimed, const QString& shown)>;
    // A file that cannot be taken, told once.
    using Untaken = std::function<void(const QString& shown, const QString& reason)>;

    FolderWatch(Services services, Settings settings);

    void run(const Print& print, const Untaken& untaken);

private:
    struct Seen {
        qint64 size = 0;
        qint64 modified = 0;
        qint64 since = 0; // clock time it was first seen so
    };
    // The settled files, oldest first; notes when the next one settles.
    QStringList settled(const Untaken& untaken);

    Services services_;
    Settings settings_;
    QHash<QString, Seen> seen_;
    QSet<QString> untaken_;
    qint64 nextSettle_ = -1;
};

} // namespace bw
