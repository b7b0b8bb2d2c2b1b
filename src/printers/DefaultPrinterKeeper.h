#pragma once

#include "printers/DefaultPrinterSnapshot.h"

#include <QString>
#include <optional>

namespace bw {

class DefaultPrinterAccess;
class UserPrinterOptions;
class Processes;
class Sleeper;
class StateFolder;
class StopRequest;
class UserLocks;

// Makes a printer the default for a print run and puts the user's own
// default back afterwards, also after a run that was cut short: the snapshot
// is in the state folder before the default changes and leaves it once the
// default is back. One run of the user's at a time changes the default: the
// others wait for the lock until it is back.
class DefaultPrinterKeeper {
public:
    // The lock held from the change to the put-back.
    static const QString& lockName();

    DefaultPrinterKeeper(DefaultPrinterAccess& defaultPrinter, UserPrinterOptions& options,
                         StateFolder& state, Processes& processes, UserLocks& locks, Sleeper& sleeper,
                         const StopRequest* stop);
    ~DefaultPrinterKeeper();
    DefaultPrinterKeeper(const DefaultPrinterKeeper&) = delete;
    DefaultPrinterKeeper& operator=(const DefaultPrinterKeeper&) = delete;

    // Waits for the lock while another run of the user holds it; a stop
    // ends the wait and the default is left alone. Then takes the snapshot
    // (unless one is still held from a run whose put-back failed), keeps it
    // in the state folder, then SetDefaultPrinter(name). When the snapshot
    // cannot be kept, the default is left alone and the failure thrown.
    void change(const QString& name);
    // Undoes the change (see DefaultPrinterSnapshot::undoIn) and lets go of
    // the lock. Throws only when putting back failed; the snapshot then stays
    // for a later try.
    void putBack();

private:
    void keep(const DefaultPrinterSnapshot& snapshot);
    void unlock();

    DefaultPrinterAccess& defaultPrinter_;
    UserPrinterOptions& options_;
    StateFolder& state_;
    Processes& processes_;
    UserLocks& locks_;
    Sleeper& sleeper_;
    const StopRequest* stop_;
    bool locked_ = false;
    std::optional<DefaultPrinterSnapshot> snapshot_;
};

} // namespace bw
