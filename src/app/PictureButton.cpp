#include "app/PictureButton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace bw {

PictureButton::PictureButton(const QString& text, const QIcon& picture, QWidget* parent)
    : QPushButton(text, parent)
{
    setIcon(picture);
    setIconSize(QSize(32, 32));
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect inner = rect().adjusted(2, 3, -2, -2);
    const QSize picture = iconSize();
    const int pictureTop = inner.top() + 2;
    const QRect pictureRect(inner.center().x() - picture.width() / 2, pictureTop, picture.width(),
                            picture.height());
    icon().paint(&painter, pictureRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);

    const QRect textRect(inner.left(), pictureRect.bottom() + 2, inner.width(),
                         inner.bottom() - pictureRect.bottom() - 2);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text());
}

} // namespace bw
