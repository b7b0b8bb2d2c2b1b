#pragma once

#include <QString>

namespace bw {

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
};

} // namespace bw
