#pragma once

#include "printers/DefaultPrinterSnapshot.h"

#include <QString>
#include <vector>

namespace bw {

class UserPrinterOptions;
class Processes;
class StateFolder;
class UserLocks;

// At the start of the program, in the window and on the command line alike:
// undoes the default printer changes of runs whose program ended before it
// could put the default back, and says what was done.
class DefaultPrinterLeftovers {
public:
    // A snapshot of an ended process, found at start-up.
    struct Leftover {
        enum class Outcome { PutBack, UserChoseAnew, NothingToUndo, Failed, Unreadable };
        Outcome outcome = Outcome::Failed;
        QString file; // its name in the state folder
        DefaultPrinterSnapshot snapshot;
        QString detail; // the failure, or the name an unreadable file was set aside under
    };

    DefaultPrinterLeftovers(UserPrinterOptions& options, StateFolder& state, Processes& processes,
                            UserLocks& locks);

    // Undoes the snapshots of runs whose program has ended (never those of a
    // program still running), each only while the change it made still
    // stands; a snapshot that cannot be read is set aside for good. Leaves
    // everything while another program of the user holds the default
    // printer's lock: that one is in a run, and its snapshot holds the
    // leftover's change. Returns what it found.
    std::vector<Leftover> restore();
    // What the user is told about them; "" when there is nothing to tell.
    static QString message(const std::vector<Leftover>& leftovers);
    // Whether the message tells of a failure.
    static bool anyFailed(const std::vector<Leftover>& leftovers);

private:
    std::vector<Leftover> restoreLocked();

    UserPrinterOptions& options_;
    StateFolder& state_;
    Processes& processes_;
    UserLocks& locks_;
};

} // namespace bw
