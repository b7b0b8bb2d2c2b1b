#pragma once

#include <QString>
#include <optional>

namespace bw {

// The names a watched folder's watchers agree on. Each watcher claims files
// into a folder of its own, "<host>-<pid>" in the claims folder (a file
// keeps its name, which its print job is titled after), and leaves there a
// mark holding what tells its process apart from a later one of the same
// number.
class WatchNames {
public:
    static QString claimsFolder() { return QStringLiteral(".brindlework"); }
    static QString printedFolder() { return QStringLiteral("printed"); }
    static QString failedFolder() { return QStringLiteral("failed"); }
    static QString mark() { return QStringLiteral(".watcher"); }

    static QString watcher(const QString& host, qint64 pid);
    // The process number of a watcher of this host; nothing for another
    // host's watcher or a name that is not a watcher's.
    static std::optional<qint64> watcherOf(const QString& host, const QString& folderName);

    // "report.ods", then "report-1.ods", "report-2.ods"...
    static QString numbered(const QString& name, int number);
};

} // namespace bw
