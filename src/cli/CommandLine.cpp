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
        {Extension, QStringLiteral("Take files with extension <ext> from folders (default: ods)."),
         QStringLiteral("ext")},
        {Watch,
         QStringLiteral(
             "Print each file with the extension that arrives in <folder>, once its size stays the "
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
std::optional<int> number(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
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
    request.extension = parser.isSet(Extension) ? parser.value(Extension) : PathIntake::defaultExtension();
    request.printer = parser.value(Printer);
    request.quiet = parser.isSet(Quiet);
    request.json = parser.isSet(Json);
    request.timeoutSeconds = DefaultTimeoutSeconds;
    request.restartAfter = DefaultRestartAfter;

    if (parser.isSet(Help)) {
        request.mode = CommandLineRequest::Mode::Help;
        return request;
    }
    if (parser.isSet(Version)) {
        request.mode = CommandLineRequest::Mode::Version;
        return request;
    }
    for (const QString& single : {Printer, Extension, Timeout, RestartAfter, Watch})
        if (parser.values(single).size() > 1)
            return invalid(QStringLiteral("Option '%1' is given more than once.").arg(single));
    if (parser.isSet(Extension) && request.extension.isEmpty())
        return invalid(QStringLiteral("The extension must not be empty."));
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
        request.mode = CommandLineRequest::Mode::Watch;
        return request;
    }
    if (!print) {
        for (const QString& printOnly : {Printer, Quiet, Json, Timeout, RestartAfter})
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
    return text +
           QStringLiteral("\nModes:\n"
                          "  brindlework [PATH...]\n"
                          "  brindlework --print [--printer NAME] [--extension EXT] PATH...\n"
                          "  brindlework --dry-run [--extension EXT] PATH...\n"
                          "  brindlework --watch FOLDER [--printer NAME] [--extension EXT]\n"
                          "  brindlework --list-printers\n"
                          "\nExit status of --print: 0 every file printed and confirmed, 1 some failed,\n"
                          "2 bad usage, 130 stopped by SIGINT or SIGTERM, 141 standard output closed.\n"
                          "--watch ends with 0 when stopped by SIGINT or SIGTERM.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("brindlework " BW_VERSION "\n");
}

} // namespace bw
