#pragma once

#include "platform/PlatformError.h"
#include "platform/ProgressBarPort.h"

#include <vector>

namespace bw::test {

// Records every value set; can be told to fail.
class FakeProgressBarPort : public ProgressBarPort {
public:
    void setValue(int value) override
    {
        if (fail)
            throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("Invalid property value"));
        values.push_back(value);
    }
    std::vector<int> values;
    bool fail = false;
};

} // namespace bw::test
