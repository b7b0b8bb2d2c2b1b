#include "platform/system/ThreadSleeper.h"

#include "platform/StopRequest.h"

#include <chrono>
#include <poll.h>
#include <thread>

namespace bw {

void ThreadSleeper::sleepMilliseconds(int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    if (!stop_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stop_->stopRequested()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            return;
        pollfd wake{wakeDescriptor_, POLLIN, 0};
        // A signal interrupts the poll or makes the descriptor readable; either way the flag decides.
        ::poll(&wake, wakeDescriptor_ < 0 ? 0 : 1, static_cast<int>(left));
    }
}

} // namespace bw
