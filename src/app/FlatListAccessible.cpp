#include "app/FlatListAccessible.h"

#include "app/FlatListView.h"

namespace bw {

// One row of the list. It reads the row's text and state from the view each
// time it is asked, so it stays right while the list is only edited in place.
class FlatListAccessible::Row : public QAccessibleInterface {
public:
    Row(const FlatListAccessible* list, int row) : list_(list), row_(row) {}

    int row() const { return row_; }

    bool isValid() const override { return list_->isValid() && row_ < list_->childCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_->window(); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return const_cast<FlatListAccessible*>(list_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? index().data(Qt::DisplayRole).toString() : QString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect area = list_->view()->visualRect(index());
        return QRect(list_->view()->viewport()->mapToGlobal(area.topLeft()), area.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        const FlatListView* view = list_->view();
        const QModelIndex row = index();
        state.selectable = true;
        state.focusable = true;
        state.selected = view->selectionModel()->isSelected(row);
        state.focused = view->hasFocus() && view->currentIndex() == row;
        if (!view->viewport()->rect().intersects(view->visualRect(row))) {
            state.invisible = true;
            state.offscreen = true;
        }
        return state;
    }

private:
    QModelIndex index() const { return list_->view()->model()->index(row_, 0, list_->view()->rootIndex()); }

    const FlatListAccessible* list_;
    int row_;
};

FlatListAccessible::FlatListAccessible(FlatListView* view) : QAccessibleWidget(view, QAccessible::List) {}

FlatListAccessible::~FlatListAccessible()
{
    forgetRows();
}

void FlatListAccessible::install()
{
    QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
        auto* view = qobject_cast<FlatListView*>(object);
        if (!view || className != QLatin1String(FlatListView::staticMetaObject.className()))
            return nullptr;
        return new FlatListAccessible(view);
    });
}

FlatListView* FlatListAccessible::view() const
{
    return static_cast<FlatListView*>(widget());
}

void FlatListAccessible::forgetRows()
{
    for (QAccessible::Id id : std::as_const(rows_))
        QAccessible::deleteAccessibleInterface(id);
    rows_.clear();
}

int FlatListAccessible::childCount() const
{
    const FlatListView* list = view();
    return list->model() ? list->model()->rowCount(list->rootIndex()) : 0;
}

QAccessibleInterface* FlatListAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    const auto known = rows_.constFind(index);
    if (known != rows_.cend())
        return QAccessible::accessibleInterface(*known);
    auto* row = new Row(this, index);
    rows_.insert(index, QAccessible::registerAccessibleInterface(row));
    return row;
}

int FlatListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* row = dynamic_cast<const Row*>(child);
    return row && row->parent() == this ? row->row() : -1;
}

QAccessibleInterface* FlatListAccessible::childAt(int x, int y) const
{
    const FlatListView* list = view();
    const QModelIndex index = list->indexAt(list->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface* FlatListAccessible::focusChild() const
{
    const FlatListView* list = view();
    return list->hasFocus() && list->currentIndex().isValid() ? child(list->currentIndex().row()) : nullptr;
}

} // namespace bw
