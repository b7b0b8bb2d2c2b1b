#pragma once

#include "cli/CommandLine.h"
#include "print/BatchPrint.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QTextStream;

namespace bw {

class BatchReporter;
class Clock;
class FileSystem;
class JobFollow;
class PrintQueue;
class Printers;
class Sleeper;
class UserLocks;
class StopRequest;
class Yielder;

// The command-line modes that need no window: --print, --dry-run and
// --list-printers. It only checks what it was given and writes; the
// intake, the printing and the confirmation are the core's.
class BatchCommand {
public:
    static constexpr int ExitSuccess = 0;
    static constexpr int ExitSomeFailed = 1;
    static constexpr int ExitUsage = 2;
    static constexpr int ExitStopped = 130;
    // As a program ended by SIGPIPE.
    static constexpr int ExitOutputClosed = 141;

    struct Services {
        Printers& printers;
        PrintQueue& printQueue;
        FileSystem& fileSystem;
        Yielder& yielder;
        // The batch's offices, as many as it asked for.
        std::vector<BatchPrint::Renderer> renderers;
        const StopRequest& stop;
        QString currentFolder;
        // The pace of --wait.
        Clock& clock;
        Sleeper& sleeper;
        // The user's locks: the batch sends its jobs under the dispatch lock.
        UserLocks* locks = nullptr;
    };

    BatchCommand(Services services, QTextStream& out, QTextStream& err);

    int run(const CommandLineRequest& request);
    // A progress line on standard error this many columns wide; 0 for none.
    void showProgress(int width) { progressWidth_ = width; }
    // The message for a command line that was refused, and its status.
    static int refuse(QTextStream& err, const QString& message);
    // How the files of a request are printed, by --print and --watch alike.
    static BatchPrint::Settings printSettings(const CommandLineRequest& request, const QString& destination);
    // Whether the printer takes every option; refused with the values it takes otherwise.
    static bool printerTakes(Printers& printers, QTextStream& err, const QString& printer,
                             const PrintOptions& options);

private:
    int listPrinters();
    int dryRun(const CommandLineRequest& request);
    int print(const CommandLineRequest& request);
    struct Row {
        QString path;
        QString problem;    // why it cannot be printed; empty when it can
        bool listed = true; // false: a path the window lists nothing for
    };
    // Every row the window would list for the paths, in print order, and
    // where they stand the paths that give none and cannot be used.
    std::vector<Row> rows(const CommandLineRequest& request);
    QString problemOf(const QString& row);
    // The files in print order; nothing (after the message) when a path
    // cannot be used or no file is found.
    std::optional<QStringList> files(const CommandLineRequest& request);
    std::optional<QString> printer(const QString& asked);
    // Reads once more the jobs the batch sent that had not ended (with
    // --wait, until each has ended), and reports those that failed since and
    // those still under way.
    void followToEnd(const CommandLineRequest& request, const QString& printer, JobFollow& follow,
                     QHash<int, BatchPrint::Outcome>& inFlight, BatchPrint::Totals& totals,
                     BatchReporter& reporter);

    Services services_;
    QTextStream& out_;
    QTextStream& err_;
    int progressWidth_ = 0;
};

} // namespace bw
