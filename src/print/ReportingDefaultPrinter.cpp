#include "print/ReportingDefaultPrinter.h"

#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"
#include "platform/PrinterServices.h"

namespace bw {

QString ReportingDefaultPrinter::reportText(int number, const QString& description)
{
    return QStringLiteral("Error No: ") + QString::number(number) + QStringLiteral("\r\n") + description +
           QStringLiteral("\r\n") + QStringLiteral("Has occured in ") +
           QStringLiteral("modPrinters.GetDefaultPrinter") + QStringLiteral("\r\n") +
           QStringLiteral("Please contact Technical Support");
}

QString ReportingDefaultPrinter::get()
{
    QString result;
    try {
        result = printers_.defaultPrinterName();
    } catch (const PlatformError& error) {
        boxes_.show(reportText(error.number(), error.description()),
                    MessageBoxes::OkOnly + MessageBoxes::Critical, applicationTitle());
    }
    return result;
}

void ReportingDefaultPrinter::set(const QString& name)
{
    printers_.setDefaultPrinter(name);
}

} // namespace bw
