#pragma once

namespace bw {

// The main window's progress bar, as the logic reaches it.
class ProgressBarPort {
public:
    virtual ~ProgressBarPort() = default;
    virtual void setValue(int value) = 0;
};

} // namespace bw
