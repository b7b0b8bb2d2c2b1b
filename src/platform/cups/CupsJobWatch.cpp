#include "platform/cups/CupsJobWatch.h"

#include "platform/PlatformError.h"
#include "platform/cups/CupsAttributes.h"
#include "platform/cups/CupsConnection.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace bw {

using namespace cups;

namespace {

// The job's owner as this user may see it ("" when CUPS hides another
// user's name); nothing when the scheduler no longer knows the job.
std::optional<QString> ownerOfJob(http_t* http, int id)
{
    IppRequest request(http, IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-originating-user-name");
    ipp_t* reply = request.trySend();
    if (!reply || ippGetStatusCode(reply) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    return attributeText(ippFindAttribute(reply, "job-originating-user-name", IPP_TAG_NAME));
}

} // namespace

CupsJobWatch::CupsJobWatch(CupsConnection& connection) : connection_(connection) {}

int CupsJobWatch::watchJobs(const QString& printer)
{
    // Server-wide, though only the printer's queue counts: CUPS tells a
    // queue's watch nothing of a job canceled before it printed (the event
    // names no printer then).
    Q_UNUSED(printer);
    IppRequest request(connection_.http(), IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
    static const char* const events[] = {"job-created", "job-state-changed", "job-completed"};
    ippAddStrings(request.get(), IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-events", 3, nullptr, events);
    ippAddString(request.get(), IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-pull-method", nullptr,
                 "ippget");
    // Longer than any one wait for a job; a watch a killed program left lapses.
    ippAddInteger(request.get(), IPP_TAG_SUBSCRIPTION, IPP_TAG_INTEGER, "notify-lease-duration", 600);
    ipp_t* reply = request.send(QStringLiteral("The printing system does not report its print jobs"));
    ipp_attribute_t* id = ippFindAttribute(reply, "notify-subscription-id", IPP_TAG_INTEGER);
    if (!id)
        throw PlatformError(ErrorNumber::PrinterService,
                            QStringLiteral("The printing system does not report its print jobs"));
    return ippGetInteger(id, 0);
}

QList<JobEvent> CupsJobWatch::jobEvents(int watch, int afterSequence)
{
    http_t* http = connection_.http();
    IppRequest request(http, IPP_OP_GET_NOTIFICATIONS);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-ids", watch);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-sequence-numbers",
                  afterSequence + 1);
    ipp_t* reply = request.send(QStringLiteral("The print jobs cannot be followed"));
    QList<JobEvent> events;
    for (const AttributeGroup& group : attributeGroups(reply, IPP_TAG_EVENT_NOTIFICATION)) {
        JobEvent event;
        event.sequence = integerOf(group, "notify-sequence-number");
        event.created = attributeText(group.value("notify-subscribed-event")) == QLatin1String("job-created");
        event.job = jobOf(group);
        if (event.job.id > 0)
            events.append(event);
    }
    // Another user's job is never this program's, nor one whose owner CUPS
    // hides from this user; one it has forgotten cannot be told apart
    // (without job history CUPS forgets a job at once).
    const QString me = QString::fromUtf8(cupsUser());
    QHash<int, bool> mine;
    QList<JobEvent> result;
    for (const JobEvent& each : std::as_const(events)) {
        auto known = mine.find(each.job.id);
        if (known == mine.end()) {
            const std::optional<QString> owner = ownerOfJob(http, each.job.id);
            known = mine.insert(each.job.id, !owner || *owner == me);
        }
        if (*known)
            result.append(each);
    }
    // CUPS drops the oldest events beyond its bound: the first one kept then
    // comes after a gap.
    const bool lost = !events.isEmpty() && events.first().sequence > afterSequence + 1;
    if (lost || result.size() != events.size()) {
        JobEvent reach;
        reach.sequence = events.last().sequence;
        reach.eventsLost = lost;
        result.append(reach);
    }
    return result;
}

QList<PrintJob> CupsJobWatch::ownJobs(const QString& printer, qint64 createdSince)
{
    IppRequest request(connection_.http(), IPP_OP_GET_JOBS, queueUri(printer));
    ippAddBoolean(request.get(), IPP_TAG_OPERATION, "my-jobs", 1);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    static const char* const wanted[] = {
        "job-id",          "job-name", "job-state", "job-state-reasons", "job-originating-user-name",
        "time-at-creation"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(sizeof wanted / sizeof *wanted), nullptr, wanted);
    ipp_t* reply = request.send(QStringLiteral("The print jobs cannot be listed"));
    const QString me = QString::fromUtf8(cupsUser());
    const QString queue = QString::fromUtf8(printerAndInstance(printer).first);
    QList<PrintJob> jobs;
    for (const AttributeGroup& group : attributeGroups(reply, IPP_TAG_JOB)) {
        PrintJob job = jobOf(group);
        job.queue = queue;
        if (job.id > 0 && attributeText(group.value("job-originating-user-name")) == me &&
            integerOf(group, "time-at-creation") >= createdSince)
            jobs.append(job);
    }
    std::sort(jobs.begin(), jobs.end(), [](const PrintJob& a, const PrintJob& b) { return a.id < b.id; });
    return jobs;
}

void CupsJobWatch::endWatch(int watch)
{
    http_t* http = nullptr;
    try {
        http = connection_.http();
    } catch (const PlatformError&) {
        return; // lapses by itself
    }
    IppRequest request(http, IPP_OP_CANCEL_SUBSCRIPTION);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", watch);
    request.trySend();
}

} // namespace bw
