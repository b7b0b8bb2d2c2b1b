#pragma once

#include <functional>

namespace bw {

class MessageBoxes;

// The one top-level guard: a failure that escapes a handler is shown in a
// message box titled "Brindlework" and the program keeps running.
class FailureGuard {
public:
    explicit FailureGuard(MessageBoxes& boxes) : boxes_(boxes) {}

    // Runs the action; returns false when it failed (after showing the failure).
    bool run(const std::function<void()>& action);
    // Shows a failure caught elsewhere (the application's event dispatch).
    void showCurrentException();

private:
    MessageBoxes& boxes_;
};

} // namespace bw
