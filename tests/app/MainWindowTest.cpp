#include "app/MainWindow.h"

#include "app/FileListView.h"
#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "platform/PlatformError.h"
#include "support/FakeServices.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

struct Geometry {
    const char* name;
    int left, top, width, height;
};

class MainWindowTest : public ::testing::Test {
protected:
    test::FakeServices fakes;
    MainWindow window;
    MainController controller{window, fakes.services};

    int twips(int value) const { return window.twips(value); }
};

TEST_F(MainWindowTest, ControlsStandWhereTheTwipTableSays)
{
    controller.startUp();
    const Geometry table[] = {
        {"ListView1", 120, 120, 6840, 2535},   {"ProgressBar1", 120, 4710, 7800, 405},
        {"Frame1", 120, 3240, 7800, 800},      {"Combo1", 240, 300, 7320, 345},
        {"PushButton3", 7080, 120, 840, 1215}, {"PushButton5", 7080, 1440, 840, 1215},
        {"PushButton1", 120, 2760, 3840, 405}, {"PushButton4", 4080, 2760, 3840, 405},
        {"PushButton2", 120, 4170, 7800, 405},
    };
    for (const Geometry& g : table) {
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(g.name));
        ASSERT_NE(control, nullptr) << g.name;
        EXPECT_EQ(control->geometry(), QRect(twips(g.left), twips(g.top), twips(g.width), twips(g.height)))
            << g.name;
    }
    EXPECT_EQ(window.size(), QSize(twips(8040), twips(5250)));
    EXPECT_EQ(window.printerCombo()->parentWidget(), window.printerFrame());
}

