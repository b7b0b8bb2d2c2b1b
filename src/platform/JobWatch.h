#pragma once

#include "platform/PrintJob.h"

#include <QList>
#include <QString>

namespace bw {

// Watches on the printing system's jobs, for jobs whose id the program does
// not know (a print the office sent). Failures are thrown as PlatformError.
class JobWatch {
public:
    virtual ~JobWatch() = default;

    // Takes out a watch for the jobs of the printer's queue (it may tell of
    // other queues' jobs too): from now on the printing system keeps an event
    // for each job created, changed or ended (only so many: read them often),
    // whether or not it keeps the job itself. Returns the watch's number.
    virtual int watchJobs(const QString& printer) = 0;
    // The watch's events after the given sequence number, oldest first, about
    // jobs of this user (and those whose owner can no longer be asked).
    // An event without a job (id 0) only tells how far the events read reach,
    // and whether the printing system dropped some unread (eventsLost).
    virtual QList<JobEvent> jobEvents(int watch, int afterSequence) = 0;
    // The user's own jobs on the printer's queue created at or after the
    // given time (seconds since 1970), oldest first, as they are now.
    virtual QList<PrintJob> ownJobs(const QString& printer, qint64 createdSince) = 0;
    // Ends a watch; never throws (a watch left behind lapses by itself).
    virtual void endWatch(int watch) = 0;
};

} // namespace bw
