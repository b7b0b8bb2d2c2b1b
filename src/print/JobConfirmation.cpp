#include "print/JobConfirmation.h"

#include "intake/LocalName.h"
#include "platform/Clock.h"
#include "platform/JobWatch.h"
#include "platform/PlatformError.h"
#include "platform/Printers.h"
#include "platform/Sleeper.h"
#include "platform/StopRequest.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>

namespace bw {

namespace {

QString queueOf(const QString& printer)
{
    return printer.section(QLatin1Char('/'), 0, 0);
}

// The printing system takes a job name of fewer than 256 bytes of UTF-8 with
// no control character; a name decoded with a stand-in was not UTF-8 at all.
bool isValidJobName(const QString& name)
{
    const QByteArray bytes = name.toUtf8();
    if (bytes.size() >= 256 || name.contains(QChar::ReplacementCharacter))
        return false;
    return std::none_of(bytes.cbegin(), bytes.cend(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

// The watch lapses after ten minutes unless renewed; a program killed
// outright leaves none behind for long.
constexpr qint64 RenewMilliseconds = 5 * 60 * 1000;

bool hasFailed(int state)
{
    return state == PrintJob::Stopped || state == PrintJob::Canceled || state == PrintJob::Aborted;
}

} // namespace

JobConfirmation::JobConfirmation(Printers& printers, JobWatch& jobs, Clock& clock, Sleeper& sleeper,
                                 const StopRequest* stop)
    : printers_(printers), jobs_(jobs), clock_(clock), sleeper_(sleeper), stop_(stop)
{
}

JobConfirmation::~JobConfirmation()
{
    endWatch();
}

QString JobConfirmation::jobTitle(const QString& path)
{
    // The office decodes the URL's last part where it is UTF-8; the bytes
    // of a name that are not stay as they were in the URL ("caf%E9.ods").
    const QString name = QFileInfo(path).fileName();
    QString title;
    title.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (const auto byte = escapedByte(name, i))
            title += QLatin1Char('%') + QString::number(*byte, 16).toUpper();
        else
            title += name.at(i);
    }
    return isValidJobName(title) ? title : QStringLiteral("Untitled");
}

QString JobConfirmation::failureText(const Result& result, const QString& path, const QString& printer)
{
    const QString file = QFileInfo(path).fileName();
    const QString nothing = QStringLiteral("Nothing reached printer \"%1\" for \"%2\"").arg(printer, file);
    switch (result.outcome) {
    case Outcome::Arrived:
        return QString();
    case Outcome::Failed: {
        const QString how = PrintJob::stateWord(result.job.state);
        QString text =
            QStringLiteral("Printer \"%1\" did not print \"%2\": the printing system %3 its job %4")
                .arg(printer, file, how)
                .arg(result.job.id);
        if (!result.job.reasons.isEmpty())
            text += QStringLiteral(" (%1)").arg(result.job.reasons);
        return text;
    }
    case Outcome::Refused:
        return nothing + QStringLiteral(": the printer does not accept jobs");
    case Outcome::UnknownToOffice:
        return nothing + QStringLiteral(": the office does not know this printer");
    case Outcome::NothingArrived:
        break;
    }
    return nothing;
}

void JobConfirmation::watch(const QString& printer)
{
    watchFailure_.reset();
    const QString queue = queueOf(printer);
    try {
        if (watch_ && (clock_.nowMilliseconds() - watchTakenAt_ > RenewMilliseconds ||
                       watchQueue_.compare(queue, Qt::CaseInsensitive) != 0))
            endWatch();
        if (watch_) {
            try {
                readEvents();
            } catch (const PlatformError&) {
                // Gone with a restart of the printing system: a new one is taken out.
                watch_.reset();
            }
        }
        if (!watch_) {
            watch_ = jobs_.watchJobs(printer);
            watchQueue_ = queue;
            watchTakenAt_ = clock_.nowMilliseconds();
            lastSequence_ = 0;
        }
    } catch (const PlatformError& error) {
        watchFailure_ = error;
    }
    // What came before this print is passed over.
    created_.clear();
    latest_.clear();
    eventsLost_ = listed_ = false;
    watchedSince_ = QDateTime::currentSecsSinceEpoch();
}

void JobConfirmation::endWatch()
{
    if (watch_)
        jobs_.endWatch(*watch_);
    watch_.reset();
}

void JobConfirmation::readEvents()
{
    for (const JobEvent& event : jobs_.jobEvents(*watch_, lastSequence_)) {
        lastSequence_ = std::max(lastSequence_, event.sequence);
        eventsLost_ = eventsLost_ || event.eventsLost;
        if (event.job.id <= 0)
            continue;
        if (event.created && !latest_.contains(event.job.id))
            created_.append(event.job.id);
        PrintJob& job = latest_[event.job.id];
        // A later event may leave out what an earlier one said.
        const PrintJob before = job;
        job = event.job;
        if (job.title.isEmpty())
            job.title = before.title;
        if (job.queue.isEmpty())
            job.queue = before.queue;
    }
}

void JobConfirmation::pause(int milliseconds)
{
    for (int left = milliseconds; left > 0;) {
        const int slice = std::min(left, ReadMilliseconds);
        sleeper_.sleepMilliseconds(slice);
        left -= slice;
        if (stop_ && stop_->stopRequested())
            return;
        if (watch_ && !watchFailure_) {
            try {
                readEvents();
            } catch (const PlatformError&) {
                // The check that follows tells of it.
            }
        }
    }
}

std::optional<JobConfirmation::Result> JobConfirmation::found(const QString& path, const QString& printer)
{
    // The event may carry the name as given, the job list the name as stored.
    const QString stored = jobTitle(path);
    const QString given = QFileInfo(path).fileName();
    const QString queue = queueOf(printer);
    for (const int id : std::as_const(created_)) {
        const PrintJob& job = latest_[id];
        if (taken_.contains(id) || (job.title != stored && job.title != given) ||
            job.queue.compare(queue, Qt::CaseInsensitive) != 0)
            continue;
        taken_.insert(id);
        return Result{hasFailed(job.state) ? Outcome::Failed : Outcome::Arrived, job};
    }
    return std::nullopt;
}

JobConfirmation::Result JobConfirmation::check(const QString& path, const QString& printer)
{
    if (watchFailure_)
        throw *watchFailure_;
    if (!watch_)
        throw PlatformError(ErrorNumber::PrinterService, QStringLiteral("No print was watched for"));
    readEvents();
    if (const std::optional<Result> result = found(path, printer))
        return *result;
    // The job's creation may be among the events dropped: the queue's list tells.
    if (eventsLost_ && !listed_) {
        listed_ = true;
        for (const PrintJob& job : jobs_.ownJobs(printer, watchedSince_)) {
            if (!created_.contains(job.id))
                created_.append(job.id);
            latest_[job.id] = job;
        }
        // Numbered in the order they were made.
        std::sort(created_.begin(), created_.end());
        if (const std::optional<Result> result = found(path, printer))
            return *result;
    }
    if (!printers_.acceptsJobs(printer))
        return {Outcome::Refused, {}};
    return {Outcome::NothingArrived, {}};
}

JobConfirmation::Result JobConfirmation::waitFor(const QString& path, const QString& printer,
                                                 int atMostMilliseconds)
{
    const qint64 deadline = clock_.nowMilliseconds() + std::max(0, atMostMilliseconds);
    for (;;) {
        const Result result = check(path, printer);
        const qint64 left = deadline - clock_.nowMilliseconds();
        if (result.outcome != Outcome::NothingArrived || left <= 0 || (stop_ && stop_->stopRequested()))
            return result;
        sleeper_.sleepMilliseconds(int(std::min<qint64>(PollMilliseconds, left)));
    }
}

} // namespace bw
