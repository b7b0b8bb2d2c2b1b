#include "platform/ThreadSleeper.h"

#include <chrono>
#include <thread>

namespace bw {

void ThreadSleeper::sleepMilliseconds(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace bw
