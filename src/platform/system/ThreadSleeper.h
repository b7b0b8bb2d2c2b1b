#pragma once

#include "platform/Sleeper.h"

namespace bw {

class StopRequest;

class ThreadSleeper : public Sleeper {
public:
    ThreadSleeper() = default;
    // Returns early once a stop is requested; wakeDescriptor turns readable
    // at that moment (TerminationSignals::wakeDescriptor), so no time is lost.
    ThreadSleeper(const StopRequest& stop, int wakeDescriptor) : stop_(&stop), wakeDescriptor_(wakeDescriptor)
    {
    }

    void sleepMilliseconds(int milliseconds) override;

private:
    const StopRequest* stop_ = nullptr;
    int wakeDescriptor_ = -1;
};

} // namespace bw
