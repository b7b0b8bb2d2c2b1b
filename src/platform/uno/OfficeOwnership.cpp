#include "platform/uno/OfficeOwnership.h"

#include "platform/uno/OfficeDocuments.h"
#include "platform/uno/OfficeLink.h"
#include "platform/uno/UnoCalls.h"

#include <thread>

namespace bw {

using css::uno::Reference;
using namespace std::chrono_literals;

void OfficeOwnership::takeOverLeftOffice()
{
    OfficeRecord* record = link_.record();
    if (!record || link_.launcher().isRunning())
        return;
    const std::optional<qint64> office = record->takeOver();
    if (!office)
        return;
    // Only the documents open now were loaded by the instance that started
    // it; one opened later is the user's. An office that cannot be asked now
    // is left to the user.
    bool counted = false;
    try {
        if (const auto connection = link_.liveOrOpen()) {
            const Reference<css::frame::XDesktop> desktop = desktopOf(*connection);
            counted = desktop.is() && documents_.onlyOwnOpen(*connection, desktop, true);
        }
    } catch (const PlatformError&) {
        link_.giveUpLive();
    }
    if (counted)
        link_.launcher().takeOver(*office, record->officeIdentity());
    else
        record->ended();
}

bool OfficeOwnership::endUnansweringOffice()
{
    if (!link_.liveWasAbandoned() || !link_.launcher().isRunning())
        return false;
    link_.giveUpLive();
    link_.launcher().kill();
    return true;
}

bool OfficeOwnership::endSelfStartedOffice(std::optional<std::chrono::milliseconds> hurry)
{
    if (!link_.launcher().isRunning())
        return false;
    std::shared_ptr<UnoConnection> connection;
    bool asked = false;
    try {
        connection = link_.liveOrOpen();
        if (!connection)
            return false;
        const Reference<css::frame::XDesktop> desktop = desktopOf(*connection);
        if (!desktop.is() || !documents_.onlyOwnOpen(*connection, desktop, false, hurry))
            return false;
        asked = true;
        connection->callHurried(hurry, [&] { desktop->terminate(); });
    } catch (const PlatformError&) {
        // An office started here that no longer answers would stay behind
        // for good, holding the profile: nothing in it can be saved anyway.
        if (!connection || connection->wasAbandoned()) {
            link_.giveUpLive();
            link_.launcher().kill();
            return true;
        }
        // One that ends at once may close the bridge before it answers terminate().
        if (!asked)
            return false;
    }
    // terminate() returns at once; the processes go a few tens of
    // milliseconds later, which a short batch waits for at its end.
    const auto deadline = std::chrono::steady_clock::now() + hurry.value_or(10s);
    while (link_.launcher().isRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    if (hurry && link_.launcher().isRunning()) {
        link_.giveUpLive();
        link_.launcher().kill();
        return true;
    }
    link_.officeEnded();
    return true;
}

void OfficeOwnership::handOverSelfStartedOffice()
{
    if (link_.record() && link_.launcher().isRunning())
        link_.record()->ended();
}

bool OfficeOwnership::restartSelfStartedOffice()
{
    if (!endSelfStartedOffice() || link_.launcher().isRunning())
        return false;
    // The next service manager starts it afresh.
    link_.giveUpLive();
    return true;
}

} // namespace bw
