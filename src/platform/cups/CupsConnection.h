#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cups/cups.h>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

namespace bw {

// The connections to the CUPS scheduler that the CUPS adapters share. Each
// thread has a connection of its own, on which no wait lasts more than
// seconds; after a wait given up, calls fail at once for a while.
class CupsConnection {
public:
    CupsConnection() = default;
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    // This thread's connection; throws when the scheduler cannot be reached.
    http_t* http();

    // The bound of every wait for the scheduler: short enough that a program
    // asked to end while the scheduler hangs ends within five seconds.
    static constexpr int WaitMilliseconds = 3000;

private:
    std::mutex mutex_;
    // When a wait for the scheduler was last given up (steady milliseconds).
    std::atomic<qint64> gaveUpAt_{-1000000};
    std::unordered_map<std::thread::id, http_t*> connections_;
};

namespace cups {

bool isFailure(ipp_status_t status);
// What the user reads when the scheduler is not there, with why.
QString unreachable(const QString& detail);
// The same for a wait given up.
QString notAnswering();
// libcups reports a scheduler gone as "not found": after such an answer,
// throws when the scheduler cannot be reached.
void throwIfGone(http_t* http);
// Throws the last CUPS failure of this thread; the fallback when there is none.
[[noreturn]] void throwLastError(http_t* http, int fallbackNumber, const QString& fallbackDescription);

// "B/draft" is printer "B", instance "draft".
std::pair<QByteArray, QByteArray> printerAndInstance(const QString& name);
// The printer's queue (an instance's printer) as a request names it.
QByteArray queueUri(const QString& printer);

// A request to the scheduler as this user; the reply is freed with it.
class IppRequest {
public:
    IppRequest(http_t* http, ipp_op_t operation, const QByteArray& printerUri = "ipp://localhost/");
    ~IppRequest();
    IppRequest(const IppRequest&) = delete;
    IppRequest& operator=(const IppRequest&) = delete;

    ipp_t* get() const { return request_; }

    // Sends it; throws the scheduler's failure, described with what.
    ipp_t* send(const QString& what);
    // Sends it; the reply, or null when none came. The status is cupsLastError().
    ipp_t* trySend();

private:
    http_t* http_;
    ipp_t* request_;
    ipp_t* reply_ = nullptr;
};

// One destination with its printer's capabilities; freed on scope exit.
class Destination {
public:
    Destination(http_t* http, const QString& printer);
    ~Destination();
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;

    cups_dest_t* dest() const { return dest_; }
    cups_dinfo_t* info() const { return info_; }

private:
    cups_dest_t* dest_ = nullptr;
    cups_dinfo_t* info_ = nullptr;
};

} // namespace cups

} // namespace bw
