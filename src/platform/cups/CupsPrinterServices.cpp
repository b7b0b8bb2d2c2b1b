#include "platform/cups/CupsPrinterServices.h"

#include "platform/LpoptionsText.h"
#include "platform/PlatformError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cups/cups.h>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace bw {

namespace {

bool isFailure(ipp_status_t status)
{
    return status > IPP_STATUS_OK_EVENTS_COMPLETE;
}

// The bare errno text ("Bad file descriptor") does not say what failed, nor what to do.
QString unreachable(const QString& detail)
{
    return QStringLiteral("The printing system (CUPS) at %1 is not running or cannot be reached (%2); start "
                          "it with \"sudo systemctl start cups\" or ask your administrator")
        .arg(QString::fromUtf8(cupsServer()), detail);
}

// Every wait for the scheduler is bounded, so that one that hangs (frozen,
// or a network gone) holds the program up for seconds, not minutes.
constexpr int WaitMilliseconds = 4000;

// After a wait given up, the calls that follow within this time fail at once:
// each would wait as long again, and a program asked to end must not.
constexpr qint64 QuietMilliseconds = 10000;

qint64 steadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Called after each second of a wait with nothing heard: goes on waiting up
// to the bound, or not at all right after a wait was given up.
int giveUp(http_t* http, void* gaveUpAt)
{
    auto& at = *static_cast<std::atomic<qint64>*>(gaveUpAt);
    const qint64 now = steadyMilliseconds();
    if (now - at.load() >= QuietMilliseconds &&
        ::time(nullptr) - httpGetActivity(http) < WaitMilliseconds / 1000)
        return 1;
    at.store(now);
    return 0;
}

// CUPS keeps its last status per thread: read it right after the failing call.
[[noreturn]] void throwLastCupsError(http_t* http, int fallbackNumber, const QString& fallbackDescription)
{
    if (http && httpError(http) == ETIMEDOUT)
        throw PlatformError(
            IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
            unreachable(QStringLiteral("it did not answer within %1 s").arg(WaitMilliseconds / 1000)));
    const ipp_status_t status = cupsLastError();
    if (!isFailure(status))
        throw PlatformError(fallbackNumber, fallbackDescription);
    QString description = QString::fromUtf8(cupsLastErrorString());
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        description = unreachable(description);
    throw PlatformError(status, description);
}

// The destinations as CUPS lists them at the moment of the call; freed on scope exit.
class Destinations {
public:
    explicit Destinations(http_t* http)
    {
        count_ = cupsGetDests2(http, &dests_);
        // An empty list with "not found" is a printing system without printers, not a failure.
        if (count_ == 0 && isFailure(cupsLastError()) && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            throwLastCupsError(http, ErrorNumber::PrinterService,
                               QStringLiteral("The printers cannot be listed"));
    }
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    int count() const { return count_; }
    cups_dest_t* begin() const { return dests_; }
    cups_dest_t* end() const { return dests_ + count_; }

    const cups_dest_t* defaultDestination() const
    {
        for (const cups_dest_t& dest : *this) {
            if (dest.is_default)
                return &dest;
        }
        return nullptr;
    }

private:
    cups_dest_t* dests_ = nullptr;
    int count_ = 0;
};

QString nameOf(const cups_dest_t& dest)
{
    QString name = QString::fromUtf8(dest.name);
    if (dest.instance)
        name += QLatin1Char('/') + QString::fromUtf8(dest.instance);
    return name;
}

// "B/draft" is printer "B", instance "draft".
std::pair<QByteArray, QByteArray> printerAndInstance(const QString& name)
{
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {name.toUtf8(), QByteArray()};
    return {name.left(slash).toUtf8(), name.mid(slash + 1).toUtf8()};
}

// A request to the scheduler as this user; the reply is freed with it.
class IppRequest {
public:
    IppRequest(http_t* http, ipp_op_t operation, const QByteArray& printerUri = "ipp://localhost/")
        : http_(http), request_(ippNewRequest(operation))
    {
        ippAddString(request_, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     printerUri.constData());
        ippAddString(request_, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    }
    ~IppRequest()
    {
        ippDelete(request_);
        ippDelete(reply_);
    }
    IppRequest(const IppRequest&) = delete;
    IppRequest& operator=(const IppRequest&) = delete;

    ipp_t* operator->() const { return request_; }
    ipp_t* get() const { return request_; }

    // Sends it; throws the scheduler's failure, described with what.
    ipp_t* send(const QString& what)
    {
        reply_ = cupsDoRequest(http_, request_, "/");
        request_ = nullptr; // cupsDoRequest frees it
        if (!reply_ || isFailure(cupsLastError()))
            throwLastCupsError(http_, ErrorNumber::PrinterService, what);
        return reply_;
    }

private:
    http_t* http_;
    ipp_t* request_;
    ipp_t* reply_ = nullptr;
};

QString stringOf(ipp_attribute_t* attribute)
{
    QStringList values;
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i)
        values << QString::fromUtf8(ippGetString(attribute, i, nullptr));
    return values.join(QLatin1Char(','));
}

// The printer's queue (an instance's printer) as a request names it.
QByteArray queueUri(const QString& printer)
{
    const QByteArray queue = printerAndInstance(printer).first;
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.constData());
    return uri;
}

// The job's owner as this user may see it ("" when CUPS hides another
// user's name); nothing when the scheduler no longer knows the job.
std::optional<QString> ownerOfJob(http_t* http, int id)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-originating-user-name");
    ipp_t* reply = cupsDoRequest(http, request, "/");
    const bool known = reply && ippGetStatusCode(reply) <= IPP_STATUS_OK_EVENTS_COMPLETE;
    const QString owner = stringOf(ippFindAttribute(reply, "job-originating-user-name", IPP_TAG_NAME));
    ippDelete(reply);
    if (!known)
        return std::nullopt;
    return owner;
}

