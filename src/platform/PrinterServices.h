#pragma once

#include "platform/PrintJob.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace bw {

// The system's printers. Every call asks the printing system afresh.
// Failures are thrown as PlatformError.
class PrinterServices {
public:
    virtual ~PrinterServices() = default;

    // Installed printers in the order the system lists them.
    virtual QStringList installedPrinters() = 0;
    // Name of the current default printer; throws when the system gives none.
    virtual QString defaultPrinterName() = 0;
    // Makes the named printer the user's default; throws and changes nothing for "" or an unknown name.
    virtual void setDefaultPrinter(const QString& name) = 0;

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
    // Nothing when the printer takes the value for the option; otherwise the
    // values it supports, as it lists them ("" when it lists none for that option).
    virtual std::optional<QString> refusedOption(const QString& printer, const QString& name,
                                                 const QString& value) = 0;
    // Whether the printer's queue takes new jobs; false for a printer the
    // system does not know.
    virtual bool acceptsJobs(const QString& printer) = 0;
    // The printer the environment names as the default (LPDEST, else
    // PRINTER), which outranks every saved default; "" when it names none.
    virtual QString environmentDefault() = 0;
    // The user's own printer options file (where setDefaultPrinter saves the
    // default), byte for byte; nothing when there is no such file.
    virtual std::optional<QByteArray> readUserOptions() = 0;
    // Replaces that file with content, or removes it for nothing.
    virtual void writeUserOptions(const std::optional<QByteArray>& content) = 0;
};

} // namespace bw
