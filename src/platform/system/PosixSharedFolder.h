#pragma once

#include "platform/SharedFolder.h"

namespace bw {

class PosixSharedFolder : public SharedFolder {
public:
    std::vector<SharedFolderEntry> entries(const QString& folder) override;
    void makeFolder(const QString& path) override;
    Move moveWithoutReplacing(const QString& from, const QString& to) override;
    bool createFile(const QString& path, const QByteArray& content) override;
    QByteArray read(const QString& path) override;
    void remove(const QString& path) override;
    std::optional<SharedFolderEntry> entry(const QString& path) override;
    Use use(const QString& path) override;
    void append(const QString& path, const QByteArray& line) override;
    void touch(const QString& path) override;
};

} // namespace bw
