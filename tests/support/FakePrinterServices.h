#pragma once

#include "platform/PlatformError.h"
#include "platform/PrinterServices.h"

#include <QStringList>

namespace bw::test {

// A printing system in memory: printers, a default, and switches to fail.
class FakePrinterServices : public PrinterServices {
public:
    QStringList installedPrinters() override
    {
        calls.append(QStringLiteral("installedPrinters"));
        if (unreachable)
            throw PlatformError(1, QStringLiteral("The printing system cannot be reached"));
        return printers;
    }
    QString defaultPrinterName() override
    {
        calls.append(QStringLiteral("defaultPrinterName"));
        if (unreachable)
            throw PlatformError(1, QStringLiteral("The printing system cannot be reached"));
        if (defaultPrinter.isEmpty())
            throw PlatformError(482, QStringLiteral("No default printer is set"));
        return defaultPrinter;
    }
    void setDefaultPrinter(const QString& name) override
    {
        calls.append(QStringLiteral("setDefaultPrinter:") + name);
        if (unreachable)
            throw PlatformError(1, QStringLiteral("The printing system cannot be reached"));
        if (name.isEmpty() || !printers.contains(name))
            throw PlatformError(482, QStringLiteral("The printer name is invalid: ") + name);
        defaultPrinter = name;
    }

    QStringList printers;
    QString defaultPrinter;
    bool unreachable = false;
    QStringList calls;
};

} // namespace bw::test
