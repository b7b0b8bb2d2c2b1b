#pragma once

#include "platform/WindowPointer.h"

#include <QList>

namespace bw::test {

// The window's pointer code, with every code set, in order.
class FakeWindowPointer : public WindowPointer {
public:
    int pointerCode() const override { return code; }
    void setPointerCode(int value) override
    {
        code = value;
        set.append(value);
    }

    int code = Default;
    QList<int> set;
};

} // namespace bw::test
