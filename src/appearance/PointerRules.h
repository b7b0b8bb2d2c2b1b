#pragma once

namespace bw {

class WindowPointer;

// The window-wide pointer over the buttons and the background. Neither rule
// replaces the busy pointer of a running command.
class PointerRules {
public:
    explicit PointerRules(WindowPointer& pointer) : pointer_(pointer) {}

    // The mouse moves over one of the five push buttons.
    void buttonMouseMove();
    // The mouse moves over the window's own background or over the file list.
    void backgroundMouseMove();

private:
    WindowPointer& pointer_;
};

} // namespace bw
