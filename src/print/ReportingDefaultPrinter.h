#pragma once

#include "print/DefaultPrinterAccess.h"

namespace bw {

class MessageBoxes;
class PrinterServices;

// The default printer over the printer services, with the report of
// GetDefaultPrinter.
class ReportingDefaultPrinter : public DefaultPrinterAccess {
public:
    static QString reportText(int number, const QString& description);

    ReportingDefaultPrinter(PrinterServices& printers, MessageBoxes& boxes)
        : printers_(printers), boxes_(boxes)
    {
    }

    QString get() override;
    void set(const QString& name) override;

private:
    PrinterServices& printers_;
    MessageBoxes& boxes_;
};

} // namespace bw
