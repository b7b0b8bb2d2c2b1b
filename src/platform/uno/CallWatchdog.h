#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace bw {

// Bounds a blocking call: while armed, it runs the expiry action on its own
// thread once the time is up, so the action can break the call off. An
// action that returns true grants the call another period, unless the call
// has ended (or another was armed) meanwhile.
class CallWatchdog {
public:
    using Expiry = std::function<bool()>;

    CallWatchdog();
    ~CallWatchdog();
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;

    void arm(std::chrono::milliseconds timeout, Expiry onExpiry);
    void disarm();

private:
    void watch();

    std::mutex mutex_;
    std::condition_variable changed_;
    Expiry onExpiry_;
    std::chrono::milliseconds timeout_{0};
    std::chrono::steady_clock::time_point deadline_;
    // Counts arms and disarms, so a late grant never re-arms a finished call.
    unsigned long long generation_ = 0;
    bool armed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

// Arms a watchdog for the life of a scope.
class ArmedWatchdog {
public:
    ArmedWatchdog(CallWatchdog& watchdog, std::chrono::milliseconds timeout, CallWatchdog::Expiry onExpiry)
        : watchdog_(watchdog)
    {
        watchdog_.arm(timeout, std::move(onExpiry));
    }
    ~ArmedWatchdog() { watchdog_.disarm(); }
    ArmedWatchdog(const ArmedWatchdog&) = delete;
    ArmedWatchdog& operator=(const ArmedWatchdog&) = delete;

private:
    CallWatchdog& watchdog_;
};

} // namespace bw
