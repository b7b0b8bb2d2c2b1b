#include "cli/BatchCommand.h"

#include "cli/BatchReporter.h"
#include "intake/PathIntake.h"
#include "platform/PlatformError.h"
#include "platform/PrinterServices.h"
#include "print/BatchPrint.h"

#include <QDir>
#include <QTextStream>
#include <chrono>

namespace bw {

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

std::optional<QStringList> BatchCommand::files(const CommandLineRequest& request)
{
    const auto items = PathIntake(services_.fileSystem, services_.yielder)
                           .take(request.paths, request.extension, services_.currentFolder);
    bool usable = true;
    for (const PathIntake::Item& item : items) {
        if (item.kind == PathIntake::Kind::File || item.kind == PathIntake::Kind::Folder)
            continue;
        refuse(err_, QStringLiteral("cannot use %1: %2").arg(item.path, item.problem));
        usable = false;
    }
    if (!usable)
        return std::nullopt;
    const QStringList rows = PathIntake::rowsOf(items);
    if (rows.isEmpty()) {
        refuse(err_, QStringLiteral("no files found (extension \"%1\" in folders)").arg(request.extension));
        return std::nullopt;
    }
    return rows;
}

std::optional<QString> BatchCommand::printer(const QString& asked)
{
    QStringList installed;
    try {
        installed = services_.printers.installedPrinters();
    } catch (const PlatformError& error) {
        refuse(err_, QStringLiteral("cannot reach the printing system: ") + error.description());
        return std::nullopt;
    }
    QString name = asked;
    if (name.isEmpty()) {
        try {
            name = services_.printers.defaultPrinterName();
        } catch (const PlatformError&) {
            refuse(err_,
                   QStringLiteral("no printer given and no default printer set; name one with --printer"));
            return std::nullopt;
        }
    }
    if (!installed.contains(name)) {
        refuse(err_, QStringLiteral("unknown printer \"%1\" (see --list-printers)").arg(name));
        return std::nullopt;
    }
    return name;
}

int BatchCommand::dryRun(const CommandLineRequest& request)
{
    const auto rows = files(request);
    if (!rows)
        return ExitUsage;
    for (const QString& row : *rows)
        out_ << row << '\n';
    out_.flush();
    return ExitSuccess;
}

bool BatchCommand::printerTakes(const QString& printer, const PrintOptions& options)
{
    for (const auto& [name, value] : options.jobOptions()) {
        std::optional<QString> supported;
        try {
            supported = services_.printers.refusedOption(printer, name, value);
        } catch (const PlatformError& error) {
            refuse(err_, QStringLiteral("cannot read what printer \"%1\" supports: %2")
                             .arg(printer, error.description()));
            return false;
        }
        // An option the printer does not list is passed on as lp would,
        // unless it is one the batch names itself.
        if (!supported || (supported->isEmpty() && !PrintOptions::isNamed(name)))
            continue;
        refuse(err_, supported->isEmpty()
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
        if (!name || !printerTakes(*name, request.options))
            return ExitUsage;
    } else {
        name = QDir(services_.currentFolder).absoluteFilePath(request.pdfTo);
        if (!QDir().mkpath(*name))
            return refuse(err_, QStringLiteral("cannot make the folder %1").arg(*name));
    }
    const auto rows = files(request);
    if (!rows)
        return ExitUsage;

    using Clock = std::chrono::steady_clock;
    const auto secondsSince = [](Clock::time_point start) {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    const BatchReporter::Style style = request.json    ? BatchReporter::Style::Json
                                       : request.quiet ? BatchReporter::Style::Quiet
                                                       : BatchReporter::Style::Text;
    BatchReporter reporter(out_, err_, style, *name);
    BatchPrint batch({services_.renderers, services_.printers, services_.stop},
                     {request.pdfTo.isEmpty() ? *name : QString(),
                      request.pdfTo.isEmpty() ? QString() : *name, request.options.jobOptions(),
                      request.options.fitToWidth, request.restartAfter});
    const auto started = Clock::now();
    auto fileStarted = started;
    const BatchPrint::Totals totals = batch.run(*rows, [&](const BatchPrint::Outcome& outcome) {
        reporter.file(outcome, secondsSince(fileStarted));
        fileStarted = Clock::now();
    });
    reporter.totals(totals, secondsSince(started));
    if (totals.stopped)
        return ExitStopped;
    return totals.failed == 0 ? ExitSuccess : ExitSomeFailed;
}

} // namespace bw
