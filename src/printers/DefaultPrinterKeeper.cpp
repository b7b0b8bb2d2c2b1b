#include "printers/DefaultPrinterKeeper.h"

#include "platform/PlatformError.h"
#include "platform/Processes.h"
#include "platform/StateFolder.h"
#include "platform/UserLocks.h"
#include "platform/UserPrinterOptions.h"
#include "printers/DefaultPrinterAccess.h"
#include "printers/UserLockWait.h"

#include <chrono>

namespace bw {

const QString& DefaultPrinterKeeper::lockName()
{
    static const QString name = QStringLiteral("default-printer");
    return name;
}

DefaultPrinterKeeper::DefaultPrinterKeeper(DefaultPrinterAccess& defaultPrinter, UserPrinterOptions& options,
                                           StateFolder& state, Processes& processes, UserLocks& locks,
                                           Sleeper& sleeper, const StopRequest* stop)
    : defaultPrinter_(defaultPrinter), options_(options), state_(state), processes_(processes), locks_(locks),
      sleeper_(sleeper), stop_(stop)
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
    const std::optional<QByteArray> now = options_.readUserOptions();
    DefaultPrinterSnapshot snapshot = DefaultPrinterSnapshot::of(now, name);
    if (snapshot_) {
        // The first run's snapshot still holds the user's own default; the
        // file holds that run's change, so only the Default line can go back.
        const DefaultPrinterSnapshot next = snapshot;
        snapshot = *snapshot_;
        snapshot.runDefault = next.runDefault;
        snapshot.writtenDigest = next.writtenDigest;
        snapshot.changed.clear();
        snapshot.appended = snapshot.exact = false;
    } else {
        snapshot.processId = processes_.currentProcessId();
        snapshot.processIdentity = processes_.identity(snapshot.processId);
        snapshot.takenAt = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    }
    // Known before the file changes, so a run killed at any moment can be undone.
    keep(snapshot);
    snapshot_ = snapshot;
    defaultPrinter_.set(name);
}

void DefaultPrinterKeeper::keep(const DefaultPrinterSnapshot& snapshot)
{
    const QString file = DefaultPrinterSnapshot::fileName(snapshot.processId, snapshot.processIdentity);
    const QByteArray bytes = snapshot.toBytes();
    const auto refuse = [&file](const QString& why) {
        throw PlatformError(ErrorNumber::FileAccess,
                            QStringLiteral("Your default printer was left as it is: the record that lets "
                                           "Brindlework put it back after a crash (%1) cannot be kept: %2")
                                .arg(file, why));
    };
    // A record the next start could not read would leave the run's default for good.
    if (bytes.size() > StateFolder::MaximumFileSize)
        refuse(QStringLiteral("your printer options file has too many default printer lines"));
    std::optional<QByteArray> readBack;
    try {
        state_.write(file, bytes);
        readBack = state_.read(file);
    } catch (const PlatformError& error) {
        refuse(error.description());
    }
    if (!readBack || DefaultPrinterSnapshot::fromBytes(*readBack) != snapshot) {
        // The record of a run whose put-back failed still holds the user's default.
        try {
            if (snapshot_)
                state_.write(file, snapshot_->toBytes());
            else
                state_.remove(file);
        } catch (const PlatformError&) {
        }
        refuse(QStringLiteral("it does not read back as it was written"));
    }
}

void DefaultPrinterKeeper::putBack()
{
    try {
        if (snapshot_) {
            snapshot_->undoIn(options_);
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
