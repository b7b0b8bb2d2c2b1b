#pragma once

#include "platform/ProgressBarPort.h"

class QProgressBar;

namespace bw {

// The window's progress bar behind the port the print run uses.
class ProgressBarValue : public ProgressBarPort {
public:
    explicit ProgressBarValue(QProgressBar& bar) : bar_(bar) {}
    void setValue(int value) override;

private:
    QProgressBar& bar_;
};

} // namespace bw
