#include "watch/WatchedFolder.h"

#include "platform/JobWatch.h"
#include "platform/PlatformError.h"
#include "platform/PrintQueue.h"
#include "platform/Processes.h"
#include "platform/SharedFolder.h"

#include <QDateTime>
#include <QHash>
#include <QJsonDocument>

namespace bw {

namespace {

constexpr int MostNumbers = 100000;
// The journal's times are the claiming machine's, a job's creation the
// print server's: they may differ by this much.
constexpr qint64 ClockSlackSeconds = 60 * 60;

const QString Step = QStringLiteral("step");
const QString Token = QStringLiteral("claim");
const QString Printer = QStringLiteral("printer");

bool isPrinted(int state)
{
    return state == PrintJob::Pending || state == PrintJob::Held || state == PrintJob::Processing ||
           state == PrintJob::Completed;
}

} // namespace

WatchedFolder::WatchedFolder(Services services, QString folder, QString host, QString printer)
    : services_(std::move(services)), folder_(std::move(folder)), host_(std::move(host)),
      printer_(std::move(printer)), id_(services_.newId())
{
}

QString WatchedFolder::claimsPath(const QString& name) const
{
    return path(WatchNames::claimsFolder() + QLatin1Char('/') + name);
}

void WatchedFolder::write(QJsonObject line)
{
    line.insert(QStringLiteral("at"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    line.insert(QStringLiteral("watcher"), id_);
    services_.files.append(claimsPath(WatchNames::journal()),
                           QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}

QStringList WatchedFolder::open()
{
    const auto inbox = services_.files.entry(folder_ + QStringLiteral("/."));
    if (!inbox || !inbox->isDirectory)
        throw PlatformError(ErrorNumber::FileNotFound, QStringLiteral("it is not a folder"));
    device_ = inbox->device;
    inode_ = inbox->inode;
    QStringList told;
    if (inbox->othersMayWrite && !inbox->ownersOnlyRemove)
        told << QStringLiteral("warning: others may write to %1 and, without its sticky bit (chmod +t), "
                               "remove or replace the files of anyone in it")
                    .arg(folder_);
    // Through a link, files would be filed or claimed outside the folder.
    for (const QString& sub :
         {WatchNames::claimsFolder(), WatchNames::printedFolder(), WatchNames::failedFolder()}) {
        const auto entry = services_.files.entry(path(sub));
        if (!entry)
            services_.files.makeFolder(path(sub));
        else if (!entry->isDirectory)
            throw PlatformError(
                ErrorNumber::FileAccess,
                QStringLiteral("%1 must be a folder of its own, not a link or a file").arg(path(sub)));
    }
    // Made aside and moved in whole: no watcher ever sees this one's
    // folder without its mark.
    const QString making = claimsPath(QLatin1Char('.') + id_);
    services_.files.makeFolder(making);
    const QString mark = QStringLiteral("%1\n%2\n%3\n")
                             .arg(host_)
                             .arg(services_.processes.currentProcessId())
                             .arg(services_.processes.identity(services_.processes.currentProcessId()));
    if (!services_.files.createFile(making + QLatin1Char('/') + WatchNames::mark(), mark.toUtf8()) ||
        services_.files.moveWithoutReplacing(making, ownPath()) != SharedFolder::Move::Moved)
        throw PlatformError(ErrorNumber::FileAccess,
                            QStringLiteral("Cannot make the claims folder ") + ownPath());
    return told + refresh();
}

void WatchedFolder::checkStillThere()
{
    const auto inbox = services_.files.entry(folder_ + QStringLiteral("/."));
    if (!inbox)
        throw PlatformError(ErrorNumber::FileNotFound, QStringLiteral("the folder is gone"));
    if (inbox->device != device_ || inbox->inode != inode_)
        throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("another folder has taken its name"));
}

bool WatchedFolder::isDead(const QString& watcher, qint64 modified, qint64 now)
{
    // A watcher of this host is known dead at once by its process.
    const QStringList mark =
        QString::fromUtf8(services_.files.read(claimsPath(watcher + QLatin1Char('/') + WatchNames::mark())))
            .split(QLatin1Char('\n'));
    if (mark.size() >= 3 && mark.at(0) == host_ && !mark.at(2).isEmpty() &&
        services_.processes.identity(mark.at(1).toLongLong()) != mark.at(2))
        return true;
    return now - modified > DeadAfterMilliseconds;
}

QStringList WatchedFolder::refresh()
{
    // The mark's time is the file server's: it is compared with other
    // watchers' marks only, never with this machine's clock.
    services_.files.touch(ownPath());
    const auto own = services_.files.entry(ownPath());
    if (!own)
        throw PlatformError(ErrorNumber::FileNotFound,
                            QStringLiteral("The claims folder is gone: ") + ownPath());
    QStringList told;
    for (const SharedFolderEntry& entry : services_.files.entries(claimsPath({}))) {
        // Folders being made start with a dot; those being taken over are
        // judged by their age alone.
        const bool taking = entry.name.startsWith(QStringLiteral(".taken-"));
        if (!entry.isDirectory || entry.name == id_ || (entry.name.startsWith(QLatin1Char('.')) && !taking))
            continue;
        if (taking ? own->modifiedMilliseconds - entry.modifiedMilliseconds > DeadAfterMilliseconds
                   : isDead(entry.name, entry.modifiedMilliseconds, own->modifiedMilliseconds))
            told += takeOver(entry.name);
    }
    const QStringList again = std::exchange(unsettled_, {});
    return told + settle(again);
}

QStringList WatchedFolder::takeOver(const QString& watcher)
{
    // Renamed away first: of all the watchers seeing it dead, one takes it.
    const QString taken = claimsPath(QStringLiteral(".taken-") + services_.newId());
    if (services_.files.moveWithoutReplacing(claimsPath(watcher), taken) != SharedFolder::Move::Moved)
        return {};
    write({{Step, QStringLiteral("take-over")}, {QStringLiteral("from"), watcher}});
    QStringList claims;
    for (const SharedFolderEntry& entry : services_.files.entries(taken)) {
        if (entry.name == WatchNames::mark())
            continue;
        if (services_.files.moveWithoutReplacing(taken + QLatin1Char('/') + entry.name,
                                                 ownPath() + QLatin1Char('/') + entry.name) ==
            SharedFolder::Move::Moved)
            claims << entry.name;
    }
    services_.files.remove(taken + QLatin1Char('/') + WatchNames::mark());
    services_.files.remove(taken);
    return settle(claims);
}

QStringList WatchedFolder::settle(const QStringList& claims)
{
    if (claims.isEmpty())
        return {};
    // The last step of each claim.
    QHash<QString, QJsonObject> last;
    for (const QByteArray& line : services_.files.read(claimsPath(WatchNames::journal())).split('\n')) {
        const QJsonObject step = QJsonDocument::fromJson(line).object();
        if (step.contains(Token))
            last.insert(step.value(Token).toString(), step);
    }
    QStringList told;
    for (const QString& claimedName : claims) {
        const auto claim = WatchNames::claimOf(claimedName);
        if (!claim) {
            if (const auto back =
                    moveClaimTo(ownPath() + QLatin1Char('/') + claimedName, folder_, claimedName))
                told << QStringLiteral("put back %1, claimed by a watcher that has ended").arg(*back);
            continue;
        }
        const Claimed claimed{ownPath() + QLatin1Char('/') + claimedName, claim->name, claim->token};
        const QJsonObject step = last.value(claim->token);
        const QString kind = step.value(Step).toString();
        QString to;
        if (kind == QLatin1String("filed")) {
            const QString reason = step.value(QStringLiteral("reason")).toString();
            to = step.value(QStringLiteral("to")).toString() == WatchNames::failedFolder()
                     ? fileFailed(claimed, reason)
                     : filePrinted(claimed);
        } else {
            // A claim without a submission line may still have been sent:
            // the line lost, or the watcher gone right after the job.
            const bool recorded = kind == QLatin1String("submitted");
            const QString printer = step.value(Printer).toString(printer_);
            int jobId = recorded ? step.value(QStringLiteral("job")).toInt() : 0;
            std::optional<PrintJob> job;
            try {
                job = recorded ? services_.printQueue.job(jobId) : sentUnrecorded(claim->token, step);
            } catch (const PlatformError& error) {
                unsettled_ << claimedName;
                told << QStringLiteral("%1 waits until its job can be asked after: %2")
                            .arg(claimed.name, error.description());
                continue;
            }
            if (!recorded && !job) {
                told << QStringLiteral("put back %1, claimed by a watcher that has ended")
                            .arg(putBack(claimed));
                continue;
            }
            if (!recorded) {
                jobId = job->id;
                submitted(claimed, jobId, printer);
            }
            // A job the printing system no longer knows was printed and forgotten.
            to = !job || isPrinted(job->state)
                     ? filePrinted(claimed)
                     : fileFailed(claimed, QStringLiteral("CUPS ended job %1 on \"%2\": %3")
                                               .arg(jobId)
                                               .arg(printer, job->reasons));
        }
        told << QStringLiteral("filed %1, printed by a watcher that has ended, as %2").arg(claimed.name, to);
    }
    return told;
}

std::optional<PrintJob> WatchedFolder::sentUnrecorded(const QString& token, const QJsonObject& claimedLine)
{
    const QString printer = claimedLine.value(Printer).toString(printer_);
    if (printer.isEmpty())
        return std::nullopt;
    // No claim line: every job of the user's the queue still has.
    const QDateTime at =
        QDateTime::fromString(claimedLine.value(QStringLiteral("at")).toString(), Qt::ISODateWithMs);
    const qint64 since = at.isValid() ? at.toSecsSinceEpoch() - ClockSlackSeconds : 0;
    const QString title = token + QLatin1Char('-');
    std::optional<PrintJob> found;
    for (const PrintJob& job : services_.jobWatch.ownJobs(printer, since))
        if (job.title.startsWith(title))
            found = job;
    return found;
}

void WatchedFolder::close()
{
    services_.files.remove(ownPath() + QLatin1Char('/') + WatchNames::mark());
    services_.files.remove(ownPath());
}

std::optional<WatchedFolder::Claimed> WatchedFolder::claim(const QString& name)
{
    const Claimed claimed{QString(), name, services_.newId().left(8)};
    const QString target = ownPath() + QLatin1Char('/') + WatchNames::claimed({claimed.token, name});
    switch (services_.files.moveWithoutReplacing(path(name), target)) {
    case SharedFolder::Move::Moved:
        break;
    case SharedFolder::Move::SourceGone:
        return std::nullopt;
    case SharedFolder::Move::TargetTaken:
        throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("A claim is in the way: ") + target);
    }
    Claimed result = claimed;
    result.path = target;
    // Swapped for a link or a FIFO between the look and the claim.
    const auto entry = services_.files.entry(target);
    if (!entry || !entry->isRegularFile) {
        moveClaimTo(target, folder_, name);
        return std::nullopt;
    }
    try {
        QJsonObject line{
            {Step, QStringLiteral("claimed")}, {Token, claimed.token}, {QStringLiteral("file"), name}};
        if (!printer_.isEmpty())
            line.insert(Printer, printer_);
        write(line);
    } catch (const PlatformError&) {
        // Not claimed without its line (a full disk): back where it was.
        moveClaimTo(target, folder_, name);
        throw;
    }
    return result;
}

void WatchedFolder::submitted(const Claimed& claimed, int jobId, const QString& printer)
{
    write({{Step, QStringLiteral("submitted")},
           {Token, claimed.token},
           {QStringLiteral("job"), jobId},
           {Printer, printer}});
}

QString WatchedFolder::filePrinted(const Claimed& claimed)
{
    write({{Step, QStringLiteral("filed")},
           {Token, claimed.token},
           {QStringLiteral("to"), WatchNames::printedFolder()}});
    return ownClaimTo(claimed, path(WatchNames::printedFolder()));
}

QString WatchedFolder::fileFailed(const Claimed& claimed, const QString& reason)
{
    const QString why = reason.isEmpty() ? QStringLiteral("failed") : reason;
    write({{Step, QStringLiteral("filed")},
           {Token, claimed.token},
           {QStringLiteral("to"), WatchNames::failedFolder()},
           {QStringLiteral("reason"), why}});
    return ownClaimTo(claimed, path(WatchNames::failedFolder()), why);
}

QString WatchedFolder::putBack(const Claimed& claimed)
{
    // Without its line too: a claim with no job recorded is put back anyway.
    try {
        write({{Step, QStringLiteral("put back")}, {Token, claimed.token}});
    } catch (const PlatformError&) {
    }
    return ownClaimTo(claimed, folder_);
}

void WatchedFolder::follow(const Claimed& claimed, int jobId, const QString& printer, const QString& filed)
{
    followed_.append({{filed, claimed.name, claimed.token}, jobId, printer});
}

QStringList WatchedFolder::followUp()
{
    QStringList told;
    QList<Followed> still;
    for (const Followed& sent : std::as_const(followed_)) {
        std::optional<PrintJob> job;
        try {
            job = services_.printQueue.job(sent.jobId);
        } catch (const PlatformError&) {
            still << sent;
            continue;
        }
        // Forgotten by a queue that keeps no history: it printed.
        const int state = job ? job->state : PrintJob::Completed;
        if (state < PrintJob::Stopped) { // not ended yet
            still << sent;
            continue;
        }
        const QString reason = job ? job->reasons : QString();
        write({{Step, QStringLiteral("ended")},
               {Token, sent.claimed.token},
               {QStringLiteral("job"), sent.jobId},
               {QStringLiteral("state"), PrintJob::stateWord(state)},
               {QStringLiteral("reason"), reason}});
        if (state == PrintJob::Completed)
            continue;
        if (const auto to =
                moveClaimTo(sent.claimed.path, path(WatchNames::failedFolder()), sent.claimed.name,
                            QStringLiteral("CUPS %1 job %2 on \"%3\": %4")
                                .arg(PrintJob::stateWord(state))
                                .arg(sent.jobId)
                                .arg(sent.printer, reason)))
            told << QStringLiteral("job %1 of %2 was %3 by CUPS (%4): moved to %5")
                        .arg(sent.jobId)
                        .arg(sent.claimed.name, PrintJob::stateWord(state), reason, *to);
    }
    followed_ = still;
    return told;
}

QString WatchedFolder::ownClaimTo(const Claimed& claimed, const QString& folder, const QString& reason)
{
    if (const auto target = moveClaimTo(claimed.path, folder, claimed.name, reason))
        return *target;
    throw PlatformError(ErrorNumber::FileNotFound,
                        QStringLiteral("The claimed file is gone: ") + claimed.path);
}

std::optional<QString> WatchedFolder::moveClaimTo(const QString& claim, const QString& folder,
                                                  const QString& name, const QString& reason)
{
    for (int number = 0; number < MostNumbers; ++number) {
        const QString target = folder + QLatin1Char('/') + WatchNames::numbered(name, number);
        // The reason goes first, under the name the file will have.
        const QString note = target + QStringLiteral(".txt");
        if (!reason.isEmpty() && !services_.files.createFile(note, reason.toUtf8() + '\n'))
            continue;
        switch (services_.files.moveWithoutReplacing(claim, target)) {
        case SharedFolder::Move::Moved:
            return target;
        case SharedFolder::Move::TargetTaken:
            if (!reason.isEmpty())
                services_.files.remove(note);
            continue;
        case SharedFolder::Move::SourceGone:
            if (!reason.isEmpty())
                services_.files.remove(note);
            return std::nullopt;
        }
    }
    throw PlatformError(ErrorNumber::FileAccess,
                        QStringLiteral("No free name for %1 in %2").arg(name, folder));
}

} // namespace bw
