#include "cli/CommandLine.h"

#include "intake/PathIntake.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <optional>

#ifndef BW_VERSION
#define BW_VERSION "0"
#endif

namespace bw {

namespace {

const QString Help = QStringLiteral("help");
const QString Version = QStringLiteral("version");
const QString Print = QStringLiteral("print");
const QString Printer = QStringLiteral("printer");
const QString Extension = QStringLiteral("extension");
const QString DryRun = QStringLiteral("dry-run");
const QString ListPrinters = QStringLiteral("list-printers");
const QString Quiet = QStringLiteral("quiet");
const QString Json = QStringLiteral("json");
const QString Timeout = QStringLiteral("timeout");
const QString RestartAfter = QStringLiteral("restart-after");
const QString Watch = QStringLiteral("watch");
const QString Copies = QStringLiteral("copies");
const QString Pages = QStringLiteral("pages");
const QString Sides = QStringLiteral("sides");
const QString Media = QStringLiteral("media");
const QString Orientation = QStringLiteral("orientation");
const QString FitToWidth = QStringLiteral("fit-to-width");
const QString Option = QStringLiteral("o");
const QString PdfTo = QStringLiteral("pdf-to");
const QString Jobs = QStringLiteral("jobs");
const QString Wait = QStringLiteral("wait");
const QString WaitTimeout = QStringLiteral("wait-timeout");
const QString Settle = QStringLiteral("settle");
// Options that only a printer takes.
const QStringList PrinterOnly{Printer, Copies, Pages, Sides, Media, Orientation, Option, Wait, WaitTimeout};

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Prints many spreadsheet files in one batch through LibreOffice.\n"
                       "Without --print, opens the window with the given files in its list."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {{QStringLiteral("h"), Help}, QStringLiteral("Show this help and exit.")},
        {{QStringLiteral("v"), Version}, QStringLiteral("Show the version and exit.")},
        {Print, QStringLiteral("Print the files without a window, one after the other.")},
        {Printer, QStringLiteral("Print on the CUPS queue <name> (default: your default printer)."),
         QStringLiteral("name")},
        {Extension,
         QStringLiteral("Take files with these extensions from folders, e.g. ods,xlsx,pdf; * for every "
                        "file (default: ods)."),
         QStringLiteral("list")},
        {Watch,
         QStringLiteral(
             "Print each file with one of the extensions that arrives in <folder>, once its size stays the "
             "same, then move it to <folder>/printed or <folder>/failed. Runs until stopped."),
         QStringLiteral("folder")},
        {DryRun,
         QStringLiteral("Show the files in print order, marking those that cannot be printed, and exit.")},
        {ListPrinters, QStringLiteral("Show the printers, the default marked \"(default)\", and exit.")},
        {Quiet, QStringLiteral("With --print or --watch: report failures only.")},
        {Json,
         QStringLiteral("With --print or --watch: one JSON object a line for each file, then the totals.")},
        {Timeout,
         QStringLiteral("With --print or --watch: restart an office that does not answer within <seconds>, "
                        "1 to %2 (default %1).")
             .arg(CommandLine::DefaultTimeoutSeconds)
             .arg(CommandLine::MostTimeoutSeconds),
         QStringLiteral("seconds")},
        {RestartAfter,
         QStringLiteral("With --print or --watch: restart the office after every <n> documents, 0 for never "
                        "(default %1).")
             .arg(CommandLine::DefaultRestartAfter),
         QStringLiteral("n")},
        {Copies, QStringLiteral("With --print: print <n> copies of each file (one job)."),
         QStringLiteral("n")},
        {Pages, QStringLiteral("With --print: print only these pages of each file, e.g. 1-3,7."),
         QStringLiteral("list")},
        {Sides, QStringLiteral("With --print: one-sided, two-sided-long-edge or two-sided-short-edge."),
         QStringLiteral("sides")},
        {Media, QStringLiteral("With --print: the paper, e.g. A4 or iso_a4_210x297mm."),
         QStringLiteral("name")},
        {Orientation, QStringLiteral("With --print: portrait or landscape."), QStringLiteral("orientation")},
        {FitToWidth, QStringLiteral("With --print: scale every sheet to one page wide.")},
        {Option, QStringLiteral("With --print: any other CUPS option, as lp takes it."),
         QStringLiteral("name=value")},
        {PdfTo,
         QStringLiteral("With --print or --watch: write each file as <dir>/NAME.pdf instead of printing."),
         QStringLiteral("dir")},
        {Wait, QStringLiteral("With --print: wait until every job has completed or failed.")},
        {WaitTimeout,
         QStringLiteral("With --wait: wait at most <seconds> (default %1); a job not ended by then failed.")
             .arg(CommandLine::DefaultWaitSeconds),
         QStringLiteral("seconds")},
        {Jobs,
         QStringLiteral(
             "With --print or --watch: render in <k> offices side by side (default %1; 1 for --watch).")
             .arg(CommandLine::DefaultJobs),
         QStringLiteral("k")},
        {Settle,
         QStringLiteral(
             "With --watch: take a file that arrived neither by a rename nor by a closed write once "
             "its size and time have stayed the same for <seconds> (default %1).")
             .arg(CommandLine::DefaultSettleSeconds),
         QStringLiteral("seconds")},
    });
    parser.addPositionalArgument(QStringLiteral("paths"),
                                 QStringLiteral("Files and folders, in print order."),
                                 QStringLiteral("[PATH...]"));
}

