#include "appearance/SkinApplier.h"

#include "platform/PlatformError.h"
#include "support/FakeFileSystem.h"
#include "support/FakeSkinEngine.h"
#include "support/FakeSkinTarget.h"

#include <QSet>
#include <gtest/gtest.h>

namespace bw::test {
using bw::test::FakeFileSystem;
using bw::test::FakeSkinEngine;
using bw::test::FakeSkinTarget;

namespace {

const QString Folder = QStringLiteral("/opt/bw");
const QString SkinFile = QStringLiteral("/opt/bw/x/o.cjs");

// A file system that can also mark a path hidden (an attribute Linux names
// cannot give to "o.cjs", but the rule must still hold).
class HidingFileSystem : public FakeFileSystem {
public:
    FileStatus status(const QString& path) override
    {
        FileStatus result = FakeFileSystem::status(path);
        result.isHidden = result.isHidden || hidden.contains(path);
        return result;
    }
    QSet<QString> hidden;
};

struct SkinBench {
    SkinBench()
    {
        window.addControl(QStringLiteral("ListView1"), ControlKind::Other);
        window.addControl(QStringLiteral("Frame1"), ControlKind::Frame);
        window.addControl(QStringLiteral("Combo1"), ControlKind::Other);
        window.addControl(QStringLiteral("ProgressBar1"), ControlKind::Other);
        window.addControl(QStringLiteral("PushButton1"), ControlKind::Other);
        window.addControl(QStringLiteral("PushButton2"), ControlKind::Other);
    }

    HidingFileSystem fileSystem;
    FakeSkinEngine engine;
    FakeSkinTarget window;
    SkinApplier skin{fileSystem, engine, window, Folder};
};

TEST(SkinApplier, PresentSkinColoursTheWindowAndFrameAndMakesTheFiveCallsInOrder)
{
    SkinBench bench;
    bench.fileSystem.addFile(SkinFile);
    bench.engine.flags = 6;
    bench.skin.applySkin();

    EXPECT_EQ(bench.engine.calls,
              (QStringList{QStringLiteral("load:/opt/bw/x/o.cjs:"), QStringLiteral("readFlags"),
                           QStringLiteral("writeFlags:7"), QStringLiteral("option:5:1"),
                           QStringLiteral("option:10:1"), QStringLiteral("apply:16897")}));
    EXPECT_EQ(bench.engine.flags, 7);
    EXPECT_EQ(bench.engine.appliedTo, bench.window.handle);
    EXPECT_EQ(bench.window.windowColour, Colour::ButtonFace);
    EXPECT_EQ(bench.window.controlColours.value(QStringLiteral("Frame1")), Colour::ButtonFace);
    const char* keepTheirColours[] = {"ListView1", "Combo1", "ProgressBar1", "PushButton1", "PushButton2"};
    for (const char* name : keepTheirColours)
        EXPECT_EQ(bench.window.controlColours.value(QString::fromLatin1(name)), Colour::White) << name;
}

TEST(SkinApplier, FlagBitZeroIsSetKeepingTheOthers)
{
    const qint32 table[][2] = {{0, 1}, {1, 1}, {6, 7}, {7, 7}, {-2, -1}, {0x40000000, 0x40000001}};
    for (const auto& row : table) {
        SkinBench bench;
        bench.fileSystem.addFile(SkinFile);
        bench.engine.flags = row[0];
        bench.skin.applySkin();
        EXPECT_EQ(bench.engine.flags, row[1]) << row[0];
    }
}

TEST(SkinApplier, OnlyOptionButtonsCheckBoxesFramesAndLabelsTakeTheColour)
{
    const std::pair<ControlKind, quint32> table[] = {
        {ControlKind::OptionButton, Colour::ButtonFace},
        {ControlKind::CheckBox, Colour::ButtonFace},
        {ControlKind::Frame, Colour::ButtonFace},
        {ControlKind::Label, Colour::ButtonFace},
        {ControlKind::Other, Colour::White},
    };
    SkinBench bench;
    int n = 0;
    for (const auto& [kind, colour] : table)
        bench.window.addControl(QStringLiteral("Control%1").arg(++n), kind);
    bench.fileSystem.addFile(SkinFile);
    bench.skin.applySkin();
    n = 0;
    for (const auto& [kind, colour] : table)
        EXPECT_EQ(bench.window.controlColours.value(QStringLiteral("Control%1").arg(++n)), colour) << n;
}

enum class Shape { Missing, File, Folder, Special, HiddenFile, StatusFails };

struct PresenceCase {
    const char* name;
    Shape shape;
    bool skinned;
};

TEST(SkinApplier, OnlyANormalFileCountsAsTheSkin)
{
    const PresenceCase table[] = {
        {"missing", Shape::Missing, false},        {"normal file", Shape::File, true},
        {"folder", Shape::Folder, false},          {"special file", Shape::Special, false},
        {"hidden file", Shape::HiddenFile, false}, {"unreadable", Shape::StatusFails, false},
    };
    for (const PresenceCase& c : table) {
        SkinBench bench;
        bench.fileSystem.addFile(Folder + QStringLiteral("/x/.o.cjs"));
        bench.fileSystem.addFile(Folder + QStringLiteral("/o.cjs"));
        switch (c.shape) {
        case Shape::Missing:
            break;
        case Shape::File:
            bench.fileSystem.addFile(SkinFile);
            break;
        case Shape::Folder:
            bench.fileSystem.addFolder(SkinFile);
            bench.fileSystem.addFile(SkinFile + QStringLiteral("/o.cjs"));
            break;
        case Shape::Special:
            bench.fileSystem.addSpecial(SkinFile);
            break;
        case Shape::HiddenFile:
            bench.fileSystem.addFile(SkinFile);
            bench.fileSystem.hidden.insert(SkinFile);
            break;
        case Shape::StatusFails:
            bench.fileSystem.addFile(SkinFile);
            bench.fileSystem.failStatus.insert(SkinFile);
            break;
        }
        EXPECT_EQ(bench.skin.skinFilePresent(), c.skinned) << c.name;
        bench.skin.applySkin();
        if (c.skinned) {
            EXPECT_EQ(bench.engine.calls.size(), 6) << c.name; // the flags are read and written
            EXPECT_EQ(bench.window.windowColour, Colour::ButtonFace) << c.name;
        } else {
            EXPECT_TRUE(bench.engine.calls.isEmpty()) << c.name;
            EXPECT_EQ(bench.window.windowColour, Colour::White) << c.name;
            EXPECT_EQ(bench.window.controlColours.value(QStringLiteral("Frame1")), Colour::White) << c.name;
        }
    }
}

TEST(SkinApplier, AFailingSkinCallEndsTheStepThere)
{
    const std::pair<const char*, int> table[] = {
        {"load", 1}, {"readFlags", 2}, {"writeFlags", 3}, {"apply", 6}};
    for (const auto& [failing, callsMade] : table) {
        SkinBench bench;
        bench.fileSystem.addFile(SkinFile);
        bench.engine.failOn = QString::fromLatin1(failing);
        EXPECT_THROW(bench.skin.applySkin(), PlatformError) << failing;
        EXPECT_EQ(bench.engine.calls.size(), callsMade) << failing;
        // The colours come before the skin calls.
        EXPECT_EQ(bench.window.windowColour, Colour::ButtonFace) << failing;
    }
}

} // namespace

} // namespace bw::test
