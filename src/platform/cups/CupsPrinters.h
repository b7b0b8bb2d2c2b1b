#pragma once

#include "platform/Printers.h"

namespace bw {

class CupsConnection;
class UserPrinterOptions;

// The printers and the default over libcups. Nothing is cached: every call
// asks CUPS. A printer name is a CUPS destination, with "/instance" for an
// instance ("B/draft"), the form lp and lpstat use, so every name listed can
// be set as the default and comes back unchanged as the default's name.
// Failures carry the CUPS status number and its description.
class CupsPrinters : public Printers {
public:
    // The default is saved in the user's options file, as lpoptions -d does.
    CupsPrinters(CupsConnection& connection, UserPrinterOptions& options);

    QStringList installedPrinters() override;
    QString defaultPrinterName() override;
    void setDefaultPrinter(const QString& name) override;
    QString environmentDefault() override;
    bool acceptsJobs(const QString& printer) override;
    std::optional<QString> refusedOption(const QString& printer, const QString& name,
                                         const QString& value) override;

private:
    CupsConnection& connection_;
    UserPrinterOptions& options_;
};

} // namespace bw
