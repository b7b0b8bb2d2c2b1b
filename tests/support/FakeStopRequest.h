#pragma once

#include "platform/StopRequest.h"

namespace bw::test {

class FakeStopRequest : public StopRequest {
public:
    bool stopRequested() const override { return requested; }
    bool requested = false;
};

} // namespace bw::test
