#include "print/BatchPrint.h"

#include "platform/OfficeSuite.h"
#include "platform/PlatformError.h"
#include "platform/StopRequest.h"
#include "print/DocumentUrl.h"
#include "print/JobConfirmation.h"

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
    int onThisOffice = 0;
    for (int i = 0; i < totals.total; ++i) {
        if (services_.stop.stopRequested()) {
            totals.stopped = true;
            break;
        }
        if (settings_.restartAfter > 0 && onThisOffice == settings_.restartAfter) {
            services_.restartOffice();
            onThisOffice = 0;
        }
        Outcome outcome = printOne(paths.at(i));
        ++onThisOffice;
        outcome.number = i + 1;
        outcome.total = totals.total;
        ++(outcome.printed ? totals.printed : totals.failed);
        onFile(outcome);
    }
    return totals;
}

BatchPrint::Outcome BatchPrint::printOne(const QString& path)
{
    OfficeSuite& office = services_.office;
    Outcome outcome;
    outcome.path = path;
    OfficeReference document;
    try {
        const OfficeReference serviceManager = office.createServiceManager();
        const OfficeReference desktop =
            office.createInstance(serviceManager, QStringLiteral("com.sun.star.frame.Desktop"));
        document =
            office.loadComponentFromURL(desktop, documentUrl(path), QStringLiteral("_blank"), 0,
                                        {record(office, serviceManager, QStringLiteral("Hidden"), true)});
        if (document.isEmpty()) {
            outcome.reason = QStringLiteral("LibreOffice could not open it as a document");
            return outcome;
        }
        const OfficeReference frame = office.getFrame(office.getCurrentController(document));
        const OfficeReference dispatcher =
            office.createInstance(serviceManager, QStringLiteral("com.sun.star.frame.DispatchHelper"));
        const std::vector<OfficeReference> printArguments{
            record(office, serviceManager, QStringLiteral("Copies"), qint16(1)),
            record(office, serviceManager, QStringLiteral("Collate"), true),
            record(office, serviceManager, QStringLiteral("PrinterName"), settings_.printer),
        };
        services_.confirmation.mark();
        office.executeDispatch(dispatcher, frame, QStringLiteral(".uno:Print"), QString(), 0, printArguments);
        // Closed only once its job is on the queue, so it is never cut off half spooled.
        const JobConfirmation::Result job =
            services_.confirmation.waitFor(path, settings_.printer, settings_.confirmMilliseconds);
        outcome.printed = job.outcome == JobConfirmation::Outcome::Arrived;
        outcome.jobId = job.job.id;
        outcome.reason = JobConfirmation::failureText(job, path, settings_.printer);
    } catch (const PlatformError& error) {
        outcome.reason = error.description();
    }
    if (!document.isEmpty()) {
        try {
            office.close(document, true);
        } catch (const PlatformError&) {
            // Its job is confirmed or the file reported already; an office
            // that cannot close it gets a working connection at its next call.
        }
    }
    return outcome;
}

} // namespace bw