// One destination with its printer's capabilities; freed on scope exit.
class Destination {
public:
    Destination(http_t* http, const QString& printer)
    {
        const auto [queue, instance] = printerAndInstance(printer);
        dest_ =
            cupsGetNamedDest(http, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
        if (!dest_) {
            // A scheduler that went away does not know any printer: say which it is.
            if (!isFailure(cupsLastError()) || cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
                if (httpReconnect2(http, WaitMilliseconds, nullptr) != 0)
                    throw PlatformError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
                                        unreachable(QString::fromLocal8Bit(std::strerror(httpError(http)))));
                throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, QStringLiteral("Unknown printer ") + printer);
            }
            throwLastCupsError(http, ErrorNumber::PrinterService,
                               QStringLiteral("The printer cannot be asked"));
        }
        info_ = cupsCopyDestInfo(http, dest_);
        if (!info_) {
            cupsFreeDests(1, dest_);
            throwLastCupsError(http, ErrorNumber::PrinterService,
                               QStringLiteral("The printer's capabilities cannot be read"));
        }
    }
    ~Destination()
    {
        cupsFreeDestInfo(info_);
        cupsFreeDests(1, dest_);
    }
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;

    cups_dest_t* dest() const { return dest_; }
    cups_dinfo_t* info() const { return info_; }

private:
    cups_dest_t* dest_ = nullptr;
    cups_dinfo_t* info_ = nullptr;
};

