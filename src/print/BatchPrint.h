#pragma once

#include "platform/OfficeReference.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace bw {

class OfficeSuite;
class PrintQueue;
struct PrintJob;
class Sleeper;
class StopRequest;
class UserLocks;

// Prints files with no window: each is loaded hidden and read-only in an
// office, written as a PDF there through the export filter of its kind, and
// sent to the printer's queue by the program itself, so its job is known at
// once. A PDF goes to the queue as it is, without an office. Several offices render side by
// side, each on a thread of its own, while jobs reach the queue in list
// order. A failed file is reported and the batch goes on; a stop asked for
// ends it after the file being sent.
class BatchPrint {
public:
    // One office that renders files.
    struct Renderer {
        OfficeSuite& office;
        // Ends the office so that the next file starts a fresh one.
        std::function<void()> restart;
        // Called after a file failed in the office: ends an office that
        // stopped answering, so that the next file gets a new one.
        std::function<void()> recover;
        // A private folder for PDFs on their way to the queue.
        QString workFolder;
    };
    struct Services {
        std::vector<Renderer> renderers;
        PrintQueue& printQueue;
        const StopRequest& stop;
        // Set: each job is sent under the user's dispatch lock, so that no
        // job of the batch can be taken for a window's while it waits for
        // its own; the sleeper paces the wait for that lock.
        UserLocks* locks = nullptr;
        Sleeper* sleeper = nullptr;
    };
    struct Settings {
        QString printer;
        // Set: each file is written there as NAME.pdf instead of printed.
        QString pdfFolder;
        QList<QPair<QString, QString>> jobOptions;
        bool fitToWidth = false;
        // Documents per office before it is restarted; 0 for never.
        int restartAfter = 0;
    };
    struct Outcome {
        int number = 0; // from 1
        int total = 0;
        QString path;
        // Or written, with a PDF folder; for a job, taken by the printing
        // system and not failed (yet: see jobState).
        bool printed = false;
        int jobId = 0;
        // The job's state when last read (PrintJob::State); completed only
        // once the printing system says so.
        int jobState = 0;
        QString pdf;    // the file written, with a PDF folder
        QString reason; // why it failed
    };
    struct Totals {
        int total = 0;
        int printed = 0;
        // Taken by the printing system, not yet completed when the batch ended.
        int sent = 0;
        int failed = 0;
        bool stopped = false;
    };

    BatchPrint(Services services, Settings settings);

    Totals run(const QStringList& paths, const std::function<void(const Outcome&)>& onFile);

    // Why the job counts as failed: "CUPS aborted job 3 on "Q": reasons".
    static QString jobFailure(const PrintJob& job, const QString& printer);

    // The PDF names of the files in the folder: NAME.pdf, or "NAME (2).pdf"
    // and so on where a file of the folder (a link too, even one that leads
    // nowhere) or an earlier one has that name.
    static QStringList pdfPaths(const QStringList& paths, const QString& folder);

private:
    struct Rendered {
        bool done = false;
        QString pdf;
        QString reason;
    };

    Rendered render(const Renderer& renderer, const QString& path, const QString& pdf);
    Outcome deliver(const QString& path, Rendered& rendered);

    Services services_;
    Settings settings_;
};

} // namespace bw
