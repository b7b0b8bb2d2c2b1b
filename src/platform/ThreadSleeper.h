#pragma once

#include "platform/Sleeper.h"

namespace bw {

class ThreadSleeper : public Sleeper {
public:
    void sleepMilliseconds(int milliseconds) override;
};

} // namespace bw
