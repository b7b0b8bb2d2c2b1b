#include "printers/DefaultPrinterKeeper.h"

#include "platform/LpoptionsText.h"
#include "platform/PrinterServices.h"
#include "platform/Processes.h"
#include "platform/StateFolder.h"
#include "platform/UserLocks.h"
#include "printers/DefaultPrinterAccess.h"
#include "printers/UserLockWait.h"

#include <chrono>

namespace bw {

const QString& DefaultPrinterKeeper::lockName()
{
    static const QString name = QStringLiteral("default-printer");
    return name;
}

DefaultPrinterKeeper::DefaultPrinterKeeper(DefaultPrinterAccess& defaultPrinter, PrinterServices& printers,
                                           StateFolder& state, Processes& processes, UserLocks& locks,
                                           Sleeper& sleeper, const StopRequest* stop)
    : defaultPrinter_(defaultPrinter), printers_(printers), state_(state), processes_(processes),
      locks_(locks), sleeper_(sleeper), stop_(stop)
{
}

DefaultPrinterKeeper::~DefaultPrinterKeeper()
{
    unlock();
}

void DefaultPrinterKeeper::change(const QString& name)
{
    if (!locked_) {
        if (!waitForUserLock(locks_, lockName(), sleeper_, stop_))
            return;
        locked_ = true;
    }
    const std::optional<QByteArray> now = printers_.readUserOptions();
    DefaultPrinterSnapshot snapshot;
    if (snapshot_) {
        // The first run's snapshot still holds the user's own default.
        snapshot = *snapshot_;
    } else {
        snapshot.processId = processes_.currentProcessId();
        snapshot.processIdentity = processes_.identity(snapshot.processId);
        snapshot.takenAt = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
        snapshot.userOptions = now;
    }
    // Known before the file changes, so a run killed at any moment can be undone.
    snapshot.written = withDefault(now.value_or(QByteArray()), name);
    keep(snapshot);
    snapshot_ = snapshot;
    defaultPrinter_.set(name);
}

void DefaultPrinterKeeper::keep(const DefaultPrinterSnapshot& snapshot)
{
    state_.write(DefaultPrinterSnapshot::fileName(snapshot.processId, snapshot.processIdentity),
                 snapshot.toBytes());
}

void DefaultPrinterKeeper::putBack()
{
    try {
        if (snapshot_) {
            snapshot_->undoIn(printers_);
            state_.remove(DefaultPrinterSnapshot::fileName(snapshot_->processId, snapshot_->processIdentity));
            snapshot_.reset();
        }
    } catch (...) {
        // The next run of another window may go on: the snapshot it takes
        // holds this change, and this one's later try still undoes it.
        unlock();
        throw;
    }
    unlock();
}

void DefaultPrinterKeeper::unlock()
{
    if (locked_)
        locks_.unlock(lockName());
    locked_ = false;
}

} // namespace bw
