#pragma once

#include "platform/Clock.h"
#include "platform/Sleeper.h"

#include <functional>
#include <vector>

namespace bw::test {

// Records each wait instead of waiting; as a clock, its time passes only
// while it is asked to wait.
class FakeSleeper : public Sleeper, public Clock {
public:
    void sleepMilliseconds(int milliseconds) override
    {
        waits.push_back(milliseconds);
        now += milliseconds;
        if (onSleep)
            onSleep(milliseconds);
    }
    qint64 nowMilliseconds() override { return now; }

    std::vector<int> waits;
    std::function<void(int)> onSleep;
    qint64 now = 0;
};

} // namespace bw::test
