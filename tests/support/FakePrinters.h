#pragma once

#include "platform/PlatformError.h"
#include "platform/Printers.h"
#include "platform/UserPrinterOptions.h"
#include "printers/LpoptionsText.h"

#include <QHash>
#include <QStringList>

namespace bw::test {

// The user's printer options file in memory, with switches to fail.
class FakeUserPrinterOptions : public UserPrinterOptions {
public:
    std::optional<QByteArray> readUserOptions() override
    {
        if (failOptions)
            throw PlatformError(75, QStringLiteral("lpoptions: permission denied"));
        return userOptions;
    }
    void writeUserOptions(const std::optional<QByteArray>& content) override
    {
        if (failOptions || failOptionsWrite)
            throw PlatformError(75, QStringLiteral("lpoptions: permission denied"));
        userOptions = content;
    }

    std::optional<QByteArray> userOptions;
    bool failOptions = false;
    bool failOptionsWrite = false;
};

// The printers of a printing system in memory: the server's default, the
// user's options file and the environment, queues that refuse jobs, and
// switches to fail. As with CUPS, the environment outranks the file's
// Default line, which outranks the server.
class FakePrinters : public Printers {
public:
    QStringList installedPrinters() override
    {
        calls.append(QStringLiteral("installedPrinters"));
        failIfDown(unreachable);
        return printers;
    }
    QString defaultPrinterName() override
    {
        calls.append(QStringLiteral("defaultPrinterName"));
        failIfDown(unreachable);
        const QString name = effectiveDefault();
        if (name.isEmpty())
            throw PlatformError(482, QStringLiteral("No default printer is set"));
        return name;
    }
    // Edits the Default line of the user's file, as the CUPS adapter does.
    void setDefaultPrinter(const QString& name) override
    {
        calls.append(QStringLiteral("setDefaultPrinter:") + name);
        failIfDown(unreachable);
        if (name.isEmpty() || !printers.contains(name))
            throw PlatformError(482, QStringLiteral("The printer name is invalid: ") + name);
        options.userOptions = withDefault(options.userOptions.value_or(QByteArray()), name);
        if (!environment.isEmpty() && environment != name)
            throw PlatformError(482, QStringLiteral("LPDEST decides"));
    }
    QString environmentDefault() override { return environment; }
    bool acceptsJobs(const QString& printer) override
    {
        failIfDown(jobsUnreachable);
        const QString queue = printer.section(QLatin1Char('/'), 0, 0);
        return (printers.contains(printer) || printers.contains(queue)) && !refusing.contains(queue);
    }
    // Values as CUPS lists them, from supported; an option not there is not listed.
    std::optional<QString> refusedOption(const QString&, const QString& name, const QString& value) override
    {
        if (!supported.contains(name))
            return QString();
        if (supported.value(name).contains(value))
            return std::nullopt;
        return supported.value(name).join(QStringLiteral(", "));
    }

    // The default other programs see now.
    QString effectiveDefault() const
    {
        if (!environment.isEmpty())
            return environment;
        return defaultInOptions(options.userOptions.value_or(QByteArray())).value_or(defaultPrinter);
    }
    static void failIfDown(bool down)
    {
        if (down)
            throw PlatformError(1, QStringLiteral("The printing system cannot be reached"));
    }

    QStringList printers;
    QString defaultPrinter; // the server's
    QString environment;    // LPDEST
    // Where the default is saved.
    FakeUserPrinterOptions options;
    // Options the printers take and their values.
    QHash<QString, QStringList> supported;
    // Default printer calls fail; job calls fail apart, with jobsUnreachable.
    bool unreachable = false;
    bool jobsUnreachable = false;
    QStringList calls;
    QStringList refusing;
};

} // namespace bw::test
