#pragma once

#include "platform/PrintJob.h"
#include "watch/WatchNames.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace bw {

class JobWatch;
class PrintQueue;
class Processes;
class SharedFolder;

// A folder that several watchers, on this machine and on others sharing
// it, print from: a file is claimed by an atomic rename into its watcher's
// folder among the claims, so exactly one of them gets it, and is then filed
// in "printed" or "failed" (with a text file saying why) without replacing
// anything there. Each step is a line of the folder's journal before the
// next begins, so the claims of a watcher that died are settled from the
// journal and the printing system alone: a file is printed again only when
// no job was recorded for it.
class WatchedFolder {
public:
    struct Services {
        SharedFolder& files;
        Processes& processes;
        // Where the jobs of a dead watcher's claims are asked after.
        PrintQueue& printQueue;
        // Where a claim's job is looked for by its token when no line recorded it.
        JobWatch& jobWatch;
        // A new random id of letters and digits, at least 8 of them.
        std::function<QString()> newId;
    };
    // A watcher not heard of for this long is taken for dead.
    static constexpr qint64 DeadAfterMilliseconds = 5 * 60 * 1000;

    // printer: where this watch sends its files ("" when it writes PDFs).
    WatchedFolder(Services services, QString folder, QString host, QString printer);

    // Checks the folders the watch needs (making those missing), leaves this
    // watcher's mark and settles the claims of dead watchers. Returns what
    // the user should know (warnings, files settled); throws when the
    // folder cannot be watched safely.
    QStringList open();
    // Renews this watcher's mark and settles the claims of watchers whose
    // mark has gone stale; returns what was done. Throws when the printing
    // system cannot be asked (the claims then wait for the next time).
    QStringList refresh();
    // Throws when the folder is gone or another one has its name now.
    void checkStillThere();
    // Removes this watcher's mark; its claims are all filed by then.
    void close();

    struct Claimed {
        QString path; // where the claimed file is now
        QString name; // its name in the folder
        QString token;
    };
    // Nothing when another watcher was first, or it is not a regular file
    // (then it is where it was).
    std::optional<Claimed> claim(const QString& name);
    void submitted(const Claimed& claimed, int jobId, const QString& printer);
    // Files a claimed file; returns where it went.
    QString filePrinted(const Claimed& claimed);
    QString fileFailed(const Claimed& claimed, const QString& reason);
    // Back into the folder, as a file that was never claimed.
    QString putBack(const Claimed& claimed);
    // Follows the job of a file filed as printed until it ends: one that
    // CUPS aborts, cancels or stops moves the file on to "failed".
    void follow(const Claimed& claimed, int jobId, const QString& printer, const QString& filed);
    // Asks after the jobs followed; returns what was moved.
    QStringList followUp();

    const QString& folder() const { return folder_; }
    const QString& id() const { return id_; }

private:
    QString path(const QString& relative) const { return folder_ + QLatin1Char('/') + relative; }
    QString claimsPath(const QString& name) const;
    QString ownPath() const { return claimsPath(id_); }
    void write(QJsonObject line);
    bool isDead(const QString& watcher, qint64 modified, qint64 now);
    // Takes a dead watcher's claims in and settles them.
    QStringList takeOver(const QString& watcher);
    QStringList settle(const QStringList& claims);
    // The job sent for a claim whose submission the journal lacks, found
    // on the queue by the token in its title; claimedLine: the journal's
    // claim line, when it has one.
    std::optional<PrintJob> sentUnrecorded(const QString& token, const QJsonObject& claimedLine);
    // The claim moved to the first free numbered name in the folder (with
    // the reason beside it when one is given); nothing when it is gone.
    std::optional<QString> moveClaimTo(const QString& claim, const QString& folder, const QString& name,
                                       const QString& reason = {});
    QString ownClaimTo(const Claimed& claimed, const QString& folder, const QString& reason = {});

    Services services_;
    QString folder_;
    QString host_;
    QString printer_;
    QString id_;
    quint64 device_ = 0;
    quint64 inode_ = 0;
    // Claims taken over whose job could not be asked after yet.
    QStringList unsettled_;
    struct Followed {
        Claimed claimed; // path: where it was filed
        int jobId;
        QString printer;
    };
    QList<Followed> followed_;
};

} // namespace bw
