#pragma once

#include "platform/RandomSource.h"

#include <vector>

namespace bw::test {

// Hands out the queued draws in order (0 once they run out).
class FakeRandomSource : public RandomSource {
public:
    void seedFromTimeOfDay() override { ++seeds; }
    double next() override
    {
        if (drawsTaken < draws.size())
            return draws[drawsTaken++];
        ++drawsTaken;
        return 0.0;
    }

    std::vector<double> draws;
    size_t drawsTaken = 0;
    int seeds = 0;
};

} // namespace bw::test
