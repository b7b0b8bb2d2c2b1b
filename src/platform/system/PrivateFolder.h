#pragma once

#include <QString>

namespace bw {

// A folder of the user's own that holds the program's files: opened without
// following a link (the folder's own name included), owned by the user and
// closed to everyone else. Nobody else can then swap a file in it for a link
// to one of the user's files, or read what it holds.
class PrivateFolder {
public:
    enum class Missing { Create, Leave };

    // Opens the folder, made (0700, with its parents) when missing and asked
    // to; throws PlatformError when it is a link, not a folder, or another
    // user's. isOpen() is false for a missing folder that was left missing.
    PrivateFolder(const QString& path, Missing missing);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool isOpen() const { return descriptor_ >= 0; }
    // For the *at() calls, which then never leave the folder.
    int descriptor() const { return descriptor_; }
    const QString& path() const { return path_; }

private:
    QString path_;
    int descriptor_ = -1;
};

} // namespace bw
