#pragma once

namespace bw {

// The main window's pointer code, owned by the window.
class WindowPointer {
public:
    virtual ~WindowPointer() = default;

    static constexpr int Default = 0;
    static constexpr int Arrow = 1;
    static constexpr int Busy = 11;
    static constexpr int Custom = 99;

    virtual int pointerCode() const = 0;
    virtual void setPointerCode(int code) = 0;
};

} // namespace bw
