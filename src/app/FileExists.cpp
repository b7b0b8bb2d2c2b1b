#include "app/FileExists.h"

#include "platform/FileSystem.h"
#include "platform/PlatformError.h"

namespace bw {

bool fileExists(FileSystem& fileSystem, const QString& path)
{
    try {
        return fileSystem.lastModified(path).isValid();
    } catch (const PlatformError&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace bw
