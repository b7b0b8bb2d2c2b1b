#pragma once

#include "platform/PrinterServices.h"

namespace bw {

// Printer services over libcups. Nothing is cached: every call asks CUPS.
class CupsPrinterServices : public PrinterServices {
public:
    QStringList installedPrinters() override;
    QString defaultPrinterName() override;
    void setDefaultPrinter(const QString& name) override;
};

} // namespace bw
