#pragma once

#include "platform/PlatformError.h"
#include "platform/uno/CallWatchdog.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/bridge/XBridgeFactory.hpp>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace bw {

class UnoObject;

// One connection to the office over a named pipe: the pipe, the URP bridge
// over it and the office's component context. Every remote call goes through
// call(), which bounds it with the watchdog and turns UNO failures into
// PlatformError. The bridge closes when the last proxy of the office's
// objects lets go: UNO shares one proxy per office object among all bridges to
// the same office, so a bridge must never be closed while others use it, and
// a new bridge to the same office gets the dead proxies of a broken-off one
// for as long as anything holds them.
class UnoConnection : public std::enable_shared_from_this<UnoConnection> {
public:
    // Asked on the watchdog's thread when a call on the connection reaches
    // its limit: true when the office still answers meanwhile (it waits on
    // its user, say in a dialog), so the call gets another period instead of
    // being broken off.
    using Probe = std::function<bool(UnoConnection&)>;

    // Null when nothing listens on the pipe; throws PlatformError when the
    // office is there but does not answer within connectTimeout.
    static std::shared_ptr<UnoConnection> open(const css::uno::Reference<css::uno::XComponentContext>& local,
                                               const QString& pipeName, CallWatchdog& watchdog,
                                               std::chrono::milliseconds answerTimeout,
                                               std::chrono::milliseconds connectTimeout, Probe probe = {});

    UnoConnection(CallWatchdog& watchdog, std::chrono::milliseconds answerTimeout, Probe probe);
    UnoConnection(const UnoConnection&) = delete;
    UnoConnection& operator=(const UnoConnection&) = delete;

    const css::uno::Reference<css::uno::XComponentContext>& remoteContext() const { return remote_; }

    template <class RemoteCall> auto call(RemoteCall&& remoteCall) -> decltype(remoteCall())
    {
        return callWithin(answerTimeout_, std::forward<RemoteCall>(remoteCall));
    }

    // In a hurry: within that limit, broken off there even while the office
    // answers others (no probe); otherwise as call().
    template <class RemoteCall>
    auto callHurried(std::optional<std::chrono::milliseconds> hurry, RemoteCall&& remoteCall)
        -> decltype(remoteCall())
    {
        return hurry ? callWithin(*hurry, std::forward<RemoteCall>(remoteCall), false)
                     : call(std::forward<RemoteCall>(remoteCall));
    }

    // Without the probe, a call at its limit is broken off even while the office answers others.
    template <class RemoteCall>
    auto callWithin(std::chrono::milliseconds limit, RemoteCall&& remoteCall, bool mayProbe = true)
        -> decltype(remoteCall())
    {
        // A broken-off bridge's proxies fail only with "already disposed".
        if (abandoned_)
            throw notAnswered(answerTimeout_);
        try {
            // Weak, so the watchdog never keeps a broken-off bridge's proxies alive.
            ArmedWatchdog armed(watchdog_, limit, [weak = weak_from_this(), mayProbe] {
                const auto self = weak.lock();
                return self && self->stillWaiting(mayProbe);
            });
            return remoteCall();
        } catch (...) {
            throwTranslated(limit);
        }
    }

    // Breaks off every connection to the office (a silent office answers on
    // none of them); a call in progress then fails at once.
    void breakOff();
    bool wasAbandoned() const { return abandoned_; }
    // False once the bridge has ended: broken off here, or the office gone.
    bool isUsable() const { return !abandoned_ && !*bridgeEnded_; }

    // Objects reached over this connection; their proxies are let go when the
    // connection is given up, so that a new bridge gets live ones.
    void adopt(const std::shared_ptr<UnoObject>& object);
    // Lets go of every proxy reached over this connection. On the calling
    // thread, never while a call of this connection runs.
    void releaseObjects();

    static QString toQString(const rtl::OUString& text);
    static rtl::OUString toOUString(const QString& text);
    static PlatformError notAnswered(std::chrono::milliseconds limit);

private:
    // At the limit: true to keep waiting, otherwise the connection is broken off.
    bool stillWaiting(bool mayProbe);
    [[noreturn]] void throwTranslated(std::chrono::milliseconds limit) const;

    CallWatchdog& watchdog_;
    std::chrono::milliseconds answerTimeout_;
    Probe probe_;
    css::uno::Reference<css::bridge::XBridgeFactory> bridges_;
    std::mutex mutex_;
    css::uno::Reference<css::connection::XConnection> connection_;
    css::uno::Reference<css::bridge::XBridge> bridge_;
    css::uno::Reference<css::uno::XComponentContext> remote_;
    std::vector<std::weak_ptr<UnoObject>> objects_;
    std::atomic<bool> abandoned_ = false;
    std::atomic<bool> probing_ = false;
    // Held while probing and breaking off, so a failed call returns only once
    // every bridge is down and cannot race a new connection being made.
    mutable std::mutex abandoning_;
    // Set by the bridge's own notice that it has ended.
    std::shared_ptr<std::atomic<bool>> bridgeEnded_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace bw
