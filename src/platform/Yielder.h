#pragma once

namespace bw {

// Lets pending GUI events run (the walk of a folder tree yields often).
class Yielder {
public:
    virtual ~Yielder() = default;
    virtual void yieldToEvents() = 0;
    // True once the program is ending (its window closed during a yield):
    // work that yields stops at its next yield.
    virtual bool stopRequested() const { return false; }
};

} // namespace bw
