#include "platform/uno/CallWatchdog.h"

namespace bw {

CallWatchdog::CallWatchdog() : thread_([this] { watch(); }) {}

CallWatchdog::~CallWatchdog()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void CallWatchdog::arm(std::chrono::milliseconds timeout, Expiry onExpiry)
{
    {
        std::lock_guard lock(mutex_);
        onExpiry_ = std::move(onExpiry);
        timeout_ = timeout;
        deadline_ = std::chrono::steady_clock::now() + timeout;
        armed_ = true;
        ++generation_;
    }
    changed_.notify_all();
}

void CallWatchdog::disarm()
{
    Expiry released;
    {
        std::lock_guard lock(mutex_);
        armed_ = false;
        ++generation_;
        released.swap(onExpiry_);
    }
    changed_.notify_all();
    // The action (and what it holds) is let go on the caller's thread.
}

void CallWatchdog::watch()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            armed_ = false;
            const auto generation = generation_;
            // A copy: the call's own thread releases the armed action.
            Expiry action = onExpiry_;
            lock.unlock();
            const bool grant = action && action();
            action = nullptr;
            lock.lock();
            if (grant && generation_ == generation && !stopping_) {
                deadline_ = std::chrono::steady_clock::now() + timeout_;
                armed_ = true;
            }
        }
    }
}

} // namespace bw
