#pragma once

#include "platform/Yielder.h"

namespace bw {

// The program's yielder for the walks the window starts: once the window has
// closed, a walk stops at its next yield, so the program can end at once.
class ClosingYielder : public Yielder {
public:
    explicit ClosingYielder(Yielder& yielder) : yielder_(yielder) {}

    void yieldToEvents() override { yielder_.yieldToEvents(); }
    bool stopRequested() const override { return windowClosed_ || yielder_.stopRequested(); }
    void windowClosed() { windowClosed_ = true; }

private:
    Yielder& yielder_;
    bool windowClosed_ = false;
};

} // namespace bw
