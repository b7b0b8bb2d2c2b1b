#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace bw {

// The system's printers and its default printer. Every call asks the
// printing system afresh. Failures are thrown as PlatformError.
class Printers {
public:
    virtual ~Printers() = default;

    // Installed printers in the order the system lists them.
    virtual QStringList installedPrinters() = 0;
    // Name of the current default printer; throws when the system gives none.
    virtual QString defaultPrinterName() = 0;
    // Makes the named printer the user's default; throws and changes nothing for "" or an unknown name.
    virtual void setDefaultPrinter(const QString& name) = 0;
    // The printer the environment names as the default (LPDEST, else
    // PRINTER), which outranks every saved default; "" when it names none.
    virtual QString environmentDefault() = 0;
    // Whether the printer's queue takes new jobs; false for a printer the
    // system does not know.
    virtual bool acceptsJobs(const QString& printer) = 0;
    // Nothing when the printer takes the value for the option; otherwise the
    // values it supports, as it lists them ("" when it lists none for that option).
    virtual std::optional<QString> refusedOption(const QString& printer, const QString& name,
                                                 const QString& value) = 0;
};

} // namespace bw
