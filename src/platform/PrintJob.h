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
    // Why it is in that state, as the printing system says it (job-state-reasons,
    // and the printer's state message where it gives one).
    QString reasons;

    // The state as the program's messages name it.
    static QString stateWord(int state)
    {
        switch (state) {
        case Pending:
            return QStringLiteral("pending");
        case Held:
            return QStringLiteral("held");
        case Processing:
            return QStringLiteral("printing");
        case Stopped:
            return QStringLiteral("stopped");
        case Canceled:
            return QStringLiteral("canceled");
        case Completed:
            return QStringLiteral("completed");
        default:
            return QStringLiteral("aborted");
        }
    }
};

// What the printing system told a watch about one job: its creation, a
// change of its state, or its end.
struct JobEvent {
    int sequence = 0;
    bool created = false;
    PrintJob job;
    // The printing system dropped events before this one unread.
    bool eventsLost = false;
};

} // namespace bw
