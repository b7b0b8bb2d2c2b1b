#pragma once

#include "platform/PrintQueue.h"

#include <QString>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace bw {

class CupsConnection;
namespace cups {
class Destination;
}

// Jobs submitted to CUPS and read back. Every call asks CUPS, but for the
// printer of a job when it is kept (see keepPrinters).
class CupsPrintQueue : public PrintQueue {
public:
    explicit CupsPrintQueue(CupsConnection& connection);
    ~CupsPrintQueue() override;

    // Reads each printer and the user's saved options for it once, at its
    // first job, as one lp command does, instead of at every job: two
    // requests fewer a file for a short batch. A job the kept printer refuses
    // is tried once more on the printer read afresh, so a printer removed
    // meanwhile is told as before.
    void keepPrinters() { keepPrinters_ = true; }

    int submitFile(const QString& printer, const QString& file, const QString& title,
                   const QList<QPair<QString, QString>>& options) override;
    std::optional<PrintJob> job(int id) override;
    QList<PrintJob> jobStates(const QList<int>& ids) override;

private:
    using Kept = std::pair<std::thread::id, QString>;
    // The printer as kept for this thread's connection, or read now.
    std::shared_ptr<const cups::Destination> printerFor(const QString& printer, bool afresh);

    CupsConnection& connection_;
    bool keepPrinters_ = false;
    std::mutex keptMutex_;
    std::map<Kept, std::shared_ptr<const cups::Destination>> kept_;
};

} // namespace bw
