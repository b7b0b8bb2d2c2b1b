#pragma once

#include "platform/PrinterServices.h"

namespace bw {

// Printer services over libcups. Nothing is cached: every call asks CUPS.
// A printer name is a CUPS destination, with "/instance" for an instance
// ("B/draft"), the form lp and lpstat use, so every name listed can be set
// as the default and comes back unchanged as the default's name.
// Failures carry the CUPS status number and its description.
class CupsPrinterServices : public PrinterServices {
public:
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
};

} // namespace bw
