#pragma once

#include "platform/FileSystem.h"

namespace bw {

class PosixFileSystem : public FileSystem {
public:
    QDateTime lastModified(const QString& path) override;
    FileStatus status(const QString& path) override;
    std::vector<DirectoryEntry> listDirectory(const QString& folder) override;
};

} // namespace bw
