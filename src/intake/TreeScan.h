#pragma once

#include <QStringList>
#include <optional>

namespace bw {

class FileSystem;
class WildcardPattern;
class Yielder;

// A folder and its whole tree: the sub-folders are collected first (the walk
// yields), then every folder's matching files are listed in folder order with
// no yield. Each file becomes folder + "/" + name with "//" collapsed. A folder
// whose files cannot be listed is passed over.
class TreeScan {
public:
    TreeScan(FileSystem& fileSystem, Yielder& yielder);

    // None when the walk stopped because the program is ending.
    QStringList rows(const QString& folder, const WildcardPattern& pattern);
    bool stopped() const { return stopped_; }
    // Why the start folder's own files could not be listed, if they could not.
    const std::optional<QString>& startFolderError() const { return startFolderError_; }

private:
    FileSystem& fileSystem_;
    Yielder& yielder_;
    bool stopped_ = false;
    std::optional<QString> startFolderError_;
};

} // namespace bw
