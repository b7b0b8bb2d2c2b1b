#pragma once

#include "platform/CallWatchdog.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/bridge/XBridgeFactory.hpp>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <memory>
#include <mutex>

namespace bw {

// One connection to the office over a named pipe: the pipe, the URP bridge
// over it and the office's component context. Every remote call goes through
// call(), which bounds it with the watchdog and turns UNO failures into
// PlatformError. The bridge closes when the last proxy of the office's
// objects lets go: UNO shares one proxy per office object among all bridges to
// the same office, so a bridge must never be closed while others use it.
class UnoConnection : public std::enable_shared_from_this<UnoConnection> {
public:
    // Null when nothing listens on the pipe; throws PlatformError when the
    // office is there but does not answer.
    static std::shared_ptr<UnoConnection> open(const css::uno::Reference<css::uno::XComponentContext>& local,
                                               const QString& pipeName, CallWatchdog& watchdog,
                                               std::chrono::milliseconds answerTimeout);

    UnoConnection(CallWatchdog& watchdog, std::chrono::milliseconds answerTimeout);
    UnoConnection(const UnoConnection&) = delete;
    UnoConnection& operator=(const UnoConnection&) = delete;

    const css::uno::Reference<css::uno::XComponentContext>& remoteContext() const { return remote_; }

    template <class RemoteCall> auto call(RemoteCall&& remoteCall) -> decltype(remoteCall())
    {
        try {
            // Weak, so the watchdog never keeps a broken-off bridge's proxies alive.
            ArmedWatchdog armed(watchdog_, answerTimeout_, [weak = weak_from_this()] {
                if (const auto self = weak.lock())
                    self->abandon();
            });
            return remoteCall();
        } catch (...) {
            throwTranslated();
        }
    }

    // Breaks off every connection to the office (a silent office answers on
    // none of them); a call in progress then fails at once.
    void abandon();
    bool wasAbandoned() const { return abandoned_; }
    // False once the bridge has ended: broken off here, or the office gone.
    bool isUsable() const { return !abandoned_ && !*bridgeEnded_; }

    static QString toQString(const rtl::OUString& text);
    static rtl::OUString toOUString(const QString& text);

private:
    [[noreturn]] void throwTranslated() const;

    CallWatchdog& watchdog_;
    std::chrono::milliseconds answerTimeout_;
    css::uno::Reference<css::bridge::XBridgeFactory> bridges_;
    std::mutex mutex_;
    css::uno::Reference<css::connection::XConnection> connection_;
    css::uno::Reference<css::bridge::XBridge> bridge_;
    css::uno::Reference<css::uno::XComponentContext> remote_;
    std::atomic<bool> abandoned_ = false;
    // Held while abandoning, so a failed call returns only once every bridge
    // is down and cannot race a new connection being made.
    mutable std::mutex abandoning_;
    // Set by the bridge's own notice that it has ended.
    std::shared_ptr<std::atomic<bool>> bridgeEnded_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace bw
