#include "platform/qt/EventLoopYielder.h"

#include <QCoreApplication>
#include <QObject>
#include <gtest/gtest.h>

namespace bw::test {
using namespace std::chrono_literals;

namespace {

TEST(EventLoopYielderTest, ProcessesPendingEventsAtMostOncePerInterval)
{
    const struct {
        const char* what;
        std::chrono::nanoseconds interval;
        std::vector<std::pair<std::chrono::nanoseconds, bool>> calls; // clock reading, events processed
    } table[] = {
        {"no interval: every call", 0ns, {{0ms, true}, {0ms, true}, {1ns, true}}},
        {"five milliseconds",
         5ms,
         {{100ms, true},
          {101ms, false},
          {104'999'999ns, false},
          {105ms, true},
          {106ms, false},
          {200ms, true}}},
    };
    for (const auto& row : table) {
        std::chrono::nanoseconds now{};
        EventLoopYielder yielder(row.interval, [&now] { return now; });
        QObject receiver;
        int posted = 0;
        int delivered = 0;
        for (const auto& [reading, processes] : row.calls) {
            QMetaObject::invokeMethod(
                &receiver, [&delivered] { ++delivered; }, Qt::QueuedConnection);
            ++posted;
            const int before = delivered;
            now = reading;
            yielder.yieldToEvents();
            if (processes)
                EXPECT_EQ(delivered, posted) << row.what << " at " << reading.count();
            else
                EXPECT_EQ(delivered, before) << row.what << " at " << reading.count();
        }
        QCoreApplication::processEvents(); // nothing left behind for the next row
    }
}

} // namespace

} // namespace bw::test
