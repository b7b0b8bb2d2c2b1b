#pragma once

#include "platform/Processes.h"

namespace bw {

// Processes as /proc shows them: the identity is the machine's boot id, the
// process's number and its start time, so that neither a restart of the
// machine nor a container's own numbering makes another process pass for it.
class PosixProcesses : public Processes {
public:
    qint64 currentProcessId() override;
    QString identity(qint64 processId) override;
};

} // namespace bw
