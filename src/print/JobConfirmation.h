#pragma once

#include "platform/PlatformError.h"
#include "platform/PrintJob.h"

#include <QSet>
#include <QString>
#include <functional>
#include <optional>

namespace bw {

class Clock;
class PrinterServices;
class Sleeper;

// Tells whether the print of a file reached the chosen printer, with the
// printing system's job list as the witness: a job newer than the mark, titled
// as the office titles the file's job, on the printer's queue. Each job found
// is taken once, so a file printed twice needs two jobs.
class JobConfirmation {
public:
    enum class Outcome {
        Arrived,          // on the chosen queue, in any state (a held job counts)
        ArrivedElsewhere, // on another queue
        Refused,          // nothing arrived and the queue takes no jobs
        NothingArrived,   // nothing arrived (yet)
        UnknownToOffice,  // not printed: the office does not know the printer
    };
    struct Result {
        Outcome outcome = Outcome::NothingArrived;
        // The job found, for Arrived and ArrivedElsewhere.
        PrintJob job;
    };
    static constexpr int PollMilliseconds = 50;

    JobConfirmation(PrinterServices& printers, Clock& clock, Sleeper& sleeper);
    ~JobConfirmation();

    // The title the office gives the job of a file: its file name, extension included.
    static QString jobTitle(const QString& path);
    // The description of a failed result, naming the printer and the file.
    static QString failureText(const Result& result, const QString& path, const QString& printer);

    // Remembers the jobs there are now, so that only later ones count; call
    // it before the print. Never throws: when the jobs cannot be listed, the
    // next check throws that failure.
    void mark();
    // As mark(), but a look made in the last second stands in for the
    // listing: a caller that confirms a file right before it prints the next
    // saves one query of the whole job history per file.
    void markAtLastLook();
    // Looks once. Throws PlatformError when the printing system fails.
    Result check(const QString& path, const QString& printer);
    // Looks until the job arrived, went elsewhere or was refused, or for at
    // most the given time (0: once). When stillSpooling is given and says the
    // office has finished with the job, the wait ends after one more look.
    Result waitFor(const QString& path, const QString& printer, int atMostMilliseconds,
                   const std::function<bool()>& stillSpooling = {});

private:
    PrinterServices& printers_;
    Clock& clock_;
    Sleeper& sleeper_;
    int markedId_ = 0;
    // The highest job the last look saw, and when it looked.
    int lastLookHighest_ = 0;
    std::optional<qint64> lastLookAt_;
    std::optional<PlatformError> markFailure_;
    QSet<int> taken_;
};

} // namespace bw
