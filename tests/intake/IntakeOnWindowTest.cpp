#include "TempTree.h"
#include "app/FileListView.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "filelist/FileListModel.h"
#include "intake/AddFilesCommand.h"
#include "platform/MessageBoxes.h"
#include "platform/qt/QtDialogs.h"
#include "platform/system/PosixFileSystem.h"
#include "support/FakeServices.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace bw::test {

namespace {

// The real window and list view over real folders; only the dialogs and the
// yield are fakes.
class IntakeOnWindowTest : public ::testing::Test {
protected:
    test::TempTree tree;
    test::FakeServices fakes;
    PosixFileSystem fileSystem;
    AppServices services = fakes.with().use(fileSystem).build();
    MainWindow window;
    MainController controller{window, services};

    void SetUp() override
    {
        for (const char* file : {"one.ods", "two.txt", "~three.ods", "D/a.ods", "D/.h.txt", "D/~skip.ods",
                                 "D/.~lock.a.ods#", "D/S/b.xls", "D/.Hid/no.ods", "E/e.ods", "E/F/f.ods"})
            tree.file(QString::fromLatin1(file));
        tree.fifo(QStringLiteral("pipe.ods"));
        tree.fifo(QStringLiteral("E/F/pipe"));
        window.show();
    }

    QWidget* dropTarget() const { return window.listView()->viewport(); }

    static QMimeData* filesData(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        return data;
    }

