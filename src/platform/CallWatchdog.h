#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace bw {

// Bounds a blocking call: while armed, it runs the expiry action on its own
// thread once the time is up, so the action can break the call off.
class CallWatchdog {
public:
    CallWatchdog();
    ~CallWatchdog();
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;

    void arm(std::chrono::milliseconds timeout, std::function<void()> onExpiry);
    void disarm();

private:
    void watch();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> onExpiry_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

// Arms a watchdog for the life of a scope.
class ArmedWatchdog {
public:
    ArmedWatchdog(CallWatchdog& watchdog, std::chrono::milliseconds timeout, std::function<void()> onExpiry)
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
