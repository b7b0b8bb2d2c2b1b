#include "app/FileListView.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/system/PosixFileSystem.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace bw::test {

namespace {

// A 32 x 32 cursor file (.cur) whose hot spot is (x, y).
QByteArray cursorFile(int x, int y)
{
    QByteArray data;
    const auto put16 = [&data](int v) { data.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    const auto put32 = [&](int v) { put16(v & 0xffff), put16((v >> 16) & 0xffff); };
    const int pixels = 32 * 32 * 4, mask = 32 * 4;
    put16(0), put16(2), put16(1); // directory: a cursor with one picture
    data.append(char(32)).append(char(32)).append(char(0)).append(char(0));
    put16(x), put16(y), put32(40 + pixels + mask), put32(6 + 16); // hot spot, size, offset
    put32(40), put32(32), put32(64), put16(1), put16(32);         // bitmap header: picture and mask
    for (int i = 0; i < 6; ++i)
        put32(i == 1 ? pixels + mask : 0);
    for (int i = 0; i < 32 * 32; ++i)
        data.append(QByteArray::fromHex("0000ffff")); // opaque red
    data.append(QByteArray(mask, '\0'));
    return data;
}

// A FIFO whose writing end a thread opens: that returns only once someone
// opens the reading end. So it shows whether the program opened the FIFO,
// and a program that did is not left waiting on it.
class WatchedFifo {
public:
    explicit WatchedFifo(const QString& path) : path_(QFile::encodeName(path))
    {
        EXPECT_EQ(::mkfifo(path_.constData(), 0600), 0);
        writer_ = std::thread([this] {
            const int fd = ::open(path_.constData(), O_WRONLY);
            if (!released_)
                openedByProgram_ = true;
            if (fd >= 0)
                ::close(fd);
        });
    }
    ~WatchedFifo() { openedByProgram(); }
    bool openedByProgram()
    {
        if (writer_.joinable()) {
            released_ = true;
            const int fd = ::open(path_.constData(), O_RDONLY | O_NONBLOCK);
            writer_.join();
            ::close(fd);
        }
        return openedByProgram_;
    }

private:
    QByteArray path_;
    std::atomic<bool> released_{false};
    std::atomic<bool> openedByProgram_{false};
    std::thread writer_;
};

// The real window over a real program folder holding what a case puts there.
class ProgramFolderWindow {
public:
    QString beside(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void write(const QString& path, const QByteArray& data)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    void start()
    {
        ASSERT_TRUE(folder.isValid());
        controller = std::make_unique<MainController>(window, services);
        controller->startUp();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QTemporaryDir folder;
    test::FakeServices fakes;
    PosixFileSystem fileSystem;
    AppServices services = fakes.with().use(fileSystem).inFolder(folder.path()).build();
    MainWindow window;
    std::unique_ptr<MainController> controller;
};

TEST(PointerPictureTest, TheHandPointerComesOnlyFromARegularFileAndKeepsItsHotSpot)
{
    const struct {
        const char* what;
        std::function<void(ProgramFolderWindow&)> make;
        std::optional<QPoint> hotSpot;
    } table[] = {
        {"a cursor file", [](ProgramFolderWindow& t) { t.write(t.beside("HAND-M.CUR"), cursorFile(5, 9)); },
         QPoint(5, 9)},
        {"a link to a cursor file",
         [](ProgramFolderWindow& t) {
             t.write(t.beside("real.cur"), cursorFile(31, 0));
             ASSERT_TRUE(QFile::link(t.beside("real.cur"), t.beside("HAND-M.CUR")));
         },
         QPoint(31, 0)},
        {"a folder", [](ProgramFolderWindow& t) { ASSERT_TRUE(QDir(t.folder.path()).mkdir("HAND-M.CUR")); },
         std::nullopt},
    };
    for (const auto& c : table) {
        ProgramFolderWindow t;
        c.make(t);
        t.start();
        ASSERT_EQ(t.window.customPointerPicture().has_value(), c.hotSpot.has_value()) << c.what;
        if (c.hotSpot) {
            EXPECT_EQ(t.window.customPointerPicture()->hotSpot(), *c.hotSpot) << c.what;
            EXPECT_EQ(t.window.customPointerPicture()->pixmap().size(), QSize(32, 32)) << c.what;
        }
    }
}

TEST(PointerPictureTest, FifosBesideTheProgramAreNeverOpened)
{
    ProgramFolderWindow t;
    WatchedFifo hand(t.beside("HAND-M.CUR"));
    WatchedFifo drag(t.beside("drag.ico"));
    t.start();
    MainWindow& window = t.window;
    auto& controller = t.controller;
    EXPECT_FALSE(window.hasCustomPointerPicture());
    controller->fileList().appendAll({"/d/A.ods", "/d/B.ods"});
    FileListView* view = window.listView();
    QCoreApplication::processEvents();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(1, 0)).center());
    EXPECT_EQ(controller->fileList().selectedPosition(), 2);
    EXPECT_FALSE(view->hasListPointerPicture());
    EXPECT_EQ(view->listPointer(), ListDragPort::ArrowPointer);
    EXPECT_FALSE(hand.openedByProgram());
    EXPECT_FALSE(drag.openedByProgram());
    EXPECT_TRUE(t.fakes.messageBoxes.boxes.empty());
}

} // namespace

} // namespace bw::test
