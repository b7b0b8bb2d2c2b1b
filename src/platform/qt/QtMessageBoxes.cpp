#include "platform/qt/QtMessageBoxes.h"

#include <QMessageBox>

namespace bw {

void QtMessageBoxes::show(const QString& text, int style, const QString& title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case Critical:
        icon = QMessageBox::Critical;
        break;
    case 32:
        icon = QMessageBox::Question;
        break;
    case Exclamation:
        icon = QMessageBox::Warning;
        break;
    case 64:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox box(icon, title.isEmpty() ? applicationTitle() : title, text, QMessageBox::Ok, parent_);
    box.exec();
}

} // namespace bw
