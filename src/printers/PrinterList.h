#pragma once

#include <QString>

namespace bw {

class PrinterChoiceList;
class Printers;
class SettingsStore;

// The printer drop-down: filled once at start-up with the installed
// printers, showing the remembered position or, at the first start, the
// default printer; every selection is remembered at once.
class PrinterList {
public:
    static const QString Application; // "Tallowmere"
    static const QString Section;     // "Brindlework"
    static const QString Key;         // "Combo1"

    PrinterList(Printers& printers, SettingsStore& settings, PrinterChoiceList& combo);

    // FillPrinterList. A printing system that gives no printers or no
    // default leaves the list empty or without a selection; nothing is shown.
    void fillPrinterList();
    // Combo1_Click: runs for every change of the selection, by the user or by code.
    void combo1Click();

private:
    void selectSavedIndex();

    Printers& printers_;
    SettingsStore& settings_;
    PrinterChoiceList& combo_;
};

} // namespace bw
