#pragma once

#include <QString>

namespace bw {

class FileSystem;
class SkinEngine;
class SkinTarget;

// ApplySkin: when the skin file lies in the program folder, the window's plain
// parts take the button-face colour and the skin engine restyles the window.
class SkinApplier {
public:
    SkinApplier(FileSystem& fileSystem, SkinEngine& engine, SkinTarget& window, QString programFolder);

    QString skinPath() const;
    // True when the skin file is there: a normal file, not hidden and not a folder.
    bool skinFilePresent() const;
    void applySkin();

private:
    FileSystem& fileSystem_;
    SkinEngine& engine_;
    SkinTarget& window_;
    QString programFolder_;
};

} // namespace bw
