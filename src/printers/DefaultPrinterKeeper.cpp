#include "printers/DefaultPrinterKeeper.h"

#include "platform/PlatformError.h"
#include "platform/PrinterServices.h"
#include "platform/Processes.h"
#include "platform/StateFolder.h"
#include "printers/DefaultPrinterAccess.h"

#include <algorithm>
#include <chrono>

namespace bw {

namespace {

QString descriptionOf(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const PlatformError& error) {
        return error.description();
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("An unknown failure occurred");
    }
}

} // namespace

DefaultPrinterKeeper::DefaultPrinterKeeper(DefaultPrinterAccess& defaultPrinter, PrinterServices& printers,
                                           StateFolder& state, Processes& processes)
    : defaultPrinter_(defaultPrinter), printers_(printers), state_(state), processes_(processes)
{
}

void DefaultPrinterKeeper::change(const QString& name)
{
    if (!snapshot_) {
        DefaultPrinterSnapshot snapshot;
        snapshot.processId = processes_.currentProcessId();
        snapshot.processIdentity = processes_.identity(snapshot.processId);
        snapshot.takenAt = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
        snapshot.userOptions = printers_.readUserOptions();
        try {
            snapshot.effectiveDefault = printers_.defaultPrinterName();
        } catch (const PlatformError&) {
            // No default at all is a state like any other, and it is what comes back.
        }
        snapshot.origin = DefaultPrinterSnapshot::originOf(printers_.environmentDefault(),
                                                           snapshot.userDefault(), snapshot.effectiveDefault);
        snapshot.chosenPrinter = name;
        state_.write(DefaultPrinterSnapshot::fileName(snapshot.processId), snapshot.toBytes());
        snapshot_ = snapshot;
    }
    try {
        defaultPrinter_.set(name);
    } catch (...) {
        // A failure may come after the file was written (LPDEST outranks it).
        noteWritten();
        throw;
    }
    noteWritten();
}

void DefaultPrinterKeeper::noteWritten()
{
    // Best effort: without it, putting back keeps any other change to the
    // file and restores only the Default line.
    try {
        snapshot_->written = printers_.readUserOptions();
        snapshot_->writtenKnown = true;
        state_.write(DefaultPrinterSnapshot::fileName(snapshot_->processId), snapshot_->toBytes());
    } catch (const std::exception&) {
    }
}

void DefaultPrinterKeeper::putBack()
{
    if (!snapshot_)
        return;
    putBackInto(*snapshot_);
    snapshot_.reset();
}

void DefaultPrinterKeeper::putBackInto(const DefaultPrinterSnapshot& snapshot)
{
    const std::optional<QByteArray> now = printers_.readUserOptions();
    const std::optional<QByteArray> wanted = snapshot.restoredOptions(now);
    if (wanted != now)
        printers_.writeUserOptions(wanted);
    state_.remove(DefaultPrinterSnapshot::fileName(snapshot.processId));
}

std::vector<DefaultPrinterKeeper::Leftover> DefaultPrinterKeeper::restoreLeftovers()
{
    std::vector<Leftover> found;
    const qint64 self = processes_.currentProcessId();
    for (const QString& name : state_.names()) {
        const std::optional<qint64> id = DefaultPrinterSnapshot::processIdOfFileName(name);
        if (!id || *id == self)
            continue;
        Leftover leftover;
        try {
            const std::optional<QByteArray> bytes = state_.read(name);
            if (!bytes)
                continue;
            const std::optional<DefaultPrinterSnapshot> snapshot = DefaultPrinterSnapshot::fromBytes(*bytes);
            if (!snapshot)
                throw PlatformError(ErrorNumber::FileAccess, name + QStringLiteral(" cannot be read"));
            // Another instance that is still running undoes its own change.
            const QString identity = processes_.identity(*id);
            if (!identity.isEmpty() && identity == snapshot->processIdentity)
                continue;
            leftover.snapshot = *snapshot;
        } catch (...) {
            leftover.failure = descriptionOf(std::current_exception());
        }
        found.push_back(leftover);
    }
    // The latest first, so the earliest, the user's own, is what stays.
    std::stable_sort(found.begin(), found.end(), [](const Leftover& a, const Leftover& b) {
        return a.snapshot.takenAt > b.snapshot.takenAt;
    });
    for (Leftover& leftover : found) {
        if (!leftover.failure.isEmpty())
            continue;
        try {
            putBackInto(leftover.snapshot);
        } catch (...) {
            leftover.failure = descriptionOf(std::current_exception());
        }
    }
    return found;
}

QString DefaultPrinterKeeper::leftoverMessage(const std::vector<Leftover>& leftovers)
{
    const QString cutShort =
        QStringLiteral("Brindlework ended during a print run before it could put your default printer back.");
    QStringList texts;
    const Leftover* earliest = nullptr;
    for (const Leftover& leftover : leftovers) {
        if (leftover.failure.isEmpty()) {
            earliest = &leftover;
            continue;
        }
        const QString text = cutShort + QStringLiteral(" It cannot be put back now: ") + leftover.failure;
        if (!texts.contains(text))
            texts.append(text);
    }
    // What the put-backs left in the end is what the earliest snapshot holds.
    if (earliest) {
        if (const std::optional<QString> own = earliest->snapshot.userDefault()) {
            texts.prepend(
                cutShort +
                QStringLiteral(" It has been put back now: your default printer is \"%1\" again.").arg(*own));
        } else {
            texts.prepend(cutShort +
                          QStringLiteral(" It has been put back now: you have no default printer of your "
                                         "own again, so the printing system's default applies."));
        }
    }
    return texts.join(QStringLiteral("\r\n\r\n"));
}

} // namespace bw
