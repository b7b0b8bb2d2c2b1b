#include "printers/PrinterList.h"

#include "platform/PlatformError.h"
#include "platform/PrinterChoiceList.h"
#include "platform/Printers.h"
#include "platform/SettingsStore.h"
#include "printers/SavedIndexText.h"

#include <QStringList>

namespace bw {

const QString PrinterList::Application = QStringLiteral("Tallowmere");
const QString PrinterList::Section = QStringLiteral("Brindlework");
const QString PrinterList::Key = QStringLiteral("Combo1");

PrinterList::PrinterList(Printers& printers, SettingsStore& settings, PrinterChoiceList& combo)
    : printers_(printers), settings_(settings), combo_(combo)
{
}

void PrinterList::fillPrinterList()
{
    // Without a default or a reachable printing system the program still
    // starts; the print run reports the failure when it sets the printer.
    QString defaultName;
    try {
        defaultName = printers_.defaultPrinterName();
    } catch (const PlatformError&) {
    }
    QStringList names;
    try {
        names = printers_.installedPrinters();
    } catch (const PlatformError&) {
    }
    for (const QString& name : names)
        combo_.append(name);

    const QString saved = settings_.read(Application, Section, Key, QString());
    if (saved.isEmpty()) {
        if (!defaultName.isEmpty())
            combo_.setCurrentText(defaultName);
        return;
    }
    try {
        selectSavedIndex();
    } catch (const PlatformError&) {
        // A saved choice that cannot be used leaves no selection, silently.
    }
}

void PrinterList::selectSavedIndex()
{
    const QString text = settings_.read(Application, Section, Key, savedIndexToText(combo_.currentIndex()));
    const std::optional<qint16> index = savedIndexFromText(text);
    if (!index || *index < -1 || *index >= combo_.count())
        return;
    combo_.setCurrentIndex(*index);
}

void PrinterList::combo1Click()
{
    settings_.write(Application, Section, Key, savedIndexToText(combo_.currentIndex()));
}

} // namespace bw
