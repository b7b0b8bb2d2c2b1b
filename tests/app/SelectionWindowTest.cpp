#include "app/FileListView.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "support/FakeServices.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

QStringList named(const char* letters)
{
    QStringList result;
    for (const char* c = letters; *c; ++c)
        result.append(QStringLiteral("/d/%1.ods").arg(QLatin1Char(*c)));
    return result;
}

// A fresh real window holding A, B, C, D with nothing selected, driven with
// its keyboard and mouse.
class ListWindow {
public:
    ListWindow()
    {
        controller.startUp();
        list().appendAll(named("ABCD"));
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    FileListModel& list() { return controller.fileList(); }
    FileListView* view() { return window.listView(); }
    QWidget* viewport() { return view()->viewport(); }
    QPoint row(int position) { return view()->visualRect(list().index(position - 1)).center(); }
    QPoint belowTheLastRow()
    {
        return row(list().count()) + QPoint(0, view()->visualRect(list().index(0)).height());
    }
    // A point of a row right of the column's end, the column made narrow.
    QPoint rightOfTheColumn(int position)
    {
        view()->header()->resizeSection(0, 40);
        return QPoint(60, row(position).y());
    }
    void click(int position) { QTest::mouseClick(viewport(), Qt::LeftButton, {}, row(position)); }
    // As a double-click arrives: a click, then the double-click event.
    void doubleClick(const QPoint& point)
    {
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(viewport(), Qt::LeftButton, {}, point);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    int topRow() { return view()->indexAt(QPoint(2, 2)).row() + 1; }
    int lastFullyShownRow()
    {
        int position = topRow();
        while (position < list().count() &&
               viewport()->rect().contains(view()->visualRect(list().index(position))))
            ++position;
        return position;
    }
    // The row the view shows as selected, 0 for none.
    int shownSelected()
    {
        const QModelIndexList rows = view()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() + 1 : (rows.isEmpty() ? 0 : -1);
    }

    test::FakeServices fakes;
    MainWindow window;
    MainController controller{window, fakes.services};
};

// The entry the editing commands act on is the row the view shows as selected.
TEST(SelectionWindowTest, DeleteAndDoubleClickRemoveOnlyWhatTheViewShowsSelected)
{
    using Gesture = std::function<void(ListWindow&)>;
    const struct {
        const char* name;
        Gesture gesture;
        const char* after;
    } table[] = {
        {"click, Delete, Delete",
         [](ListWindow& t) {
             t.click(2);
             t.key(Qt::Key_Delete);
             t.key(Qt::Key_Delete);
         },
         "ACD"},
        {"no selection, Move Up, Delete",
         [](ListWindow& t) {
             QTest::mouseClick(t.window.moveUpButton(), Qt::LeftButton);
             EXPECT_TRUE(t.view()->hasFocus());
             t.key(Qt::Key_Delete);
         },
         "ABCD"},
        {"Tab into the list, Delete",
         [](ListWindow& t) {
             t.window.startButton()->setFocus();
             t.key(Qt::Key_Tab);
             EXPECT_TRUE(t.view()->hasFocus());
             t.key(Qt::Key_Delete);
         },
         "ABCD"},
        {"click, Ctrl+Space, Delete",
         [](ListWindow& t) {
             t.click(2);
             t.key(Qt::Key_Space, Qt::ControlModifier);
             t.key(Qt::Key_Delete);
         },
         "ABCD"},
        {"click, double-click on empty space",
         [](ListWindow& t) {
             t.click(2);
             t.doubleClick(t.belowTheLastRow());
         },
         "ABCD"},
        {"Tab into the list, Ctrl+Space selects, Delete",
         [](ListWindow& t) {
             t.window.startButton()->setFocus();
             t.key(Qt::Key_Tab);
             t.key(Qt::Key_Space, Qt::ControlModifier);
             t.key(Qt::Key_Delete);
         },
         "BCD"},
        {"Tab into the list, Down selects, Delete",
         [](ListWindow& t) {
             t.window.startButton()->setFocus();
             t.key(Qt::Key_Tab);
             t.key(Qt::Key_Down);
             t.key(Qt::Key_Delete);
         },
         "ACD"},
        {"click right of the column's end, Delete",
         [](ListWindow& t) {
             QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, t.rightOfTheColumn(2));
             t.key(Qt::Key_Delete);
         },
         "ACD"},
        {"double-click right of the column's end",
         [](ListWindow& t) { t.doubleClick(t.rightOfTheColumn(4)); }, "ABC"},
        {"click, double-click the row", [](ListWindow& t) { t.doubleClick(t.row(3)); }, "ABD"},
    };
    for (const auto& c : table) {
        ListWindow w;
        c.gesture(w);
        EXPECT_EQ(w.list().paths(), named(c.after)) << c.name;
        EXPECT_EQ(w.list().selectedPosition(), w.shownSelected()) << c.name;
        EXPECT_TRUE(w.fakes.messageBoxes.boxes.empty()) << c.name;
    }
}

// On a list taller than its view, the buttons and the Delete key scroll
// only as far as the moved path's new row needs; the view shows the model's
// selection and current row afterwards.
TEST(SelectionWindowTest, CommandsOnALongListScrollOnlyAsFarAsTheMovedRowNeeds)
{
    enum Command { Up, Down, Delete };
    const struct {
        const char* name;
        Command command;
        int fromTop;      // the selected row: from the top row in view, or (negative) from the last one fully
                          // shown
        int rowsScrolled; // + down, - up
    } table[] = {
        {"Move Up, top row", Up, 0, -1},
        {"Move Up, middle row", Up, 2, 0},
        {"Move Up, bottom row", Up, -1, 0},
        {"Move Down, top row", Down, 0, 0},
        {"Move Down, bottom row", Down, -1, 1},
        {"Delete, top row", Delete, 0, 0},
        {"Delete, bottom row (its follower comes into view)", Delete, -1, 1},
    };
    QStringList more;
    for (int i = 5; i <= 40; ++i)
        more.append(QStringLiteral("/d/%1.ods").arg(i));
    for (const auto& c : table) {
        ListWindow w;
        w.list().appendAll(more);
        w.view()->scrollTo(w.list().index(14), QAbstractItemView::PositionAtTop);
        QCoreApplication::processEvents();
        const int selected = c.fromTop >= 0 ? w.topRow() + c.fromTop : w.lastFullyShownRow() + 1 + c.fromTop;
        w.click(selected);
        const int top = w.topRow();
        const QStringList before = w.list().paths();
        QStringList after = before;
        int moved = 0;
        if (c.command == Delete) {
            w.key(Qt::Key_Delete);
            after.removeAt(selected - 1);
        } else {
            moved = c.command == Up ? selected - 1 : selected + 1;
            after.swapItemsAt(selected - 1, moved - 1);
            QTest::mouseClick(c.command == Up ? w.window.moveUpButton() : w.window.moveDownButton(),
                              Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(w.list().paths(), after) << c.name;
        EXPECT_EQ(w.list().selectedPosition(), moved) << c.name;
        EXPECT_EQ(w.shownSelected(), moved) << c.name;
        if (moved > 0) {
            EXPECT_EQ(w.view()->currentIndex().row() + 1, moved) << c.name;
        }
        EXPECT_EQ(w.topRow() - top, c.rowsScrolled) << c.name;
        EXPECT_TRUE(w.view()->hasFocus()) << c.name;
    }
}

} // namespace

} // namespace bw::test
