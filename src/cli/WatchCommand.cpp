#include "cli/WatchCommand.h"

#include "cli/BatchCommand.h"
#include "cli/BatchReporter.h"
#include "cli/ClosedOutputStop.h"
#include "cli/PrinterLookup.h"
#include "cli/ProgressLine.h"
#include "platform/FolderChangeWait.h"
#include "platform/PlatformError.h"
#include "platform/Printers.h"
#include "platform/SharedFolder.h"
#include "print/BatchPrint.h"
#include "watch/FolderWatch.h"
#include "watch/WatchedFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <chrono>

namespace bw {

namespace {

// Failures of the office for one file before it is taken for the file's
// own: an office that cannot start fails every file alike.
constexpr int OfficeTries = 3;

} // namespace

WatchCommand::WatchCommand(Services services, QTextStream& out, QTextStream& err)
    : services_(std::move(services)), out_(out), err_(err)
{
}

int WatchCommand::run(const CommandLineRequest& request)
{
    const bool toFolder = !request.pdfTo.isEmpty();
    QString destination;
    if (toFolder) {
        destination = QDir::cleanPath(QDir(services_.currentFolder).absoluteFilePath(request.pdfTo));
        if (!QDir().mkpath(destination))
            return BatchCommand::refuse(err_, QStringLiteral("cannot make the folder %1").arg(destination));
    } else {
        const PrinterLookup::Found printer = PrinterLookup(services_.printers).find(request.printer);
        if (printer.name.isEmpty())
            return BatchCommand::refuse(err_, printer.problem);
        if (!BatchCommand::printerTakes(services_.printers, err_, printer.name, request.options))
            return BatchCommand::ExitUsage;
        destination = printer.name;
    }
    const QString path = QDir::cleanPath(QDir(services_.currentFolder).absoluteFilePath(request.watchFolder));
    WatchedFolder folder(
        {services_.files, services_.processes, services_.printQueue, services_.jobWatch, services_.newId},
        path, services_.host, toFolder ? QString() : destination);
    try {
        // Looked at first: opening it would make a folder that is not there.
        services_.files.entries(path);
        for (const QString& told : folder.open())
            err_ << "brindlework: " << told << '\n';
        err_.flush();
    } catch (const PlatformError& error) {
        return BatchCommand::refuse(err_,
                                    QStringLiteral("cannot watch %1: %2").arg(path, error.description()));
    }

    using Clock = BatchReporter::Clock;
    const auto secondsSince = &BatchReporter::secondsSince;
    BatchReporter reporter(out_, err_, BatchReporter::styleOf(request.json, request.quiet), destination);
    ProgressLine progress(err_, progressWidth_);
    const ClosedOutputStop stop(services_.stop, out_);
    // The offices are restarted here, counted over the runs.
    BatchPrint::Settings settings = BatchCommand::printSettings(request, destination);
    settings.restartAfter = 0;
    BatchPrint batch({services_.renderers, services_.printQueue, stop}, settings);
    const std::unique_ptr<FolderChangeWait> changes = services_.changesOf(path);
    // Several offices get a few files each at a time, so that none waits
    // for the slowest of a handful.
    const int offices = int(services_.renderers.size());
    FolderWatch watch(
        {folder, services_.files, *changes, services_.clock, stop},
        {request.extensions, request.settleSeconds * 1000, 5000, offices == 1 ? 1 : 8 * offices});
    BatchPrint::Totals totals;
    int sinceRestart = 0;
    QHash<QString, int> officeFailures;
    const auto started = Clock::now();
    const auto tell = [&](const QString& message) {
        progress.clear();
        err_ << "brindlework: " << message << '\n';
        err_.flush();
    };
    // Why nothing can be printed now.
    const auto outage = [&]() -> std::optional<QString> {
        if (toFolder)
            return QFileInfo(destination).isDir()
                       ? std::nullopt
                       : std::optional(QStringLiteral("%1 is gone").arg(destination));
        try {
            if (!services_.printers.acceptsJobs(destination))
                return QStringLiteral("printer \"%1\" is not there or does not accept jobs").arg(destination);
        } catch (const PlatformError& error) {
            return QStringLiteral("CUPS cannot be reached: %1").arg(error.description());
        }
        return std::nullopt;
    };
    // What a failed file's outcome means: the file's own fault, or a
    // passing one of the printer or the office.
    const auto classed = [&](const BatchPrint::Outcome& outcome, const QString& name) {
        FolderWatch::Printed printed{FolderWatch::Outcome::Printed, outcome.reason, outcome.jobId,
                                     toFolder ? QString() : destination};
        if (outcome.printed) {
            officeFailures.remove(name);
            return printed;
        }
        printed.outcome = FolderWatch::Outcome::Failed;
        if (outcome.jobId > 0 ||
            outcome.reason == QLatin1String("LibreOffice could not open it as a document"))
            return printed;
        if (const auto problem = outage()) {
            printed.outcome = FolderWatch::Outcome::Passing;
            printed.reason = *problem;
        } else if (outcome.reason.startsWith(QLatin1String("Not printed on"))) {
            return printed; // refused by the printer for the file itself
        } else if (++officeFailures[name] < OfficeTries) {
            printed.outcome = FolderWatch::Outcome::Passing;
        }
        if (printed.outcome == FolderWatch::Outcome::Failed)
            officeFailures.remove(name);
        return printed;
    };
    int status = BatchCommand::ExitSuccess;
    try {
        watch.run(
            [&](const std::vector<WatchedFolder::Claimed>& claimed, const FolderWatch::Done& done) {
                if (request.restartAfter > 0 && sinceRestart >= request.restartAfter * offices) {
                    for (const BatchPrint::Renderer& renderer : services_.renderers)
                        renderer.restart();
                    sinceRestart = 0;
                }
                QStringList paths;
                for (const WatchedFolder::Claimed& claim : claimed)
                    paths << claim.path;
                const QString first = path + QLatin1Char('/') + claimed.front().name;
                progress.show(totals.total + 1, 0, first, -1);
                auto fileStarted = Clock::now();
                batch.run(paths, [&](const BatchPrint::Outcome& rendered) {
                    const WatchedFolder::Claimed& claim = claimed.at(size_t(rendered.number - 1));
                    BatchPrint::Outcome outcome = rendered;
                    outcome.path = path + QLatin1Char('/') + claim.name;
                    // Written under the claim's name: given the file's own.
                    if (!outcome.pdf.isEmpty())
                        for (const QString& pdf : BatchPrint::pdfPaths({claim.name}, destination))
                            if (services_.files.moveWithoutReplacing(outcome.pdf, pdf) ==
                                SharedFolder::Move::Moved)
                                outcome.pdf = pdf;
                    const FolderWatch::Printed printed = classed(outcome, claim.name);
                    progress.clear();
                    if (printed.outcome != FolderWatch::Outcome::Passing) {
                        outcome.number = ++totals.total;
                        outcome.total = 0;
                        ++(outcome.printed ? totals.printed : totals.failed);
                        reporter.file(outcome, secondsSince(fileStarted));
                    }
                    fileStarted = Clock::now();
                    ++sinceRestart;
                    done(size_t(rendered.number - 1), printed);
                });
                progress.clear();
            },
            outage, tell);
    } catch (const PlatformError& error) {
        progress.clear();
        err_ << "brindlework: the watch of " << path << " ends: " << error.description() << '\n';
        err_.flush();
        status = BatchCommand::ExitSomeFailed;
    }
    folder.close();
    totals.stopped = true;
    reporter.totals(totals, secondsSince(started));
    return stop.outputClosed() ? BatchCommand::ExitOutputClosed : status;
}

} // namespace bw
