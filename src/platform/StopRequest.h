#pragma once

namespace bw {

// Whether the program has been asked to end (a termination signal), read
// between the steps of long work so it can stop at a safe point.
class StopRequest {
public:
    virtual ~StopRequest() = default;
    virtual bool stopRequested() const = 0;
};

} // namespace bw
