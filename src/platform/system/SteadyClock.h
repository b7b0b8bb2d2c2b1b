#pragma once

#include "platform/Clock.h"

namespace bw {

class SteadyClock : public Clock {
public:
    qint64 nowMilliseconds() override;
};

} // namespace bw
