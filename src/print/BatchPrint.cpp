#include "print/BatchPrint.h"

#include "platform/OfficeSuite.h"
#include "platform/PlatformError.h"
#include "platform/StopRequest.h"
#include "print/DocumentUrl.h"
#include "print/JobConfirmation.h"

#include <optional>

namespace bw {

namespace {

OfficeReference record(OfficeSuite& office, const OfficeReference& serviceManager, const QString& name,
                       const OfficeValue& value)
{
    OfficeReference made = office.blankPropertyRecord(serviceManager);
    auto& fields = made.objectAs<PropertyRecord>();
    fields.setName(name);
    fields.setValue(value);
    return made;
}

} // namespace

BatchPrint::BatchPrint(Services services, Settings settings)
    : services_(std::move(services)), settings_(std::move(settings))
{
}

BatchPrint::Totals BatchPrint::run(const QStringList& paths,
                                   const std::function<void(const Outcome&)>& onFile)
{
    Totals totals;
    totals.total = static_cast<int>(paths.size());
    // The file printed last, its job not yet confirmed: the next file loads
    // while that job spools, then the job is confirmed and its document closed.
    std::optional<Document> printing;
    int printingNumber = 0;
    const auto finishPrinting = [&] {
        if (!printing)
            return;
        Outcome outcome = finish(*printing);
        outcome.number = printingNumber;
        outcome.total = totals.total;
        ++(outcome.printed ? totals.printed : totals.failed);
        printing.reset();
        onFile(outcome);
    };
    int onThisOffice = 0;
    for (int i = 0; i < totals.total && !totals.stopped; ++i) {
        if (services_.stop.stopRequested()) {
            totals.stopped = true;
            break;
        }
        if (settings_.restartAfter > 0 && onThisOffice == settings_.restartAfter) {
            finishPrinting();
            services_.restartOffice();
            onThisOffice = 0;
        }
        Document next = load(paths.at(i));
        ++onThisOffice;
        finishPrinting();
        if (services_.stop.stopRequested()) {
            // Loaded but not printed: it counts as not started.
            closeQuietly(next.document);
            totals.stopped = true;
            break;
        }
        print(next);
        printing = std::move(next);
        printingNumber = i + 1;
    }
    finishPrinting();
    return totals;
}

BatchPrint::Document BatchPrint::load(const QString& path)
{
    OfficeSuite& office = services_.office;
    Document loaded;
    loaded.outcome.path = path;
    try {
        loaded.serviceManager = office.createServiceManager();
        const OfficeReference desktop =
            office.createInstance(loaded.serviceManager, QStringLiteral("com.sun.star.frame.Desktop"));
        loaded.document = office.loadComponentFromURL(
            desktop, documentUrl(path), QStringLiteral("_blank"), 0,
            // Read-only: printing needs no lock file in the user's folder, and
            // one left by a killed batch would make the file look in use.
            {record(office, loaded.serviceManager, QStringLiteral("Hidden"), true),
             record(office, loaded.serviceManager, QStringLiteral("ReadOnly"), true)});
        if (loaded.document.isEmpty())
            loaded.outcome.reason = QStringLiteral("LibreOffice could not open it as a document");
    } catch (const PlatformError& error) {
        loaded.outcome.reason = error.description();
    }
    return loaded;
}

void BatchPrint::print(Document& loaded)
{
    if (!loaded.outcome.reason.isEmpty())
        return;
    OfficeSuite& office = services_.office;
    try {
        const OfficeReference frame = office.getFrame(office.getCurrentController(loaded.document));
        const OfficeReference dispatcher =
            office.createInstance(loaded.serviceManager, QStringLiteral("com.sun.star.frame.DispatchHelper"));
        const std::vector<OfficeReference> printArguments{
            record(office, loaded.serviceManager, QStringLiteral("Copies"), qint16(1)),
            record(office, loaded.serviceManager, QStringLiteral("Collate"), true),
            record(office, loaded.serviceManager, QStringLiteral("PrinterName"), settings_.printer),
        };
        services_.confirmation.watch();
        office.executeDispatch(dispatcher, frame, QStringLiteral(".uno:Print"), QString(), 0, printArguments);
        loaded.dispatched = true;
    } catch (const PlatformError& error) {
        loaded.outcome.reason = error.description();
    }
}

BatchPrint::Outcome BatchPrint::finish(Document& printed)
{
    Outcome& outcome = printed.outcome;
    if (printed.dispatched) {
        try {
            // Closed only once its job is on the queue, so it is never cut off half spooled.
            const JobConfirmation::Result job = services_.confirmation.waitFor(
                outcome.path, settings_.printer, settings_.confirmMilliseconds);
            outcome.printed = job.outcome == JobConfirmation::Outcome::Arrived;
            outcome.jobId = job.job.id;
            outcome.reason = JobConfirmation::failureText(job, outcome.path, settings_.printer);
        } catch (const PlatformError& error) {
            outcome.reason = error.description();
        }
    }
    closeQuietly(printed.document);
    return outcome;
}

void BatchPrint::closeQuietly(OfficeReference& document)
{
    if (document.isEmpty())
        return;
    try {
        services_.office.close(document, true);
    } catch (const PlatformError&) {
        // Its job is confirmed or the file reported already; an office that
        // cannot close it gets a working connection at its next call.
    }
    document.clear();
}

} // namespace bw
