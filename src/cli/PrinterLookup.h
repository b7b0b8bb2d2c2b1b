#pragma once

#include <QString>

namespace bw {

class Printers;

// The queue a batch prints on: the one named (matched without regard to
// letter case, as CUPS matches queue names, and then used under its
// installed name) or the user's default.
class PrinterLookup {
public:
    struct Found {
        QString name;    // as installed; empty when none fits
        QString problem; // why none fits
    };

    explicit PrinterLookup(Printers& printers);

    Found find(const QString& asked);

private:
    Printers& printers_;
};

} // namespace bw
