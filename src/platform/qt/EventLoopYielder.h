#pragma once

#include "platform/Yielder.h"

#include <chrono>
#include <functional>

namespace bw {

// Yields by processing the pending GUI events. With a minimum interval, calls
// that come sooner than that after the last processing return at once: a walk
// that yields for every name stays responsive without paying for the event
// loop a hundred thousand times.
class EventLoopYielder : public Yielder {
public:
    using Clock = std::function<std::chrono::nanoseconds()>;

    // Often enough for the window to follow the user without a visible lag.
    static constexpr std::chrono::milliseconds ResponsiveInterval{5};

    explicit EventLoopYielder(std::chrono::nanoseconds minimumInterval = {}, Clock clock = steadyClock);

    void yieldToEvents() override;

private:
    static std::chrono::nanoseconds steadyClock();

    std::chrono::nanoseconds minimumInterval_;
    Clock clock_;
    bool processedBefore_ = false;
    std::chrono::nanoseconds lastProcessed_{};
};

} // namespace bw
