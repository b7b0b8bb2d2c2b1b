#pragma once

#include "platform/PrinterChoiceList.h"

class QComboBox;

namespace bw {

// The printer list as a non-editable QComboBox. Filling and clearing emit no
// selection signals, so only a real selection reaches Combo1_Click.
class ComboBoxChoiceList : public PrinterChoiceList {
public:
    explicit ComboBoxChoiceList(QComboBox& combo) : combo_(combo) {}

    void clear() override;
    void append(const QString& name) override;
    int count() const override;
    int currentIndex() const override;
    void setCurrentIndex(int index) override;
    void setCurrentText(const QString& name) override;
    QString currentText() const override;

private:
    QComboBox& combo_;
};

} // namespace bw
