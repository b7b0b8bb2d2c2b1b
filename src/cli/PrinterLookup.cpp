#include "cli/PrinterLookup.h"

#include "platform/PlatformError.h"
#include "platform/Printers.h"

#include <QStringList>

namespace bw {

PrinterLookup::PrinterLookup(Printers& printers) : printers_(printers) {}

PrinterLookup::Found PrinterLookup::find(const QString& asked)
{
    QStringList installed;
    try {
        installed = printers_.installedPrinters();
    } catch (const PlatformError& error) {
        return {{}, QStringLiteral("cannot reach the printing system: ") + error.description()};
    }
    QString name = asked;
    if (name.isEmpty()) {
        try {
            name = printers_.defaultPrinterName();
        } catch (const PlatformError&) {
            return {{},
                    QStringLiteral("no printer given and no default printer set; name one with --printer")};
        }
    }
    if (installed.contains(name))
        return {name, {}};
    for (const QString& candidate : installed)
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return {candidate, {}};
    return {{}, QStringLiteral("unknown printer \"%1\" (see --list-printers)").arg(name)};
}

} // namespace bw
