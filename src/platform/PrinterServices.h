#pragma once

#include <QString>
#include <QStringList>

namespace bw {

// The system's printers. Every call asks the printing system afresh.
// Failures are thrown as PlatformError.
class PrinterServices {
public:
    virtual ~PrinterServices() = default;

    // Installed printers in the order the system lists them.
    virtual QStringList installedPrinters() = 0;
    // Name of the current default printer; throws when the system gives none.
    virtual QString defaultPrinterName() = 0;
    // Makes the named printer the user's default; throws and changes nothing for "" or an unknown name.
    virtual void setDefaultPrinter(const QString& name) = 0;
};

} // namespace bw
