#include "app/FileListView.h"

#include "app/PointerPicture.h"
#include "filelist/FileListModel.h"
#include "intake/DropIntake.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace bw {

FileListView::FileListView(QWidget* parent) : FlatListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::DropOnly);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    setMouseTracking(true);
}

void FileListView::setFileList(FileListModel* model)
{
    fileList_ = model;
    setModel(model);
    // The selected entry is the row the view shows as selected. The current
    // row alone (the pale frame that focus, Tab or a removal moves) is not.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &FileListView::takeViewSelection);
    connect(model, &FileListModel::selectedPositionChanged, this, &FileListView::showModelSelection);
}

void FileListView::takeViewSelection()
{
    if (syncing_ || !fileList_)
        return;
    syncing_ = true;
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.size() == 1 && rows.first().row() < fileList_->count())
        fileList_->select(rows.first().row() + 1);
    else
        fileList_->clearSelection();
    syncing_ = false;
}

void FileListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    // Qt's single-selection view selects the row that takes a removed current
    // row's place; a removal here selects nothing, so only the current row moves.
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() >= start && current.row() <= end) {
        const int next = end + 1 < model()->rowCount(parent) ? end + 1 : start - 1;
        selectionModel()->setCurrentIndex(next >= 0 ? model()->index(next, 0, parent) : QModelIndex(),
                                          QItemSelectionModel::NoUpdate);
    }
    FlatListView::rowsAboutToBeRemoved(parent, start, end);
}

void FileListView::showModelSelection(int position)
{
    if (syncing_)
        return;
    syncing_ = true;
    if (position > 0) {
        const QModelIndex row = model()->index(position - 1, 0);
        selectionModel()->setCurrentIndex(row,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

int FileListView::positionAt(const QPoint& viewportPoint) const
{
    // A row is hit anywhere across the list, right of the column's end too:
    // only the height decides, so ask at the column's own left edge.
    if (viewportPoint.x() < 0 || viewportPoint.x() >= viewport()->width())
        return 0;
    const QModelIndex index = indexAt(QPoint(header()->sectionViewportPosition(0), viewportPoint.y()));
    return index.isValid() ? index.row() + 1 : 0;
}

void FileListView::ensureVisible(int position)
{
    if (!fileList_ || position < 1 || position > fileList_->count())
        return;
    scrollTo(model()->index(position - 1, 0), QAbstractItemView::EnsureVisible);
}

void FileListView::focusList()
{
    setFocus(Qt::OtherFocusReason);
}

int FileListView::hitTest(int x, int y) const
{
    return positionAt(QPoint(x, y));
}

int FileListView::cursorScreenY() const
{
    return cursorPosition_ ? cursorPosition_().y() : QCursor::pos().y();
}

void FileListView::setCursorPositionSource(std::function<QPoint()> source)
{
    cursorPosition_ = std::move(source);
}

void FileListView::setListPointer(int code)
{
    listPointer_ = code;
    applyListPointer();
}

bool FileListView::loadListPointerPicture(const QString& path)
{
    listPointerPicture_ = loadPointerPicture(path);
    applyListPointer();
    return listPointerPicture_.has_value();
}

void FileListView::applyListPointer()
{
    switch (listPointer_) {
    case CustomPointer:
        setCursor(listPointerPicture_ ? *listPointerPicture_ : QCursor(Qt::ArrowCursor));
        break;
    case ArrowPointer:
        setCursor(Qt::ArrowCursor);
        break;
    default:
        unsetCursor();
        break;
    }
}

void FileListView::setDragSourceManual()
{
    // Only the list's own rows stop being a drag source; drops stay accepted.
    setDragEnabled(false);
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        emit deleteKeyPressed();
        event->accept();
        return;
    }
    FlatListView::keyPressEvent(event);
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click selects like the first.
    selectAt(event->position().toPoint());
    emit mousePressed();
    emit doubleClicked();
    event->accept();
}

int FileListView::selectAt(const QPoint& viewportPoint)
{
    const int position = positionAt(viewportPoint);
    // A press on no row leaves nothing selected, so a double-click there
    // removes nothing.
    if (fileList_) {
        if (position > 0)
            fileList_->select(position);
        else
            fileList_->clearSelection();
    }
    return position;
}

void FileListView::mousePressEvent(QMouseEvent* event)
{
    const int position = selectAt(event->position().toPoint());
    emit mousePressed();
    // The click is reported when the button goes down, so a press-and-drag
    // moves the entry under the pointer.
    if (position > 0)
        emit itemClicked();
    event->accept();
}

void FileListView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    emit mouseMoved(point.x(), point.y());
    event->accept();
}

void FileListView::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased();
    event->accept();
}

namespace {

// Only drags that carry local files are welcome over the list, and only as a
// copy: a drop taken as a move would let the drag source delete the files.
bool welcomeAsCopy(QDropEvent* event)
{
    if (!event->mimeData() || !DropIntake::acceptsDrag(*event->mimeData()) ||
        !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

// The drop position plays no part: rows always go to the end of the list.
void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    welcomeAsCopy(event);
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    welcomeAsCopy(event);
}

void FileListView::dropEvent(QDropEvent* event)
{
    if (welcomeAsCopy(event))
        emit filesDropped(DropIntake::droppedPaths(*event->mimeData()));
}

} // namespace bw
