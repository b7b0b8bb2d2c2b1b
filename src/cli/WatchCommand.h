#pragma once

#include "cli/CommandLine.h"
#include "print/BatchPrint.h"

#include <QString>
#include <functional>
#include <memory>

class QTextStream;

namespace bw {

class Clock;
class FolderChangeWait;
class PrinterServices;
class Processes;
class SharedFolder;
class StopRequest;

// --watch: prints what arrives in a folder until SIGINT or SIGTERM, with the
// lines and the statuses of --print.
class WatchCommand {
public:
    struct Services {
        PrinterServices& printers;
        SharedFolder& files;
        Processes& processes;
        Clock& clock;
        // The one office a watch prints with.
        BatchPrint::Renderer renderer;
        const StopRequest& stop;
        // What wakes the watch when the folder changes.
        std::function<std::unique_ptr<FolderChangeWait>(const QString& folder)> changesOf;
        QString host;
        QString currentFolder;
    };
    WatchCommand(Services services, QTextStream& out, QTextStream& err);

    int run(const CommandLineRequest& request);
    void showProgress(int width) { progressWidth_ = width; }
    // How long a file must stay the same, and the pace of the rescans.
    void setTiming(int settleMilliseconds, int rescanMilliseconds)
    {
        settleMilliseconds_ = settleMilliseconds;
        rescanMilliseconds_ = rescanMilliseconds;
    }

private:
    Services services_;
    QTextStream& out_;
    QTextStream& err_;
    int progressWidth_ = 0;
    int settleMilliseconds_ = 2000;
    int rescanMilliseconds_ = 5000;
};

} // namespace bw
