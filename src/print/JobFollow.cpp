#include "print/JobFollow.h"

#include "platform/Clock.h"
#include "platform/PrinterServices.h"
#include "platform/Sleeper.h"
#include "platform/StopRequest.h"

#include <QHash>
#include <algorithm>

namespace bw {

JobFollow::JobFollow(PrinterServices& printers) : printers_(printers) {}

void JobFollow::add(const PrintJob& job)
{
    inFlight_.append(job);
}

QList<PrintJob> JobFollow::read()
{
    if (inFlight_.isEmpty())
        return {};
    QList<int> ids;
    for (const PrintJob& job : std::as_const(inFlight_))
        ids << job.id;
    QHash<int, PrintJob> now;
    for (const PrintJob& job : printers_.jobStates(ids))
        now.insert(job.id, job);
    QList<PrintJob> endedNow;
    QList<PrintJob> still;
    for (const PrintJob& before : std::as_const(inFlight_)) {
        PrintJob job = now.value(before.id, before);
        if (!now.contains(before.id)) {
            job.state = PrintJob::Completed;
            job.reasons.clear();
        }
        if (job.queue.isEmpty())
            job.queue = before.queue;
        (ended(job.state) ? endedNow : still).append(job);
    }
    inFlight_ = still;
    return endedNow;
}

void JobFollow::readUntilEnded(Clock& clock, Sleeper& sleeper, const StopRequest& stop, qint64 milliseconds,
                               const std::function<void(const PrintJob&)>& onEnded, int paceMilliseconds)
{
    const qint64 until = clock.nowMilliseconds() + milliseconds;
    for (;;) {
        for (const PrintJob& job : read())
            onEnded(job);
        const qint64 left = until - clock.nowMilliseconds();
        if (inFlight_.isEmpty() || left <= 0 || stop.stopRequested())
            return;
        sleeper.sleepMilliseconds(int(std::min<qint64>(paceMilliseconds, left)));
    }
}

QString JobFollow::stateWord(int state)
{
    switch (state) {
    case PrintJob::Pending:
        return QStringLiteral("pending");
    case PrintJob::Held:
        return QStringLiteral("held");
    case PrintJob::Processing:
        return QStringLiteral("printing");
    case PrintJob::Stopped:
        return QStringLiteral("stopped");
    case PrintJob::Canceled:
        return QStringLiteral("canceled");
    case PrintJob::Completed:
        return QStringLiteral("completed");
    default:
        return QStringLiteral("aborted");
    }
}

} // namespace bw
