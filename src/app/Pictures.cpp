#include "app/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace bw {

namespace {

QPixmap drawProgramIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintProgramIcon(painter, size);
    return pixmap;
}

} // namespace

void paintProgramIcon(QPainter& painter, double size)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;
    // A printer: body, paper out of the top, a green sheet grid on the paper.
    painter.setPen(QPen(QColor(40, 40, 40), 1.2 * s));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRect(QRectF(8 * s, 2 * s, 16 * s, 14 * s));
    painter.setPen(QPen(QColor(30, 130, 60), 1.0 * s));
    for (int row = 0; row < 3; ++row)
        painter.drawLine(QPointF(10 * s, (6 + 3 * row) * s), QPointF(22 * s, (6 + 3 * row) * s));
    painter.drawLine(QPointF(16 * s, 4 * s), QPointF(16 * s, 14 * s));
    painter.setPen(QPen(QColor(40, 40, 40), 1.2 * s));
    painter.setBrush(QColor(120, 90, 60));
    painter.drawRoundedRect(QRectF(2 * s, 14 * s, 28 * s, 12 * s), 2 * s, 2 * s);
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRect(QRectF(8 * s, 22 * s, 16 * s, 8 * s));
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(drawProgramIcon(size));
    return icon;
}

QIcon arrowPicture(bool up)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(16, 2);
    arrow.lineTo(30, 16);
    arrow.lineTo(21, 16);
    arrow.lineTo(21, 30);
    arrow.lineTo(11, 30);
    arrow.lineTo(11, 16);
    arrow.lineTo(2, 16);
    arrow.closeSubpath();
    if (!up) {
        painter.translate(0, 32);
        painter.scale(1, -1);
    }
    painter.setPen(QPen(QColor(20, 60, 120), 1.5));
    painter.setBrush(QColor(60, 130, 210));
    painter.drawPath(arrow);
    return QIcon(pixmap);
}

} // namespace bw
