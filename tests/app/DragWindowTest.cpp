#include "app/FileListView.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "support/FakeServices.h"

#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace bw::test {

namespace {

// The real window and list, driven with mouse events on the list's viewport.
class DragWindowTest : public ::testing::Test {
protected:
    void start(const QStringList& paths)
    {
        fakes.services.programFolder = programFolder.path();
        controller = std::make_unique<MainController>(window, fakes.services);
        controller->startUp();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        list().appendAll(paths);
        view()->setCursorPositionSource([this] { return QPoint(10, screenY); });
        QCoreApplication::processEvents();
    }

    FileListModel& list() { return controller->fileList(); }
    FileListView* view() { return window.listView(); }
    QWidget* viewport() { return view()->viewport(); }
    QPoint row(int position) { return view()->visualRect(list().index(position - 1)).center(); }
    QPoint belowTheLastRow()
    {
        return row(list().count()) + QPoint(0, view()->visualRect(list().index(0)).height());
    }

    void drag(Qt::MouseButton button, const QList<int>& rows)
    {
        QTest::mousePress(viewport(), button, {}, row(rows.first()));
        for (int position : rows.mid(1))
            QTest::mouseMove(viewport(), row(position));
        QTest::mouseRelease(viewport(), button, {}, row(rows.last()));
    }

    int topRow() { return view()->indexAt(QPoint(2, 2)).row() + 1; }
    bool fullyShown(int position)
    {
        return viewport()->rect().contains(view()->visualRect(list().index(position - 1)));
    }
    int lastFullyShownRow()
    {
        int position = topRow();
        while (position < list().count() && fullyShown(position + 1))
            ++position;
        return position;
    }

    void writeDragIcon(bool readable)
    {
        const QString path = programFolder.filePath(QStringLiteral("drag.ico"));
        if (readable) {
            QPixmap icon(32, 32);
            icon.fill(Qt::blue);
            ASSERT_TRUE(icon.save(path, "PNG"));
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("not a picture");
        }
    }

    QTemporaryDir programFolder;
    test::FakeServices fakes;
    MainWindow window;
    std::unique_ptr<MainController> controller;
    int screenY = 330;
};

const QStringList ABCD{"/d/A.ods", "/d/B.ods", "/d/C.ods", "/d/D.ods"};

QStringList named(const char* letters)
{
    QStringList result;
    for (const char* c = letters; *c; ++c)
        result.append(QStringLiteral("/d/%1.ods").arg(QLatin1Char(*c)));
    return result;
}

struct GestureCase {
    const char* name;
    Qt::MouseButton button;
    QList<int> rows;
    const char* after;
};

TEST_F(DragWindowTest, PressAndDragMovesTheEntryUnderThePointer)
{
    const GestureCase table[] = {
        {"slow left", Qt::LeftButton, {1, 2, 3, 4}, "BCDA"},
        {"slow right", Qt::RightButton, {1, 2, 3, 4}, "BCDA"},
        {"slow middle", Qt::MiddleButton, {1, 2, 3, 4}, "BCDA"},
        {"jump", Qt::LeftButton, {1, 4}, "DBCA"},
        {"there and back", Qt::LeftButton, {1, 2, 3, 4, 3, 2, 1}, "ABCD"},
        {"jump then slow back", Qt::LeftButton, {1, 4, 3, 2, 1}, "ADBC"},
        {"from the middle up", Qt::RightButton, {3, 2, 1}, "CABD"},
    };
    start(ABCD);
    for (const GestureCase& c : table) {
        while (list().count() > 0)
            list().removeAt(1);
        list().appendAll(ABCD);
        drag(c.button, c.rows);
        EXPECT_EQ(list().paths(), named(c.after)) << c.name;
        const int last = c.rows.last();
        EXPECT_EQ(list().selectedPosition(), last) << c.name;
        EXPECT_EQ(view()->currentIndex().row(), last - 1) << c.name;
        EXPECT_EQ(view()->selectionModel()->selectedRows().size(), 1) << c.name;
        EXPECT_TRUE(view()->selectionModel()->isRowSelected(last - 1, {})) << c.name;
    }
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(DragWindowTest, EachExchangeSelectsTheRowUnderThePointer)
{
    start(ABCD);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, row(1));
    for (int position : {2, 3, 4, 2}) {
        QTest::mouseMove(viewport(), row(position));
        EXPECT_EQ(list().selectedPosition(), position);
        EXPECT_TRUE(view()->selectionModel()->isRowSelected(position - 1, {}));
        EXPECT_EQ(list().textAt(position), QStringLiteral("/d/A.ods"));
    }
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(2));
}

