#include "cli/BatchCommand.h"

#include "cli/BatchReporter.h"
#include "cli/ClosedOutputStop.h"
#include "cli/PrinterLookup.h"
#include "cli/ProgressLine.h"
#include "cli/TerminalText.h"
#include "intake/PathIntake.h"
#include "platform/FileSystem.h"
#include "platform/PlatformError.h"
#include "platform/Printers.h"
#include "print/BatchPrint.h"
#include "print/JobFollow.h"

#include <QDir>
#include <QHash>
#include <QTemporaryFile>
#include <QTextStream>
#include <chrono>

namespace bw {

namespace {

QString noFilesFound(const CommandLineRequest& request)
{
    return QStringLiteral("no files found (%1 \"%2\" in folders)")
        .arg(request.extensions.size() == 1 ? QStringLiteral("extension") : QStringLiteral("extensions"),
             request.extensions.join(QLatin1Char(',')));
}

} // namespace

BatchCommand::BatchCommand(Services services, QTextStream& out, QTextStream& err)
    : services_(std::move(services)), out_(out), err_(err)
{
}

int BatchCommand::refuse(QTextStream& err, const QString& message)
{
    err << "brindlework: " << message << '\n';
    err.flush();
    return ExitUsage;
}

BatchPrint::Settings BatchCommand::printSettings(const CommandLineRequest& request,
                                                 const QString& destination)
{
    const bool toFolder = !request.pdfTo.isEmpty();
    return {toFolder ? QString() : destination, toFolder ? destination : QString(),
            request.options.jobOptions(), request.options.fitToWidth, request.restartAfter};
}

int BatchCommand::run(const CommandLineRequest& request)
{
    switch (request.mode) {
    case CommandLineRequest::Mode::ListPrinters:
        return listPrinters();
    case CommandLineRequest::Mode::DryRun:
        return dryRun(request);
    case CommandLineRequest::Mode::Print:
        return print(request);
    default:
        return refuse(err_, QStringLiteral("nothing to do without a window"));
    }
}

int BatchCommand::listPrinters()
{
    QStringList printers;
    QString defaultPrinter;
    try {
        printers = services_.printers.installedPrinters();
    } catch (const PlatformError& error) {
        return refuse(err_, QStringLiteral("cannot list the printers: ") + error.description());
    }
    try {
        defaultPrinter = services_.printers.defaultPrinterName();
    } catch (const PlatformError&) {
        // No default: none is marked.
    }
    for (const QString& name : printers)
        out_ << name << (name == defaultPrinter ? " (default)" : "") << '\n';
    out_.flush();
    return ExitSuccess;
}

std::vector<BatchCommand::Row> BatchCommand::rows(const CommandLineRequest& request)
{
    const auto items = PathIntake(services_.fileSystem, services_.yielder)
                           .take(request.paths, request.extensions, services_.currentFolder);
    std::vector<Row> rows;
    for (const PathIntake::Item& item : items) {
        switch (item.kind) {
        case PathIntake::Kind::File:
            rows.push_back({item.path, {}});
            break;
        case PathIntake::Kind::Folder:
            for (const QString& row : item.rows)
                rows.push_back({row, problemOf(row)});
            break;
        case PathIntake::Kind::Missing:
        case PathIntake::Kind::Unreadable:
            rows.push_back({item.path, item.problem});
            break;
        case PathIntake::Kind::NotAFile:
        case PathIntake::Kind::UnreadableFolder:
            rows.push_back({item.path, item.problem, false});
            break;
        }
    }
    return rows;
}

QString BatchCommand::problemOf(const QString& row)
{
    try {
        const FileStatus status = services_.fileSystem.status(row);
        if (!status.isRegularFile)
            return QStringLiteral("Not a file: ") + row;
        if (!status.isReadable)
            return QStringLiteral("Cannot be read (no permission): ") + row;
    } catch (const PlatformError& error) {
        return error.description();
    }
    return {};
}

std::optional<QStringList> BatchCommand::files(const CommandLineRequest& request)
{
    bool unusable = false;
    QStringList files;
    for (const Row& row : rows(request)) {
        if (!row.problem.isEmpty()) {
            refuse(err_, QStringLiteral("cannot use %1: %2")
                             .arg(escapedForTerminal(row.path), escapedForTerminal(row.problem)));
            unusable = true;
        }
        files << row.path;
    }
    if (unusable)
        return std::nullopt;
    if (files.isEmpty()) {
        refuse(err_, noFilesFound(request));
        return std::nullopt;
    }
    return files;
}

std::optional<QString> BatchCommand::printer(const QString& asked)
{
    const PrinterLookup::Found found = PrinterLookup(services_.printers).find(asked);
    if (found.name.isEmpty()) {
        refuse(err_, found.problem);
        return std::nullopt;
    }
    return found.name;
}

int BatchCommand::dryRun(const CommandLineRequest& request)
{
    bool unusable = false;
    int listed = 0;
    int marked = 0;
    for (const Row& row : rows(request)) {
        if (!row.listed) {
            refuse(err_, QStringLiteral("cannot use %1: %2")
                             .arg(escapedForTerminal(row.path), escapedForTerminal(row.problem)));
            unusable = true;
            continue;
        }
        ++listed;
        out_ << escapedForTerminal(row.path);
        if (!row.problem.isEmpty()) {
            out_ << " (cannot be printed: " << escapedForTerminal(row.problem) << ')';
            ++marked;
        }
        out_ << '\n';
    }
    out_.flush();
    if (marked > 0)
        return refuse(err_, QStringLiteral("%1 of %2 files cannot be printed").arg(marked).arg(listed));
    if (unusable)
        return ExitUsage;
    if (listed == 0)
        return refuse(err_, noFilesFound(request));
    return ExitSuccess;
}

bool BatchCommand::printerTakes(Printers& printers, QTextStream& err, const QString& printer,
                                const PrintOptions& options)
{
    for (const auto& [name, value] : options.jobOptions()) {
        std::optional<QString> supported;
        try {
            supported = printers.refusedOption(printer, name, value);
        } catch (const PlatformError& error) {
            refuse(err, QStringLiteral("cannot read what printer \"%1\" supports: %2")
                            .arg(printer, error.description()));
            return false;
        }
        // An option the printer does not list is passed on as lp would,
        // unless it is one the batch names itself.
        if (!supported || (supported->isEmpty() && !PrintOptions::isNamed(name)))
            continue;
        refuse(err, supported->isEmpty()
                        ? QStringLiteral("printer \"%1\" does not support %2").arg(printer, name)
                        : QStringLiteral("printer \"%1\" does not support %2=%3 (supported: %4)")
                              .arg(printer, name, value, *supported));
        return false;
    }
    return true;
}

int BatchCommand::print(const CommandLineRequest& request)
{
    std::optional<QString> name;
    if (request.pdfTo.isEmpty()) {
        name = printer(request.printer);
        if (!name || !printerTakes(services_.printers, err_, *name, request.options))
            return ExitUsage;
    } else {
        name = QDir(services_.currentFolder).absoluteFilePath(request.pdfTo);
        if (!QDir().mkpath(*name))
            return refuse(err_, QStringLiteral("cannot make the folder %1").arg(escapedForTerminal(*name)));
        // Known before the first file is rendered, not told once for each.
        QTemporaryFile probe(*name + QStringLiteral("/.brindlework-XXXXXX"));
        if (!probe.open())
            return refuse(err_, QStringLiteral("cannot write in the folder %1: %2")
                                    .arg(escapedForTerminal(*name), probe.errorString()));
    }
    const auto rows = files(request);
    if (!rows)
        return ExitUsage;

    using Clock = BatchReporter::Clock;
    const auto secondsSince = &BatchReporter::secondsSince;
    BatchReporter reporter(out_, err_, BatchReporter::styleOf(request.json, request.quiet), *name);
    ProgressLine progress(err_, progressWidth_);
    const ClosedOutputStop stop(services_.stop, out_);
    BatchPrint batch({services_.renderers, services_.printQueue, stop, services_.locks, &services_.sleeper},
                     printSettings(request, *name));
    const auto started = Clock::now();
    auto fileStarted = started;
    const int total = int(rows->size());
    progress.show(1, total, rows->first(), -1);
    JobFollow follow(services_.printQueue);
    QHash<int, BatchPrint::Outcome> inFlight;
    BatchPrint::Totals totals = batch.run(*rows, [&](const BatchPrint::Outcome& outcome) {
        progress.clear();
        reporter.file(outcome, secondsSince(fileStarted));
        if (outcome.printed && outcome.jobId > 0 && !JobFollow::ended(outcome.jobState)) {
            follow.add({outcome.jobId, *name, QString(), outcome.jobState, QString()});
            inFlight.insert(outcome.jobId, outcome);
        }
        fileStarted = Clock::now();
        if (outcome.number < total && !stop.stopRequested())
            progress.show(outcome.number + 1, total, rows->at(outcome.number),
                          secondsSince(started) / outcome.number * (total - outcome.number));
    });
    progress.clear();
    if (!stop.outputClosed())
        followToEnd(request, *name, follow, inFlight, totals, reporter);
    reporter.totals(totals, secondsSince(started));
    if (stop.outputClosed())
        return ExitOutputClosed;
    if (totals.stopped)
        return ExitStopped;
    return totals.failed == 0 ? ExitSuccess : ExitSomeFailed;
}

void BatchCommand::followToEnd(const CommandLineRequest& request, const QString& printer, JobFollow& follow,
                               QHash<int, BatchPrint::Outcome>& inFlight, BatchPrint::Totals& totals,
                               BatchReporter& reporter)
{
    const auto started = BatchReporter::Clock::now();
    const auto ended = [&](const PrintJob& job) {
        BatchPrint::Outcome outcome = inFlight.take(job.id);
        outcome.jobState = job.state;
        if (JobFollow::failed(job.state)) {
            outcome.printed = false;
            outcome.reason = BatchPrint::jobFailure(job, printer);
            --totals.printed;
            ++totals.failed;
        }
        reporter.ended(outcome, BatchReporter::secondsSince(started));
    };
    // Waiting stops at a stop asked for; the jobs are still read once.
    const bool waiting = request.wait && !totals.stopped;
    QString unreadable;
    try {
        if (waiting)
            follow.readUntilEnded(services_.clock, services_.sleeper, services_.stop,
                                  qint64(request.waitSeconds) * 1000, ended);
        else
            for (const PrintJob& job : follow.read())
                ended(job);
    } catch (const PlatformError& error) {
        unreadable = error.description();
    }
    for (const PrintJob& job : follow.inFlight()) {
        BatchPrint::Outcome outcome = inFlight.take(job.id);
        outcome.jobState = job.state;
        --totals.printed;
        if (waiting) {
            // Whoever asked to wait must not take an unknown end for paper.
            outcome.printed = false;
            outcome.reason =
                (unreadable.isEmpty() ? QStringLiteral("not ended after %1 s: ").arg(request.waitSeconds)
                                      : QStringLiteral("its end cannot be read (%1): ").arg(unreadable)) +
                reporter.sentText(outcome);
            ++totals.failed;
            reporter.ended(outcome, BatchReporter::secondsSince(started));
        } else {
            ++totals.sent;
            reporter.unfinished(outcome, BatchReporter::secondsSince(started));
        }
    }
    if (!waiting && !unreadable.isEmpty() && totals.sent > 0)
        refuse(err_, QStringLiteral("what became of the jobs sent cannot be read: ") + unreadable);
}

} // namespace bw
