#pragma once

#include "platform/RandomSource.h"

#include <random>

namespace bw {

class SystemRandomSource : public RandomSource {
public:
    void seedFromTimeOfDay() override;
    double next() override;

private:
    std::mt19937_64 engine_;
};

} // namespace bw
