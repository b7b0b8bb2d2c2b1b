#pragma once

#include "platform/PrinterServices.h"

#include <atomic>
#include <cups/http.h>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace bw {

// Printer services over libcups. Nothing is cached: every call asks CUPS.
// A printer name is a CUPS destination, with "/instance" for an instance
// ("B/draft"), the form lp and lpstat use, so every name listed can be set
// as the default and comes back unchanged as the default's name.
// Failures carry the CUPS status number and its description. Each thread
// has a connection of its own, on which no wait lasts more than seconds.
class CupsPrinterServices : public PrinterServices {
public:
    CupsPrinterServices() = default;
    ~CupsPrinterServices() override;
    CupsPrinterServices(const CupsPrinterServices&) = delete;
    CupsPrinterServices& operator=(const CupsPrinterServices&) = delete;

    QStringList installedPrinters() override;
    QString defaultPrinterName() override;
    void setDefaultPrinter(const QString& name) override;
    int watchJobs(const QString& printer) override;
    QList<JobEvent> jobEvents(int watch, int afterSequence) override;
    QList<PrintJob> ownJobs(const QString& printer, qint64 createdSince) override;
    void endWatch(int watch) override;
    int submitFile(const QString& printer, const QString& file, const QString& title,
                   const QList<QPair<QString, QString>>& options) override;
    std::optional<PrintJob> job(int id) override;
    QList<PrintJob> jobStates(const QList<int>& ids) override;
    std::optional<QString> refusedOption(const QString& printer, const QString& name,
                                         const QString& value) override;
    bool acceptsJobs(const QString& printer) override;
    QString environmentDefault() override;
    std::optional<QByteArray> readUserOptions() override;
    void writeUserOptions(const std::optional<QByteArray>& content) override;

    // A larger options file is not read (nor is one that is not a plain file).
    static constexpr qint64 MaximumUserOptionsSize = 1024 * 1024;

    // Where libcups keeps the user's options: $HOME/.cups/lpoptions, with the
    // home folder of the user's account when HOME is not set.
    static QString userOptionsPath();

private:
    http_t* http();

    std::mutex mutex_;
    // When a wait for the scheduler was last given up (steady milliseconds).
    std::atomic<qint64> gaveUpAt_{-1000000};
    std::unordered_map<std::thread::id, http_t*> connections_;
};

} // namespace bw
