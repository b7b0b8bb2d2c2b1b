#include "app/FileListView.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "support/FakeServices.h"

#include <QComboBox>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

class PointerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller.startUp();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Moves the mouse, no button held, to the middle of a control (or a point of the window).
    void hover(QWidget* widget, QPoint point = {})
    {
        const QPoint target = point.isNull() ? widget->rect().center() : point;
        // Two moves within the control: a move to where the pointer already is raises no event.
        QTest::mouseMove(widget, target + QPoint(1, 1));
        QTest::mouseMove(widget, target);
        QCoreApplication::processEvents();
    }
    QPoint background() const
    {
        // Between the list and the "Move Up" button: the window's own background.
        return QPoint((window.listView()->geometry().right() + window.moveUpButton()->geometry().left()) / 2,
                      window.listView()->geometry().center().y());
    }

    test::FakeServices fakes;
    MainWindow window;
    MainController controller{window, fakes.services};
};

enum class Place { Button, Background, List, Combo, Frame, ProgressBar };

struct Move {
    Place place;
    int codeAfter;
};

TEST_F(PointerWindowTest, PointerCodeFollowsTheMouseOverTheWindow)
{
    ASSERT_EQ(window.childAt(background()), nullptr);
    const Move walk[] = {
        {Place::Button, 99}, {Place::Background, 0},   {Place::Button, 99},    {Place::Combo, 99},
        {Place::Frame, 99},  {Place::ProgressBar, 99}, {Place::List, 0},       {Place::Button, 99},
        {Place::List, 0},    {Place::Background, 0},   {Place::Background, 0},
    };
    int step = 0;
    QPushButton* buttons[] = {window.startButton(), window.moveUpButton(), window.moveDownButton(),
                              window.addFilesButton(), window.addFolderButton()};
    for (const Move& move : walk) {
        switch (move.place) {
        case Place::Button:
            hover(buttons[step % 5]);
            break;
        case Place::Background:
            hover(&window, background());
            break;
        case Place::List:
            hover(window.listView()->viewport());
            break;
        case Place::Combo:
            hover(window.printerCombo());
            break;
        case Place::Frame:
            hover(window.printerFrame(), QPoint(4, window.printerFrame()->height() - 4));
            break;
        case Place::ProgressBar:
            hover(window.progressBar());
            break;
        }
        EXPECT_EQ(window.pointerCode(), move.codeAfter) << "step " << step;
        ++step;
    }
}

TEST_F(PointerWindowTest, EveryButtonShowsThePointingHandWithoutAHandPointerFile)
{
    for (QPushButton* button : window.pushButtons()) {
        hover(&window, background());
        ASSERT_EQ(window.pointerCode(), WindowPointer::Default);
        hover(button);
        EXPECT_EQ(window.pointerCode(), WindowPointer::Custom) << button->objectName().toStdString();
        EXPECT_EQ(window.cursor().shape(), Qt::PointingHandCursor);
    }
}

TEST_F(PointerWindowTest, BusyPointerStaysWhileTheMouseMoves)
{
    // A running folder scan shows code 11 and yields to the event queue.
    window.setPointerCode(WindowPointer::Busy);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    hover(window.startButton());
    hover(&window, background());
    hover(window.addFolderButton());
    hover(window.listView()->viewport());
    EXPECT_EQ(window.pointerCode(), WindowPointer::Busy);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    // The scan ends with code 0; the next move over a button shows the hand again.
    window.setPointerCode(WindowPointer::Default);
    hover(window.startButton());
    EXPECT_EQ(window.pointerCode(), WindowPointer::Custom);
}

} // namespace

} // namespace bw::test
