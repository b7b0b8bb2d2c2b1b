#pragma once

#include <QString>

namespace bw {

class FileSystem;

// True when the file system can tell the path's last-modified time; never throws.
bool fileExists(FileSystem& fileSystem, const QString& path);

} // namespace bw
