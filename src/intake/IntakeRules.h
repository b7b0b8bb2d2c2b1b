#pragma once

#include <QString>

namespace bw {

class FileSystem;

// The rules every intake path shares when it forms a row from a folder and a name.
class IntakeRules {
public:
    static constexpr QChar Separator = QLatin1Char('/');

    // Folder text, "/", then the bare name.
    static QString join(const QString& folder, const QString& name);
    // Every "//" becomes "/", in one pass from the left over non-overlapping
    // pairs, so a join after the root ("/" + "/" + name) has one separator.
    static QString collapse(const QString& path);
    // Names skipped where intake lists a folder itself: "~" files and the
    // office's own lock files (".~lock."), which are never documents.
    static bool isSkippedInFolderListing(const QString& name);
    // A FIFO, socket or device (links followed) never becomes a row: the
    // office cannot print one and reading one can block. A path that cannot
    // be looked at is not one.
    static bool isSpecialFile(FileSystem& fileSystem, const QString& path);
};

} // namespace bw
