#pragma once

#include "platform/OfficeReference.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace bw {

class JobConfirmation;
class OfficeSuite;
class StopRequest;

// Prints files one after the other with no window: each is loaded hidden,
// printed on the named printer (the system default is never touched), its
// job confirmed on that printer's queue, and closed. The next file loads
// while the last one's job spools. A failed file is
// reported and the batch goes on. A stop asked for ends the batch after the
// current file.
class BatchPrint {
public:
    struct Services {
        OfficeSuite& office;
        JobConfirmation& confirmation;
        // Ends the office so that the next file starts a fresh one.
        std::function<void()> restartOffice;
        const StopRequest& stop;
    };
    struct Settings {
        QString printer;
        // Documents per office before it is restarted; 0 for never.
        int restartAfter = 0;
        // How long a file's job may take to reach the queue.
        int confirmMilliseconds = 120000;
    };
    struct Outcome {
        int number = 0; // from 1
        int total = 0;
        QString path;
        bool printed = false;
        int jobId = 0;
        QString reason; // why it failed
    };
    struct Totals {
        int total = 0;
        int printed = 0;
        int failed = 0;
        bool stopped = false;
    };

    BatchPrint(Services services, Settings settings);

    Totals run(const QStringList& paths, const std::function<void(const Outcome&)>& onFile);

private:
    struct Document {
        Outcome outcome;
        OfficeReference serviceManager;
        OfficeReference document;
        bool dispatched = false;
    };

    Document load(const QString& path);
    void print(Document& loaded);
    // Confirms the job of a printed document and closes it.
    Outcome finish(Document& printed);
    void closeQuietly(OfficeReference& document);

    Services services_;
    Settings settings_;
};

} // namespace bw
