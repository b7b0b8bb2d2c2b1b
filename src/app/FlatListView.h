#pragma once

#include <QAbstractItemView>
#include <QAccessible>

class QHeaderView;

namespace bw {

// A view of one column of rows of equal height under a header, for long flat
// lists. Every row's place follows from its number, so inserting, removing or
// moving rows costs the same at 10 rows as at 100,000: nothing is laid out per
// row, and only the rows in view are painted, through the item delegate. It
// scrolls a row at a time downward and a pixel at a time across the column.
class FlatListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit FlatListView(QWidget* parent = nullptr);
    ~FlatListView() override;

    QHeaderView* header() const { return header_; }
    // The height of every row, 0 while the list has never had a row.
    int rowHeight() const;

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;
    void reset() override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;

    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    void rowsRemoved(const QModelIndex& parent, int start, int end);
    void updateScrollBars();
    int rowCount() const;
    int topRow() const;
    // The row at a height of the viewport, or -1; rows above the view count too.
    int rowAtY(int y) const;
    int rowY(int row) const { return (row - topRow()) * rowHeight(); }
    // Repaints from a row down to the end of the view, when that row is in view or above it.
    void updateFromRow(int row);
    // Tells assistive tools which row an event of theirs is about.
    void tellAssistiveTools(QAccessible::Event event, const QModelIndex& index);
    void forgetAccessibleRows();
    void paintEmptyRows(QPainter& painter, QStyleOptionViewItem& option, int row, int y, int bottom) const;

    QHeaderView* header_;
    mutable int rowHeight_ = 0;
    int hoverRow_ = -1;
    bool updatingGeometries_ = false;
};

} // namespace bw
