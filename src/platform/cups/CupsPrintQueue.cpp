#include "platform/cups/CupsPrintQueue.h"

#include "platform/PlatformError.h"
#include "platform/cups/CupsAttributes.h"
#include "platform/cups/CupsConnection.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <cerrno>

namespace bw {

using namespace cups;

namespace {

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

void addJobAttributesWanted(ipp_t* request)
{
    static const char* const wanted[] = {"job-id",    "job-name",          "job-printer-uri",
                                         "job-state", "job-state-reasons", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(sizeof wanted / sizeof *wanted), nullptr, wanted);
}

QList<PrintJob> jobsOf(ipp_t* reply)
{
    QList<PrintJob> jobs;
    for (const AttributeGroup& group : attributeGroups(reply, IPP_TAG_JOB))
        jobs.append(jobOf(group));
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

CupsPrintQueue::CupsPrintQueue(CupsConnection& connection) : connection_(connection) {}

CupsPrintQueue::~CupsPrintQueue() = default;

std::shared_ptr<const Destination> CupsPrintQueue::printerFor(const QString& printer, bool afresh)
{
    http_t* http = connection_.http();
    if (!keepPrinters_)
        return std::make_shared<const Destination>(http, printer);
    // The connection is the thread's own: so is what was read over it.
    const Kept key{std::this_thread::get_id(), printer};
    {
        const std::lock_guard lock(keptMutex_);
        if (afresh)
            kept_.erase(key);
        else if (const auto found = kept_.find(key); found != kept_.end())
            return found->second;
    }
    auto read = std::make_shared<const Destination>(http, printer);
    const std::lock_guard lock(keptMutex_);
    kept_[key] = read;
    return read;
}

int CupsPrintQueue::submitFile(const QString& printer, const QString& file, const QString& title,
                               const QList<QPair<QString, QString>>& options)
{
    QFile document(file);
    if (!document.open(QIODevice::ReadOnly))
        throw PlatformError(ErrorNumber::FileAccess, file + QStringLiteral(": ") + document.errorString());
    // One connection for the whole job, so that a wait given up midway still cancels it.
    http_t* http = connection_.http();
    const QByteArray name = title.toUtf8();
    int id = 0;
    const auto create = [&](const Destination& destination) {
        Options jobOptions;
        for (const auto& [option, value] : options)
            jobOptions.add(option.toUtf8(), value.toUtf8());
        // The instance's and the user's saved options, as lp adds them.
        const cups_dest_t* dest = destination.dest();
        for (int i = 0; i < dest->num_options; ++i) {
            if (!jobOptions.has(dest->options[i].name))
                jobOptions.add(dest->options[i].name, dest->options[i].value);
        }
        return cupsCreateDestJob(http, destination.dest(), destination.info(), &id, name.constData(),
                                 jobOptions.count(), jobOptions.get()) == IPP_STATUS_OK &&
               id > 0;
    };
    std::shared_ptr<const Destination> destination = printerFor(printer, false);
    bool created = create(*destination);
    // A kept printer that refuses the job may have gone or changed: asked
    // afresh, it is refused (or taken) as it would have been without keeping.
    if (!created && keepPrinters_ && httpError(http) != ETIMEDOUT) {
        destination = printerFor(printer, true);
        created = create(*destination);
    }
    if (!created)
        throwLastError(http, ErrorNumber::PrinterService, QStringLiteral("The job was refused"));
    bool sent = cupsStartDestDocument(http, destination->dest(), destination->info(), id, name.constData(),
                                      CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE;
    char buffer[65536];
    while (sent) {
        const qint64 read = document.read(buffer, sizeof buffer);
        if (read <= 0) {
            sent = read == 0;
            break;
        }
        sent = cupsWriteRequestData(http, buffer, size_t(read)) == HTTP_STATUS_CONTINUE;
    }
    const bool finished =
        cupsFinishDestDocument(http, destination->dest(), destination->info()) == IPP_STATUS_OK;
    if (sent && finished)
        return id;
    const ipp_status_t status = cupsLastError();
    const QString reason =
        httpError(http) == ETIMEDOUT ? notAnswering() : QString::fromUtf8(cupsLastErrorString());
    // A job without its document would hold the queue until it times out.
    cupsCancelDestJob(http, destination->dest(), id);
    throw PlatformError(isFailure(status) ? int(status) : ErrorNumber::PrinterService,
                        QStringLiteral("The document of job %1 could not be sent: %2").arg(id).arg(reason));
}

std::optional<PrintJob> CupsPrintQueue::job(int id)
{
    http_t* http = connection_.http();
    IppRequest request(http, IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    addJobAttributesWanted(request.get());
    ipp_t* reply = request.trySend();
    const ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_NOT_FOUND)
        return std::nullopt;
    if (!reply || isFailure(status))
        throwLastError(http, ErrorNumber::PrinterService, QStringLiteral("Job %1 cannot be read").arg(id));
    QList<PrintJob> jobs = jobsOf(reply);
    if (jobs.isEmpty())
        return std::nullopt;
    jobs.first().id = id;
    return jobs.first();
}

QList<PrintJob> CupsPrintQueue::jobStates(const QList<int>& ids)
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
    take(myJobs(connection_.http(), "not-completed", 0));
    // The ones that left the queue: listed from the oldest of them on.
    if (!wanted.isEmpty())
        take(myJobs(connection_.http(), "completed", *std::min_element(wanted.begin(), wanted.end())));
    // A scheduler that lists fewer ended jobs than it keeps is asked job by job.
    for (const int id : std::as_const(wanted)) {
        if (const std::optional<PrintJob> one = job(id))
            result.append(*one);
    }
    return result;
}

} // namespace bw
