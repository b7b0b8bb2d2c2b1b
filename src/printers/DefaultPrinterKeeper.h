#pragma once

#include "printers/DefaultPrinterSnapshot.h"

#include <QString>
#include <optional>
#include <vector>

namespace bw {

class DefaultPrinterAccess;
class PrinterServices;
class Processes;
class StateFolder;

// Makes a printer the default for a print run and puts the user's own
// default back afterwards exactly as it was, also after a run that was cut
// short: the snapshot is in the state folder before the default changes and
// leaves it once the default is back.
class DefaultPrinterKeeper {
public:
    // A snapshot of an ended process, found at start-up.
    struct Leftover {
        DefaultPrinterSnapshot snapshot;
        QString failure; // "" when it was put back
    };

    DefaultPrinterKeeper(DefaultPrinterAccess& defaultPrinter, PrinterServices& printers, StateFolder& state,
                         Processes& processes);

    // Takes the snapshot (unless one is still held from a run whose put-back
    // failed), keeps it in the state folder, then SetDefaultPrinter(name).
    // When the snapshot cannot be kept, the default is left alone and the failure thrown.
    void change(const QString& name);
    // Puts back what the snapshot holds; does nothing when nothing was changed.
    // Throws only when putting back failed; the snapshot then stays for a later try.
    void putBack();
    bool holdsChange() const { return snapshot_.has_value(); }

    // Puts back the snapshots of runs whose program has ended (never those of
    // a program still running); returns what it found.
    std::vector<Leftover> restoreLeftovers();
    // What the user is told about them; "" when there were none.
    static QString leftoverMessage(const std::vector<Leftover>& leftovers);

private:
    void putBackInto(const DefaultPrinterSnapshot& snapshot);
    void noteWritten();

    DefaultPrinterAccess& defaultPrinter_;
    PrinterServices& printers_;
    StateFolder& state_;
    Processes& processes_;
    std::optional<DefaultPrinterSnapshot> snapshot_;
};

} // namespace bw
