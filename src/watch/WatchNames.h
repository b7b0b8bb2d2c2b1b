#pragma once

#include <QString>
#include <optional>

namespace bw {

// The names a watched folder's watchers agree on. A claim is the file
// renamed to "<host>-<pid>-<name>" in the claims folder; each watcher
// leaves "<host>-<pid>.watcher" there, holding what tells its process apart
// from a later one of the same number.
class WatchNames {
public:
    static QString claimsFolder() { return QStringLiteral(".brindlework"); }
    static QString printedFolder() { return QStringLiteral("printed"); }
    static QString failedFolder() { return QStringLiteral("failed"); }

    static QString claim(const QString& host, qint64 pid, const QString& name);
    static QString watcher(const QString& host, qint64 pid);

    struct Claim {
        qint64 pid = 0;
        QString name;
    };
    // The claim of a watcher on this host; nothing for another host's claim
    // or a name that is not a claim.
    static std::optional<Claim> parseClaim(const QString& host, const QString& claimName);

    // "report.ods", then "report-1.ods", "report-2.ods"...
    static QString numbered(const QString& name, int number);
};

} // namespace bw