TEST_F(DragWindowTest, EqualPathsAndPointsOnNoRow)
{
    start({"/d/P.ods", "/d/P.ods", "/d/Q.ods"});
    QTest::mousePress(viewport(), Qt::LeftButton, {}, row(1));
    QTest::mouseMove(viewport(), row(2));
    EXPECT_EQ(list().paths(), (QStringList{"/d/P.ods", "/d/P.ods", "/d/Q.ods"}));
    EXPECT_EQ(list().selectedPosition(), 1);
    QTest::mouseMove(viewport(), belowTheLastRow());
    EXPECT_EQ(list().paths(), (QStringList{"/d/P.ods", "/d/P.ods", "/d/Q.ods"}));
    QTest::mouseMove(viewport(), row(3));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(3));
    EXPECT_EQ(list().paths(), (QStringList{"/d/Q.ods", "/d/P.ods", "/d/P.ods"}));
    EXPECT_EQ(list().selectedPosition(), 3);
}

TEST_F(DragWindowTest, NoClickSinceStartMovesNothingAndSelectsNothing)
{
    start(ABCD);
    // The button goes down below the last row: no entry is clicked.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, belowTheLastRow());
    for (int position : {4, 3, 2, 1})
        QTest::mouseMove(viewport(), row(position));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(1));
    EXPECT_EQ(list().paths(), ABCD);
    EXPECT_EQ(list().selectedPosition(), 0);
    EXPECT_TRUE(view()->selectionModel()->selectedRows().isEmpty());
}

TEST_F(DragWindowTest, ADragFromAnEmptyPartMovesTheLastDraggedEntry)
{
    start(ABCD);
    drag(Qt::LeftButton, {1, 2});
    ASSERT_EQ(list().paths(), named("BACD"));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, belowTheLastRow());
    QTest::mouseMove(viewport(), row(3));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(3));
    EXPECT_EQ(list().paths(), named("BCAD"));
}

TEST_F(DragWindowTest, EntriesThatLeftTheListAreNotDragged)
{
    start(ABCD);
    // A double-click removes the entry that the drag would move.
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, row(2));
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, row(2));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(2));
    ASSERT_EQ(list().paths(), named("ACD"));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, belowTheLastRow());
    QTest::mouseMove(viewport(), row(1));
    QTest::mouseMove(viewport(), row(3));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(3));
    EXPECT_EQ(list().paths(), named("ACD"));

    // Move Up puts a new entry in place of the clicked one.
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, row(3));
    QTest::mouseClick(window.moveUpButton(), Qt::LeftButton);
    ASSERT_EQ(list().paths(), named("ADC"));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, belowTheLastRow());
    QTest::mouseMove(viewport(), row(1));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(1));
    EXPECT_EQ(list().paths(), named("ADC"));

    // The next click makes the drag work again.
    drag(Qt::LeftButton, {2, 1});
    EXPECT_EQ(list().paths(), named("DAC"));
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(DragWindowTest, ListPointerShowsTheDragIconFromClickToRelease)
{
    writeDragIcon(true);
    start(ABCD);
    EXPECT_FALSE(view()->testAttribute(Qt::WA_SetCursor));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, row(2));
    EXPECT_EQ(view()->listPointer(), ListDragPort::CustomPointer);
    EXPECT_TRUE(view()->hasListPointerPicture());
    EXPECT_EQ(view()->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(2));
    EXPECT_EQ(view()->listPointer(), ListDragPort::ArrowPointer);
    EXPECT_EQ(view()->cursor().shape(), Qt::ArrowCursor);

    // The icon is read anew at each click: once it is gone the list keeps its arrow.
    ASSERT_TRUE(QFile::remove(programFolder.filePath(QStringLiteral("drag.ico"))));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, row(1));
    EXPECT_EQ(view()->listPointer(), ListDragPort::ArrowPointer);
    EXPECT_FALSE(view()->hasListPointerPicture());
    EXPECT_EQ(view()->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(viewport(), row(3));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(3));
    EXPECT_EQ(list().paths(), named("CBAD"));
}

