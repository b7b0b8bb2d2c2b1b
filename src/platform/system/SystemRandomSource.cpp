#include "platform/system/SystemRandomSource.h"

#include <QTime>

namespace bw {

void SystemRandomSource::seedFromTimeOfDay()
{
    // Milliseconds since midnight: seconds with their fraction.
    engine_.seed(static_cast<std::uint64_t>(QTime::currentTime().msecsSinceStartOfDay()));
}

double SystemRandomSource::next()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine_);
}

} // namespace bw