// Options for libcups, freed on scope exit.
class Options {
public:
    ~Options() { cupsFreeOptions(count_, options_); }
    void add(const QByteArray& name, const QByteArray& value)
    {
        count_ = cupsAddOption(name.constData(), value.constData(), count_, &options_);
    }
    bool has(const char* name) const { return cupsGetOption(name, count_, options_) != nullptr; }
    int count() const { return count_; }
    cups_option_t* get() const { return options_; }

private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

QString attributeText(ipp_attribute_t* attribute)
{
    if (!attribute)
        return QString();
    QByteArray text(ippAttributeString(attribute, nullptr, 0) + 1, '\0');
    ippAttributeString(attribute, text.data(), size_t(text.size()));
    return QString::fromUtf8(text.constData());
}

void addJobAttributesWanted(ipp_t* request)
{
    static const char* const wanted[] = {"job-id",    "job-name",          "job-printer-uri",
                                         "job-state", "job-state-reasons", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(sizeof wanted / sizeof *wanted), nullptr, wanted);
}

// The jobs of a reply, one group of job attributes each.
QList<PrintJob> jobsOf(ipp_t* reply)
{
    QList<PrintJob> jobs;
    std::optional<PrintJob> job;
    QString message;
    const auto keep = [&] {
        if (!job)
            return;
        // Why a job stopped or was aborted is often only in the printer's message.
        if ((job->state == PrintJob::Stopped || job->state == PrintJob::Aborted) && !message.isEmpty())
            job->reasons += (job->reasons.isEmpty() ? QString() : QStringLiteral("; ")) + message;
        jobs.append(*job);
        job.reset();
        message.clear();
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(reply); attribute;
         attribute = ippNextAttribute(reply)) {
        const char* name = ippGetName(attribute);
        if (!name || ippGetGroupTag(attribute) != IPP_TAG_JOB) {
            keep();
            continue;
        }
        if (!job)
            job.emplace();
        const QByteArray key(name);
        if (key == "job-id")
            job->id = ippGetInteger(attribute, 0);
        else if (key == "job-name")
            job->title = QString::fromUtf8(ippGetString(attribute, 0, nullptr));
        else if (key == "job-printer-uri")
            job->queue = QString::fromUtf8(ippGetString(attribute, 0, nullptr)).section(QLatin1Char('/'), -1);
        else if (key == "job-state")
            job->state = ippGetInteger(attribute, 0);
        else if (key == "job-state-reasons")
            job->reasons = attributeText(attribute).replace(QLatin1Char(','), QStringLiteral(", "));
        else if (key == "job-printer-state-message")
            message = attributeText(attribute);
    }
    keep();
    return jobs;
}

// This user's jobs in one list: which is "not-completed" or "completed";
// firstId > 0 leaves out older ones.
QList<PrintJob> myJobs(http_t* http, const char* which, int firstId)
{
    IppRequest request(http, IPP_OP_GET_JOBS);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, which);
    ippAddBoolean(request.get(), IPP_TAG_OPERATION, "my-jobs", 1);
    if (firstId > 0)
        ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id", firstId);
    addJobAttributesWanted(request.get());
    return jobsOf(request.send(QStringLiteral("The print jobs cannot be read")));
}

} // namespace

CupsPrinterServices::~CupsPrinterServices()
{
    for (const auto& [thread, connection] : connections_)
        httpClose(connection);
}

http_t* CupsPrinterServices::http()
{
    if (steadyMilliseconds() - gaveUpAt_.load() < QuietMilliseconds)
        throw PlatformError(
            IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
            unreachable(QStringLiteral("it did not answer within %1 s").arg(WaitMilliseconds / 1000)));
    const std::lock_guard lock(mutex_);
    http_t*& connection = connections_[std::this_thread::get_id()];
    if (!connection) {
        connection = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                  WaitMilliseconds, nullptr);
        if (!connection)
            throw PlatformError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
                                unreachable(QString::fromLocal8Bit(std::strerror(errno))));
        httpSetTimeout(connection, 1.0, giveUp, &gaveUpAt_);
    }
    return connection;
}

QStringList CupsPrinterServices::installedPrinters()
{
    const Destinations dests(http());
    QStringList names;
    for (const cups_dest_t& dest : dests)
        names.append(nameOf(dest));
    return names;
}

QString CupsPrinterServices::defaultPrinterName()
{
    const Destinations dests(http());
    if (const cups_dest_t* dest = dests.defaultDestination())
        return nameOf(*dest);
    throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, QStringLiteral("No default printer is set"));
}

