#include "platform/qt/EventLoopYielder.h"

#include <QCoreApplication>

namespace bw {

EventLoopYielder::EventLoopYielder(std::chrono::nanoseconds minimumInterval, Clock clock)
    : minimumInterval_(minimumInterval), clock_(std::move(clock))
{
}

std::chrono::nanoseconds EventLoopYielder::steadyClock()
{
    return std::chrono::steady_clock::now().time_since_epoch();
}

void EventLoopYielder::yieldToEvents()
{
    if (minimumInterval_.count() > 0) {
        const std::chrono::nanoseconds now = clock_();
        if (processedBefore_ && now - lastProcessed_ < minimumInterval_)
            return;
        processedBefore_ = true;
        lastProcessed_ = now;
    }
    QCoreApplication::processEvents();
}

} // namespace bw
