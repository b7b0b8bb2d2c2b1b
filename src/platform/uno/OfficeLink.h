#pragma once

#include "platform/OfficeReference.h"
#include "platform/PlatformError.h"
#include "platform/uno/CallWatchdog.h"
#include "platform/uno/OfficeLauncher.h"
#include "platform/uno/OfficeRecord.h"
#include "platform/uno/UnoOfficeSuite.h"

#include <chrono>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <memory>
#include <optional>

namespace bw {

class UnoConnection;

// Starting and reaching the office: the one connection every call goes over,
// made anew once the office has gone, and the office started here when
// nothing listened on the pipe, with its record.
class OfficeLink {
public:
    explicit OfficeLink(UnoOfficeSuite::Options options);
    OfficeLink(const OfficeLink&) = delete;
    OfficeLink& operator=(const OfficeLink&) = delete;

    // A new reference to the office's service manager over a working
    // connection, reaching (or starting) the office as needed.
    OfficeReference serviceManager();
    // The live connection while its bridge stands; otherwise a new one, made
    // when the office listens (null when it does not).
    std::shared_ptr<UnoConnection> liveOrOpen();
    // Lets go of the live connection, and of its proxies when it was broken off.
    void giveUpLive();
    bool liveWasAbandoned() const;

    OfficeLauncher& launcher() { return launcher_; }
    // Null when offices started here are not recorded.
    OfficeRecord* record() { return record_ ? &*record_ : nullptr; }
    // Drops the record once the office started here has gone.
    void officeEnded();

private:
    const css::uno::Reference<css::uno::XComponentContext>& localContext();
    // A new connection's hand-shake needs no user: no probe grants it more time.
    std::chrono::milliseconds handShakeLimit() const;
    std::shared_ptr<UnoConnection> open(std::chrono::milliseconds handShakeLimit);
    // Whether the office answers a cheap call within the probe's time. Runs
    // on the watchdog's thread while a call on the connection waits.
    bool officeAnswers(UnoConnection& connection);
    std::shared_ptr<UnoConnection> startAndConnect();
    std::shared_ptr<UnoConnection> waitForOffice();
    // A working connection after the live one has ended: a new bridge to the
    // same office when it answers; an office started here that does not is
    // ended and started anew.
    std::shared_ptr<UnoConnection> reconnect();

    UnoOfficeSuite::Options options_;
    OfficeLauncher launcher_;
    std::optional<OfficeRecord> record_;
    CallWatchdog watchdog_;
    // Bounds the probe, which runs on the other watchdog's thread.
    CallWatchdog probeWatchdog_;
    css::uno::Reference<css::uno::XComponentContext> local_;
    std::optional<PlatformError> startFailure_;
    std::chrono::steady_clock::time_point startFailureTime_;
    // One bridge serves every call while the office lives: a new pipe
    // connection per service manager costs time, and several bridges to one
    // office share proxies, so one ending can break calls made on another.
    // Declared after the watchdog it uses.
    std::shared_ptr<UnoConnection> live_;
};

} // namespace bw
