#include "intake/IntakeRules.h"

#include "platform/FileSystem.h"
#include "platform/PlatformError.h"

namespace bw {

QString IntakeRules::join(const QString& folder, const QString& name)
{
    QString result;
    result.reserve(folder.size() + 1 + name.size());
    result.append(folder).append(Separator).append(name);
    return result;
}

QString IntakeRules::collapse(const QString& path)
{
    const QLatin1String doubled("//");
    if (!path.contains(doubled))
        return path;
    QString result = path;
    result.replace(doubled, QLatin1String("/"));
    return result;
}

bool IntakeRules::isSkippedInFolderListing(const QString& name)
{
    return name.startsWith(QLatin1Char('~')) || name.startsWith(QLatin1String(".~lock."));
}

bool IntakeRules::isSpecialFile(FileSystem& fileSystem, const QString& path)
{
    try {
        const FileStatus status = fileSystem.status(path);
        return !status.isDirectory && !status.isRegularFile;
    } catch (const PlatformError&) {
        return false;
    }
}

} // namespace bw
