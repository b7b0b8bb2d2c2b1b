#pragma once

#include <QString>

namespace bw {

// Named locks shared by every process of the user, so that two instances of
// the program do not do the same thing at once. A lock dies with the process
// that holds it.
class UserLocks {
public:
    virtual ~UserLocks() = default;
    // Takes the lock without waiting; false while another process of the
    // user holds it. Taking a lock this object holds already succeeds.
    virtual bool tryLock(const QString& name) = 0;
    // Releasing a lock this object does not hold does nothing.
    virtual void unlock(const QString& name) = 0;
};

} // namespace bw
