#pragma once

#include "platform/StopRequest.h"

#include <QObject>

class QSocketNotifier;

namespace bw {

// SIGTERM, SIGINT and SIGHUP turned into a flag and a Qt signal. The handler
// only sets an atomic flag and writes to a pipe (all it may safely do); the
// flag is read between steps of blocking work, the pipe's read end wakes a
// waiting sleeper at once, and the event loop delivers arrived() afterwards.
// One object at a time per process; the previous handlers come back with its end.
class TerminationSignals : public QObject, public StopRequest {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool stopRequested() const override;
    // The last signal that arrived, 0 for none.
    int signalNumber() const;
    // Readable from the moment a signal arrives (poll it, do not read it).
    int wakeDescriptor() const;

signals:
    void arrived(int signalNumber);

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace bw
