#include "platform/uno/OfficeLink.h"

#include "platform/uno/UnoCalls.h"
#include "platform/uno/UnoConnection.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <mutex>
#include <rtl/bootstrap.hxx>
#include <thread>

namespace bw {

using css::uno::Reference;
using namespace std::chrono_literals;

namespace {

// Records in the profile that it has met this office version. The office
// runs its graphics self-test at each start until then, and only a window
// it opens records it.
void markProfileCurrent(UnoConnection& connection)
{
    connection.call([&] {
        const Reference<css::uno::XComponentContext> context = connection.remoteContext();
        const Reference<css::lang::XMultiServiceFactory> provider(
            context->getServiceManager()->createInstanceWithContext(
                "com.sun.star.configuration.ConfigurationProvider", context),
            css::uno::UNO_QUERY_THROW);
        const css::uno::Any path(css::beans::NamedValue(
            "nodepath", css::uno::Any(rtl::OUString("/org.openoffice.Setup/Product"))));
        const Reference<css::beans::XPropertySet> product(
            provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationUpdateAccess",
                                                  css::uno::Sequence<css::uno::Any>(&path, 1)),
            css::uno::UNO_QUERY_THROW);
        rtl::OUString version;
        rtl::OUString last;
        product->getPropertyValue("ooSetupVersion") >>= version;
        product->getPropertyValue("ooSetupLastVersion") >>= last;
        if (version.isEmpty() || version == last)
            return;
        product->setPropertyValue("ooSetupLastVersion", css::uno::Any(version));
        Reference<css::util::XChangesBatch>(product, css::uno::UNO_QUERY_THROW)->commitChanges();
    });
}

} // namespace

OfficeLink::OfficeLink(UnoOfficeSuite::Options options)
    : options_(std::move(options)),
      launcher_(options_.programFolder, options_.pipeName, options_.profileUrl, options_.headless)
{
    if (options_.state && options_.processes)
        record_.emplace(*options_.state, *options_.processes, options_.pipeName);
}

OfficeReference OfficeLink::serviceManager()
{
    auto serviceManagerOf = [](const std::shared_ptr<UnoConnection>& connection) {
        return connection->call(
            [&] { return wrap(connection, connection->remoteContext()->getServiceManager()); });
    };
    if (const auto live = live_; live && live->isUsable()) {
        try {
            return serviceManagerOf(live);
        } catch (const PlatformError&) {
            // A silent office has had its bounded wait already: the next
            // call reconnects. One that has gone gets a new connection, or a
            // new start, below.
            if (live->wasAbandoned()) {
                giveUpLive();
                throw;
            }
        }
    }
    return serviceManagerOf(reconnect());
}

void OfficeLink::officeEnded()
{
    if (record_ && !launcher_.isRunning())
        record_->ended();
}

bool OfficeLink::liveWasAbandoned() const
{
    return live_ && live_->wasAbandoned();
}

const Reference<css::uno::XComponentContext>& OfficeLink::localContext()
{
    if (local_.is())
        return local_;
    // Offices of one batch start on threads of their own; the bootstrap
    // settings are the process's.
    static std::mutex bootstrapping;
    const std::lock_guard lock(bootstrapping);
    // Without it the first remote call crashes the client.
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        rtl::Bootstrap::set("URE_BOOTSTRAP", UnoConnection::toOUString(
                                                 QStringLiteral("vnd.sun.star.pathname:") +
                                                 options_.programFolder + QStringLiteral("/fundamentalrc")));
    try {
        local_ = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const cppu::BootstrapException& error) {
        throw PlatformError(ErrorNumber::Automation,
                            QStringLiteral("The UNO runtime could not be started: ") +
                                UnoConnection::toQString(error.getMessage()));
    } catch (const css::uno::Exception& error) {
        throw PlatformError(ErrorNumber::Automation,
                            QStringLiteral("The UNO runtime could not be started: ") +
                                UnoConnection::toQString(error.Message));
    }
    return local_;
}

std::chrono::milliseconds OfficeLink::handShakeLimit() const
{
    return std::min(options_.answerTimeout, options_.probeTimeout);
}

std::shared_ptr<UnoConnection> OfficeLink::open(std::chrono::milliseconds handShakeLimit)
{
    return UnoConnection::open(localContext(), options_.pipeName, watchdog_, options_.answerTimeout,
                               handShakeLimit,
                               [this](UnoConnection& waiting) { return officeAnswers(waiting); });
}