void CupsPrinterServices::setDefaultPrinter(const QString& name)
{
    if (name.isEmpty())
        throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("No printer name was given"));
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    const QByteArray printer = (slash < 0 ? name : name.left(slash)).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : name.mid(slash + 1).toUtf8();
    const QString invalid = QStringLiteral("The printer name is invalid: ") + name;
    if (printer.isEmpty() || (slash >= 0 && instance.isEmpty()))
        throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, invalid);

    QString wanted;
    {
        Destinations dests(http());
        const cups_dest_t* target = cupsGetDest(
            printer.constData(), slash < 0 ? nullptr : instance.constData(), dests.count(), dests.begin());
        if (!target)
            throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, invalid);
        wanted = nameOf(*target);
    }
    // Only the Default line changes: the user's comments, options and lines
    // CUPS does not know stay, where cupsSetDests2 would write the file anew.
    writeUserOptions(withDefault(readUserOptions().value_or(QByteArray()), wanted));

    // LPDEST or PRINTER outrank the saved default; a change they hide would
    // send the next print to another printer without a word.
    const Destinations after(http());
    const cups_dest_t* now = after.defaultDestination();
    if (!now || nameOf(*now) != wanted) {
        throw PlatformError(
            ErrorNumber::PrinterService,
            QStringLiteral("%1 was saved as the default printer, but the printing system still "
                           "uses %2 (LPDEST or PRINTER decides it)")
                .arg(wanted, now ? nameOf(*now) : QStringLiteral("none")));
    }
}

