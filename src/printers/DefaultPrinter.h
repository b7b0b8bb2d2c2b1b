#pragma once

#include "printers/DefaultPrinterAccess.h"

#include <QString>

namespace bw {

class MessageBoxes;
class Printers;

// GetDefaultPrinter and SetDefaultPrinter: the system's default printer,
// read before a print run and set for it.
class DefaultPrinter : public DefaultPrinterAccess {
public:
    DefaultPrinter(Printers& printers, MessageBoxes& boxes);

    // The default printer's name; on failure one report box and "".
    QString get() override;
    // Makes name the default; failures reach the caller.
    void set(const QString& name) override;

    // The text of the report get() shows.
    static QString reportText(int number, const QString& description);

private:
    Printers& printers_;
    MessageBoxes& boxes_;
};

} // namespace bw