std::shared_ptr<UnoConnection> OfficeLink::startAndConnect()
{
    if (startFailure_ && std::chrono::steady_clock::now() - startFailureTime_ < options_.restartPause)
        throw *startFailure_;
    try {
        if (!launcher_.isRunning()) {
            launcher_.start();
            if (record_)
                record_->started(launcher_.processId());
        }
        auto connection = waitForOffice();
        startFailure_.reset();
        if (options_.privateProfile) {
            try {
                markProfileCurrent(*connection);
            } catch (const PlatformError&) {
                // The next start is only slower.
            }
        }
        return connection;
    } catch (const PlatformError& error) {
        startFailure_ = error;
        startFailureTime_ = std::chrono::steady_clock::now();
        throw;
    }
}

std::shared_ptr<UnoConnection> OfficeLink::waitForOffice()
{
    const auto deadline = std::chrono::steady_clock::now() + options_.startTimeout;
    // A soffice that finds an office already running on its profile hands the
    // pipe over to it and ends; give the hand-over a moment.
    std::optional<std::chrono::steady_clock::time_point> endedAt;
    for (;;) {
        std::this_thread::sleep_for(10ms);
        // An office still starting takes its time over the hand-shake on a
        // busy machine: the start's own bound holds for it, not a call's.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        try {
            if (auto connection = open(std::max(left, handShakeLimit())))
                return connection;
        } catch (const PlatformError&) {
            // A hand-shake cut at the start's bound fails as the start does.
            if (std::chrono::steady_clock::now() < deadline)
                throw;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!launcher_.isRunning()) {
            if (!endedAt)
                endedAt = now;
            else if (now - *endedAt > 3s)
                throw PlatformError(ErrorNumber::Automation,
                                    QStringLiteral("LibreOffice ended before it answered on pipe \"%1\"")
                                        .arg(options_.pipeName));
        }
        if (now >= deadline)
            throw PlatformError(
                ErrorNumber::Automation,
                QStringLiteral("LibreOffice did not answer on pipe \"%1\" within %2 seconds")
                    .arg(options_.pipeName)
                    .arg(std::chrono::duration_cast<std::chrono::seconds>(options_.startTimeout).count()));
    }
}

bool OfficeLink::officeAnswers(UnoConnection& connection)
{
    // Another thread's call on the waiting call's own bridge: the office
    // serves each calling thread apart. A second bridge in this process would
    // get this one's proxies, and the office drops such a bridge as soon as
    // it has answered, now and then before its answer is read.
    ArmedWatchdog armed(probeWatchdog_, options_.probeTimeout, [&connection] {
        connection.breakOff();
        return false;
    });
    try {
        const auto context = connection.remoteContext();
        if (!context.is())
            return false;
        const Reference<css::frame::XDesktop> desktop(
            context->getServiceManager()->createInstanceWithContext("com.sun.star.frame.Desktop", context),
            css::uno::UNO_QUERY_THROW);
        // Needs the office's main lock, which a modal dialog waiting for its
        // user leaves free and a hung office does not.
        desktop->getCurrentComponent();
        return !connection.wasAbandoned();
    } catch (const css::uno::Exception&) {
        return false;
    }
}

void OfficeLink::giveUpLive()
{
    if (!live_)
        return;
    // Only a broken-off bridge leaves dead proxies behind: one that ended on
    // its own had none (they are shared with another bridge) or its office
    // has gone, and a new office names its objects anew.
    if (live_->wasAbandoned())
        live_->releaseObjects();
    live_.reset();
}

std::shared_ptr<UnoConnection> OfficeLink::liveOrOpen()
{
    if (!live_ || !live_->isUsable()) {
        giveUpLive();
        live_ = open(handShakeLimit());
    }
    return live_;
}

std::shared_ptr<UnoConnection> OfficeLink::reconnect()
{
    giveUpLive();
    // The runtime's first start takes a while: the office starts meanwhile.
    if (options_.privateProfile && !launcher_.isRunning())
        return live_ = startAndConnect();
    std::shared_ptr<UnoConnection> connection;
    try {
        connection = open(handShakeLimit());
    } catch (const PlatformError&) {
        // It holds the pipe but does not answer. A user's office is left alone.
        if (!launcher_.isRunning())
            throw;
        launcher_.kill();
        officeEnded();
    }
    if (!connection)
        connection = startAndConnect();
    live_ = connection;
    return connection;
}

} // namespace bw