TEST_F(MainWindowTest, TextsFontsKindsAndColours)
{
    controller.startUp();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Brindlework"));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.addFilesButton()->text(), QStringLiteral("Add Calc File(s)"));
    EXPECT_EQ(window.addFolderButton()->text(), QStringLiteral("Add All Calc Files In Folder"));
    EXPECT_EQ(window.startButton()->text(), QStringLiteral("Start Printing"));
    EXPECT_EQ(window.moveUpButton()->text(), QStringLiteral("Move Up"));
    EXPECT_EQ(window.moveDownButton()->text(), QStringLiteral("Move Down"));
    EXPECT_FALSE(window.moveUpButton()->icon().isNull());
    EXPECT_FALSE(window.moveDownButton()->icon().isNull());
    EXPECT_EQ(window.printerFrame()->title(), QStringLiteral("Select Printer"));
    EXPECT_FALSE(window.printerCombo()->isEditable());
    EXPECT_EQ(
        window.listView()->toolTip(),
        QStringLiteral("Drag and drop files here. Double-click item to remove it. Move bar to right and out "
                       "of window to reveal full names."));
    for (QPushButton* button : window.pushButtons()) {
        EXPECT_TRUE(button->font().bold());
        EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 11.25);
        EXPECT_EQ(button->font().family(), QStringLiteral("Arial"));
    }
    EXPECT_DOUBLE_EQ(window.listView()->font().pointSizeF(), 9);
    EXPECT_TRUE(window.listView()->font().bold());
    EXPECT_DOUBLE_EQ(window.printerFrame()->font().pointSizeF(), 9);
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(window.printerFrame()->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(MainWindowTest, TabOrderFollowsTheTable)
{
    const QList<QWidget*> expected{window.listView(),       window.progressBar(),     window.printerFrame(),
                                   window.printerCombo(),   window.moveUpButton(),    window.moveDownButton(),
                                   window.addFilesButton(), window.addFolderButton(), window.startButton()};
    // Walk the focus chain once round, keeping the controls of the table
    // (their own inner widgets, such as the list's scroll bars, sit between).
    QList<QWidget*> seen;
    QWidget* widget = window.listView();
    do {
        if (expected.contains(widget) && !seen.contains(widget))
            seen.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget != window.listView());
    EXPECT_EQ(seen, expected);
}

TEST_F(MainWindowTest, ColumnHeaderIsSetAnewAtEveryStart)
{
    window.listView()->header()->resizeSection(0, 20);
    controller.startUp();
    EXPECT_EQ(window.listView()->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Calc File(s)"));
    EXPECT_EQ(window.listView()->header()->sectionSize(0), twips(6500));
    EXPECT_EQ(window.listView()->header()->count(), 1);
    // No room for tree branches: a row starts at the column's left edge.
    controller.fileList().append(QStringLiteral("/d/A.ods"));
    EXPECT_EQ(window.listView()->visualRect(controller.fileList().index(0)).left(),
              window.listView()->header()->sectionViewportPosition(0));
}

TEST_F(MainWindowTest, HandPointerIsLoadedWhenPresentButNotShown)
{
    QTemporaryDir folder;
    QPixmap hand(32, 32);
    hand.fill(Qt::red);
    ASSERT_TRUE(hand.save(folder.filePath(QStringLiteral("HAND-M.CUR")), "PNG"));
    fakes.services.programFolder = folder.path();
    fakes.fileSystem.addFile(folder.filePath(QStringLiteral("HAND-M.CUR")));
    controller.startUp();
    EXPECT_TRUE(window.hasCustomPointerPicture());
    EXPECT_EQ(window.pointerCode(), WindowPointer::Default);
}

TEST_F(MainWindowTest, NoHandPointerFileLeavesNoCustomPicture)
{
    controller.startUp();
    EXPECT_FALSE(window.hasCustomPointerPicture());
    window.setPointerCode(WindowPointer::Custom);
    EXPECT_EQ(window.cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(MainWindowTest, StartUpOpensTheHomePageOnlyForTheLuckyDraw)
{
    fakes.random.draws = {0.065};
    controller.startUp();
    EXPECT_EQ(fakes.browser.opened.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(MainWindowTest, EditingThroughTheRealViewWithKeysAndMouse)
{
    controller.startUp();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    FileListModel& list = controller.fileList();
    list.appendAll({"/d/A.ods", "/d/B.ods", "/d/C.ods", "/d/D.ods"});
    FileListView* view = window.listView();
    QCoreApplication::processEvents();

    // A click on row 3 selects it; Move Up carries it to row 2, selected, with focus in the list.
    const QRect row3 = view->visualRect(list.index(2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row3.center());
    EXPECT_EQ(list.selectedPosition(), 3);
    QTest::mouseClick(window.moveUpButton(), Qt::LeftButton);
    EXPECT_EQ(list.paths(), (QStringList{"/d/A.ods", "/d/C.ods", "/d/B.ods", "/d/D.ods"}));
    EXPECT_EQ(list.selectedPosition(), 2);
    EXPECT_EQ(view->currentIndex().row(), 1);
    EXPECT_TRUE(view->selectionModel()->isRowSelected(1, {}));

    QTest::mouseClick(window.moveDownButton(), Qt::LeftButton);
    QTest::mouseClick(window.moveDownButton(), Qt::LeftButton);
    EXPECT_EQ(list.paths(), (QStringList{"/d/A.ods", "/d/B.ods", "/d/D.ods", "/d/C.ods"}));
    EXPECT_EQ(list.selectedPosition(), 4);

    // Ctrl+Delete removes the selected entry like Delete.
    QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(list.paths(), (QStringList{"/d/A.ods", "/d/B.ods", "/d/D.ods"}));

    // A double-click removes the entry under it.
    const QRect row1 = view->visualRect(list.index(0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row1.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row1.center());
    EXPECT_EQ(list.paths(), (QStringList{"/d/B.ods", "/d/D.ods"}));
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

} // namespace

namespace {

TEST_F(MainWindowTest, ClosingEndsWithoutAQuestionAndWritesNoSettings)
{
    controller.startUp();
    window.show();
    const int writesBefore = fakes.settings.writes;
    const auto valuesBefore = fakes.settings.values;
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fakes.settings.writes, writesBefore);
    EXPECT_EQ(fakes.settings.values, valuesBefore);
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

} // namespace

namespace {

// An object whose event handler fails, as a faulty handler would.
class FailingReceiver : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw PlatformError(13, QStringLiteral("Type mismatch"));
        return QObject::event(event);
    }
};

TEST_F(MainWindowTest, AFailureEscapingAHandlerIsShownAndTheProgramGoesOn)
{
    auto* application = static_cast<GuardedApplication*>(QCoreApplication::instance());
    application->setGuard(&controller.guard());
    controller.fileList().appendAll({"/d/A.ods"});
    FailingReceiver receiver;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&receiver, &event);
    application->setGuard(nullptr);
    ASSERT_EQ(fakes.messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.boxes[0].text, QStringLiteral("Type mismatch"));
    EXPECT_EQ(fakes.messageBoxes.boxes[0].title, QStringLiteral("Brindlework"));
    EXPECT_EQ(controller.fileList().paths(), QStringList{"/d/A.ods"});
}

} // namespace

} // namespace bw::test
