#include "app/FlatListView.h"

#include "app/FlatListAccessible.h"

#include <QHeaderView>
#include <QHoverEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

namespace bw {

FlatListView::FlatListView(QWidget* parent)
    : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this))
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setAttribute(Qt::WA_MacShowFocusRect);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header_->setFirstSectionMovable(false);
    header_->setSectionsClickable(false);
    const auto relayout = [this] {
        updateGeometries();
        viewport()->update();
    };
    connect(header_, &QHeaderView::sectionResized, this, relayout);
    connect(header_, &QHeaderView::sectionCountChanged, this, relayout);
    connect(header_, &QHeaderView::geometriesChanged, this, &FlatListView::updateGeometries);
}

FlatListView::~FlatListView()
{
    // The header goes with the widget's children, after this part of the
    // view is gone: nothing it signals then may reach this part.
    disconnect(header_, nullptr, this, nullptr);
    if (model())
        disconnect(model(), &QAbstractItemModel::rowsRemoved, this, &FlatListView::rowsRemoved);
}

void FlatListView::setModel(QAbstractItemModel* model)
{
    if (model == this->model())
        return;
    if (this->model())
        disconnect(this->model(), &QAbstractItemModel::rowsRemoved, this, &FlatListView::rowsRemoved);
    header_->setModel(model);
    QAbstractItemView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::rowsRemoved, this, &FlatListView::rowsRemoved);
    rowHeight_ = 0;
}

int FlatListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int FlatListView::rowHeight() const
{
    // Rows are alike: the first one's height stands for all.
    if (rowHeight_ <= 0 && rowCount() > 0) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect.setWidth(-1);
        const QModelIndex first = model()->index(0, 0, rootIndex());
        rowHeight_ = std::max(itemDelegateForIndex(first)->sizeHint(option, first).height(), 0);
    }
    return rowHeight_;
}

int FlatListView::topRow() const
{
    return verticalScrollBar()->value();
}

int FlatListView::rowAtY(int y) const
{
    const int height = rowHeight();
    if (height <= 0)
        return -1;
    // Rounded down, so a point just above the view is in the row above the top one.
    const int row = topRow() + (y < 0 ? (y - height + 1) / height : y / height);
    return row >= 0 && row < rowCount() ? row : -1;
}

QRect FlatListView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex() || index.column() != 0)
        return {};
    return QRect(header_->sectionViewportPosition(0), rowY(index.row()), header_->sectionSize(0),
                 rowHeight());
}

QModelIndex FlatListView::indexAt(const QPoint& point) const
{
    const int row = rowAtY(point.y());
    if (row < 0 || header_->logicalIndexAt(point.x()) != 0)
        return {};
    return model()->index(row, 0, rootIndex());
}

void FlatListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex())
        return;
    updateScrollBars();
    const int row = index.row();
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    if (hint == EnsureVisible && row >= top && row < top + bar->pageStep()) {
        // already in view
    } else if (hint == PositionAtTop || (hint == EnsureVisible && row < top)) {
        bar->setValue(row);
    } else {
        // At the bottom, or the middle: as many rows above it as fit.
        const int height = std::max(rowHeight(), 1);
        const int space =
            hint == PositionAtCenter ? viewport()->height() / 2 + height - 1 : viewport()->height();
        bar->setValue(space > height ? row - space / height + 1 : row);
    }
    const int width = viewport()->width();
    const int left = header_->sectionPosition(0);
    const int cell = header_->sectionSize(0);
    if (hint == PositionAtCenter)
        horizontalScrollBar()->setValue(left - (width - cell) / 2);
    else if (left - header_->offset() < 0 || cell > width)
        horizontalScrollBar()->setValue(left);
    else if (left - header_->offset() + cell > width)
        horizontalScrollBar()->setValue(left - width + cell);
}

