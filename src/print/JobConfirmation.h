#pragma once

#include "platform/PlatformError.h"
#include "platform/PrintJob.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <optional>

namespace bw {

class Clock;
class JobWatch;
class Printers;
class Sleeper;
class StopRequest;

// Tells whether the print of a file reached the chosen printer, with the
// printing system's own events as the witness: a watch on the chosen queue
// taken out before the print sees each job created there after it, with its
// title and every change of its state, whether or not the system keeps its
// job history. The file's job is the first one of this user created after the
// watch and titled as the system titles the file's job. Each job found is
// taken once, so a file printed twice needs two jobs. Where the system
// dropped events unread, the user's jobs on the queue created since the print
// are listed once instead.
class JobConfirmation {
public:
    enum class Outcome {
        Arrived,         // on the chosen queue, waiting, held, printing or printed
        Failed,          // on the chosen queue, but the system canceled, aborted or stopped it
        Refused,         // nothing arrived and the queue takes no jobs
        NothingArrived,  // nothing arrived (yet)
        UnknownToOffice, // not printed: the office does not know the printer
    };
    struct Result {
        Outcome outcome = Outcome::NothingArrived;
        // The job found, in the last state seen.
        PrintJob job;
    };
    static constexpr int PollMilliseconds = 100;
    // How often a pause reads the events.
    static constexpr int ReadMilliseconds = 1000;

    JobConfirmation(Printers& printers, JobWatch& jobs, Clock& clock, Sleeper& sleeper,
                    const StopRequest* stop = nullptr);
    ~JobConfirmation();
    JobConfirmation(const JobConfirmation&) = delete;
    JobConfirmation& operator=(const JobConfirmation&) = delete;

    // The title the printing system gives the job of a file: the file's name,
    // extension included (bytes that are not UTF-8 as "%E9"), when it is a
    // valid job name, "Untitled" otherwise.
    static QString jobTitle(const QString& path);
    // The description of a failed result, naming the printer and the file.
    static QString failureText(const Result& result, const QString& path, const QString& printer);

    // From now on, only jobs created on the printer's queue from this moment
    // count; call it before the print. The first call takes out a watch that
    // later calls for the same queue share (a new watch costs more the longer
    // the job history), renewed before it lapses. Never throws: when the
    // watch cannot be had, the next check throws that failure.
    void watch(const QString& printer);
    // Ends the watch, as at the end of a run.
    void endWatch();
    // Waits the given time, reading the watch's events now and then so that
    // none is dropped meanwhile; a stop request ends the wait.
    void pause(int milliseconds);
    // Looks once. Throws PlatformError when the printing system fails.
    Result check(const QString& path, const QString& printer);
    // Looks until the job arrived, went elsewhere, failed or was refused, or
    // for at most the given time (0: once). A stop request ends the wait
    // with the last look's result.
    Result waitFor(const QString& path, const QString& printer, int atMostMilliseconds);

private:
    // Takes in the watch's new events.
    void readEvents();

    Printers& printers_;
    JobWatch& jobs_;
    Clock& clock_;
    Sleeper& sleeper_;
    const StopRequest* stop_;
    // Looks for the file's job among those created since the watch.
    std::optional<Result> found(const QString& path, const QString& printer);

    std::optional<int> watch_;
    QString watchQueue_;
    qint64 watchTakenAt_ = 0;
    // Seconds since 1970 when this print's watch began, for the listing.
    qint64 watchedSince_ = 0;
    bool eventsLost_ = false;
    bool listed_ = false;
    std::optional<PlatformError> watchFailure_;
    int lastSequence_ = 0;
    // Jobs created since the watch, oldest first, and the last state of each.
    QList<int> created_;
    QHash<int, PrintJob> latest_;
    QSet<int> taken_;
};

} // namespace bw