CommandLineRequest invalid(const QString& error)
{
    CommandLineRequest request;
    request.mode = CommandLineRequest::Mode::Invalid;
    request.error = error;
    return request;
}

// A whole number from minimum to maximum, or nothing.
// More copies than any printer takes; the printer's own limit is checked later.
constexpr int MostCopies = 1000000;

std::optional<int> number(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// The extensions of a comma list, without a leading dot, each once; "*" is
// every file. Anything else that a name pattern or a path would read
// differently is refused.
std::optional<QString> readExtensions(const QString& list, QStringList& extensions)
{
    extensions.clear();
    for (QString item : list.split(QLatin1Char(','))) {
        item = item.trimmed();
        if (item.startsWith(QLatin1Char('.')))
            item.remove(0, 1);
        if (item.isEmpty())
            return QStringLiteral("--extension has an empty item in \"%1\".").arg(list);
        if (item != QLatin1String("*") &&
            (item.contains(QLatin1Char('/')) || item.contains(QLatin1Char('*')) ||
             item.contains(QLatin1Char('?'))))
            return QStringLiteral("--extension takes extensions such as ods,xlsx (or * for every file), not "
                                  "\"%1\".")
                .arg(item);
        if (!extensions.contains(item, Qt::CaseInsensitive))
            extensions << item;
    }
    return std::nullopt;
}

QString named(const QString& option)
{
    return (option.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + option;
}

// The print options, checked for form; what the printer takes is checked later.
std::optional<QString> readPrintOptions(const QCommandLineParser& parser, CommandLineRequest& request)
{
    PrintOptions& options = request.options;
    if (parser.isSet(Jobs)) {
        const auto jobs = number(parser.value(Jobs), 1, CommandLine::MostJobs);
        if (!jobs)
            return QStringLiteral("--jobs needs a whole number from 1 to %1.").arg(CommandLine::MostJobs);
        request.jobs = *jobs;
    }
    if (parser.isSet(Copies)) {
        const auto copies = number(parser.value(Copies), 1, MostCopies);
        if (!copies)
            return QStringLiteral("--copies needs a whole number from 1 to %1.").arg(MostCopies);
        options.copies = *copies;
    }
    options.pages = parser.value(Pages);
    if (parser.isSet(Pages) && !PrintOptions::validPages(options.pages))
        return QStringLiteral("--pages needs pages and ranges from 1 up, such as 1-3,7.");
    options.sides = parser.value(Sides);
    if (parser.isSet(Sides) && !PrintOptions::sidesValues().contains(options.sides))
        return QStringLiteral("--sides takes %1.")
            .arg(PrintOptions::sidesValues().join(QStringLiteral(", ")));
    options.orientation = parser.value(Orientation);
    if (parser.isSet(Orientation) && !PrintOptions::orientationValues().contains(options.orientation))
        return QStringLiteral("--orientation takes %1.")
            .arg(PrintOptions::orientationValues().join(QStringLiteral(", ")));
    options.media = parser.value(Media);
    if (parser.isSet(Media) && options.media.isEmpty())
        return QStringLiteral("The media name must not be empty.");
    options.fitToWidth = parser.isSet(FitToWidth);
    request.wait = parser.isSet(Wait) || parser.isSet(WaitTimeout);
    if (parser.isSet(WaitTimeout)) {
        const auto seconds = number(parser.value(WaitTimeout), 1, CommandLine::MostTimeoutSeconds);
        if (!seconds)
            return QStringLiteral("--wait-timeout needs a whole number of seconds from 1 to %1.")
                .arg(CommandLine::MostTimeoutSeconds);
        request.waitSeconds = *seconds;
    }
    for (const QString& option : parser.values(Option)) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return QStringLiteral("-o needs NAME=VALUE, not \"%1\".").arg(option);
        options.other.append({option.left(equals), option.mid(equals + 1)});
    }
    request.pdfTo = parser.value(PdfTo);
    if (parser.isSet(PdfTo)) {
        if (request.pdfTo.isEmpty())
            return QStringLiteral("The --pdf-to folder must not be empty.");
        for (const QString& printerOnly : PrinterOnly)
            if (parser.isSet(printerOnly))
                return QStringLiteral("Options '%1' and '--pdf-to' do not go together: a PDF folder "
                                      "is not a printer.")
                    .arg(named(printerOnly));
    }
    return std::nullopt;
}

} // namespace