int CupsPrinterServices::watchJobs(const QString& printer)
{
    // Server-wide, though only the printer's queue counts: CUPS tells a
    // queue's watch nothing of a job canceled before it printed (the event
    // names no printer then).
    Q_UNUSED(printer);
    IppRequest request(http(), IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
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

QList<JobEvent> CupsPrinterServices::jobEvents(int watch, int afterSequence)
{
    IppRequest request(http(), IPP_OP_GET_NOTIFICATIONS);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-ids", watch);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-sequence-numbers",
                  afterSequence + 1);
    ipp_t* reply = request.send(QStringLiteral("The print jobs cannot be followed"));
    QList<JobEvent> events;
    const QString me = QString::fromUtf8(cupsUser());
    // Each event is one group of attributes; a nameless attribute separates them.
    std::optional<JobEvent> event;
    QString printerMessage;
    const auto keep = [&] {
        if (event && event->job.id > 0) {
            if (!printerMessage.isEmpty() && event->job.state >= PrintJob::Stopped &&
                event->job.state != PrintJob::Completed)
                event->job.reasons += QStringLiteral(" (%1)").arg(printerMessage);
            events.append(*event);
        }
        event.reset();
        printerMessage.clear();
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(reply); attribute;
         attribute = ippNextAttribute(reply)) {
        const char* name = ippGetName(attribute);
        if (!name || ippGetGroupTag(attribute) != IPP_TAG_EVENT_NOTIFICATION) {
            keep();
            continue;
        }
        if (!event)
            event.emplace();
        const QByteArray key(name);
        if (key == "notify-sequence-number")
            event->sequence = ippGetInteger(attribute, 0);
        else if (key == "notify-subscribed-event")
            event->created = qstrcmp(ippGetString(attribute, 0, nullptr), "job-created") == 0;
        else if (key == "notify-job-id")
            event->job.id = ippGetInteger(attribute, 0);
        else if (key == "printer-name")
            event->job.queue = stringOf(attribute);
        else if (key == "job-name")
            event->job.title = stringOf(attribute);
        else if (key == "job-state")
            event->job.state = ippGetInteger(attribute, 0);
        else if (key == "job-state-reasons")
            event->job.reasons = stringOf(attribute);
        else if (key == "printer-state-message")
            printerMessage = stringOf(attribute);
    }
    keep();
    // Another user's job is never this program's, nor one whose owner CUPS
    // hides from this user; one it has forgotten cannot be told apart
    // (without job history CUPS forgets a job at once).
    QHash<int, bool> mine;
    QList<JobEvent> result;
    for (const JobEvent& each : events) {
        auto known = mine.find(each.job.id);
        if (known == mine.end()) {
            const std::optional<QString> owner = ownerOfJob(http(), each.job.id);
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

QList<PrintJob> CupsPrinterServices::ownJobs(const QString& printer, qint64 createdSince)
{
    IppRequest request(http(), IPP_OP_GET_JOBS, queueUri(printer));
    ippAddBoolean(request.get(), IPP_TAG_OPERATION, "my-jobs", 1);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    static const char* const wanted[] = {
        "job-id",          "job-name", "job-state", "job-state-reasons", "job-originating-user-name",
        "time-at-creation"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(sizeof wanted / sizeof *wanted), nullptr, wanted);
    ipp_t* reply = request.send(QStringLiteral("The print jobs cannot be listed"));
    const QString me = QString::fromUtf8(cupsUser());
    const QString queue = printer.section(QLatin1Char('/'), 0, 0);
    QList<PrintJob> jobs;
    PrintJob job;
    QString owner;
    qint64 created = 0;
    const auto keep = [&] {
        if (job.id > 0 && owner == me && created >= createdSince)
            jobs.append(job);
        job = PrintJob();
        job.queue = queue;
        owner.clear();
        created = 0;
    };
    keep();
    // Each job is one group of attributes; a nameless attribute separates them.
    for (ipp_attribute_t* attribute = ippFirstAttribute(reply); attribute;
         attribute = ippNextAttribute(reply)) {
        const char* name = ippGetName(attribute);
        if (!name || ippGetGroupTag(attribute) != IPP_TAG_JOB) {
            keep();
            continue;
        }
        const QByteArray key(name);
        if (key == "job-id")
            job.id = ippGetInteger(attribute, 0);
        else if (key == "job-name")
            job.title = stringOf(attribute);
        else if (key == "job-state")
            job.state = ippGetInteger(attribute, 0);
        else if (key == "job-state-reasons")
            job.reasons = stringOf(attribute).replace(QLatin1Char(','), QStringLiteral(", "));
        else if (key == "job-originating-user-name")
            owner = stringOf(attribute);
        else if (key == "time-at-creation")
            created = ippGetInteger(attribute, 0);
    }
    keep();
    std::sort(jobs.begin(), jobs.end(), [](const PrintJob& a, const PrintJob& b) { return a.id < b.id; });
    return jobs;
}

void CupsPrinterServices::endWatch(int watch)
{
    http_t* connection = nullptr;
    try {
        connection = http();
    } catch (const PlatformError&) {
        return; // lapses by itself
    }
    ipp_t* request = ippNewRequest(IPP_OP_CANCEL_SUBSCRIPTION);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", watch);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippDelete(cupsDoRequest(connection, request, "/"));
}

int CupsPrinterServices::submitFile(const QString& printer, const QString& file, const QString& title,
                                    const QList<QPair<QString, QString>>& options)
{
    QFile document(file);
    if (!document.open(QIODevice::ReadOnly))
        throw PlatformError(ErrorNumber::FileAccess, file + QStringLiteral(": ") + document.errorString());
    const Destination destination(http(), printer);
    Options jobOptions;
    for (const auto& [name, value] : options)
        jobOptions.add(name.toUtf8(), value.toUtf8());
    // The instance's and the user's saved options, as lp adds them.
    const cups_dest_t* dest = destination.dest();
    for (int i = 0; i < dest->num_options; ++i) {
        if (!jobOptions.has(dest->options[i].name))
            jobOptions.add(dest->options[i].name, dest->options[i].value);
    }
    const QByteArray name = title.toUtf8();
    int id = 0;
    if (cupsCreateDestJob(http(), destination.dest(), destination.info(), &id, name.constData(),
                          jobOptions.count(), jobOptions.get()) != IPP_STATUS_OK ||
        id <= 0)
        throwLastCupsError(http(), ErrorNumber::PrinterService, QStringLiteral("The job was refused"));
    bool sent = cupsStartDestDocument(http(), destination.dest(), destination.info(), id, name.constData(),
                                      CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE;
    char buffer[65536];
    while (sent) {
        const qint64 read = document.read(buffer, sizeof buffer);
        if (read <= 0) {
            sent = read == 0;
            break;
        }
        sent = cupsWriteRequestData(http(), buffer, size_t(read)) == HTTP_STATUS_CONTINUE;
    }
    const bool finished =
        cupsFinishDestDocument(http(), destination.dest(), destination.info()) == IPP_STATUS_OK;
    if (sent && finished)
        return id;
    const ipp_status_t status = cupsLastError();
    const QString reason =
        httpError(http()) == ETIMEDOUT
            ? unreachable(QStringLiteral("it did not answer within %1 s").arg(WaitMilliseconds / 1000))
            : QString::fromUtf8(cupsLastErrorString());
    // A job without its document would hold the queue until it times out.
    cupsCancelDestJob(http(), destination.dest(), id);
    throw PlatformError(isFailure(status) ? int(status) : ErrorNumber::PrinterService,
                        QStringLiteral("The document of job %1 could not be sent: %2").arg(id).arg(reason));
}

std::optional<PrintJob> CupsPrinterServices::job(int id)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/jobs/%d", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    addJobAttributesWanted(request);
    ipp_t* response = cupsDoRequest(http(), request, "/");
    const ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        ippDelete(response);
        return std::nullopt;
    }
    if (!response || isFailure(status)) {
        ippDelete(response);
        throwLastCupsError(http(), ErrorNumber::PrinterService,
                           QStringLiteral("Job %1 cannot be read").arg(id));
    }
    QList<PrintJob> jobs = jobsOf(response);
    ippDelete(response);
    if (jobs.isEmpty())
        return std::nullopt;
    jobs.first().id = id;
    return jobs.first();
}

QList<PrintJob> CupsPrinterServices::jobStates(const QList<int>& ids)
{
    QSet<int> wanted(ids.begin(), ids.end());
    QList<PrintJob> result;
    const auto take = [&](const QList<PrintJob>& listed) {
        for (const PrintJob& each : listed) {
            if (wanted.remove(each.id))
                result.append(each);
        }
    };
    if (wanted.isEmpty())
        return result;
    take(myJobs(http(), "not-completed", 0));
    // The ones that left the queue: listed from the oldest of them on.
    if (!wanted.isEmpty())
        take(myJobs(http(), "completed", *std::min_element(wanted.begin(), wanted.end())));
    // A scheduler that lists fewer ended jobs than it keeps is asked job by job.
    for (const int id : std::as_const(wanted)) {
        if (const std::optional<PrintJob> one = job(id))
            result.append(*one);
    }
    return result;
}

std::optional<QString> CupsPrinterServices::refusedOption(const QString& printer, const QString& name,
                                                          const QString& value)
{
    const Destination destination(http(), printer);
    const QByteArray option = name.toUtf8();
    ipp_attribute_t* supported =
        cupsFindDestSupported(http(), destination.dest(), destination.info(), option.constData());
    if (!supported)
        return QString();
    const auto takes = [&](const QByteArray& candidate) {
        return cupsCheckDestSupported(http(), destination.dest(), destination.info(), option.constData(),
                                      candidate.constData()) != 0;
    };
    if (takes(value.toUtf8()))
        return std::nullopt;
    // lp takes the common paper names ("A4", "Letter") for their standard ones.
    if (name == QLatin1String("media")) {
        const pwg_media_t* media = pwgMediaForLegacy(value.toUtf8().constData());
        if (!media)
            media = pwgMediaForPPD(value.toUtf8().constData());
        if (media && takes(QByteArray(media->pwg)))
            return std::nullopt;
    }
    return attributeText(supported).replace(QLatin1Char(','), QStringLiteral(", "));
}

bool CupsPrinterServices::acceptsJobs(const QString& printer)
{
    const auto [queue, instance] = printerAndInstance(printer);
    if (queue.isEmpty())
        return false;
    cups_dest_t* dest =
        cupsGetNamedDest(http(), queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!dest) {
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND || !isFailure(cupsLastError()))
            return false;
        throwLastCupsError(http(), ErrorNumber::PrinterService,
                           QStringLiteral("The printer cannot be asked"));
    }
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool result = !accepting || qstrcmp(accepting, "true") == 0;
    cupsFreeDests(1, dest);
    return result;
}

QString CupsPrinterServices::environmentDefault()
{
    // libcups reads LPDEST first, then PRINTER unless it is the traditional "lp".
    const QString lpdest = qEnvironmentVariable("LPDEST");
    if (!lpdest.isEmpty())
        return lpdest;
    const QString printer = qEnvironmentVariable("PRINTER");
    return printer == QLatin1String("lp") ? QString() : printer;
}

QString CupsPrinterServices::userOptionsPath()
{
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        if (const passwd* account = ::getpwuid(::getuid()))
            home = QFile::decodeName(account->pw_dir);
    }
    return home + QStringLiteral("/.cups/lpoptions");
}

std::optional<QByteArray> CupsPrinterServices::readUserOptions()
{
    const QString path = userOptionsPath();
    const auto fail = [&path](const QString& why) {
        throw PlatformError(ErrorNumber::FileAccess, path + QStringLiteral(": ") + why);
    };
    // Not blocking: a link to a FIFO or a device must not hang the program.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat info = {};
    QByteArray content;
    QString problem;
    if (::fstat(descriptor, &info) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(info.st_mode))
        problem = QStringLiteral("not a plain file, so Brindlework does not read it");
    else if (info.st_size > MaximumUserOptionsSize)
        problem = QStringLiteral("larger than %1 bytes, so Brindlework does not read it")
                      .arg(MaximumUserOptionsSize);
    else
        content.resize(MaximumUserOptionsSize + 1);
    qsizetype total = 0;
    while (problem.isEmpty() && total < content.size()) {
        const ssize_t count = ::read(descriptor, content.data() + total, size_t(content.size() - total));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            problem = QString::fromLocal8Bit(std::strerror(errno));
        if (count <= 0)
            break;
        total += count;
    }
    ::close(descriptor);
    if (problem.isEmpty() && total > MaximumUserOptionsSize)
        problem = QStringLiteral("larger than %1 bytes, so Brindlework does not read it")
                      .arg(MaximumUserOptionsSize);
    if (!problem.isEmpty())
        fail(problem);
    content.truncate(total);
    return content;
}

void CupsPrinterServices::writeUserOptions(const std::optional<QByteArray>& content)
{
    const QString path = userOptionsPath();
    const auto fail = [](const QString& where, int error) {
        throw PlatformError(ErrorNumber::FileAccess,
                            where + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
    };
    // A linked file stays linked: what is written is the file it points to.
    const QFileInfo info(path);
    QString target = path;
    if (info.isSymLink())
        target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    const QByteArray targetName = QFile::encodeName(target);
    if (!content) {
        if (::unlink(targetName.constData()) != 0 && errno != ENOENT)
            fail(target, errno);
        return;
    }
    // A private folder, as libcups makes it.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).path());
    if (!QFileInfo::exists(QFile::decodeName(folder)))
        ::mkdir(folder.constData(), 0700);
    mode_t mode = 0644;
    struct stat old = {};
    if (::stat(targetName.constData(), &old) == 0)
        mode = old.st_mode & 07777;
    // Written beside it and renamed over it: a crash leaves the old file or the new one.
    QByteArray temporary = targetName + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        fail(target, errno);
    qsizetype total = 0;
    int error = 0;
    while (error == 0 && total < content->size()) {
        const ssize_t count = ::write(descriptor, content->constData() + total, content->size() - total);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            error = count < 0 ? errno : EIO;
        else
            total += count;
    }
    if (error == 0 && (::fchmod(descriptor, mode) != 0 || ::fsync(descriptor) != 0))
        error = errno;
    // The file keeps its owner and group, or it is not replaced.
    if (error == 0 && old.st_nlink > 0 && ::fchown(descriptor, old.st_uid, old.st_gid) != 0)
        error = errno;
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), targetName.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        fail(target, error);
    }
}

} // namespace bw
