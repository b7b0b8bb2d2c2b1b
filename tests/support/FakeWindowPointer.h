#pragma once

#include "platform/WindowPointer.h"

#include <QList>

namespace bw::test {

// Holds the pointer code and records every change.
class FakeWindowPointer : public WindowPointer {
public:
    int pointerCode() const override { return code; }
    void setPointerCode(int newCode) override
    {
        code = newCode;
        changes.append(newCode);
    }
    int code = Default;
    QList<int> changes;
};

} // namespace bw::test
