#pragma once

namespace bw {

// Blocks the calling thread; faked in tests so they do not wait.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMilliseconds(int milliseconds) = 0;
};

} // namespace bw
