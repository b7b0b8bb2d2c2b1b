#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace bw {

class FlatListView;

// What screen readers and other assistive tools see of a FlatListView: a list
// whose children are its rows, each named by its text, the selected and the
// current row marked. Row objects are made as the tools ask for them.
class FlatListAccessible : public QAccessibleWidget {
public:
    explicit FlatListAccessible(FlatListView* view);

    // Lets Qt hand one of these out for every FlatListView; once, with the application.
    static void install();
    // Drops the row objects handed out so far, once rows have come or gone.
    void forgetRows();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

protected:
    ~FlatListAccessible() override;

private:
    class Row;
    FlatListView* view() const;

    mutable QHash<int, QAccessible::Id> rows_;
};

} // namespace bw
