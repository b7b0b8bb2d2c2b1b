#pragma once

#include <QString>

namespace bw {

// GetDefaultPrinter and SetDefaultPrinter as the print run uses them.
class DefaultPrinterAccess {
public:
    virtual ~DefaultPrinterAccess() = default;
    // The default printer's name; a failure is reported here and gives "".
    virtual QString get() = 0;
    // Makes the named printer the default; a failure reaches the caller.
    virtual void set(const QString& name) = 0;
};

} // namespace bw
