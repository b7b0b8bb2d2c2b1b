#include "platform/CupsPrinterServices.h"

#include "platform/PlatformError.h"

#include <cups/cups.h>

namespace bw {

namespace {

// The destinations as CUPS lists them; freed on scope exit.
class Destinations {
public:
    Destinations() { count_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_); }
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    int count() const { return count_; }
    cups_dest_t* begin() const { return dests_; }
    cups_dest_t* end() const { return dests_ + count_; }
    cups_dest_t*& data() { return dests_; }
    int& countRef() { return count_; }

private:
    cups_dest_t* dests_ = nullptr;
    int count_ = 0;
};

[[noreturn]] void throwCupsError(const QString& fallback)
{
    const char* message = cupsLastErrorString();
    const ipp_status_t status = cupsLastError();
    QString description = message && *message && status > IPP_STATUS_OK_EVENTS_COMPLETE
                              ? QString::fromUtf8(message)
                              : fallback;
    throw PlatformError(ErrorNumber::PrinterService, description);
}

} // namespace

QStringList CupsPrinterServices::installedPrinters()
{
    Destinations dests;
    QStringList names;
    for (const cups_dest_t& dest : dests) {
        if (dest.instance)
            names.append(QString::fromUtf8(dest.name) + QLatin1Char('/') + QString::fromUtf8(dest.instance));
        else
            names.append(QString::fromUtf8(dest.name));
    }
    return names;
}

QString CupsPrinterServices::defaultPrinterName()
{
    Destinations dests;
    for (const cups_dest_t& dest : dests) {
        if (dest.is_default)
            return QString::fromUtf8(dest.name);
    }
    if (dests.count() == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
        throwCupsError(QStringLiteral("The printing system cannot be reached"));
    throw PlatformError(ErrorNumber::PrinterService, QStringLiteral("No default printer is set"));
}

void CupsPrinterServices::setDefaultPrinter(const QString& name)
{
    if (name.isEmpty())
        throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("Printer name is empty"));
    Destinations dests;
    const QByteArray wanted = name.toUtf8();
    cups_dest_t* target = cupsGetDest(wanted.constData(), nullptr, dests.count(), dests.begin());
    if (!target)
        throw PlatformError(ErrorNumber::PrinterService, QStringLiteral("The printer name is invalid: ") + name);
    for (cups_dest_t& dest : dests)
        dest.is_default = 0;
    target->is_default = 1;
    if (cupsSetDests2(CUPS_HTTP_DEFAULT, dests.count(), dests.begin()) != 0)
        throwCupsError(QStringLiteral("The default printer could not be saved"));
}

} // namespace bw