CommandLineRequest CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return invalid(parser.errorText());

    CommandLineRequest request;
    request.paths = parser.positionalArguments();
    request.extensions = QStringList{PathIntake::defaultExtension()};
    request.printer = parser.value(Printer);
    request.quiet = parser.isSet(Quiet);
    request.json = parser.isSet(Json);
    request.timeoutSeconds = DefaultTimeoutSeconds;
    request.restartAfter = DefaultRestartAfter;
    request.jobs = DefaultJobs;
    request.waitSeconds = DefaultWaitSeconds;
    request.settleSeconds = DefaultSettleSeconds;

    if (parser.isSet(Help)) {
        request.mode = CommandLineRequest::Mode::Help;
        return request;
    }
    if (parser.isSet(Version)) {
        request.mode = CommandLineRequest::Mode::Version;
        return request;
    }
    for (const QString& single : {Printer, Extension, Timeout, RestartAfter, Watch, Copies, Pages, Sides,
                                  Media, Orientation, PdfTo, Jobs, WaitTimeout, Settle})
        if (parser.values(single).size() > 1)
            return invalid(QStringLiteral("Option '%1' is given more than once.").arg(single));
    if (parser.isSet(Extension)) {
        if (parser.value(Extension).isEmpty())
            return invalid(QStringLiteral("The extension must not be empty."));
        if (const auto problem = readExtensions(parser.value(Extension), request.extensions))
            return invalid(*problem);
    }
    if (parser.isSet(Printer) && request.printer.isEmpty())
        return invalid(QStringLiteral("The printer name must not be empty."));
    if (parser.isSet(Timeout)) {
        const auto seconds = number(parser.value(Timeout), 1, MostTimeoutSeconds);
        if (!seconds)
            return invalid(QStringLiteral("The timeout must be a whole number of seconds from 1 to %1.")
                               .arg(MostTimeoutSeconds));
        request.timeoutSeconds = *seconds;
    }
    if (parser.isSet(RestartAfter)) {
        const auto documents = number(parser.value(RestartAfter), 0, MostRestartAfter);
        if (!documents)
            return invalid(
                QStringLiteral("--restart-after needs a whole number from 0 to %1.").arg(MostRestartAfter));
        request.restartAfter = *documents;
    }

    if (const auto problem = readPrintOptions(parser, request))
        return invalid(*problem);

    const bool print = parser.isSet(Print);
    if (parser.isSet(ListPrinters)) {
        if (print || parser.isSet(DryRun) || parser.isSet(Watch) || !request.paths.isEmpty())
            return invalid(QStringLiteral("--list-printers takes no paths and no other mode."));
        request.mode = CommandLineRequest::Mode::ListPrinters;
        return request;
    }
    if (parser.isSet(Watch)) {
        if (print || parser.isSet(DryRun) || !request.paths.isEmpty())
            return invalid(QStringLiteral("--watch takes no paths and no other mode."));
        request.watchFolder = parser.value(Watch);
        if (request.watchFolder.isEmpty())
            return invalid(QStringLiteral("The folder to watch must not be empty."));
        // One office unless asked for more: a watch mostly waits.
        if (!parser.isSet(Jobs))
            request.jobs = 1;
        if (parser.isSet(Settle)) {
            const auto seconds = number(parser.value(Settle), 0, MostTimeoutSeconds);
            if (!seconds)
                return invalid(QStringLiteral("--settle needs a whole number of seconds from 0 to %1.")
                                   .arg(MostTimeoutSeconds));
            request.settleSeconds = *seconds;
        }
        request.mode = CommandLineRequest::Mode::Watch;
        return request;
    }
    if (parser.isSet(Settle)) {
        return invalid(QStringLiteral("Option '%1' needs --watch.").arg(Settle));
    }
    if (!print) {
        for (const QString& printOnly :
             QStringList{Quiet, Json, Timeout, RestartAfter, FitToWidth, PdfTo, Jobs} + PrinterOnly)
            if (parser.isSet(printOnly))
                return invalid(QStringLiteral("Option '%1' needs --print or --watch.").arg(printOnly));
    }
    if (parser.isSet(DryRun)) {
        if (request.paths.isEmpty())
            return invalid(QStringLiteral("--dry-run needs at least one path."));
        request.mode = CommandLineRequest::Mode::DryRun;
        return request;
    }
    if (print) {
        if (request.paths.isEmpty())
            return invalid(QStringLiteral("--print needs at least one path."));
        request.mode = CommandLineRequest::Mode::Print;
        return request;
    }
    request.mode = CommandLineRequest::Mode::Window;
    return request;
}

