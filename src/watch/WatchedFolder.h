#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace bw {

class Processes;
class SharedFolder;

// A folder that several watchers, on this machine and on others sharing
// it, print from: a file is claimed by an atomic rename into its watcher's
// folder among the claims, so exactly one of them gets it, and is then filed in "printed" or
// "failed" (with a text file saying why) without replacing anything there.
class WatchedFolder {
public:
    WatchedFolder(SharedFolder& files, Processes& processes, QString folder, QString host);

    // Makes the folders the watch needs, puts back the claims of watchers of
    // this host that are gone, and leaves this watcher's mark. Returns the
    // names put back.
    QStringList open();
    // Removes this watcher's mark; its claims are all filed by then.
    void close();

    // The claimed file's path; nothing when another watcher was first.
    std::optional<QString> claim(const QString& name);
    // Files a claimed file; returns where it went.
    QString filePrinted(const QString& name);
    QString fileFailed(const QString& name, const QString& reason);
    // Back into the folder, as a file that was never claimed.
    QString putBack(const QString& name);

    const QString& folder() const { return folder_; }

private:
    QString claimPath(const QString& name) const;
    QString claimsPath(const QString& name) const;
    // The claim moved to the first free numbered name in the folder (with
    // the reason beside it when one is given); nothing when it is gone.
    std::optional<QString> moveClaimTo(const QString& claim, const QString& folder, const QString& name,
                                       const QString& reason = {});
    QString ownClaimTo(const QString& name, const QString& folder, const QString& reason = {});

    SharedFolder& files_;
    Processes& processes_;
    QString folder_;
    QString host_;
    qint64 pid_;
};

} // namespace bw
