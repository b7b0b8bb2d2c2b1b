#pragma once

#include "platform/StopRequest.h"

#include <atomic>

namespace bw::test {

class FakeStopRequest : public StopRequest {
public:
    bool stopRequested() const override { return requested; }
    std::atomic<bool> requested = false;
};

} // namespace bw::test
