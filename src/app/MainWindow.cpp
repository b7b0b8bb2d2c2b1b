#include "app/MainWindow.h"

#include "app/FileListView.h"
#include "app/PictureButton.h"
#include "app/Pictures.h"
#include "app/Twips.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

namespace bw {

namespace {

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setFixedSize(twips(ClientWidthTwips), twips(ClientHeightTwips));
    setFont(arialBold(9));
    setMouseTracking(true);
    setBackgroundColour(this, Qt::white);

    listView_ = new FileListView(this);
    listView_->setObjectName(QStringLiteral("ListView1"));
    listView_->setFont(arialBold(9));
    listView_->setToolTip(
        QStringLiteral("Drag and drop files here. Double-click item to remove it. Move bar to "
                       "right and out of window to reveal full names."));
    placeTwips(listView_, 120, 120, 6840, 2535);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    placeTwips(progressBar_, 120, 4710, 7800, 405);

    frame_ = new QGroupBox(QStringLiteral("Select Printer"), this);
    frame_->setObjectName(QStringLiteral("Frame1"));
    frame_->setFont(arialBold(9));
    setBackgroundColour(frame_, Qt::white);
    placeTwips(frame_, 120, 3240, 7800, 800);

    combo_ = new QComboBox(frame_);
    combo_->setObjectName(QStringLiteral("Combo1"));
    combo_->setEditable(false);
    combo_->setFont(arialBold(9));
    placeTwips(combo_, 240, 300, 7320, 345);

    const QFont buttonFont = arialBold(11.25);
    moveUp_ = new PictureButton(QStringLiteral("Move Up"), arrowPicture(true), this);
    moveUp_->setObjectName(QStringLiteral("PushButton3"));
    placeTwips(moveUp_, 7080, 120, 840, 1215);
    moveDown_ = new PictureButton(QStringLiteral("Move Down"), arrowPicture(false), this);
    moveDown_->setObjectName(QStringLiteral("PushButton5"));
    placeTwips(moveDown_, 7080, 1440, 840, 1215);
    addFiles_ = new QPushButton(QStringLiteral("Add Calc File(s)"), this);
    addFiles_->setObjectName(QStringLiteral("PushButton1"));
    placeTwips(addFiles_, 120, 2760, 3840, 405);
    addFolder_ = new QPushButton(QStringLiteral("Add All Calc Files In Folder"), this);
    addFolder_->setObjectName(QStringLiteral("PushButton4"));
    placeTwips(addFolder_, 4080, 2760, 3840, 405);
    start_ = new QPushButton(QStringLiteral("Start Printing"), this);
    start_->setObjectName(QStringLiteral("PushButton2"));
    placeTwips(start_, 120, 4170, 7800, 405);

    for (QPushButton* button : pushButtons()) {
        button->setFont(buttonFont);
        button->setAutoDefault(false);
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }

    // Tab order: list, progress bar, frame, printer list, then the buttons.
    const QList<QWidget*> order{listView_, progressBar_, frame_,     combo_, moveUp_,
                                moveDown_, addFiles_,    addFolder_, start_};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QList<QPushButton*> MainWindow::pushButtons() const
{
    return {addFiles_, start_, moveUp_, addFolder_, moveDown_};
}

double MainWindow::dpi() const
{
    return logicalDpiY();
}

int MainWindow::twips(double value) const
{
    return twipsToPixels(value, dpi());
}

void MainWindow::placeTwips(QWidget* control, int left, int top, int width, int height) const
{
    control->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void MainWindow::addColumnHeader(const QString& text)
{
    listView_->model()->setHeaderData(0, Qt::Horizontal, text, Qt::DisplayRole);
    listView_->header()->resizeSection(0, twips(ColumnWidthTwips));
}

void MainWindow::setBackgroundColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void MainWindow::setCustomPointerPicture(const std::optional<QCursor>& picture)
{
    customPointer_ = picture;
    applyPointer();
}

void MainWindow::setPointerCode(int code)
{
    pointerCode_ = code;
    applyPointer();
}

void MainWindow::applyPointer()
{
    switch (pointerCode_) {
    case Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case Busy:
        setCursor(Qt::WaitCursor);
        break;
    case Custom:
        setCursor(customPointer_ ? *customPointer_ : QCursor(Qt::PointingHandCursor));
        break;
    default:
        unsetCursor();
        break;
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    // Moves that controls pass on to their parent are not over the background.
    if (!childAt(event->position().toPoint()))
        emit backgroundMouseMoved();
    QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (auto* button = qobject_cast<QPushButton*>(watched))
            emit buttonMouseMoved(button);
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    emit closed();
    QWidget::closeEvent(event);
}

} // namespace bw
