#include "appearance/SkinApplier.h"

#include "platform/FileSystem.h"
#include "platform/PlatformError.h"
#include "platform/SkinEngine.h"
#include "platform/SkinTarget.h"

namespace bw {

namespace {

bool takesSkinColour(ControlKind kind)
{
    switch (kind) {
    case ControlKind::OptionButton:
    case ControlKind::CheckBox:
    case ControlKind::Frame:
    case ControlKind::Label:
        return true;
    case ControlKind::Other:
        break;
    }
    return false;
}

} // namespace

SkinApplier::SkinApplier(FileSystem& fileSystem, SkinEngine& engine, SkinTarget& window,
                         QString programFolder)
    : fileSystem_(fileSystem), engine_(engine), window_(window), programFolder_(std::move(programFolder))
{
}

QString SkinApplier::skinPath() const
{
    return programFolder_ + QStringLiteral("/x/o.cjs");
}

bool SkinApplier::skinFilePresent() const
{
    try {
        const FileStatus status = fileSystem_.status(skinPath());
        return status.isRegularFile && !status.isDirectory && !status.isHidden;
    } catch (const PlatformError&) {
        return false; // no such file: the window keeps its plain look
    }
}

void SkinApplier::applySkin()
{
    if (!skinFilePresent())
        return;
    const QString path = skinPath();
    window_.setWindowBackground(Colour::ButtonFace);
    for (const ControlDescription& control : window_.controls()) {
        if (takesSkinColour(control.kind))
            window_.setControlBackground(control.name, Colour::ButtonFace);
    }
    engine_.loadSkin(path, QString());
    engine_.setOptionFlags(engine_.optionFlags() | 1);
    engine_.setOption(SkinEngine::OptionFive, true);
    engine_.setOption(SkinEngine::OptionTen, true);
    engine_.applyToWindow(window_.windowHandle());
}

} // namespace bw
