#pragma once

#include "platform/MessageBoxes.h"

class QWidget;

namespace bw {

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(const QString& text, int style, const QString& title) override;

private:
    QWidget* parent_;
};

} // namespace bw
