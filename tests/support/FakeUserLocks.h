#pragma once

#include "platform/UserLocks.h"

#include <QSet>

namespace bw::test {

// The user's locks in memory: those this process holds, and those another
// process holds (put there by a test, taken away to let it go).
class FakeUserLocks : public UserLocks {
public:
    bool tryLock(const QString& name) override
    {
        if (heldElsewhere.contains(name))
            return false;
        held.insert(name);
        return true;
    }
    void unlock(const QString& name) override { held.remove(name); }

    QSet<QString> held;
    QSet<QString> heldElsewhere;
};

} // namespace bw::test