QModelIndex FlatListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int count = rowCount();
    if (count == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    const int row = current.row();
    int next = row;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        next = std::max(row - 1, 0);
        break;
    case MoveDown:
    case MoveNext:
        next = std::min(row + 1, count - 1);
        break;
    case MovePageUp: {
        const int above = rowAtY(rowY(row) - viewport()->height());
        next = above < 0 ? 0 : above;
        break;
    }
    case MovePageDown: {
        const int below = rowAtY(rowY(row) + viewport()->height());
        next = below < 0 ? count - 1 : below;
        break;
    }
    case MoveHome:
        next = 0;
        break;
    case MoveEnd:
        next = count - 1;
        break;
    case MoveLeft:
    case MoveRight: {
        // Left and right scroll the column, as there is nothing beside a row.
        QScrollBar* bar = horizontalScrollBar();
        const bool towardStart = (cursorAction == MoveLeft) != isRightToLeft();
        bar->setValue(bar->value() + (towardStart ? -bar->singleStep() : bar->singleStep()));
        break;
    }
    }
    return model()->index(next, 0, rootIndex());
}

int FlatListView::horizontalOffset() const
{
    return header_->offset();
}

int FlatListView::verticalOffset() const
{
    return topRow() * rowHeight();
}

bool FlatListView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void FlatListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel() || rect.isNull())
        return;
    const QRect area = rect.normalized();
    int first = rowAtY(area.top());
    int last = rowAtY(area.bottom());
    if (first < 0 && last < 0) {
        if (command & QItemSelectionModel::Clear)
            selectionModel()->clear();
        return;
    }
    first = first < 0 ? 0 : first;
    last = last < 0 ? rowCount() - 1 : last;
    const QItemSelection rows(model()->index(first, 0, rootIndex()), model()->index(last, 0, rootIndex()));
    selectionModel()->select(rows, command | QItemSelectionModel::Rows);
}

QRegion FlatListView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid() || range.parent() != rootIndex())
            continue;
        const QRect rows = visualRect(model()->index(range.top(), 0, rootIndex())) |
                           visualRect(model()->index(range.bottom(), 0, rootIndex()));
        region += rows.intersected(viewport()->rect());
    }
    return region;
}

void FlatListView::doItemsLayout()
{
    // The font, the style or the model changed: the row height may have too.
    rowHeight_ = 0;
    QAbstractItemView::doItemsLayout();
}

void FlatListView::reset()
{
    QAbstractItemView::reset();
    forgetAccessibleRows();
}

void FlatListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus())
        tellAssistiveTools(QAccessible::Focus, current);
}

void FlatListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    tellAssistiveTools(QAccessible::SelectionAdd, selected.indexes().value(0));
    tellAssistiveTools(QAccessible::SelectionRemove, deselected.indexes().value(0));
}

void FlatListView::tellAssistiveTools(QAccessible::Event event, const QModelIndex& index)
{
    if (!QAccessible::isActive() || !index.isValid())
        return;
    QAccessibleEvent told(this, event);
    told.setChild(index.row());
    QAccessible::updateAccessibility(&told);
}

void FlatListView::forgetAccessibleRows()
{
    if (!QAccessible::isActive())
        return;
    if (auto* accessible = dynamic_cast<FlatListAccessible*>(QAccessible::queryAccessibleInterface(this)))
        accessible->forgetRows();
}

void FlatListView::updateGeometries()
{
    if (updatingGeometries_)
        return;
    updatingGeometries_ = true;
    int headerHeight = 0;
    if (!header_->isHidden())
        headerHeight = std::min(std::max(header_->minimumHeight(), header_->sizeHint().height()),
                                header_->maximumHeight());
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);
    QMetaObject::invokeMethod(header_, "updateGeometries");
    updateScrollBars();
    updatingGeometries_ = false;
    QAbstractItemView::updateGeometries();
}

void FlatListView::updateScrollBars()
{
    QSize size = viewport()->size();
    const int count = rowCount();
    const int height = rowHeight();
    int rowsInView = height > 0 ? size.height() / height : count;
    if (count > 0)
        rowsInView = std::max(rowsInView, 1);
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, count - rowsInView);
    vertical->setPageStep(rowsInView);
    vertical->setSingleStep(1);

    // Without a vertical bar, a column as wide as the whole area needs no horizontal one.
    const int length = header_->length();
    const QSize most = maximumViewportSize();
    if (most.width() >= length && vertical->maximum() <= 0)
        size = most;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(size.width());
    horizontal->setRange(0, std::max(length - size.width(), 0));
    horizontal->setSingleStep(std::max(size.width() / 2, 2));
}

