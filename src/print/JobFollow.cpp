#include "print/JobFollow.h"

#include "platform/Clock.h"
#include "platform/PrintQueue.h"
#include "platform/Sleeper.h"
#include "platform/StopRequest.h"

#include <QHash>
#include <algorithm>

namespace bw {

JobFollow::JobFollow(PrintQueue& queue) : queue_(queue) {}

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
    for (const PrintJob& job : queue_.jobStates(ids))
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

} // namespace bw
