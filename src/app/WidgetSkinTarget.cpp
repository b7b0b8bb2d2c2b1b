#include "app/WidgetSkinTarget.h"

#include "platform/PlatformError.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace bw {

namespace {

constexpr quint32 SystemColourBit = 0x80000000;
constexpr quint32 ButtonFaceIndex = 15;

ControlKind kindOf(const QWidget* widget)
{
    if (qobject_cast<const QRadioButton*>(widget))
        return ControlKind::OptionButton;
    if (qobject_cast<const QCheckBox*>(widget))
        return ControlKind::CheckBox;
    if (qobject_cast<const QGroupBox*>(widget))
        return ControlKind::Frame;
    if (qobject_cast<const QLabel*>(widget))
        return ControlKind::Label;
    return ControlKind::Other;
}

// Controls are the widgets the window names; Qt's own inner widgets are not.
bool isControl(const QWidget* widget)
{
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QStringLiteral("qt_"));
}

} // namespace

quintptr WidgetSkinTarget::windowHandle()
{
    return static_cast<quintptr>(window_.winId());
}

std::vector<ControlDescription> WidgetSkinTarget::controls() const
{
    std::vector<ControlDescription> result;
    for (const QWidget* widget : window_.findChildren<QWidget*>()) {
        if (isControl(widget))
            result.push_back({widget->objectName(), kindOf(widget)});
    }
    return result;
}

void WidgetSkinTarget::setWindowBackground(quint32 colour)
{
    setBackground(window_, colour);
}

void WidgetSkinTarget::setControlBackground(const QString& name, quint32 colour)
{
    QWidget* control = window_.findChild<QWidget*>(name);
    if (!control)
        throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("No control named ") + name);
    setBackground(*control, colour);
}

void WidgetSkinTarget::setBackground(QWidget& widget, quint32 colour)
{
    QPalette palette = widget.palette();
    QColor shown;
    if (colour & SystemColourBit) {
        if ((colour & ~SystemColourBit) != ButtonFaceIndex)
            throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("Unknown system colour"));
        shown = palette.color(QPalette::Button);
    } else {
        shown = QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    }
    palette.setColor(QPalette::Window, shown);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace bw
