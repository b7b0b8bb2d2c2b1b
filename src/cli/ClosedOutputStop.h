#pragma once

#include "platform/StopRequest.h"

#include <QTextStream>

namespace bw {

// Stops a batch whose standard output was closed (the reader of a pipe went
// away), as SIGPIPE ends other programs, but only after the file under way;
// and on every other stop asked for.
class ClosedOutputStop : public StopRequest {
public:
    ClosedOutputStop(const StopRequest& other, const QTextStream& out) : other_(other), out_(out) {}

    bool stopRequested() const override { return outputClosed() || other_.stopRequested(); }
    bool outputClosed() const { return out_.status() == QTextStream::WriteFailed; }

private:
    const StopRequest& other_;
    const QTextStream& out_;
};

} // namespace bw
