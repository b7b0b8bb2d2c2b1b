#include "app/ComboBoxChoiceList.h"

#include "platform/PlatformError.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace bw {

void ComboBoxChoiceList::clear()
{
    const QSignalBlocker blocker(combo_);
    combo_.clear();
}

void ComboBoxChoiceList::append(const QString& name)
{
    // QComboBox selects the first item added to an empty box; the list keeps no selection.
    const int before = combo_.currentIndex();
    const QSignalBlocker blocker(combo_);
    combo_.addItem(name);
    if (combo_.currentIndex() != before)
        combo_.setCurrentIndex(before);
}

int ComboBoxChoiceList::count() const
{
    return combo_.count();
}

int ComboBoxChoiceList::currentIndex() const
{
    return combo_.currentIndex();
}

void ComboBoxChoiceList::setCurrentIndex(int index)
{
    if (index < -1 || index >= combo_.count())
        throw PlatformError(ErrorNumber::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    combo_.setCurrentIndex(index);
}

void ComboBoxChoiceList::setCurrentText(const QString& name)
{
    combo_.setCurrentIndex(combo_.findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

QString ComboBoxChoiceList::currentText() const
{
    return combo_.currentIndex() < 0 ? QString() : combo_.currentText();
}

} // namespace bw
