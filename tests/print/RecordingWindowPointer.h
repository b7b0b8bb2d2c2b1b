#pragma once

#include "platform/PlatformError.h"
#include "platform/WindowPointer.h"

#include <optional>
#include <vector>

namespace bw::test {

// The window's pointer code in memory; records every change and can refuse one code.
class RecordingWindowPointer : public WindowPointer {
public:
    int pointerCode() const override { return code; }
    void setPointerCode(int newCode) override
    {
        if (refuse && *refuse == newCode)
            throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("Invalid property value"));
        code = newCode;
        changes.push_back(newCode);
    }

    int code = Default;
    std::vector<int> changes;
    std::optional<int> refuse;
};

} // namespace bw::test
