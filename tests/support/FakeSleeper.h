#pragma once

#include "platform/Sleeper.h"

#include <functional>
#include <vector>

namespace bw::test {

// Records each wait instead of waiting.
class FakeSleeper : public Sleeper {
public:
    void sleepMilliseconds(int milliseconds) override
    {
        waits.push_back(milliseconds);
        if (onSleep)
            onSleep(milliseconds);
    }
    std::vector<int> waits;
    std::function<void(int)> onSleep;
};

} // namespace bw::test
