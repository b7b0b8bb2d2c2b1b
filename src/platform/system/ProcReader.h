#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace bw::proc {

// What the kernel's stat file says of a process or one of its threads.
struct Stat {
    char state = 0;
    qint64 parent = 0;
    // Clock ticks from boot to the start; empty where the kernel gave none.
    QByteArray startTime;

    // A zombie awaiting its parent, or on its way out.
    bool hasEnded() const { return state == 'Z' || state == 'X'; }
};

// None when there is no such process (or thread) any more.
std::optional<Stat> stat(qint64 processId);
std::optional<Stat> threadStat(qint64 processId, qint64 threadId);
QList<qint64> processIds();
QList<qint64> threadIds(qint64 processId);
// The program's short name, cheap to read; empty when the process is gone.
QByteArray programName(qint64 processId);
// The arguments of a process of this user; none for another user's or one that is gone.
std::optional<QList<QByteArray>> ownCommandLine(qint64 processId);
// Tells this boot of the machine from every other.
QByteArray bootId();

} // namespace bw::proc