TEST_F(DragWindowTest, UnreadableDragIconKeepsTheArrowAndTheDragWorks)
{
    writeDragIcon(false);
    start(ABCD);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, row(1));
    EXPECT_EQ(view()->listPointer(), ListDragPort::ArrowPointer);
    EXPECT_EQ(view()->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(viewport(), row(2));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(2));
    EXPECT_EQ(list().paths(), named("BACD"));
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(DragWindowTest, ListNeverDragsItsOwnRowsButTakesDrops)
{
    start(ABCD);
    drag(Qt::LeftButton, {1, 2});
    EXPECT_FALSE(view()->dragEnabled());
    EXPECT_TRUE(view()->acceptDrops());
    EXPECT_EQ(view()->dragDropMode(), QAbstractItemView::DropOnly);
}

TEST_F(DragWindowTest, MovesOverTheListResetTheWindowPointerUnlessBusy)
{
    start(ABCD);
    window.setPointerCode(WindowPointer::Custom);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, row(1));
    QTest::mouseMove(viewport(), row(2));
    EXPECT_EQ(window.pointerCode(), WindowPointer::Default);
    window.setPointerCode(WindowPointer::Busy);
    QTest::mouseMove(viewport(), row(3));
    EXPECT_EQ(window.pointerCode(), WindowPointer::Busy);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(3));
    EXPECT_EQ(list().paths(), named("BCAD"));
}

// Auto-scroll with a list taller than its view: a jump onto the top or bottom
// row in view, with the pointer at a given screen row.
struct ScrollCase {
    int screenY;
    bool towardsTop;
    int rowsScrolled; // + down, - up
};

TEST_F(DragWindowTest, AutoScrollByTheScreenRow)
{
    QStringList paths;
    for (int i = 1; i <= 40; ++i)
        paths.append(QStringLiteral("/d/%1.ods").arg(i, 2, 10, QLatin1Char('0')));
    start(paths);
    const ScrollCase table[] = {
        {304, true, -1}, {305, true, 0},  {364, true, 0},  {365, true, 0},
        {365, false, 1}, {364, false, 0}, {305, false, 0}, {304, false, 0},
    };
    for (const ScrollCase& c : table) {
        while (list().count() > 0)
            list().removeAt(1);
        list().appendAll(paths);
        view()->scrollTo(list().index(14), QAbstractItemView::PositionAtTop);
        QCoreApplication::processEvents();
        const int top = topRow();
        ASSERT_EQ(top, 15);
        const int bottom = lastFullyShownRow();
        ASSERT_LT(bottom, list().count());
        ASSERT_GT(bottom, top + 2);
        const int target = c.towardsTop ? top : bottom;
        const int from = c.towardsTop ? top + 2 : bottom - 2;
        screenY = c.screenY;
        QTest::mousePress(viewport(), Qt::LeftButton, {}, row(from));
        QTest::mouseMove(viewport(), row(target));
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, row(target));
        QCoreApplication::processEvents();
        EXPECT_EQ(list().textAt(target).toStdString(), paths[from - 1].toStdString()) << c.screenY;
        EXPECT_EQ(topRow() - top, c.rowsScrolled)
            << "screen row " << c.screenY << (c.towardsTop ? " top" : " bottom");
        if (c.rowsScrolled < 0) {
            EXPECT_TRUE(fullyShown(target - 1));
        }
        if (c.rowsScrolled > 0) {
            EXPECT_TRUE(fullyShown(target + 1));
        }
    }
}

} // namespace

} // namespace bw::test
