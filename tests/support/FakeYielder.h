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
    bool stopRequested() const override { return stop; }
    int yields = 0;
    bool stop = false; // a test sets it, e.g. inside a yield
    std::function<void(int)> onYield;
};

} // namespace bw::test
