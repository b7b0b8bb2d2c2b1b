#include "cli/WatchCommand.h"

#include "cli/BatchCommand.h"
#include "cli/BatchReporter.h"
#include "cli/ClosedOutputStop.h"
#include "cli/PrinterLookup.h"
#include "cli/ProgressLine.h"
#include "platform/FolderChangeWait.h"
#include "platform/PlatformError.h"
#include "platform/SharedFolder.h"
#include "print/BatchPrint.h"
#include "watch/FolderWatch.h"
#include "watch/WatchedFolder.h"

#include <QDir>
#include <QTextStream>
#include <chrono>

namespace bw {

WatchCommand::WatchCommand(Services services, QTextStream& out, QTextStream& err)
    : services_(std::move(services)), out_(out), err_(err)
{
}

int WatchCommand::run(const CommandLineRequest& request)
{
    const PrinterLookup::Found printer = PrinterLookup(services_.printers).find(request.printer);
    if (printer.name.isEmpty())
        return BatchCommand::refuse(err_, printer.problem);
    const QString path = QDir::cleanPath(QDir(services_.currentFolder).absoluteFilePath(request.watchFolder));
    WatchedFolder folder(services_.files, services_.processes, path, services_.host);
    try {
        // Listed first: opening it would make a folder that is not there.
        services_.files.entries(path);
        for (const QString& back : folder.open())
            err_ << "brindlework: put back " << back << ", claimed by a watcher that has ended\n";
        err_.flush();
    } catch (const PlatformError& error) {
        return BatchCommand::refuse(err_,
                                    QStringLiteral("cannot watch %1: %2").arg(path, error.description()));
    }

    using Clock = BatchReporter::Clock;
    const auto secondsSince = &BatchReporter::secondsSince;
    BatchReporter reporter(out_, err_, BatchReporter::styleOf(request.json, request.quiet), printer.name);
    ProgressLine progress(err_, progressWidth_);
    const ClosedOutputStop stop(services_.stop, out_);
    // One file a run: the office is restarted here, counted over the runs.
    BatchPrint::Settings settings = BatchCommand::printSettings(request, printer.name);
    settings.printer = printer.name;
    settings.pdfFolder.clear();
    settings.restartAfter = 0;
    BatchPrint batch({{services_.renderer}, services_.printers, stop}, settings);
    const std::unique_ptr<FolderChangeWait> changes = services_.changesOf(path);
    FolderWatch watch({folder, services_.files, *changes, services_.clock, stop},
                      {request.extensions, settleMilliseconds_, rescanMilliseconds_});
    BatchPrint::Totals totals;
    int onThisOffice = 0;
    const auto started = Clock::now();
    int status = BatchCommand::ExitSuccess;
    try {
        watch.run(
            [&](const QString& claimed, const QString& shown) -> std::optional<FolderWatch::Printed> {
                if (request.restartAfter > 0 && onThisOffice == request.restartAfter) {
                    services_.renderer.restart();
                    onThisOffice = 0;
                }
                progress.show(totals.total + 1, 0, shown, -1);
                const auto fileStarted = Clock::now();
                std::optional<FolderWatch::Printed> result;
                batch.run({claimed}, [&](const BatchPrint::Outcome& printed) {
                    BatchPrint::Outcome outcome = printed;
                    outcome.path = shown;
                    outcome.number = ++totals.total;
                    outcome.total = 0;
                    ++(outcome.printed ? totals.printed : totals.failed);
                    progress.clear();
                    reporter.file(outcome, secondsSince(fileStarted));
                    result = FolderWatch::Printed{outcome.printed, outcome.reason};
                });
                progress.clear();
                ++onThisOffice;
                return result;
            },
            [&](const QString& shown, const QString& reason) {
                BatchCommand::refuse(err_, QStringLiteral("cannot take %1: %2").arg(shown, reason));
            });
    } catch (const PlatformError& error) {
        progress.clear();
        BatchCommand::refuse(err_, QStringLiteral("the watch of %1 ends: %2").arg(path, error.description()));
        status = BatchCommand::ExitSomeFailed;
    }
    folder.close();
    totals.stopped = true;
    reporter.totals(totals, secondsSince(started));
    return stop.outputClosed() ? BatchCommand::ExitOutputClosed : status;
}

} // namespace bw
