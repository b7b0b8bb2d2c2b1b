#pragma once

#include <QString>

namespace bw {

class Sleeper;
class StopRequest;
class UserLocks;

// Takes the named lock, waiting while another process of the user holds it
// (a try every 100 ms, asleep in between). Returns false, without the lock,
// once a stop is requested: a sleeper woken by the stop ends the wait at once.
bool waitForUserLock(UserLocks& locks, const QString& name, Sleeper& sleeper, const StopRequest* stop);

} // namespace bw
