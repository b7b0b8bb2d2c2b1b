#pragma once

#include <QString>

namespace bw {

// What the printer logic needs of the drop-down list of printer names.
// Entries are numbered from 0; -1 means no entry is selected. Filling the
// list never selects anything; a change of the selection, by the user or by
// code, is reported to the logic by whoever owns the widget.
class PrinterChoiceList {
public:
    virtual ~PrinterChoiceList() = default;

    virtual void clear() = 0;
    // Adds a new last entry; the selection stays as it was.
    virtual void append(const QString& name) = 0;
    virtual int count() const = 0;
    virtual int currentIndex() const = 0;
    // Valid: -1 to count() - 1; anything else throws PlatformError and changes nothing.
    virtual void setCurrentIndex(int index) = 0;
    // Selects the first entry whose text is exactly name; no entry when none is.
    virtual void setCurrentText(const QString& name) = 0;
    // The text of the selected entry, or "" when none is selected.
    virtual QString currentText() const = 0;
};

} // namespace bw