CommandLineRequest CommandLine::refusedWithoutDisplay()
{
    return invalid(QStringLiteral(
        "The window needs a display, and there is none (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are "
        "unset). Without one, print with --print or see the files with --dry-run."));
}

QString CommandLine::unreachableDisplay(const QString& display, const QString& waylandDisplay,
                                        const QString& platform)
{
    QStringList set;
    for (const auto& [name, value] : {std::pair{QStringLiteral("DISPLAY"), display},
                                      {QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay},
                                      {QStringLiteral("QT_QPA_PLATFORM"), platform}})
        if (!value.isEmpty())
            set << name + QLatin1Char('=') + value;
    return QStringLiteral("The window cannot open: the display cannot be reached, or its platform plugin "
                          "cannot load (%1). Without a display, print with --print or see the files with "
                          "--dry-run.")
        .arg(set.join(QStringLiteral(", ")));
}

bool CommandLine::displayAvailable(const QString& display, const QString& waylandDisplay,
                                   const QString& platform)
{
    return !display.isEmpty() || !waylandDisplay.isEmpty() || !platform.isEmpty();
}

QString CommandLine::helpText()
{
    QCommandLineParser parser;
    describe(parser);
    QString text = parser.helpText();
    text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: brindlework"));
    return text + QStringLiteral(
                      "\nModes:\n"
                      "  brindlework [PATH...]\n"
                      "  brindlework --print [--printer NAME] [--extension LIST] [--jobs K]\n"
                      "              [--copies N] [--pages LIST] [--sides SIDES] [--media NAME]\n"
                      "              [--orientation O] [--fit-to-width] [-o NAME=VALUE]...\n"
                      "              [--wait [--wait-timeout S]] PATH...\n"
                      "  brindlework --print --pdf-to DIR [--fit-to-width] PATH...\n"
                      "  brindlework --dry-run [--extension LIST] PATH...\n"
                      "  brindlework --watch FOLDER [--printer NAME | --pdf-to DIR] [--extension LIST]\n"
                      "              [--jobs K] [--settle S] [print options of --print]\n"
                      "  brindlework --list-printers\n"
                      "\nExit status of --print: 0 every file taken by CUPS and none failed, 1 some\n"
                      "failed (with --wait: or did not end in time),\n"
                      "2 bad usage, 130 stopped by SIGINT or SIGTERM, 141 standard output closed.\n"
                      "--watch ends with 0 when stopped by SIGINT or SIGTERM, 1 when its folder is gone.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("brindlework " BW_VERSION "\n");
}

} // namespace bw
