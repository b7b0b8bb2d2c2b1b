#pragma once

#include <QStringList>

namespace bw {

class FileSystem;
class WildcardPattern;

// ListMatchingFiles: the bare names of the files in one folder that match the
// pattern, in the order the file system lists them. Hidden files count; folders,
// FIFOs, sockets and devices never do (loading a FIFO would block for ever),
// nor do "~" files and lock files. A folder that cannot be listed throws
// PlatformError.
QStringList listMatchingFiles(FileSystem& fileSystem, const QString& folder, const WildcardPattern& pattern);

} // namespace bw
