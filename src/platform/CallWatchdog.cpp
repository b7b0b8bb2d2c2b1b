#include "platform/CallWatchdog.h"

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

void CallWatchdog::arm(std::chrono::milliseconds timeout, std::function<void()> onExpiry)
{
    {
        std::lock_guard lock(mutex_);
        onExpiry_ = std::move(onExpiry);
        deadline_ = std::chrono::steady_clock::now() + timeout;
        armed_ = true;
    }
    changed_.notify_all();
}

void CallWatchdog::disarm()
{
    std::function<void()> released;
    {
        std::lock_guard lock(mutex_);
        armed_ = false;
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
            std::function<void()> action;
            action.swap(onExpiry_);
            lock.unlock();
            if (action)
                action();
            lock.lock();
        }
    }
}

} // namespace bw
