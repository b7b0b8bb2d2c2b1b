#include "platform/uno/UnoConnection.h"

#include "platform/PlatformError.h"
#include "platform/uno/UnoObject.h"

#include <com/sun/star/bridge/XBridgeFactory.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/connection/XConnector.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <cppuhelper/implbase1.hxx>

namespace bw {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// Notes that a bridge has ended, whether this side or the office ended it.
class BridgeEndListener : public cppu::WeakImplHelper1<css::lang::XEventListener> {
public:
    explicit BridgeEndListener(std::shared_ptr<std::atomic<bool>> ended) : ended_(std::move(ended)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override { *ended_ = true; }

private:
    std::shared_ptr<std::atomic<bool>> ended_;
};

} // namespace

QString UnoConnection::toQString(const rtl::OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

rtl::OUString UnoConnection::toOUString(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

UnoConnection::UnoConnection(CallWatchdog& watchdog, std::chrono::milliseconds answerTimeout, Probe probe)
    : watchdog_(watchdog), answerTimeout_(answerTimeout), probe_(std::move(probe))
{
}

PlatformError UnoConnection::notAnswered(std::chrono::milliseconds limit)
{
    return PlatformError(ErrorNumber::Automation,
                         QStringLiteral("LibreOffice did not answer within %1 seconds")
                             .arg(std::chrono::duration_cast<std::chrono::seconds>(limit).count()));
}

std::shared_ptr<UnoConnection> UnoConnection::open(const Reference<css::uno::XComponentContext>& local,
                                                   const QString& pipeName, CallWatchdog& watchdog,
                                                   std::chrono::milliseconds answerTimeout,
                                                   std::chrono::milliseconds connectTimeout, Probe probe)
{
    const Reference<css::lang::XMultiComponentFactory> factory = local->getServiceManager();
    Reference<css::connection::XConnection> pipe;
    try {
        const Reference<css::connection::XConnector> connector(
            factory->createInstanceWithContext("com.sun.star.connection.Connector", local), UNO_QUERY_THROW);
        pipe = connector->connect(toOUString(QStringLiteral("pipe,name=") + pipeName));
    } catch (const css::connection::NoConnectException&) {
        return nullptr;
    } catch (const css::uno::Exception& error) {
        throw PlatformError(ErrorNumber::Automation, toQString(error.Message));
    }

    auto connection = std::make_shared<UnoConnection>(watchdog, answerTimeout, std::move(probe));
    {
        std::lock_guard lock(connection->mutex_);
        connection->connection_ = pipe;
    }
    // The hand-shake needs no user: no probe grants it more time.
    auto probeLater = std::move(connection->probe_);
    connection->callWithin(connectTimeout, [&] {
        const Reference<css::bridge::XBridgeFactory> bridges(
            factory->createInstanceWithContext("com.sun.star.bridge.BridgeFactory", local), UNO_QUERY_THROW);
        {
            std::lock_guard lock(connection->mutex_);
            connection->bridges_ = bridges;
        }
        const Reference<css::bridge::XBridge> bridge = bridges->createBridge("", "urp", pipe, nullptr);
        Reference<css::lang::XComponent>(bridge, UNO_QUERY_THROW)
            ->addEventListener(new BridgeEndListener(connection->bridgeEnded_));
        {
            std::lock_guard lock(connection->mutex_);
            connection->bridge_ = bridge;
        }
        connection->remote_.set(bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
    });
    connection->probe_ = std::move(probeLater);
    return connection;
}

bool UnoConnection::stillWaiting(bool mayProbe)
{
    std::lock_guard whole(abandoning_);
    if (abandoned_)
        return false;
    if (probe_ && mayProbe) {
        probing_ = true;
        bool answers = false;
        try {
            answers = probe_(*this);
        } catch (...) {
            answers = false;
        }
        probing_ = false;
        if (answers)
            return true;
    }
    breakOff();
    return false;
}

void UnoConnection::adopt(const std::shared_ptr<UnoObject>& object)
{
    std::lock_guard lock(mutex_);
    // Forget the objects already gone now and then, so long runs stay small.
    if (objects_.size() >= 64 && objects_.size() == objects_.capacity())
        std::erase_if(objects_, [](const std::weak_ptr<UnoObject>& each) { return each.expired(); });
    objects_.push_back(object);
}

void UnoConnection::releaseObjects()
{
    std::vector<std::weak_ptr<UnoObject>> objects;
    {
        std::lock_guard lock(mutex_);
        objects.swap(objects_);
    }
    for (const auto& each : objects)
        if (const auto object = each.lock())
            object->release();
    remote_.clear();
}

void UnoConnection::breakOff()
{
    Reference<css::bridge::XBridge> bridge;
    Reference<css::connection::XConnection> pipe;
    Reference<css::bridge::XBridgeFactory> bridges;
    {
        std::lock_guard lock(mutex_);
        bridge = bridge_;
        pipe = connection_;
        bridges = bridges_;
    }
    abandoned_ = true;
    auto dispose = [](const Reference<css::bridge::XBridge>& each) {
        try {
            if (const Reference<css::lang::XComponent> component(each, UNO_QUERY); component.is())
                component->dispose();
        } catch (const css::uno::Exception&) {
            // Already gone.
        }
    };
    if (bridge.is())
        dispose(bridge);
    else if (pipe.is())
        try {
            pipe->close();
        } catch (const css::uno::Exception&) {
            // Already closed.
        }
    if (bridges.is()) {
        const auto existing = bridges->getExistingBridges();
        for (const auto& each : existing)
            dispose(each);
    }
}

void UnoConnection::throwTranslated(std::chrono::milliseconds limit) const
{
    try {
        throw;
    } catch (const PlatformError&) {
        throw;
    } catch (const css::uno::Exception& error) {
        // A probe that finds the office silent breaks every bridge off before
        // this connection is marked; wait for it to decide.
        if (abandoned_ || probing_) {
            std::lock_guard finished(abandoning_);
            if (abandoned_)
                throw notAnswered(limit);
        }
        QString description = toQString(error.Message);
        if (description.isEmpty())
            description = QStringLiteral("LibreOffice reported a failure");
        throw PlatformError(ErrorNumber::Automation, description);
    }
}

} // namespace bw
