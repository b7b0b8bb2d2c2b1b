#pragma once

#include <QByteArray>
#include <optional>
#include <sys/types.h>

namespace bw {

// Writes all of the bytes, going on after interruptions and short writes.
// Returns 0, or the errno of the failure (EIO for a write that wrote nothing).
[[nodiscard]] int writeAll(int descriptor, const QByteArray& bytes);

struct FileOwner {
    uid_t user;
    gid_t group;
};

// Replaces the file of that name in the open folder with the content: written
// beside it under a name of this process, synced and renamed over it, so a
// crash leaves either the old file or the new one. Neither name is followed
// if it is a link, and the rename replaces a link, never what it points to.
// The new file gets exactly the mode and, when given, the owner (a change of
// owner that is refused fails the write). Returns 0 or the errno of the
// failure, after which the file is as it was.
[[nodiscard]] int replaceFileAt(int folder, const QByteArray& name, const QByteArray& content, mode_t mode,
                                std::optional<FileOwner> owner = std::nullopt);

} // namespace bw
