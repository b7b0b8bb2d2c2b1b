#include "platform/system/TerminationSignals.h"

#include "platform/PlatformError.h"
#include "platform/system/ThreadSleeper.h"

#include <QCoreApplication>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace bw::test {
namespace {

using namespace std::chrono_literals;

class TerminationSignalsTest : public ::testing::TestWithParam<int> {};

TEST_P(TerminationSignalsTest, ASignalSetsTheFlagAndIsDeliveredThroughTheEventLoop)
{
    TerminationSignals watcher;
    std::vector<int> delivered;
    QObject::connect(&watcher, &TerminationSignals::arrived,
                     [&](int number) { delivered.push_back(number); });
    ASSERT_FALSE(watcher.stopRequested());

    std::raise(GetParam());
    EXPECT_TRUE(watcher.stopRequested());
    EXPECT_EQ(watcher.signalNumber(), GetParam());
    EXPECT_TRUE(delivered.empty()); // not from inside the handler
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, std::vector<int>({GetParam()}));
}

TEST_P(TerminationSignalsTest, AWaitWakesWhenTheSignalArrivesAndReturnsAtOnceAfterwards)
{
    TerminationSignals watcher;
    ThreadSleeper sleeper(watcher, watcher.wakeDescriptor());
    const auto start = std::chrono::steady_clock::now();
    std::thread sender([number = GetParam()] {
        std::this_thread::sleep_for(100ms);
        ::kill(::getpid(), number);
    });
    sleeper.sleepMilliseconds(600'000);
    sender.join();
    // Ten minutes asked for; only the signal can have ended it this soon.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 60s);
    EXPECT_TRUE(watcher.stopRequested());

    QCoreApplication::processEvents(); // drains the pipe: the flag alone must keep later waits short
    const auto again = std::chrono::steady_clock::now();
    sleeper.sleepMilliseconds(600'000);
    EXPECT_LT(std::chrono::steady_clock::now() - again, 60s);
}

INSTANTIATE_TEST_SUITE_P(EachSignal, TerminationSignalsTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST(TerminationSignals, OnlyOneWatcherAtATimeAndANewOneStartsClear)
{
    {
        TerminationSignals first;
        EXPECT_THROW(TerminationSignals second, PlatformError);
        std::raise(SIGTERM);
    }
    TerminationSignals later;
    EXPECT_FALSE(later.stopRequested());
}

TEST(ThreadSleeperTest, WithoutAStopRequestItWaitsTheWholeTime)
{
    const auto start = std::chrono::steady_clock::now();
    ThreadSleeper().sleepMilliseconds(50);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
}

} // namespace
} // namespace bw::test
