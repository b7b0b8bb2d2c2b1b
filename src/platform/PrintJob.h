#pragma once

#include <QString>

namespace bw {

// One job of the printing system, as its job list shows it.
struct PrintJob {
    // The printing system's job states (IPP numbering).
    enum State {
        Pending = 3,
        Held = 4,
        Processing = 5,
        Stopped = 6,
        Canceled = 7,
        Aborted = 8,
        Completed = 9,
    };

    int id = 0;
    // The queue (destination without an instance) the job is in.
    QString queue;
    QString title;
    int state = Pending;
    // Why it is in that state: its job-state-reasons joined, and the
    // printer's message when it is stopped or aborted.
    QString reasons;
};

} // namespace bw
