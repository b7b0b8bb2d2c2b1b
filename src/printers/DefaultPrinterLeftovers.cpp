#include "printers/DefaultPrinterLeftovers.h"

#include "platform/PlatformError.h"
#include "platform/Processes.h"
#include "platform/StateFolder.h"
#include "platform/UserLocks.h"
#include "printers/DefaultPrinterKeeper.h"

#include <QStringList>
#include <algorithm>

namespace bw {

namespace {

using Outcome = DefaultPrinterLeftovers::Leftover::Outcome;

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

DefaultPrinterLeftovers::DefaultPrinterLeftovers(UserPrinterOptions& options, StateFolder& state,
                                                 Processes& processes, UserLocks& locks)
    : options_(options), state_(state), processes_(processes), locks_(locks)
{
}

std::vector<DefaultPrinterLeftovers::Leftover> DefaultPrinterLeftovers::restore()
{
    if (!locks_.tryLock(DefaultPrinterKeeper::lockName()))
        return {};
    try {
        std::vector<Leftover> found = restoreLocked();
        locks_.unlock(DefaultPrinterKeeper::lockName());
        return found;
    } catch (...) {
        locks_.unlock(DefaultPrinterKeeper::lockName());
        throw;
    }
}

std::vector<DefaultPrinterLeftovers::Leftover> DefaultPrinterLeftovers::restoreLocked()
{
    std::vector<Leftover> found;
    const qint64 selfId = processes_.currentProcessId();
    const QString self = processes_.identity(selfId);
    for (const QString& name : state_.names()) {
        if (!DefaultPrinterSnapshot::isFileName(name))
            continue;
        Leftover leftover;
        leftover.file = name;
        std::optional<DefaultPrinterSnapshot> snapshot;
        QString failure;
        try {
            const std::optional<QByteArray> bytes = state_.read(name);
            if (!bytes)
                continue;
            snapshot = DefaultPrinterSnapshot::fromBytes(*bytes);
            if (!snapshot)
                failure = name + QStringLiteral(": not a record of Brindlework");
        } catch (...) {
            failure = descriptionOf(std::current_exception());
        }
        if (!snapshot) {
            // Set aside, so it is told of once and never read again.
            leftover.outcome = Outcome::Unreadable;
            leftover.detail = failure;
            try {
                state_.rename(name, name + QStringLiteral(".unreadable"));
            } catch (...) {
                try {
                    state_.remove(name);
                } catch (...) {
                }
            }
            found.push_back(leftover);
            continue;
        }
        // This process's own, or one of another program still running: that one undoes its own change.
        if (snapshot->processIdentity == self && snapshot->processId == selfId)
            continue;
        const QString identity = processes_.identity(snapshot->processId);
        if (!identity.isEmpty() && identity == snapshot->processIdentity)
            continue;
        leftover.snapshot = *snapshot;
        found.push_back(leftover);
    }
    // The latest first, so the earliest, the user's own, is what stays.
    std::stable_sort(found.begin(), found.end(), [](const Leftover& a, const Leftover& b) {
        return a.snapshot.takenAt > b.snapshot.takenAt;
    });
    for (Leftover& leftover : found) {
        if (leftover.outcome == Outcome::Unreadable)
            continue;
        try {
            switch (leftover.snapshot.undoIn(options_)) {
            case DefaultPrinterSnapshot::Undo::Done:
                leftover.outcome = Outcome::PutBack;
                break;
            case DefaultPrinterSnapshot::Undo::UserChoseAnew:
                leftover.outcome = Outcome::UserChoseAnew;
                break;
            case DefaultPrinterSnapshot::Undo::NothingToUndo:
                leftover.outcome = Outcome::NothingToUndo;
                break;
            }
            state_.remove(leftover.file);
        } catch (...) {
            leftover.outcome = Outcome::Failed;
            leftover.detail = descriptionOf(std::current_exception());
        }
    }
    return found;
}

QString DefaultPrinterLeftovers::message(const std::vector<Leftover>& leftovers)
{
    const QString cutShort =
        QStringLiteral("Brindlework ended during a print run before it could put your default printer back.");
    QStringList texts;
    const auto add = [&texts](const QString& text) {
        if (!texts.contains(text))
            texts.append(text);
    };
    const Leftover* earliest = nullptr;
    for (const Leftover& leftover : leftovers) {
        switch (leftover.outcome) {
        case Outcome::PutBack:
            earliest = &leftover;
            break;
        case Outcome::UserChoseAnew:
            add(cutShort + QStringLiteral(" Your default printer has been chosen anew since, so that "
                                          "choice stays as it is."));
            break;
        case Outcome::NothingToUndo:
            break;
        case Outcome::Failed:
            add(cutShort + QStringLiteral(" It cannot be put back now: ") + leftover.detail);
            break;
        case Outcome::Unreadable:
            add(QStringLiteral("A record Brindlework keeps of your default printer cannot be read, so "
                               "it has been set aside: ") +
                leftover.detail);
            break;
        }
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

bool DefaultPrinterLeftovers::anyFailed(const std::vector<Leftover>& leftovers)
{
    return std::any_of(leftovers.begin(), leftovers.end(), [](const Leftover& leftover) {
        return leftover.outcome == Outcome::Failed || leftover.outcome == Outcome::Unreadable;
    });
}

} // namespace bw
