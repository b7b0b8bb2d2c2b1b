#pragma once

#include "platform/PrintJob.h"

#include <QList>
#include <QString>
#include <functional>

namespace bw {

class Clock;
class PrintQueue;
class Sleeper;
class StopRequest;

// Follows jobs sent to the printing system until each has ended. All the
// jobs in flight are read at once; each read tells which ended since, as
// completed or failed (canceled, aborted or stopped, with the system's
// reason), while the others stay pending, held or processing.
class JobFollow {
public:
    explicit JobFollow(PrintQueue& queue);

    // Follows the job from the state it was last seen in.
    void add(const PrintJob& job);
    // Reads the state of every job in flight once; returns those that ended
    // since, and follows them no more. A job the system no longer knows
    // ended as completed (a queue that keeps no history forgets it at once).
    // Throws PlatformError when the system cannot be asked.
    QList<PrintJob> read();
    // Reads every paceMilliseconds until no job is in flight, the time has
    // passed or a stop is asked for; tells each job as it ends.
    void readUntilEnded(Clock& clock, Sleeper& sleeper, const StopRequest& stop, qint64 milliseconds,
                        const std::function<void(const PrintJob&)>& onEnded, int paceMilliseconds = 500);
    // The jobs still in flight, oldest first, as last read.
    const QList<PrintJob>& inFlight() const { return inFlight_; }

    static bool ended(int state) { return state >= PrintJob::Stopped; }
    static bool failed(int state) { return ended(state) && state != PrintJob::Completed; }

private:
    PrintQueue& queue_;
    QList<PrintJob> inFlight_;
};

} // namespace bw
