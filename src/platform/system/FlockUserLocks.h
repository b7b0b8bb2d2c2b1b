#pragma once

#include "platform/UserLocks.h"

#include <QHash>

namespace bw {

// Named locks as flock() on files of the "locks" folder in the program's
// state folder (see XdgStateFolder), where the files they guard are: every instance with the
// same home sees the same locks, whatever its login's runtime folder, and no
// folder another user makes can stand in for it. The kernel releases a lock
// when its holder ends, however it ends.
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
