#pragma once

#include "platform/PlatformError.h"
#include "platform/PrinterServices.h"

#include <QStringList>

namespace bw::test {

// A printing system in memory: printers, the server's default, the user's
// options file and the environment, with switches to fail. As with CUPS, the
// environment outranks the file's Default line, which outranks the server.
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
        const QString name = effectiveDefault();
        if (name.isEmpty())
            throw PlatformError(482, QStringLiteral("No default printer is set"));
        return name;
    }
    // Writes the Default line into the user's file, as cupsSetDests2 does.
    void setDefaultPrinter(const QString& name) override
    {
        calls.append(QStringLiteral("setDefaultPrinter:") + name);
        if (unreachable)
            throw PlatformError(1, QStringLiteral("The printing system cannot be reached"));
        if (name.isEmpty() || !printers.contains(name))
            throw PlatformError(482, QStringLiteral("The printer name is invalid: ") + name);
        QByteArray content;
        for (const QByteArray& line : userOptions.value_or(QByteArray()).split('\n')) {
            if (!line.isEmpty() && !line.startsWith("Default "))
                content += line + '\n';
        }
        userOptions = content + "Default " + name.toUtf8() + '\n';
        if (!environment.isEmpty() && environment != name)
            throw PlatformError(482, QStringLiteral("LPDEST decides"));
    }
    QString environmentDefault() override { return environment; }
    std::optional<QByteArray> readUserOptions() override
    {
        if (failOptions)
            throw PlatformError(75, QStringLiteral("lpoptions: permission denied"));
        return userOptions;
    }
    void writeUserOptions(const std::optional<QByteArray>& content) override
    {
        calls.append(QStringLiteral("writeUserOptions"));
        if (failOptions || failOptionsWrite)
            throw PlatformError(75, QStringLiteral("lpoptions: permission denied"));
        userOptions = content;
    }

    // The default other programs see now.
    QString effectiveDefault() const
    {
        if (!environment.isEmpty())
            return environment;
        for (const QByteArray& line : userOptions.value_or(QByteArray()).split('\n')) {
            if (line.startsWith("Default "))
                return QString::fromUtf8(line.mid(8).split(' ').first());
        }
        return defaultPrinter;
    }

    QStringList printers;
    QString defaultPrinter; // the server's
    QString environment;    // LPDEST
    std::optional<QByteArray> userOptions;
    bool unreachable = false;
    bool failOptions = false;
    bool failOptionsWrite = false;
    QStringList calls;
};

} // namespace bw::test
