#include "print/JobConfirmation.h"

#include "platform/Clock.h"
#include "platform/PlatformError.h"
#include "platform/PrinterServices.h"
#include "platform/Sleeper.h"

#include <QFileInfo>
#include <algorithm>

namespace bw {

namespace {

QString queueOf(const QString& printer)
{
    return printer.section(QLatin1Char('/'), 0, 0);
}

constexpr qint64 FreshLookMilliseconds = 1000;

} // namespace

JobConfirmation::JobConfirmation(PrinterServices& printers, Clock& clock, Sleeper& sleeper)
    : printers_(printers), clock_(clock), sleeper_(sleeper)
{
}

JobConfirmation::~JobConfirmation() = default;

QString JobConfirmation::jobTitle(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString JobConfirmation::failureText(const Result& result, const QString& path, const QString& printer)
{
    const QString nothing =
        QStringLiteral("Nothing reached printer \"%1\" for \"%2\"").arg(printer, jobTitle(path));
    switch (result.outcome) {
    case Outcome::Arrived:
        return QString();
    case Outcome::ArrivedElsewhere:
        return nothing + QStringLiteral(": its job went to printer \"%1\"").arg(result.job.queue);
    case Outcome::Refused:
        return nothing + QStringLiteral(": the printer does not accept jobs");
    case Outcome::UnknownToOffice:
        return nothing + QStringLiteral(": the office does not know this printer");
    case Outcome::NothingArrived:
        break;
    }
    return nothing;
}

void JobConfirmation::mark()
{
    try {
        int highest = 0;
        for (const PrintJob& job : printers_.jobs(QString(), PrinterServices::JobList::All))
            highest = std::max(highest, job.id);
        markedId_ = highest;
        markFailure_.reset();
    } catch (const PlatformError& error) {
        markFailure_ = error;
    }
}

void JobConfirmation::markAtLastLook()
{
    if (!lastLookAt_ || markFailure_ || clock_.nowMilliseconds() - *lastLookAt_ > FreshLookMilliseconds) {
        mark();
        return;
    }
    markedId_ = std::max(markedId_, lastLookHighest_);
}

JobConfirmation::Result JobConfirmation::check(const QString& path, const QString& printer)
{
    if (markFailure_)
        throw *markFailure_;
    const QString title = jobTitle(path);
    const QString queue = queueOf(printer);
    std::optional<PrintJob> here;
    std::optional<PrintJob> elsewhere;
    lastLookAt_ = clock_.nowMilliseconds();
    const auto look = [&](const QList<PrintJob>& jobs) {
        for (const PrintJob& job : jobs) {
            lastLookHighest_ = std::max(lastLookHighest_, job.id);
            if (job.id <= markedId_ || taken_.contains(job.id) || job.title != title)
                continue;
            auto& slot = job.queue.compare(queue, Qt::CaseInsensitive) == 0 ? here : elsewhere;
            if (!slot || job.id < slot->id)
                slot = job;
        }
    };
    // A job just sent is nearly always still waiting or printing on the
    // queue: the short list of those comes first, the whole history (all
    // queues, ended jobs too) only when it holds nothing.
    look(printers_.jobs(queue, PrinterServices::JobList::Active));
    if (!here)
        look(printers_.jobs(QString(), PrinterServices::JobList::All));
    if (here || elsewhere) {
        const PrintJob& job = here ? *here : *elsewhere;
        taken_.insert(job.id);
        return {here ? Outcome::Arrived : Outcome::ArrivedElsewhere, job};
    }
    if (!printers_.acceptsJobs(printer))
        return {Outcome::Refused, {}};
    return {Outcome::NothingArrived, {}};
}

JobConfirmation::Result JobConfirmation::waitFor(const QString& path, const QString& printer,
                                                 int atMostMilliseconds,
                                                 const std::function<bool()>& stillSpooling)
{
    const qint64 deadline = clock_.nowMilliseconds() + std::max(0, atMostMilliseconds);
    for (;;) {
        // Asked before the look, so a job finished meanwhile is still seen.
        const bool spooling = !stillSpooling || stillSpooling();
        const Result result = check(path, printer);
        const qint64 left = deadline - clock_.nowMilliseconds();
        if (result.outcome != Outcome::NothingArrived || left <= 0 || !spooling)
            return result;
        sleeper_.sleepMilliseconds(int(std::min<qint64>(PollMilliseconds, left)));
    }
}

} // namespace bw
