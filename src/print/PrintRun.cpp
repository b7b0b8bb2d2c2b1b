#include "print/PrintRun.h"

#include "filelist/FileListModel.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/OfficeSuite.h"
#include "platform/PlatformError.h"
#include "platform/Sleeper.h"
#include "platform/StopRequest.h"
#include "platform/UserLocks.h"
#include "platform/WindowPointer.h"
#include "print/DocumentUrl.h"
#include "print/StepExecutor.h"
#include "printers/DefaultPrinterAccess.h"
#include "printers/DefaultPrinterKeeper.h"
#include "printers/UserLockWait.h"

#include <QFileInfo>
#include <algorithm>

namespace bw {

namespace {

// A step that obtains a reference empties it first, so when the step fails
// the reference holds nothing rather than the previous file's object.
template <typename Value, typename Obtain> void renew(Value& value, const Obtain& obtain)
{
    value.clear();
    value = obtain();
}

// The action of a step that renews a value with what obtain gives.
template <typename Value, typename Obtain> std::function<void()> renewing(Value& value, Obtain obtain)
{
    return [&value, obtain = std::move(obtain)] { renew(value, obtain); };
}

} // namespace

const QString& PrintRun::location()
{
    static const QString text = QStringLiteral("in Quillon.Form1.PushButton2_Click ");
    return text;
}

const QString& PrintRun::dispatchLockName()
{
    static const QString name = QStringLiteral("print-dispatch");
    return name;
}

PrintRun::PrintRun(Services services)
    : services_(std::move(services)), report_(services_.messageBoxes),
      propertyValues_(services_.office, report_),
      confirmation_(services_.printers, services_.jobWatch, services_.clock, services_.sleeper,
                    services_.stop)
{
}

void PrintRun::run()
{
    StepExecutor steps(report_, location(), services_.stop);
    auto& boxes = services_.messageBoxes;

    QString savedDefault;
    QString chosenPrinter;
    int count = 0;
    // A failed test of the list goes on with the next step, as for any step.
    bool hasEntries = true;

    steps.run({
        {100, [&] { services_.pointer.setPointerCode(WindowPointer::Busy); }},
        {102, [&] { hasEntries = services_.fileList.count() > 0; }},
    });
    if (hasEntries) {
        // The keeper's snapshot, not the saved name, is what comes back: a
        // user without a default of their own gets none again.
        const std::vector<Step> restore{{138, [&] { services_.keeper.putBack(); }}};
        try {
            steps.run({
                {104, [&] { savedDefault = services_.defaultPrinter.get(); }},
                {106,
                 [&] {
                     chosenPrinter = services_.chosenPrinter();
                     services_.keeper.change(chosenPrinter);
                 }},
                {108, [&] { count = services_.fileList.count(); }},
            });
            printEntries(steps, count, chosenPrinter);
            confirmation_.endWatch();
        } catch (...) {
            confirmation_.endWatch();
            // Not even the report of a step could be shown; the default still comes back.
            steps.finish(restore);
            throw;
        }
        steps.finish(restore);
        steps.run({
            {140, [&] { boxes.show(QStringLiteral("Done."), MessageBoxes::OkOnly, applicationTitle()); }},
        });
    } else {
        steps.run(142, [&] {
            boxes.show(QStringLiteral("No files added."), MessageBoxes::OkOnly, applicationTitle());
        });
    }
    steps.finish({
        {144, [&] { services_.setProgress(0); }},
        {146, [&] { services_.pointer.setPointerCode(WindowPointer::Default); }},
    });
}

void PrintRun::printEntries(StepExecutor& steps, int count, const QString& chosenPrinter)
{
    OfficeSuite& office = services_.office;
    int i = 1;
    QString path;
    OfficeReference serviceManager;
    OfficeReference desktop;
    OfficeReference document;
    OfficeReference dispatcher;
    OfficeReference frame;
    std::vector<OfficeReference> printArguments(3);
    const std::vector<OfficeReference> loadArguments;
    // Whether the office knows the chosen printer, asked once a run.
    bool printerChecked = chosenPrinter.isEmpty();
    bool printerKnown = true;
    // This file's print: sent (to be confirmed), or withheld from an office
    // that would put it on another printer.
    bool dispatched = false;
    bool withheld = false;
    qint64 dispatchedAt = 0;

    // Steps that renew a reference with a new instance of a service, or one of the print arguments.
    const auto instance = [&](OfficeReference& reference, const QString& service) {
        return renewing(reference, [&, service] { return office.createInstance(serviceManager, service); });
    };
    const auto argument = [&](std::size_t index, const QString& name, const OfficeValue& value) {
        return renewing(printArguments[index],
                        [this, name, value] { return propertyValues_.make(name, value); });
    };
    const auto loadDocument = [&] {
        return office.loadComponentFromURL(desktop, documentUrl(path), QStringLiteral("_blank"), 0,
                                           loadArguments);
    };
    // Before the first document is loaded, so an office this program
    // started can be restarted to learn today's printers.
    const auto checkPrinter = [&] {
        if (printerChecked || serviceManager.isEmpty())
            return;
        printerChecked = true;
        printerKnown = office.knowsPrinter(chosenPrinter);
        if (!printerKnown && office.restartSelfStartedOffice()) {
            renew(serviceManager, [&] { return office.createServiceManager(); });
            printerKnown = office.knowsPrinter(chosenPrinter);
        }
    };
    bool dispatchLocked = false;
    const auto releaseDispatch = [&] {
        if (dispatchLocked)
            services_.locks->unlock(dispatchLockName());
        dispatchLocked = false;
    };
    const auto dispatchPrint = [&] {
        if (!printerKnown && !frame.isEmpty()) {
            withheld = true;
            return;
        }
        if (services_.locks && !dispatchLocked) {
            // A stop while another run prints: nothing is sent.
            if (!waitForUserLock(*services_.locks, dispatchLockName(), services_.sleeper, services_.stop))
                return;
            dispatchLocked = true;
        }
        confirmation_.watch(chosenPrinter);
        try {
            office.executeDispatch(dispatcher, frame, QStringLiteral(".uno:Print"), QString(), 0,
                                   printArguments);
        } catch (const PlatformError& error) {
            throw PlatformError(error.number(),
                                QStringLiteral("Printing \"%1\" on printer \"%2\": %3")
                                    .arg(QFileInfo(path).fileName(), chosenPrinter, error.description()));
        }
        dispatched = !frame.isEmpty();
        dispatchedAt = services_.clock.nowMilliseconds();
    };
    // The job is usually there by now; a long document may still be
    // spooling, and is not closed before its job has arrived.
    const auto confirmJob = [&] {
        JobConfirmation::Result result{JobConfirmation::Outcome::UnknownToOffice, {}};
        if (dispatched) {
            const qint64 left = SpoolLimitMilliseconds - (services_.clock.nowMilliseconds() - dispatchedAt);
            try {
                result = confirmation_.waitFor(path, chosenPrinter, int(std::max<qint64>(0, left)));
            } catch (const PlatformError& error) {
                throw PlatformError(
                    error.number(),
                    QStringLiteral("Printing \"%1\" on printer \"%2\" cannot be confirmed: %3")
                        .arg(QFileInfo(path).fileName(), chosenPrinter, error.description()));
            }
            // Cut short by a stop: nothing is known yet, and nothing is said.
            if (result.outcome == JobConfirmation::Outcome::NothingArrived && services_.stop &&
                services_.stop->stopRequested())
                return;
        } else if (!withheld) {
            return;
        }
        if (result.outcome != JobConfirmation::Outcome::Arrived)
            throw PlatformError(ErrorNumber::PrinterService,
                                JobConfirmation::failureText(result, path, chosenPrinter));
    };

    // The printer is named in the arguments (127): the office keeps the
    // default it saw at its start, and a document saved with a printer goes there.
    const std::vector<Step> fileSteps{
        {110, renewing(path, [&] { return services_.fileList.textAt(i); })},
        {112, renewing(serviceManager, [&] { return office.createServiceManager(); })},
        {113, checkPrinter},
        {114, instance(desktop, QStringLiteral("com.sun.star.frame.Desktop"))},
        {116, renewing(document, loadDocument)},
        {118, instance(dispatcher, QStringLiteral("com.sun.star.frame.DispatchHelper"))},
        {122, renewing(frame, [&] { return office.getFrame(office.getCurrentController(document)); })},
        {124, argument(0, QStringLiteral("Copies"), qint16(1))},
        {126, argument(1, QStringLiteral("Collate"), true)},
        {127, argument(2, QStringLiteral("PrinterName"), chosenPrinter)},
        {128, dispatchPrint},
        {130, [&] { confirmation_.pause(WaitAfterPrintMilliseconds); }},
        {131, confirmJob},
        {132, [&] { office.close(document, true); }},
        {134, [&] { document.clear(); }},
    };
    for (i = 1; i <= count; ++i) {
        dispatched = withheld = false;
        steps.run(fileSteps);
        // Once the job is confirmed, or its confirmation failed or was skipped by a stop.
        releaseDispatch();
    }
}

} // namespace bw
