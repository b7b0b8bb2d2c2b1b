#include "platform/cups/CupsConnection.h"

#include "platform/PlatformError.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace bw {

namespace {

// After a wait given up, the calls that follow within this time fail at once:
// each would wait as long again, and a program asked to end must not.
constexpr qint64 QuietMilliseconds = 10000;

qint64 steadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Called after each second of a wait with nothing heard: goes on waiting up
// to the bound, or not at all right after a wait was given up.
int giveUp(http_t* http, void* gaveUpAt)
{
    auto& at = *static_cast<std::atomic<qint64>*>(gaveUpAt);
    const qint64 now = steadyMilliseconds();
    if (now - at.load() >= QuietMilliseconds &&
        ::time(nullptr) - httpGetActivity(http) < CupsConnection::WaitMilliseconds / 1000)
        return 1;
    at.store(now);
    return 0;
}

} // namespace

CupsConnection::~CupsConnection()
{
    for (const auto& [thread, connection] : connections_)
        httpClose(connection);
}

http_t* CupsConnection::http()
{
    if (steadyMilliseconds() - gaveUpAt_.load() < QuietMilliseconds)
        throw PlatformError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE, cups::notAnswering());
    const std::lock_guard lock(mutex_);
    http_t*& connection = connections_[std::this_thread::get_id()];
    if (!connection) {
        connection = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                  WaitMilliseconds, nullptr);
        if (!connection)
            throw PlatformError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
                                cups::unreachable(QString::fromLocal8Bit(std::strerror(errno))));
        httpSetTimeout(connection, 1.0, giveUp, &gaveUpAt_);
    }
    return connection;
}

namespace cups {

bool isFailure(ipp_status_t status)
{
    return status > IPP_STATUS_OK_EVENTS_COMPLETE;
}

// The bare errno text ("Bad file descriptor") does not say what failed, nor what to do.
QString unreachable(const QString& detail)
{
    return QStringLiteral("The printing system (CUPS) at %1 is not running or cannot be reached (%2); start "
                          "it with \"sudo systemctl start cups\" or ask your administrator")
        .arg(QString::fromUtf8(cupsServer()), detail);
}

QString notAnswering()
{
    return unreachable(
        QStringLiteral("it did not answer within %1 s").arg(CupsConnection::WaitMilliseconds / 1000));
}

void throwIfGone(http_t* http)
{
    if (httpReconnect2(http, CupsConnection::WaitMilliseconds, nullptr) != 0)
        throw PlatformError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE,
                            unreachable(QString::fromLocal8Bit(std::strerror(httpError(http)))));
}

// CUPS keeps its last status per thread: read it right after the failing call.
void throwLastError(http_t* http, int fallbackNumber, const QString& fallbackDescription)
{
    if (http && httpError(http) == ETIMEDOUT)
        throw PlatformError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE, notAnswering());
    const ipp_status_t status = cupsLastError();
    if (!isFailure(status))
        throw PlatformError(fallbackNumber, fallbackDescription);
    QString description = QString::fromUtf8(cupsLastErrorString());
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        description = unreachable(description);
    throw PlatformError(status, description);
}

std::pair<QByteArray, QByteArray> printerAndInstance(const QString& name)
{
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {name.toUtf8(), QByteArray()};
    return {name.left(slash).toUtf8(), name.mid(slash + 1).toUtf8()};
}

QByteArray queueUri(const QString& printer)
{
    const QByteArray queue = printerAndInstance(printer).first;
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.constData());
    return uri;
}

IppRequest::IppRequest(http_t* http, ipp_op_t operation, const QByteArray& printerUri)
    : http_(http), request_(ippNewRequest(operation))
{
    ippAddString(request_, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri.constData());
    ippAddString(request_, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
}

IppRequest::~IppRequest()
{
    ippDelete(request_);
    ippDelete(reply_);
}

ipp_t* IppRequest::send(const QString& what)
{
    if (!trySend() || isFailure(cupsLastError()))
        throwLastError(http_, ErrorNumber::PrinterService, what);
    return reply_;
}

ipp_t* IppRequest::trySend()
{
    reply_ = cupsDoRequest(http_, request_, "/");
    request_ = nullptr; // cupsDoRequest frees it
    return reply_;
}

Destination::Destination(http_t* http, const QString& printer)
{
    const auto [queue, instance] = printerAndInstance(printer);
    dest_ = cupsGetNamedDest(http, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!dest_) {
        // A scheduler that went away does not know any printer: say which it is.
        if (!isFailure(cupsLastError()) || cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
            throwIfGone(http);
            throw PlatformError(IPP_STATUS_ERROR_NOT_FOUND, QStringLiteral("Unknown printer ") + printer);
        }
        throwLastError(http, ErrorNumber::PrinterService, QStringLiteral("The printer cannot be asked"));
    }
    info_ = cupsCopyDestInfo(http, dest_);
    if (!info_) {
        cupsFreeDests(1, dest_);
        throwLastError(http, ErrorNumber::PrinterService,
                       QStringLiteral("The printer's capabilities cannot be read"));
    }
}

Destination::~Destination()
{
    cupsFreeDestInfo(info_);
    cupsFreeDests(1, dest_);
}

} // namespace cups

} // namespace bw
