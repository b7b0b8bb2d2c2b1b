#include "printers/UserLockWait.h"

#include "platform/Sleeper.h"
#include "platform/StopRequest.h"
#include "platform/UserLocks.h"

namespace bw {

namespace {
constexpr int RetryMilliseconds = 100;
}

bool waitForUserLock(UserLocks& locks, const QString& name, Sleeper& sleeper, const StopRequest* stop)
{
    for (;;) {
        if (stop && stop->stopRequested())
            return false;
        if (locks.tryLock(name))
            return true;
        sleeper.sleepMilliseconds(RetryMilliseconds);
    }
}

} // namespace bw
