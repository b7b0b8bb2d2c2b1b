#pragma once

#include "cli/CommandLine.h"
#include "print/BatchPrint.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QTextStream;

namespace bw {

class Clock;
class FolderChangeWait;
class JobWatch;
class PrintQueue;
class Printers;
class Processes;
class SharedFolder;
class StopRequest;

// --watch: prints (or writes as PDFs) what arrives in a folder until SIGINT
// or SIGTERM, with the options, lines and statuses of --print.
class WatchCommand {
public:
    struct Services {
        Printers& printers;
        PrintQueue& printQueue;
        // Where a dead watcher's unrecorded job is looked for.
        JobWatch& jobWatch;
        SharedFolder& files;
        Processes& processes;
        Clock& clock;
        // The offices a watch prints with, side by side.
        std::vector<BatchPrint::Renderer> renderers;
        const StopRequest& stop;
        // What wakes the watch when the folder changes.
        std::function<std::unique_ptr<FolderChangeWait>(const QString& folder)> changesOf;
        QString host;
        QString currentFolder;
        // A new random id of letters and digits, at least 8 of them.
        std::function<QString()> newId;
    };
    WatchCommand(Services services, QTextStream& out, QTextStream& err);

    int run(const CommandLineRequest& request);
    void showProgress(int width) { progressWidth_ = width; }

private:
    Services services_;
    QTextStream& out_;
    QTextStream& err_;
    int progressWidth_ = 0;
};

} // namespace bw
