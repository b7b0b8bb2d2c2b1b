#pragma once

#include "platform/PlatformError.h"
#include "platform/PrinterChoiceList.h"

#include <QStringList>
#include <functional>

namespace bw::test {

// A drop-down list in memory. Like the widget, it reports every change of
// the selection (onSelectionChanged), and filling it selects nothing.
class FakePrinterChoiceList : public PrinterChoiceList {
public:
    void clear() override
    {
        entries.clear();
        index = -1;
    }
    void append(const QString& name) override { entries.append(name); }
    int count() const override { return int(entries.size()); }
    int currentIndex() const override { return index; }
    void setCurrentIndex(int newIndex) override
    {
        if (newIndex < -1 || newIndex >= count())
            throw PlatformError(ErrorNumber::InvalidPropertyValue, QStringLiteral("Invalid property value"));
        select(newIndex);
    }
    void setCurrentText(const QString& name) override { select(int(entries.indexOf(name))); }
    QString currentText() const override { return index < 0 ? QString() : entries.at(index); }

    QStringList entries;
    int index = -1;
    int selectionChanges = 0;
    std::function<void()> onSelectionChanged;

private:
    void select(int newIndex)
    {
        if (newIndex == index)
            return;
        index = newIndex;
        ++selectionChanges;
        if (onSelectionChanged)
            onSelectionChanged();
    }
};

} // namespace bw::test
