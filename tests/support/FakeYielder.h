#pragma once

#include "platform/Yielder.h"

#include <functional>

namespace bw::test {

// Counts yields; a test can run its own code inside one.
class FakeYielder : public Yielder {
public:
    void yieldToEvents() override
    {
        ++yields;
        if (onYield)
            onYield(yields);
    }
    int yields = 0;
    std::function<void(int)> onYield;
};

} // namespace bw::test
