#pragma once

#include "app/FlatListView.h"
#include "platform/ListDragPort.h"
#include "platform/ListViewPort.h"

#include <QCursor>
#include <functional>
#include <optional>

namespace bw {

class FileListModel;

// The file list widget: one column over the list model, single selection,
// kept in step with the model's selected entry. It reports the mouse and
// key events the handlers need and leaves the decisions to them.
class FileListView : public FlatListView, public ListViewPort, public ListDragPort {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    void setFileList(FileListModel* model);
    FileListModel* fileList() const { return fileList_; }

    // Position of the row under a point of the viewport, 0 for none.
    int positionAt(const QPoint& viewportPoint) const;

    void ensureVisible(int position) override;
    void focusList() override;

    int hitTest(int x, int y) const override;
    int cursorScreenY() const override;
    void setListPointer(int code) override;
    bool loadListPointerPicture(const QString& path) override;
    void setDragSourceManual() override;

    int listPointer() const { return listPointer_; }
    bool hasListPointerPicture() const { return listPointerPicture_.has_value(); }
    // Where the pointer is on the screen; QCursor::pos() unless replaced.
    void setCursorPositionSource(std::function<QPoint()> source);

signals:
    void deleteKeyPressed();
    void doubleClicked();
    void itemClicked();
    void mousePressed();
    void mouseMoved(int x, int y);
    void mouseReleased();
    // Local files and folders dropped on the list, in the drag's order.
    void filesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    void showModelSelection(int position);
    void takeViewSelection();
    // Selects the row under a point of the viewport, or nothing; its position or 0.
    int selectAt(const QPoint& viewportPoint);
    void applyListPointer();

    FileListModel* fileList_ = nullptr;
    bool syncing_ = false;
    int listPointer_ = 0;
    std::optional<QCursor> listPointerPicture_;
    std::function<QPoint()> cursorPosition_;
};

} // namespace bw
