#include "platform/cups/CupsPrinters.h"

#include "platform/PlatformError.h"
#include "platform/UserPrinterOptions.h"
#include "platform/cups/CupsAttributes.h"
#include "platform/cups/CupsConnection.h"
#include "printers/LpoptionsText.h"

namespace bw {

using namespace cups;

namespace {

// The destinations as CUPS lists them at the moment of the call; freed on scope exit.
class Destinations {
public:
    explicit Destinations(http_t* http)
    {
        count_ = cupsGetDests2(http, &dests_);
        // An empty list with "not found" is a printing system without printers, not a failure.
        if (count_ == 0 && cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
            throwIfGone(http);
        else if (count_ == 0 && isFailure(cupsLastError()))
            throwLastError(http, ErrorNumber::PrinterService,
                           QStringLiteral("The printers cannot be listed"));
    }
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    int count() const { return count_; }
    cups_dest_t* begin() const { return dests_; }
    cups_dest_t* end() const { return dests_ + count_; }

    const cups_dest_t* defaultDestination() const
    {
        for (const cups_dest_t& dest : *this) {
            if (dest.is_default)
                return &dest;
        }
        return nullptr;
    }

private:
    cups_dest_t* dests_ = nullptr;
    int count_ = 0;
};

QString nameOf(const cups_dest_t& dest)
{
    QString name = QString::fromUtf8(dest.name);
    if (dest.instance)
        name += QLatin1Char('/') + QString::fromUtf8(dest.instance);
    return name;
}

} // namespace

CupsPrinters::CupsPrinters(CupsConnection& connection, UserPrinterOptions& options)
    : connection_(connection), options_(options)
{
}

QStringList CupsPrinters::installedPrinters()
{
    const Destinations dests(connection_.http());
    QStringList names;
    for (const cups_dest_t& dest : dests)
        names.append(nameOf(dest));
    return names;
}

QString CupsPrinters::defaultPrinterName()
{
    const Destinations dests(connection_.http());
    if (const cups_dest_t* dest = dests.defaultDestination())
        return nameOf(*dest);
    throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, QStringLiteral("No default printer is set"));
}

void CupsPrinters::setDefaultPrinter(const QString& name)
{
    if (name.isEmpty())
        throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("No printer name was given"));
    const auto [printer, instance] = printerAndInstance(name);
    const bool hasInstance = name.contains(QLatin1Char('/'));
    const QString invalid = QStringLiteral("The printer name is invalid: ") + name;
    if (printer.isEmpty() || (hasInstance && instance.isEmpty()))
        throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, invalid);

    QString wanted;
    {
        Destinations dests(connection_.http());
        const cups_dest_t* target = cupsGetDest(
            printer.constData(), hasInstance ? instance.constData() : nullptr, dests.count(), dests.begin());
        if (!target)
            throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, invalid);
        wanted = nameOf(*target);
    }
    // Only the Default line changes: the user's comments, options and lines
    // CUPS does not know stay, where cupsSetDests2 would write the file anew.
    options_.writeUserOptions(withDefault(options_.readUserOptions().value_or(QByteArray()), wanted));

    // LPDEST or PRINTER outrank the saved default; a change they hide would
    // send the next print to another printer without a word.
    const Destinations after(connection_.http());
    const cups_dest_t* now = after.defaultDestination();
    if (!now || nameOf(*now) != wanted) {
        throw PlatformError(
            ErrorNumber::PrinterService,
            QStringLiteral("%1 was saved as the default printer, but the printing system still "
                           "uses %2 (LPDEST or PRINTER decides it)")
                .arg(wanted, now ? nameOf(*now) : QStringLiteral("none")));
    }
}

QString CupsPrinters::environmentDefault()
{
    // libcups reads LPDEST first, then PRINTER unless it is the traditional "lp".
    const QString lpdest = qEnvironmentVariable("LPDEST");
    if (!lpdest.isEmpty())
        return lpdest;
    const QString printer = qEnvironmentVariable("PRINTER");
    return printer == QLatin1String("lp") ? QString() : printer;
}

bool CupsPrinters::acceptsJobs(const QString& printer)
{
    const auto [queue, instance] = printerAndInstance(printer);
    if (queue.isEmpty())
        return false;
    http_t* http = connection_.http();
    cups_dest_t* dest =
        cupsGetNamedDest(http, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!dest) {
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND || !isFailure(cupsLastError())) {
            throwIfGone(http);
            return false;
        }
        throwLastError(http, ErrorNumber::PrinterService, QStringLiteral("The printer cannot be asked"));
    }
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool result = !accepting || qstrcmp(accepting, "true") == 0;
    cupsFreeDests(1, dest);
    return result;
}

std::optional<QString> CupsPrinters::refusedOption(const QString& printer, const QString& name,
                                                   const QString& value)
{
    http_t* http = connection_.http();
    const Destination destination(http, printer);
    const QByteArray option = name.toUtf8();
    ipp_attribute_t* supported =
        cupsFindDestSupported(http, destination.dest(), destination.info(), option.constData());
    if (!supported)
        return QString();
    const auto takes = [&](const QByteArray& candidate) {
        return cupsCheckDestSupported(http, destination.dest(), destination.info(), option.constData(),
                                      candidate.constData()) != 0;
    };
    if (takes(value.toUtf8()))
        return std::nullopt;
    // lp takes the common paper names ("A4", "Letter") for their standard ones.
    if (name == QLatin1String("media")) {
        const pwg_media_t* media = pwgMediaForLegacy(value.toUtf8().constData());
        if (!media)
            media = pwgMediaForPPD(value.toUtf8().constData());
        if (media && takes(QByteArray(media->pwg)))
            return std::nullopt;
    }
    return attributeText(supported);
}

} // namespace bw
