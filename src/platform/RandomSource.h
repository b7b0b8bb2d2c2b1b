#pragma once

namespace bw {

// A pseudo-random generator seeded from the time of day.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromTimeOfDay() = 0;
    // The next number r with 0 <= r < 1.
    virtual double next() = 0;
};

} // namespace bw
