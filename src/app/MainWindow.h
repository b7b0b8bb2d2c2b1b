#pragma once

#include "platform/WindowPointer.h"

#include <QCursor>
#include <QWidget>
#include <optional>

class QComboBox;
class QGroupBox;
class QProgressBar;
class QPushButton;

namespace bw {

class FileListView;

// The main window: its controls, their geometry in twips, fonts and tab
// order, and the window-wide pointer code. Handlers live elsewhere; the
// window only reports events through the signals of its controls.
class MainWindow : public QWidget, public WindowPointer {
    Q_OBJECT
public:
    static constexpr int ClientWidthTwips = 8040;
    static constexpr int ClientHeightTwips = 5250;
    static constexpr int ColumnWidthTwips = 6500;

    explicit MainWindow(QWidget* parent = nullptr);

    FileListView* listView() const { return listView_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QGroupBox* printerFrame() const { return frame_; }
    QComboBox* printerCombo() const { return combo_; }
    QPushButton* moveUpButton() const { return moveUp_; }
    QPushButton* moveDownButton() const { return moveDown_; }
    QPushButton* addFilesButton() const { return addFiles_; }
    QPushButton* addFolderButton() const { return addFolder_; }
    QPushButton* startButton() const { return start_; }
    QList<QPushButton*> pushButtons() const;

    double dpi() const;
    int twips(double value) const;
    // Places a control at a position and size given in twips.
    void placeTwips(QWidget* control, int left, int top, int width, int height) const;

    // The column header "Calc File(s)" at its fixed width.
    void addColumnHeader(const QString& text);
    void setBackgroundColour(QWidget* widget, const QColor& colour);

    // The custom pointer picture (code 99); none means the platform's pointing hand.
    void setCustomPointerPicture(const std::optional<QCursor>& picture);
    bool hasCustomPointerPicture() const { return customPointer_.has_value(); }
    const std::optional<QCursor>& customPointerPicture() const { return customPointer_; }

    int pointerCode() const override { return pointerCode_; }
    void setPointerCode(int code) override;

signals:
    void backgroundMouseMoved();
    void buttonMouseMoved(QPushButton* button);
    void closed();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyPointer();

    FileListView* listView_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QGroupBox* frame_ = nullptr;
    QComboBox* combo_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
    QPushButton* addFiles_ = nullptr;
    QPushButton* addFolder_ = nullptr;
    QPushButton* start_ = nullptr;
    int pointerCode_ = Default;
    std::optional<QCursor> customPointer_;
};

} // namespace bw
