#include "platform/system/SteadyClock.h"

#include <chrono>

namespace bw {

qint64 SteadyClock::nowMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace bw
