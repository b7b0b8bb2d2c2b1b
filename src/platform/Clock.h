#pragma once

#include <QtGlobal>

namespace bw {

// A steady clock; faked in tests so that time passes only when they say so.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary moment; never goes back.
    virtual qint64 nowMilliseconds() = 0;
};

} // namespace bw
