#pragma once

#include "platform/PrintJob.h"

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace bw {

// Jobs sent to the printers' queues, and their states. Every call asks the
// printing system afresh. Failures are thrown as PlatformError.
class PrintQueue {
public:
    virtual ~PrintQueue() = default;

    // Sends the file (a PDF) to the printer's queue as one job titled title,
    // with options as lp takes them (name, value); returns the job's id.
    // Throws naming the printing system's reason when it refuses the job.
    virtual int submitFile(const QString& printer, const QString& file, const QString& title,
                           const QList<QPair<QString, QString>>& options) = 0;
    // The job as the printing system has it now; nothing once it no longer knows it.
    virtual std::optional<PrintJob> job(int id) = 0;
    // This user's jobs among ids as the printing system has them now, read
    // in one request for the jobs still queued or printing and one more for
    // those that ended, however many there are. An id it no longer knows is
    // left out.
    virtual QList<PrintJob> jobStates(const QList<int>& ids) = 0;
};

} // namespace bw
