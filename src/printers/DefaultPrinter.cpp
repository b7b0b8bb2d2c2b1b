#include "printers/DefaultPrinter.h"

#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"
#include "platform/Printers.h"

namespace bw {

DefaultPrinter::DefaultPrinter(Printers& printers, MessageBoxes& boxes) : printers_(printers), boxes_(boxes)
{
}

QString DefaultPrinter::get()
{
    try {
        return printers_.defaultPrinterName();
    } catch (const PlatformError& error) {
        boxes_.show(reportText(error.number(), error.description()), MessageBoxes::Critical,
                    applicationTitle());
        return QString();
    }
}

void DefaultPrinter::set(const QString& name)
{
    printers_.setDefaultPrinter(name);
}

QString DefaultPrinter::reportText(int number, const QString& description)
{
    const QString newLine = QStringLiteral("\r\n");
    return QStringLiteral("Error No: ") + QString::number(number) + newLine + description + newLine +
           QStringLiteral("Has occured in ") + QStringLiteral("modPrinters.GetDefaultPrinter") + newLine +
           QStringLiteral("Please contact Technical Support");
}

} // namespace bw
