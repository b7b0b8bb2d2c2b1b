#pragma once

#include <QString>
#include <optional>

namespace bw {

// The names a watched folder's watchers agree on. Each watcher claims files
// into a folder of its own among the claims, named by a random id made at
// its start, and leaves there a mark saying which process of which host it
// is. A claimed file is named "<token>-<name>": the token, random too, names
// the claim in the journal and in the title of its print job.
class WatchNames {
public:
    static QString claimsFolder() { return QStringLiteral(".brindlework"); }
    static QString printedFolder() { return QStringLiteral("printed"); }
    static QString failedFolder() { return QStringLiteral("failed"); }
    static QString mark() { return QStringLiteral(".watcher"); }
    static QString journal() { return QStringLiteral("journal.jsonl"); }

    struct Claim {
        QString token;
        QString name; // in the folder, before it was claimed
    };
    static QString claimed(const Claim& claim) { return claim.token + QLatin1Char('-') + claim.name; }
    // Nothing for a name that is not a claim's.
    static std::optional<Claim> claimOf(const QString& claimed);

    // "report.ods", then "report-1.ods", "report-2.ods"...
    static QString numbered(const QString& name, int number);
};

} // namespace bw
