#pragma once

#include "print/PrintOptions.h"

#include <QString>
#include <QStringList>

namespace bw {

// What the program was asked to do on its command line.
struct CommandLineRequest {
    enum class Mode { Window, Help, Version, ListPrinters, DryRun, Print, Watch, Invalid };

    Mode mode = Mode::Window;
    QStringList paths;
    QString watchFolder; // mode Watch
    QString printer;     // empty: the user's default
    // Those of the files taken from folders, without the dot.
    QStringList extensions;
    int timeoutSeconds = 0;
    int restartAfter = 0; // 0: never
    bool quiet = false;
    bool json = false;
    PrintOptions options;
    // Set: PDFs written there instead of printed.
    QString pdfTo;
    // Offices rendering side by side.
    int jobs = 0;
    // --wait: the batch ends once every job has completed or failed, or
    // after waitSeconds.
    bool wait = false;
    int waitSeconds = 0;
    // --watch: how long a file that arrived unannounced must stay the same.
    int settleSeconds = 0;
    // Why the command line is refused (mode Invalid).
    QString error;
};

// The program's options, parsed without any application object so that the
// answer can decide which one to create.
class CommandLine {
public:
    static constexpr int DefaultTimeoutSeconds = 120;
    static constexpr int MostTimeoutSeconds = 86400;
    static constexpr int MostRestartAfter = 1000000;
    // Documents printed on one office before it is restarted (office memory
    // grows with every document).
    static constexpr int DefaultRestartAfter = 200;
    // Offices of a batch: two render small sheets in about half the time of
    // one on two cores; more only add memory (bench/cli-print.sh).
    static constexpr int DefaultJobs = 2;
    static constexpr int MostJobs = 16;
    static constexpr int DefaultWaitSeconds = 3600;
    static constexpr int DefaultSettleSeconds = 2;

    // arguments[0] is the program.
    static CommandLineRequest parse(const QStringList& arguments);
    // The window asked for where there is no display to show it on.
    static CommandLineRequest refusedWithoutDisplay();
    // Why the window could not start on the display the environment names.
    static QString unreachableDisplay(const QString& display, const QString& waylandDisplay,
                                      const QString& platform);
    static bool displayAvailable(const QString& display, const QString& waylandDisplay,
                                 const QString& platform);
    static QString helpText();
    static QString versionText();
};

} // namespace bw