    // Drag over the list, then drop at a point; true when the drag was welcome.
    bool dragAndDrop(QMimeData* data, const QPoint& at, QWidget* target = nullptr)
    {
        if (!target)
            target = dropTarget();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        EXPECT_EQ(enter.isAccepted(), move.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents(); // the drop intake runs queued
        delete data;
        return enter.isAccepted() && move.isAccepted();
    }

    QStringList paths(std::initializer_list<const char*> relative) const
    {
        QStringList result;
        for (const char* path : relative)
            result.append(tree.path(QString::fromLatin1(path)));
        return result;
    }
};

TEST_F(IntakeOnWindowTest, DroppedFilesAndFoldersAreAppendedInTheDroppedOrder)
{
    const struct {
        const char* what;
        QStringList dropped;
        QStringList rows;
    } table[] = {
        {"files of any kind of name, unchanged", paths({"two.txt", "~three.ods", "one.ods"}),
         paths({"two.txt", "~three.ods", "one.ods"})},
        {"files and folders mixed", paths({"one.ods", "E", "two.txt"}),
         paths({"one.ods", "E/e.ods", "E/F/f.ods", "two.txt"})},
        {"two folders", paths({"E", "D"}),
         paths({"E/e.ods", "E/F/f.ods"}) + tree.inListingOrder(QStringLiteral("D"), {"a.ods", ".h.txt"}) +
             paths({"D/S/b.xls"})},
        {"a hidden folder, walked like any folder", paths({"D/.Hid"}), paths({"D/.Hid/no.ods"})},
        {"a FIFO alone, and a folder that holds one", paths({"pipe.ods", "E/F"}), paths({"E/F/f.ods"})},
    };
    for (const auto& row : table) {
        controller.fileList().appendAll({QStringLiteral("/first"), QStringLiteral("/second")});
        const int before = controller.fileList().count();
        EXPECT_TRUE(dragAndDrop(filesData(row.dropped), QPoint(5, 5))) << row.what;
        EXPECT_EQ(controller.fileList().paths().mid(before), row.rows) << row.what;
    }
}

TEST_F(IntakeOnWindowTest, ADropGoesToTheEndWhereverItLands)
{
    controller.fileList().appendAll(
        {QStringLiteral("/first"), QStringLiteral("/second"), QStringLiteral("/third")});
    const QRect firstRow = window.listView()->visualRect(controller.fileList().index(0));
    ASSERT_TRUE(firstRow.isValid());
    EXPECT_TRUE(dragAndDrop(filesData({tree.path("one.ods")}), firstRow.center()));
    EXPECT_TRUE(dragAndDrop(filesData({tree.path("two.txt")}), QPoint(5, dropTarget()->height() - 3)));
    EXPECT_EQ(controller.fileList().paths(),
              QStringList({"/first", "/second", "/third"}) + paths({"one.ods", "two.txt"}));
}

TEST_F(IntakeOnWindowTest, ADragWithoutLocalFilesIsRefused)
{
    const auto textOnly = [] {
        auto* data = new QMimeData;
        data->setText(QStringLiteral("/etc/hostname"));
        return data;
    };
    const auto webAddress = [] {
        auto* data = new QMimeData;
        data->setUrls({QUrl(QStringLiteral("https://example.org/a.ods"))});
        return data;
    };
    const auto mixed = [this] {
        auto* data = new QMimeData;
        data->setUrls(
            {QUrl::fromLocalFile(tree.path("one.ods")), QUrl(QStringLiteral("https://example.org/a.ods"))});
        return data;
    };
    EXPECT_FALSE(dragAndDrop(textOnly(), QPoint(5, 5)));
    EXPECT_FALSE(dragAndDrop(webAddress(), QPoint(5, 5)));
    EXPECT_FALSE(dragAndDrop(mixed(), QPoint(5, 5)));
    EXPECT_EQ(controller.fileList().count(), 0);
}

TEST_F(IntakeOnWindowTest, ADropIsOnlyEverTakenAsACopy)
{
    const struct {
        const char* what;
        Qt::DropActions offered;
        Qt::KeyboardModifiers keys;
        Qt::DropAction proposed;
        bool welcome;
    } table[] = {
        {"copy proposed", Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, Qt::CopyAction, true},
        {"move proposed with Shift", Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, Qt::MoveAction,
         true},
        {"move only", Qt::MoveAction, Qt::NoModifier, Qt::MoveAction, false},
    };
    for (const auto& row : table) {
        const std::unique_ptr<QMimeData> data(filesData({tree.path("one.ods")}));
        QDragEnterEvent enter(QPoint(5, 5), row.offered, data.get(), Qt::LeftButton, row.keys);
        ASSERT_EQ(enter.proposedAction(), row.proposed) << row.what;
        QCoreApplication::sendEvent(dropTarget(), &enter);
        QDropEvent drop(QPointF(5, 5), row.offered, data.get(), Qt::LeftButton, row.keys);
        QCoreApplication::sendEvent(dropTarget(), &drop);
        QCoreApplication::processEvents();
        EXPECT_EQ(enter.isAccepted(), row.welcome) << row.what;
        EXPECT_EQ(drop.isAccepted(), row.welcome) << row.what;
        if (row.welcome) {
            EXPECT_EQ(enter.dropAction(), Qt::CopyAction) << row.what;
            EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << row.what;
        }
    }
    EXPECT_EQ(controller.fileList().paths(), paths({"one.ods", "one.ods"}));
}

TEST_F(IntakeOnWindowTest, AddCalcFilesAppendsTheDialogsChoice)
{
    fakes.dialogs.chosenFiles = paths({"one.ods", "D/a.ods"});
    window.addFilesButton()->click();
    fakes.dialogs.chosenFiles = paths({"two.txt"});
    window.addFilesButton()->click();
    fakes.dialogs.chosenFiles.clear();
    window.addFilesButton()->click();
    EXPECT_EQ(controller.fileList().paths(), paths({"one.ods", "D/a.ods", "two.txt"}));
    EXPECT_EQ(fakes.dialogs.kinds(), QStringList(3, QStringLiteral("openFiles")));
}

TEST_F(IntakeOnWindowTest, AddAllCalcFilesInFolderScansWithTheBusyPointer)
{
    fakes.dialogs.typedText = QStringLiteral("ods");
    fakes.dialogs.chosenFolder = tree.path("E");
    QList<int> codesDuringYields;
    fakes.yielder.onYield = [&](int) { codesDuringYields.append(window.pointerCode()); };
    window.addFolderButton()->click();
    EXPECT_EQ(controller.fileList().paths(), paths({"E/e.ods", "E/F/f.ods"}));
    ASSERT_FALSE(codesDuringYields.isEmpty());
    EXPECT_EQ(codesDuringYields.count(WindowPointer::Busy), codesDuringYields.size());
    EXPECT_EQ(window.pointerCode(), WindowPointer::Default);
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(IntakeOnWindowTest, ClosingTheWindowStopsAWalkAtItsNextYieldAndEndsTheEventLoop)
{
    for (int i = 0; i < 100; ++i)
        tree.file(QStringLiteral("Big/f%1/a.ods").arg(i));
    const struct {
        const char* what;
        std::function<void(MainWindow&)> start;
    } table[] = {
        {"folder scan",
         [this](MainWindow& closing) {
             fakes.dialogs.typedText = QStringLiteral("*");
             fakes.dialogs.chosenFolder = tree.path("Big");
             closing.addFolderButton()->click();
         }},
        {"dropped folder",
         [this](MainWindow& closing) {
             dragAndDrop(filesData({tree.path("Big")}), QPoint(5, 5), closing.listView()->viewport());
         }},
    };
    window.hide(); // each case's window is the program's only one
    for (const auto& row : table) {
        MainWindow closing;
        MainController closingController(closing, services);
        closing.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&closing));
        int yieldsAtClose = -1;
        QObject::connect(&closing, &MainWindow::closed, [&] { yieldsAtClose = fakes.yielder.yields; });
        fakes.yielder.yields = 0;
        fakes.yielder.onYield = [&](int yields) {
            // The user closes the window while the walk runs.
            if (yields == 10)
                QMetaObject::invokeMethod(&closing, &QWidget::close, Qt::QueuedConnection);
            QCoreApplication::processEvents();
        };
        bool safetyQuit = false;
        QTimer safety; // ends the loop should the close not
        safety.callOnTimeout([&] { safetyQuit = true, QCoreApplication::quit(); });
        safety.start(60000);
        QTimer::singleShot(0, &closing, [&] { row.start(closing); });
        EXPECT_EQ(QCoreApplication::exec(), 0) << row.what;
        EXPECT_FALSE(safetyQuit) << row.what;
        EXPECT_EQ(yieldsAtClose, 10) << row.what;
        EXPECT_EQ(fakes.yielder.yields, yieldsAtClose) << row.what;
        EXPECT_EQ(closingController.fileList().count(), 0) << row.what;
    }
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(IntakeOnWindowTest, AFifoNamedInTheFileDialogIsNotAppendedAndSaysSo)
{
    test::TempHome home; // Qt's file dialog keeps its state in the settings
    QtDialogs realDialogs;
    MainWindow dialogWindow;
    AppServices withDialogs = fakes.with().use(fileSystem).use(realDialogs).build();
    MainController dialogController(dialogWindow, withDialogs);
    realDialogs.setParent(&dialogWindow);
    dialogWindow.show();
    dialogController.fileList().append(QStringLiteral("/kept.ods"));
    // The user types the FIFO's name into the dialog and confirms it.
    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(tree.path());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("pipe.ods"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    dialogWindow.addFilesButton()->click();
    EXPECT_EQ(dialogController.fileList().paths(), QStringList{"/kept.ods"});
    ASSERT_EQ(fakes.messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.boxes[0].text, AddFilesCommand::notAddedMessage({tree.path("pipe.ods")}));

    // Chosen among files, it alone stays out.
    fakes.dialogs.chosenFiles = paths({"one.ods", "pipe.ods", "two.txt"});
    window.addFilesButton()->click();
    EXPECT_EQ(controller.fileList().paths(), paths({"one.ods", "two.txt"}));
    ASSERT_EQ(fakes.messageBoxes.boxes.size(), 2u);
    EXPECT_EQ(fakes.messageBoxes.boxes[1].text, AddFilesCommand::notAddedMessage({tree.path("pipe.ods")}));
}

TEST_F(IntakeOnWindowTest, AScanOfAFolderThatCannotBeListedSaysSoOnce)
{
    controller.fileList().append(QStringLiteral("/kept.ods"));
    fakes.dialogs.typedText = QStringLiteral("ods");
    fakes.dialogs.chosenFolder = tree.path("Gone"); // removed after it was chosen
    window.addFolderButton()->click();
    EXPECT_EQ(controller.fileList().paths(), QStringList{"/kept.ods"});
    ASSERT_EQ(fakes.messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(fakes.messageBoxes.boxes[0].text,
              QStringLiteral("The folder \"%1\" cannot be read, so no files were added from it.\n\n"
                             "No such file or directory: %1/")
                  .arg(tree.path("Gone")));
    EXPECT_EQ(fakes.messageBoxes.boxes[0].style, MessageBoxes::Exclamation);
    EXPECT_EQ(window.pointerCode(), WindowPointer::Default);
}

} // namespace

} // namespace bw::test
