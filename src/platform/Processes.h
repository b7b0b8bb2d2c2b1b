#pragma once

#include <QString>

namespace bw {

// The processes of the machine, as far as the program asks about them.
class Processes {
public:
    virtual ~Processes() = default;
    virtual qint64 currentProcessId() = 0;
    // What tells this process apart from any later one given the same number
    // (after it ended, or after a restart of the machine); "" when no process
    // of that number is alive (an ended one awaiting its parent is not).
    virtual QString identity(qint64 processId) = 0;
};

} // namespace bw
