#include "app/FlatListView.h"

#include <QAccessible>
#include <QHeaderView>
#include <QScrollBar>
#include <QStringListModel>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

// A shown view over rows "0" to "count - 1", its column 150 pixels wide.
class FlatListViewTest : public ::testing::Test {
protected:
    void show(int count)
    {
        QStringList rows;
        for (int i = 0; i < count; ++i)
            rows.append(QString::number(i));
        model.setStringList(rows);
        view.setModel(&model);
        view.header()->resizeSection(0, 150);
        view.resize(200, 150);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    int rowsInView() const { return view.viewport()->height() / view.rowHeight(); }
    int rowAt(int x, int y) const { return view.indexAt(QPoint(x, y)).row(); }
    QRect lastRow() const { return view.visualRect(model.index(model.rowCount() - 1)); }

    QStringListModel model;
    FlatListView view;
};

TEST_F(FlatListViewTest, KeysMoveTheCurrentRowWithinTheList)
{
    show(100);
    const struct {
        int from;
        Qt::Key key;
        int to;
    } table[] = {
        {50, Qt::Key_Home, 0},  {50, Qt::Key_End, 99},     {0, Qt::Key_Up, 0},
        {99, Qt::Key_Down, 99}, {1, Qt::Key_PageUp, 0},    {99, Qt::Key_PageDown, 99},
        {0, Qt::Key_Down, 1},   {0, Qt::Key_PageDown, -1}, // -1: the first row below the view
    };
    for (const auto& c : table) {
        view.scrollToTop();
        view.setCurrentIndex(model.index(c.from));
        QTest::keyClick(&view, c.key);
        EXPECT_EQ(view.currentIndex().row(), c.to < 0 ? rowsInView() : c.to) << c.from << " " << c.key;
    }
}

TEST_F(FlatListViewTest, PointsAboveBelowAndBesideTheRows)
{
    show(30);
    const int height = view.rowHeight();
    EXPECT_EQ(rowAt(0, 0), 0);
    EXPECT_EQ(rowAt(149, height), 1);
    EXPECT_EQ(rowAt(0, -1), -1);  // above the first row
    EXPECT_EQ(rowAt(150, 0), -1); // right of the column's end
    view.verticalScrollBar()->setValue(10);
    EXPECT_EQ(rowAt(0, -1), 9); // the row just above the view
    EXPECT_EQ(view.visualRect(model.index(12)), QRect(0, 2 * height, 150, height));
    view.scrollToBottom();
    EXPECT_EQ(rowAt(0, lastRow().bottom() + 1), -1); // below the last row
}

TEST_F(FlatListViewTest, RemovalsAtTheEndKeepTheViewFullUntilTheRowsFit)
{
    show(40);
    view.scrollToBottom();
    model.removeRows(30, 10);
    QCoreApplication::processEvents();
    EXPECT_LT(lastRow().bottom(), view.viewport()->height());
    EXPECT_GE(lastRow().bottom() + view.rowHeight(), view.viewport()->height());
    model.removeRows(rowsInView() - 1, model.rowCount() - rowsInView() + 1);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(rowAt(0, 0), 0);
}

TEST_F(FlatListViewTest, AColumnWiderThanTheViewScrollsAcross)
{
    show(3);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    view.header()->resizeSection(0, view.viewport()->width() + 70);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 70);
    view.horizontalScrollBar()->setValue(70);
    EXPECT_EQ(view.visualRect(model.index(0)).left(), -70);
    EXPECT_EQ(view.header()->offset(), 70);
}

TEST_F(FlatListViewTest, AssistiveToolsSeeEveryRowByItsText)
{
    show(3);
    view.setCurrentIndex(model.index(1));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 3);
    QAccessibleInterface* second = list->child(1);
    EXPECT_EQ(second->text(QAccessible::Name), QStringLiteral("1"));
    EXPECT_TRUE(second->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
    EXPECT_EQ(list->indexOfChild(second), 1);
    EXPECT_EQ(list->childAt(second->rect().center().x(), second->rect().center().y()), second);
    model.removeRows(0, 1);
    EXPECT_EQ(list->childCount(), 2);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("2"));
}

} // namespace

} // namespace bw::test
