#pragma once

#include "platform/Clock.h"
#include "platform/JobWatch.h"
#include "platform/PrintQueue.h"
#include "support/FakePrinters.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>

namespace bw::test {

// The job list of a printing system in memory, on the printers of a
// FakePrinters: jobs submitted, their states, and the watches on them.
class FakePrintJobs : public PrintQueue, public JobWatch {
public:
    explicit FakePrintJobs(FakePrinters& system) : printers(system) {}

    // Watches see the events of their queue logged after they were taken
    // out, once the clock has passed each; beyond keptEvents the oldest are
    // dropped, as CUPS does.
    int watchJobs(const QString& printer) override
    {
        ask();
        watches.insert(nextWatch, {static_cast<int>(events.size()), printer.section(QLatin1Char('/'), 0, 0)});
        return nextWatch++;
    }
    QList<JobEvent> jobEvents(int watch, int afterSequence) override
    {
        ask();
        if (!watches.contains(watch))
            throw PlatformError(1030, QStringLiteral("No such watch"));
        QList<JobEvent> seen;
        for (qsizetype i = watches.value(watch).first; i < events.size() && events[i].appearsAt <= now();
             ++i) {
            if (events[i].event.job.queue.compare(watches.value(watch).second, Qt::CaseInsensitive) == 0)
                seen.append(events[i].event);
        }
        QList<JobEvent> result;
        const bool lost = keptEvents >= 0 && seen.size() > keptEvents &&
                          seen.at(seen.size() - keptEvents - 1).sequence > afterSequence;
        for (qsizetype i = keptEvents >= 0 ? std::max<qsizetype>(0, seen.size() - keptEvents) : 0;
             i < seen.size(); ++i) {
            if (seen[i].sequence > afterSequence)
                result.append(seen[i]);
        }
        if (lost)
            result.prepend({0, false, {}, true});
        return result;
    }
    QList<PrintJob> ownJobs(const QString& printer, qint64 createdSince) override
    {
        ask();
        QList<PrintJob> result;
        for (const Job& job : jobList) {
            if (job.job.queue == printer.section(QLatin1Char('/'), 0, 0) && job.appearsAt <= now() &&
                job.createdAt >= createdSince)
                result.append(job.job);
        }
        return result;
    }
    void endWatch(int watch) override { watches.remove(watch); }
    // A file submitted becomes a job at once, its options kept beside it.
    int submitFile(const QString& printer, const QString& file, const QString& title,
                   const QList<QPair<QString, QString>>& options) override
    {
        const QString queue = printer.section(QLatin1Char('/'), 0, 0);
        const int id = submit(queue, title);
        if (id == 0)
            throw PlatformError(1280, QStringLiteral("Destination \"%1\" is not accepting jobs.").arg(queue));
        submitted.append({id, file, options});
        if (endsSubmittedJobs)
            jobList.last().job = {id, queue, title, PrintJob::Aborted,
                                  QStringLiteral("job-aborted-by-system")};
        return id;
    }
    std::optional<PrintJob> job(int id) override
    {
        for (Job& job : jobList) {
            if (job.job.id == id && job.appearsAt <= now())
                return read(job);
        }
        return std::nullopt;
    }
    QList<PrintJob> jobStates(const QList<int>& ids) override
    {
        ask();
        QList<PrintJob> result;
        for (Job& job : jobList) {
            if (ids.contains(job.job.id) && job.appearsAt <= now())
                result.append(read(job));
        }
        return result;
    }

    // A job as a client submits it: none on a queue that refuses jobs; its
    // creation is told once the clock has passed the delay; held on a held
    // queue. Returns its id, or 0.
    int submit(const QString& queue, const QString& title, qint64 delayMilliseconds = 0)
    {
        if (!printers.printers.contains(queue) || printers.refusing.contains(queue))
            return 0;
        const int state = holding.contains(queue) ? PrintJob::Held : PrintJob::Pending;
        jobList.append({{nextJobId, queue, title, state, {}}, now() + delayMilliseconds});
        log(jobList.last().job, true, delayMilliseconds);
        return nextJobId++;
    }
    // The system changes a job's state (prints it, cancels it...).
    void changeState(int id, int state, const QString& reasons = {})
    {
        for (Job& job : jobList) {
            if (job.job.id == id) {
                job.job.state = state;
                job.job.reasons = reasons;
                log(job.job, false, 0);
            }
        }
    }
    // Titles of the queue's jobs, oldest first, whether shown yet or not.
    QStringList titles(const QString& queue) const
    {
        QStringList result;
        for (const Job& job : jobList) {
            if (job.job.queue == queue)
                result << job.job.title;
        }
        return result;
    }

    struct Job {
        PrintJob job;
        qint64 appearsAt;
        qint64 createdAt = QDateTime::currentSecsSinceEpoch(); // as the printing system's listing has it
    };
    struct Submission {
        int id;
        QString file;
        QList<QPair<QString, QString>> options;
    };
    FakePrinters& printers;
    QList<Submission> submitted;
    // CUPS aborts every job submitted.
    bool endsSubmittedJobs = false;
    // The states a job goes through after it was accepted, by job id: each
    // read of its state takes the next step; the last one stays.
    QHash<int, QList<std::pair<int, QString>>> scripts;
    QStringList holding;
    QList<Job> jobList;
    struct LoggedEvent {
        JobEvent event;
        qint64 appearsAt;
    };
    QList<LoggedEvent> events;
    QHash<int, QPair<qsizetype, QString>> watches; // watch -> first event it sees, queue
    // How many events a watch keeps (CUPS: MaxEvents); -1: all.
    int keptEvents = -1;
    int nextWatch = 1;
    int nextJobId = 1;
    int jobQueries = 0;
    // Where the time comes from; none: every job shows at once.
    Clock* clock = nullptr;

private:
    void ask()
    {
        ++jobQueries;
        FakePrinters::failIfDown(printers.jobsUnreachable);
    }
    void log(const PrintJob& job, bool created, qint64 delay)
    {
        events.append({{static_cast<int>(events.size()) + 1, created, job}, now() + delay});
    }
    qint64 now() const { return clock ? clock->nowMilliseconds() : 0; }
    PrintJob read(Job& job)
    {
        auto script = scripts.find(job.job.id);
        if (script != scripts.end() && !script->isEmpty()) {
            const auto [state, reasons] = script->size() > 1 ? script->takeFirst() : script->first();
            if (state != job.job.state)
                changeState(job.job.id, state, reasons);
        }
        return job.job;
    }
};

} // namespace bw::test
