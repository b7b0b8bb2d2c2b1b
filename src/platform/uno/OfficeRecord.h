#pragma once

#include <QString>
#include <optional>

namespace bw {

class Processes;
class StateFolder;

// The office a program instance started, kept in the state folder while it
// runs: its process (number and identity), its pipe, and the instance that
// owns it. An instance killed outright leaves it behind, and the next one
// takes the office over as its own instead of counting it as the user's.
class OfficeRecord {
public:
    OfficeRecord(StateFolder& state, Processes& processes, QString pipeName);

    // Notes an office this instance has just started.
    void started(qint64 officeProcessId);
    // The office of an instance that has ended, when it still runs on this
    // pipe; this instance is then its owner. Nothing otherwise (an office of
    // a running instance, or one that has gone, whose record goes too).
    std::optional<qint64> takeOver();
    // The identity of the office taken over, as recorded and found alive.
    const QString& officeIdentity() const { return officeIdentity_; }
    // The office has ended.
    void ended();

private:
    QString fileName() const;
    void write(qint64 officeProcessId);

    StateFolder& state_;
    Processes& processes_;
    QString pipeName_;
    QString officeIdentity_;
};

} // namespace bw
