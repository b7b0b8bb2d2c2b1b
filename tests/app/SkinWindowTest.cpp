#include "app/FileListView.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/WidgetSkinTarget.h"
#include "platform/PlatformError.h"
#include "platform/qt/QssSkinEngine.h"
#include "platform/system/PosixFileSystem.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

const QByteArray StyleSheet = "QPushButton#PushButton2 { color: rgb(10, 20, 30); }\n";

// The real window, file system and style-sheet skin engine, with the program
// folder in a temporary directory.
class SkinWindowTest : public ::testing::Test {
protected:
    void writeSkin(const QString& relative, const QByteArray& content)
    {
        const QString path = folder.filePath(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    void startUp() { controller.startUp(); }

    QColor background(const QWidget* widget) const { return widget->palette().color(QPalette::Window); }

    QTemporaryDir folder;
    test::FakeServices fakes;
    PosixFileSystem fileSystem;
    QssSkinEngine engine;
    AppServices services = fakes.with().use(fileSystem).use(engine).inFolder(folder.path()).build();
    MainWindow window;
    MainController controller{window, services};
};

TEST_F(SkinWindowTest, SkinFileRestylesTheWindowAndGivesItTheButtonFaceColour)
{
    writeSkin(QStringLiteral("x/o.cjs"), StyleSheet);
    startUp();
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
    EXPECT_EQ(window.styleSheet(), QString::fromUtf8(StyleSheet));
    EXPECT_EQ(engine.optionFlags(), 1);
    EXPECT_TRUE(engine.option(SkinEngine::OptionFive));
    EXPECT_TRUE(engine.option(SkinEngine::OptionTen));

    const QColor buttonFace = window.palette().color(QPalette::Button);
    EXPECT_EQ(background(&window), buttonFace);
    EXPECT_EQ(background(window.printerFrame()), window.printerFrame()->palette().color(QPalette::Button));
    EXPECT_NE(background(&window), QColor(Qt::white));
    // The list and the buttons keep their own colours.
    EXPECT_FALSE(window.listView()->testAttribute(Qt::WA_SetPalette));
    for (QPushButton* button : window.pushButtons())
        EXPECT_FALSE(button->testAttribute(Qt::WA_SetPalette)) << button->objectName().toStdString();

    // The sheet reaches the controls it names.
    window.ensurePolished();
    window.startButton()->ensurePolished();
    EXPECT_EQ(window.startButton()->palette().color(QPalette::ButtonText), QColor(10, 20, 30));
}

struct AbsentCase {
    const char* name;
    const char* path; // what lies there instead, "" for nothing
    bool folderInstead;
};

class SkinAbsentTest : public SkinWindowTest, public ::testing::WithParamInterface<AbsentCase> {};

TEST_P(SkinAbsentTest, WindowKeepsItsPlainLook)
{
    const AbsentCase& c = GetParam();
    if (c.folderInstead)
        ASSERT_TRUE(QDir().mkpath(folder.filePath(QString::fromLatin1(c.path))));
    else if (*c.path)
        writeSkin(QString::fromLatin1(c.path), StyleSheet);
    startUp();
    EXPECT_TRUE(window.styleSheet().isEmpty());
    EXPECT_EQ(background(&window), QColor(Qt::white));
    EXPECT_EQ(background(window.printerFrame()), QColor(Qt::white));
    EXPECT_EQ(engine.optionFlags(), 0);
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SkinAbsentTest,
                         ::testing::Values(AbsentCase{"NoFile", "", false},
                                           AbsentCase{"FolderOfThatName", "x/o.cjs", true},
                                           AbsentCase{"HiddenFileBesideIt", "x/.o.cjs", false},
                                           AbsentCase{"InTheProgramFolderItself", "o.cjs", false},
                                           AbsentCase{"OtherCase", "X/O.CJS", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The window over the fake services: the skin engine records its calls.
TEST(SkinOverFakes, FiveCallsOnTheRealWindowAndAFailureIsShownWhileTheStartUpGoesOn)
{
    const std::pair<const char*, int> table[] = {{"", 6}, {"load", 1}, {"apply", 6}};
    for (const auto& [failing, calls] : table) {
        test::FakeServices fakes;
        fakes.fileSystem.addFile(QStringLiteral("/opt/brindlework/x/o.cjs"));
        fakes.skin.flags = 6;
        fakes.skin.failOn = QString::fromLatin1(failing);
        MainWindow window;
        MainController controller(window, fakes.services);
        controller.startUp();
        EXPECT_EQ(fakes.skin.calls.size(), calls) << failing;
        EXPECT_EQ(fakes.skin.calls.first(), QStringLiteral("load:/opt/brindlework/x/o.cjs:"));
        EXPECT_EQ(window.palette().color(QPalette::Window), window.palette().color(QPalette::Button));
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Brindlework")) << failing;
        if (*failing) {
            EXPECT_EQ(fakes.messageBoxes.boxes.size(), 1u) << failing;
        } else {
            EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
            EXPECT_EQ(fakes.skin.flags, 7);
            EXPECT_EQ(fakes.skin.appliedTo, static_cast<quintptr>(window.winId()));
        }
    }
}

TEST(WidgetSkinTarget, NamesTheWindowsControlsWithTheirKinds)
{
    MainWindow window;
    WidgetSkinTarget target(window);
    const auto controls = target.controls();
    auto kindOf = [&](const char* name) {
        const auto found = std::find_if(controls.begin(), controls.end(), [&](const ControlDescription& c) {
            return c.name == QString::fromLatin1(name);
        });
        EXPECT_NE(found, controls.end()) << name;
        return found == controls.end() ? ControlKind::Other : found->kind;
    };
    EXPECT_EQ(kindOf("Frame1"), ControlKind::Frame);
    const char* others[] = {"ListView1",   "Combo1",      "ProgressBar1", "PushButton1",
                            "PushButton2", "PushButton3", "PushButton4",  "PushButton5"};
    for (const char* name : others)
        EXPECT_EQ(kindOf(name), ControlKind::Other) << name;
    const auto framed = std::count_if(controls.begin(), controls.end(), [](const ControlDescription& c) {
        return c.kind != ControlKind::Other;
    });
    EXPECT_EQ(framed, 1);

    target.setControlBackground(QStringLiteral("Frame1"), 0x00336699);
    EXPECT_EQ(window.printerFrame()->palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));
    EXPECT_THROW(target.setControlBackground(QStringLiteral("Nothing"), Colour::White), PlatformError);
    EXPECT_THROW(target.setWindowBackground(0x80000005), PlatformError);
}

TEST(QssSkinEngine, AppliesOnlyALoadedSkinToAKnownWindow)
{
    QTemporaryDir folder;
    QssSkinEngine engine;
    QWidget window;
    const quintptr handle = window.winId();
    EXPECT_THROW(engine.applyToWindow(handle), PlatformError);
    EXPECT_THROW(engine.loadSkin(folder.filePath(QStringLiteral("missing.cjs")), QString()), PlatformError);

    QFile file(folder.filePath(QStringLiteral("o.cjs")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(StyleSheet);
    file.close();
    engine.loadSkin(file.fileName(), QString());
    EXPECT_THROW(engine.applyToWindow(handle + 12345), PlatformError);
    EXPECT_TRUE(window.styleSheet().isEmpty());
    engine.applyToWindow(handle);
    EXPECT_EQ(window.styleSheet(), QString::fromUtf8(StyleSheet));

    engine.setOptionFlags(6);
    EXPECT_EQ(engine.optionFlags(), 6);
    EXPECT_FALSE(engine.option(SkinEngine::OptionFive));
    engine.setOption(SkinEngine::OptionFive, true);
    EXPECT_TRUE(engine.option(SkinEngine::OptionFive));
}

} // namespace

} // namespace bw::test