void FlatListView::scrollContentsBy(int dx, int dy)
{
    dx = isRightToLeft() ? -dx : dx;
    if (dx)
        header_->setOffset(horizontalScrollBar()->value());
    // The vertical bar counts rows.
    dy *= rowHeight();
    if (std::abs(dy) >= viewport()->height())
        viewport()->update();
    else
        QAbstractItemView::scrollContentsBy(dx, dy);
}

void FlatListView::updateFromRow(int row)
{
    const int y = rowY(row);
    if (y < viewport()->height())
        viewport()->update(0, std::max(y, 0), viewport()->width(), viewport()->height() - std::max(y, 0));
}

void FlatListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    if (parent != rootIndex())
        return;
    updateGeometries();
    updateFromRow(start);
}

void FlatListView::rowsRemoved(const QModelIndex& parent, int start, int)
{
    if (parent != rootIndex())
        return;
    forgetAccessibleRows();
    updateGeometries();
    updateFromRow(start);
}

bool FlatListView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave: {
        const int row = event->type() == QEvent::HoverLeave
                            ? -1
                            : indexAt(static_cast<QHoverEvent*>(event)->position().toPoint()).row();
        if (row != hoverRow_) {
            for (int changed : {hoverRow_, row}) {
                if (changed >= 0)
                    viewport()->update(0, rowY(changed), viewport()->width(), rowHeight());
            }
            hoverRow_ = row;
        }
        break;
    }
    default:
        break;
    }
    return QAbstractItemView::viewportEvent(event);
}

void FlatListView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    const QRect area = event->rect();
    const int count = rowCount();
    const int height = rowHeight();
    if (count == 0 || height <= 0 || header_->count() == 0) {
        paintEmptyRows(painter, option, 0, 0, area.bottom());
        return;
    }
    const int x = header_->sectionViewportPosition(0);
    const int width = header_->sectionSize(0);
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus();
    int row = topRow() + std::max(area.top(), 0) / height;
    int y = rowY(row);
    for (; row < count && y <= area.bottom(); ++row, y += height) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        QStyleOptionViewItem cell = option;
        // Rows are selected whole.
        cell.showDecorationSelected = true;
        cell.viewItemPosition = QStyleOptionViewItem::OnlyOne;
        cell.state = state;
        if (selectionModel()->isSelected(index))
            cell.state |= QStyle::State_Selected;
        if (focused && index == current)
            cell.state |= QStyle::State_HasFocus;
        cell.state.setFlag(QStyle::State_MouseOver, row == hoverRow_);
        if (state & QStyle::State_Enabled) {
            QPalette::ColorGroup group = QPalette::Inactive;
            if (!(model()->flags(index) & Qt::ItemIsEnabled)) {
                cell.state &= ~QStyle::State_Enabled;
                group = QPalette::Disabled;
            } else if (cell.state & QStyle::State_Active) {
                group = QPalette::Active;
            }
            cell.palette.setCurrentColorGroup(group);
        }
        if (alternatingRowColors())
            cell.features.setFlag(QStyleOptionViewItem::Alternate, row & 1);
        cell.rect = QRect(x, y, width, height);
        // The row's own background (alternate colour); the delegate paints the selection.
        const QStyle::State kept = cell.state;
        cell.state &= ~QStyle::State_Selected;
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &cell, &painter, this);
        cell.state = kept;
        itemDelegateForIndex(index)->paint(&painter, cell, index);
    }
    if (y <= area.bottom())
        paintEmptyRows(painter, option, row, y, area.bottom());
}

void FlatListView::paintEmptyRows(QPainter& painter, QStyleOptionViewItem& option, int row, int y,
                                  int bottom) const
{
    if (!alternatingRowColors() ||
        !style()->styleHint(QStyle::SH_ItemView_PaintAlternatingRowColorsForEmptyArea, &option, this))
        return;
    int height = rowHeight();
    if (height <= 0)
        height = itemDelegate()->sizeHint(option, QModelIndex()).height();
    if (height <= 0)
        return;
    for (; y <= bottom; y += height, ++row) {
        option.rect.setRect(0, y, viewport()->width(), height);
        option.features.setFlag(QStyleOptionViewItem::Alternate, row & 1);
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
    }
}

} // namespace bw
