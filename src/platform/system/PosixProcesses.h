#pragma once

#include "platform/Processes.h"

namespace bw {

// Processes as /proc shows them: the identity is the machine's boot id and
// the process's start time.
class PosixProcesses : public Processes {
public:
    qint64 currentProcessId() override;
    QString identity(qint64 processId) override;
};

} // namespace bw
