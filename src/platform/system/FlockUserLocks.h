#pragma once

#include "platform/UserLocks.h"

#include <QHash>

namespace bw {

// Named locks as flock() on files of a private folder:
// $XDG_RUNTIME_DIR/brindlework, or /tmp/brindlework-<uid> without it. The
// kernel releases a lock when its holder ends, however it ends.
class FlockUserLocks : public UserLocks {
public:
    FlockUserLocks() = default;
    ~FlockUserLocks() override;
    FlockUserLocks(const FlockUserLocks&) = delete;
    FlockUserLocks& operator=(const FlockUserLocks&) = delete;

    // Throws PlatformError when the folder or the lock file cannot be used.
    bool tryLock(const QString& name) override;
    void unlock(const QString& name) override;

    static QString folderPath();

private:
    QHash<QString, int> held_;
};

} // namespace bw
