#pragma once

namespace bw {

// Lets pending GUI events run (the walk of a folder tree yields often).
class Yielder {
public:
    virtual ~Yielder() = default;
    virtual void yieldToEvents() = 0;
};

} // namespace bw
