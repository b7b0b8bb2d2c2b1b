#pragma once

#include "platform/SkinTarget.h"

class QWidget;

namespace bw {

// The main window as skinning sees it: its named controls, their kinds and
// background colours. The button-face colour is the palette's button colour.
class WidgetSkinTarget : public SkinTarget {
public:
    explicit WidgetSkinTarget(QWidget& window) : window_(window) {}

    quintptr windowHandle() override;
    std::vector<ControlDescription> controls() const override;
    void setWindowBackground(quint32 colour) override;
    void setControlBackground(const QString& name, quint32 colour) override;

private:
    static void setBackground(QWidget& widget, quint32 colour);

    QWidget& window_;
};

} // namespace bw
