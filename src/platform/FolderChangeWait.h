#pragma once

#include <QStringList>

namespace bw {

// Waits for a file to arrive in a folder. Notification may never come (a
// network folder), so every wait is bounded; a stop request ends it at once.
class FolderChangeWait {
public:
    virtual ~FolderChangeWait() = default;
    // The names that arrived whole meanwhile: moved into the folder, or
    // closed by a writer.
    virtual QStringList waitForChange(int timeoutMilliseconds) = 0;
};

} // namespace bw
