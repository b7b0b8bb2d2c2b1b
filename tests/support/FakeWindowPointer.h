#pragma once

#include "platform/PlatformError.h"
#include "platform/WindowPointer.h"

#include <QList>
#include <optional>

namespace bw::test {

// The window's pointer code, with every code set, in order; can refuse one code.
class FakeWindowPointer : public WindowPointer {
public:
    int pointerCode() const override { return code; }
    void setPointerCode(int value) override
    {
        if (refuse && *refuse == value)
            throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("Invalid property value"));
        code = value;
        set.append(value);
    }

    int code = Default;
    QList<int> set;
    std::optional<int> refuse;
};

} // namespace bw::test
