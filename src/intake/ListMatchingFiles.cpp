#include "intake/ListMatchingFiles.h"

#include "intake/IntakeRules.h"
#include "intake/WildcardPattern.h"
#include "platform/FileSystem.h"

namespace bw {

QStringList listMatchingFiles(FileSystem& fileSystem, const QString& folder, const WildcardPattern& pattern)
{
    const QString listed = folder.endsWith(IntakeRules::Separator) ? folder : folder + IntakeRules::Separator;
    QStringList names;
    for (DirectoryEntry& entry : fileSystem.listDirectory(listed)) {
        if (!entry.isRegularFile || IntakeRules::isSkippedInFolderListing(entry.name))
            continue;
        if (pattern.matches(entry.name))
            names.append(std::move(entry.name));
    }
    return names;
}

} // namespace bw
