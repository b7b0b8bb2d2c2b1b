#include "platform/uno/UnoOfficeSuite.h"

#include "platform/PlatformError.h"
#include "platform/uno/CallWatchdog.h"
#include "platform/uno/OfficeLauncher.h"
#include "platform/uno/OfficeRecord.h"
#include "platform/uno/UnoConnection.h"
#include "platform/uno/UnoObject.h"

#include <QCryptographicHash>
#include <QHash>
#include <QUrl>
#include <com/sun/star/awt/XPrinterServer.hpp>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <csignal>
#include <mutex>
#include <optional>
#include <rtl/bootstrap.hxx>
#include <thread>
#include <unistd.h>

namespace bw {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::XInterface;
using namespace std::chrono_literals;

namespace {

constexpr int NoSuchMember = 438;

PlatformError noSuchMember(const char* member)
{
    return PlatformError(NoSuchMember, QStringLiteral("Object doesn't support this property or method: ") +
                                           QLatin1String(member));
}

// A document loaded through this adapter, remembered by its file so that an
// office holding only such documents can be ended.
class UnoDocument : public UnoObject {
public:
    UnoDocument(std::shared_ptr<UnoConnection> connection, Reference<XInterface> object, QString file)
        : UnoObject(std::move(connection), std::move(object)), file_(std::move(file))
    {
    }
    const QString& file() const { return file_; }

private:
    QString file_;
};

// An object of the connection, remembered there so that it can be let go of
// when the connection is given up.
template <class Object, class... Extra>
OfficeReference adopted(const std::shared_ptr<UnoConnection>& connection, Reference<XInterface> object,
                        Extra&&... extra)
{
    auto result = std::make_shared<Object>(connection, std::move(object), std::forward<Extra>(extra)...);
    connection->adopt(result);
    return OfficeReference(std::move(result));
}

template <class Interface>
OfficeReference wrap(const std::shared_ptr<UnoConnection>& connection, const Reference<Interface>& object)
{
    if (!object.is())
        return {};
    return adopted<UnoObject>(connection, Reference<XInterface>(object.get()));
}

template <class Interface> Reference<Interface> query(const UnoObject& object, const char* member)
{
    Reference<Interface> result(object.object(), UNO_QUERY);
    if (!result.is())
        throw noSuchMember(member);
    return result;
}

css::uno::Any toAny(const OfficeValue& value)
{
    if (const auto* number = std::get_if<qint16>(&value))
        return css::uno::Any(static_cast<sal_Int16>(*number));
    if (const auto* flag = std::get_if<bool>(&value))
        return css::uno::Any(*flag);
    if (const auto* text = std::get_if<QString>(&value))
        return css::uno::Any(UnoConnection::toOUString(*text));
    return css::uno::Any();
}

// The records as the office takes them; an empty record fails the call.
css::uno::Sequence<css::beans::PropertyValue> toArguments(const std::vector<OfficeReference>& records)
{
    css::uno::Sequence<css::beans::PropertyValue> arguments(static_cast<sal_Int32>(records.size()));
    css::beans::PropertyValue* out = arguments.getArray();
    for (const OfficeReference& reference : records) {
        const PropertyRecord& record = reference.objectAs<PropertyRecord>();
        out->Name = UnoConnection::toOUString(record.name());
        out->Value = toAny(record.value());
        ++out;
    }
    return arguments;
}

QString localFileOf(const QString& url)
{
    return QUrl(url, QUrl::TolerantMode).toLocalFile();
}

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

struct UnoOfficeSuite::Impl {
    explicit Impl(Options givenOptions)
        : options(std::move(givenOptions)),
          launcher(options.programFolder, options.pipeName, options.profileUrl, options.headless)
    {
        if (options.state && options.processes)
            record.emplace(*options.state, *options.processes, options.pipeName);
    }

    void officeEnded()
    {
        if (record && !launcher.isRunning())
            record->ended();
    }

    const Reference<css::uno::XComponentContext>& localContext();
    std::shared_ptr<UnoConnection> open()
    {
        return UnoConnection::open(localContext(), options.pipeName, watchdog, options.answerTimeout,
                                   std::min(options.answerTimeout, options.probeTimeout),
                                   [this](UnoConnection& waiting) { return officeAnswers(waiting); });
    }
    // Whether the office answers a cheap call within the probe's time. Runs
    // on the watchdog's thread while a call on the connection waits.
    bool officeAnswers(UnoConnection& connection);
    std::shared_ptr<UnoConnection> startAndConnect();
    // Lets go of a connection that has ended, proxies and all.
    void giveUpLive();
    // The live connection while its bridge stands; otherwise a new one, made
    // when the office listens (null when it does not).
    std::shared_ptr<UnoConnection> liveOrOpen();
    // A working connection after the live one has ended: a new bridge to the
    // same office when it answers; an office started here that does not is
    // ended and started anew.
    std::shared_ptr<UnoConnection> reconnect();
    std::shared_ptr<UnoConnection> waitForOffice();
    // Whether every document open in the office was loaded here; adopting:
    // counts each as loaded here instead.
    bool onlyOwnDocumentsOpen(UnoConnection& connection, const Reference<css::frame::XDesktop>& desktop,
                              bool adopting = false);

    Options options;
    OfficeLauncher launcher;
    std::optional<OfficeRecord> record;
    CallWatchdog watchdog;
    // Bounds the probe, which runs on the other watchdog's thread.
    CallWatchdog probeWatchdog;
    Reference<css::uno::XComponentContext> local;
    std::optional<PlatformError> startFailure;
    std::chrono::steady_clock::time_point startFailureTime;
    // Files of documents loaded here and not closed yet, with their count.
    QHash<QString, int> openDocuments;
    // One bridge serves every call while the office lives: a new pipe
    // connection per service manager costs time, and several bridges to one
    // office share proxies, so one ending can break calls made on another.
    // Declared after the watchdog it uses.
    std::shared_ptr<UnoConnection> live;
};

const Reference<css::uno::XComponentContext>& UnoOfficeSuite::Impl::localContext()
{
    if (local.is())
        return local;
    // Offices of one batch start on threads of their own; the bootstrap
    // settings are the process's.
    static std::mutex bootstrapping;
    const std::lock_guard lock(bootstrapping);
    // Without it the first remote call crashes the client.
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        rtl::Bootstrap::set("URE_BOOTSTRAP", UnoConnection::toOUString(
                                                 QStringLiteral("vnd.sun.star.pathname:") +
                                                 options.programFolder + QStringLiteral("/fundamentalrc")));
    try {
        local = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const cppu::BootstrapException& error) {
        throw PlatformError(ErrorNumber::Automation,
                            QStringLiteral("The UNO runtime could not be started: ") +
                                UnoConnection::toQString(error.getMessage()));
    } catch (const css::uno::Exception& error) {
        throw PlatformError(ErrorNumber::Automation,
                            QStringLiteral("The UNO runtime could not be started: ") +
                                UnoConnection::toQString(error.Message));
    }
    return local;
}

std::shared_ptr<UnoConnection> UnoOfficeSuite::Impl::startAndConnect()
{
    if (startFailure && std::chrono::steady_clock::now() - startFailureTime < options.restartPause)
        throw *startFailure;
    try {
        if (!launcher.isRunning()) {
            launcher.start();
            if (record)
                record->started(launcher.processId());
        }
        auto connection = waitForOffice();
        startFailure.reset();
        if (options.privateProfile) {
            try {
                markProfileCurrent(*connection);
            } catch (const PlatformError&) {
                // The next start is only slower.
            }
        }
        return connection;
    } catch (const PlatformError& error) {
        startFailure = error;
        startFailureTime = std::chrono::steady_clock::now();
        throw;
    }
}

std::shared_ptr<UnoConnection> UnoOfficeSuite::Impl::waitForOffice()
{
    const auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
    // A soffice that finds an office already running on its profile hands the
    // pipe over to it and ends; give the hand-over a moment.
    std::optional<std::chrono::steady_clock::time_point> endedAt;
    for (;;) {
        std::this_thread::sleep_for(10ms);
        if (auto connection = open())
            return connection;
        const auto now = std::chrono::steady_clock::now();
        if (!launcher.isRunning()) {
            if (!endedAt)
                endedAt = now;
            else if (now - *endedAt > 3s)
                throw PlatformError(ErrorNumber::Automation,
                                    QStringLiteral("LibreOffice ended before it answered on pipe \"%1\"")
                                        .arg(options.pipeName));
        }
        if (now >= deadline)
            throw PlatformError(
                ErrorNumber::Automation,
                QStringLiteral("LibreOffice did not answer on pipe \"%1\" within %2 seconds")
                    .arg(options.pipeName)
                    .arg(std::chrono::duration_cast<std::chrono::seconds>(options.startTimeout).count()));
    }
}

bool UnoOfficeSuite::Impl::officeAnswers(UnoConnection& connection)
{
    // Another thread's call on the waiting call's own bridge: the office
    // serves each calling thread apart. A second bridge in this process would
    // get this one's proxies, and the office drops such a bridge as soon as
    // it has answered, now and then before its answer is read.
    ArmedWatchdog armed(probeWatchdog, options.probeTimeout, [&connection] {
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

void UnoOfficeSuite::Impl::giveUpLive()
{
    if (!live)
        return;
    // Only a broken-off bridge leaves dead proxies behind: one that ended on
    // its own had none (they are shared with another bridge) or its office
    // has gone, and a new office names its objects anew.
    if (live->wasAbandoned())
        live->releaseObjects();
    live.reset();
}

std::shared_ptr<UnoConnection> UnoOfficeSuite::Impl::liveOrOpen()
{
    if (!live || !live->isUsable()) {
        giveUpLive();
        live = open();
    }
    return live;
}

std::shared_ptr<UnoConnection> UnoOfficeSuite::Impl::reconnect()
{
    giveUpLive();
    // The runtime's first start takes a while: the office starts meanwhile.
    if (options.privateProfile && !launcher.isRunning())
        return live = startAndConnect();
    std::shared_ptr<UnoConnection> connection;
    try {
        connection = open();
    } catch (const PlatformError&) {
        // It holds the pipe but does not answer. A user's office is left alone.
        if (!launcher.isRunning())
            throw;
        launcher.kill();
        officeEnded();
    }
    if (!connection)
        connection = startAndConnect();
    live = connection;
    return connection;
}

bool UnoOfficeSuite::Impl::onlyOwnDocumentsOpen(UnoConnection& connection,
                                                const Reference<css::frame::XDesktop>& desktop, bool adopting)
{
    return connection.call([&] {
        const Reference<css::container::XEnumeration> components =
            desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            const Reference<css::frame::XModel> model(components->nextElement(), UNO_QUERY);
            if (!model.is())
                return false;
            const QString file = localFileOf(UnoConnection::toQString(model->getURL()));
            if (adopting)
                openDocuments[file] = std::max(openDocuments.value(file), 1);
            else if (openDocuments.value(file) <= 0)
                return false;
        }
        return true;
    });
}

QString UnoOfficeSuite::pipeNameFor(uint userId, const QString& profileUrl,
                                    const QProcessEnvironment& environment)
{
    // Without a profile of its own the office takes the user's, found from these.
    const QString profile = profileUrl.isEmpty()
                                ? QStringLiteral("HOME=%1\nXDG_CONFIG_HOME=%2")
                                      .arg(environment.value(QStringLiteral("HOME")),
                                           environment.value(QStringLiteral("XDG_CONFIG_HOME")))
                                : profileUrl;
    const QString key = QStringLiteral("%1\n%2\n%3")
                            .arg(userId)
                            .arg(profile, environment.value(QStringLiteral("CUPS_SERVER")));
    return QStringLiteral("brindlework_") +
           QString::fromLatin1(
               QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(12));
}

QString UnoOfficeSuite::defaultPipeName()
{
    return pipeNameFor(::getuid(), QString(), QProcessEnvironment::systemEnvironment());
}

QString UnoOfficeSuite::defaultProgramFolder()
{
    return QStringLiteral(BW_OFFICE_PROGRAM_DIR);
}

UnoOfficeSuite::Options UnoOfficeSuite::programOptions()
{
    Options options;
    options.pipeName = defaultPipeName();
    options.programFolder = defaultProgramFolder();
    return options;
}

UnoOfficeSuite::UnoOfficeSuite(Options options) : impl_(std::make_unique<Impl>(std::move(options)))
{
    // Writing to the pipe of an office that has just died raises SIGPIPE,
    // which would end the program; the failed write is reported instead.
    std::signal(SIGPIPE, SIG_IGN);
}

UnoOfficeSuite::~UnoOfficeSuite() = default;

void UnoOfficeSuite::takeOverLeftOffice()
{
    Impl& impl = *impl_;
    if (!impl.record || impl.launcher.isRunning())
        return;
    const std::optional<qint64> office = impl.record->takeOver();
    if (!office)
        return;
    // Only the documents open now were loaded by the instance that started
    // it; one opened later is the user's. An office that cannot be asked now
    // is left to the user.
    bool counted = false;
    try {
        if (const auto connection = impl.liveOrOpen()) {
            const Reference<css::frame::XDesktop> desktop = connection->call([&] {
                const auto context = connection->remoteContext();
                return Reference<css::frame::XDesktop>(
                    context->getServiceManager()->createInstanceWithContext("com.sun.star.frame.Desktop",
                                                                            context),
                    UNO_QUERY);
            });
            counted = desktop.is() && impl.onlyOwnDocumentsOpen(*connection, desktop, true);
        }
    } catch (const PlatformError&) {
        impl.giveUpLive();
    }
    if (counted)
        impl.launcher.takeOver(*office, impl.record->officeIdentity());
    else
        impl.record->ended();
}

OfficeReference UnoOfficeSuite::createServiceManager()
{
    auto serviceManagerOf = [](const std::shared_ptr<UnoConnection>& connection) {
        return connection->call(
            [&] { return wrap(connection, connection->remoteContext()->getServiceManager()); });
    };
    if (const auto live = impl_->live; live && live->isUsable()) {
        try {
            return serviceManagerOf(live);
        } catch (const PlatformError&) {
            // A silent office has had its bounded wait already: the next
            // call reconnects. One that has gone gets a new connection, or a
            // new start, below.
            if (live->wasAbandoned()) {
                impl_->giveUpLive();
                throw;
            }
        }
    }
    return serviceManagerOf(impl_->reconnect());
}

OfficeReference UnoOfficeSuite::createInstance(const OfficeReference& serviceManager,
                                               const QString& serviceName)
{
    const auto& manager = serviceManager.objectAs<UnoObject>();
    auto connection = manager.sharedConnection();
    return connection->call([&] {
        const auto factory = query<css::lang::XMultiComponentFactory>(manager, "createInstance");
        return wrap(connection, factory->createInstanceWithContext(UnoConnection::toOUString(serviceName),
                                                                   connection->remoteContext()));
    });
}

OfficeReference UnoOfficeSuite::blankPropertyRecord(const OfficeReference& serviceManager)
{
    // The record is built here; the manager is only needed to be there.
    serviceManager.object();
    return OfficeReference(std::make_shared<PropertyRecord>());
}

OfficeReference UnoOfficeSuite::loadComponentFromURL(const OfficeReference& desktop, const QString& url,
                                                     const QString& targetFrameName, qint16 searchFlags,
                                                     const std::vector<OfficeReference>& arguments)
{
    const auto& loaderObject = desktop.objectAs<UnoObject>();
    const auto unoArguments = toArguments(arguments);
    auto connection = loaderObject.sharedConnection();
    const Reference<css::lang::XComponent> document = connection->call([&] {
        const auto loader = query<css::frame::XComponentLoader>(loaderObject, "loadComponentFromURL");
        return loader->loadComponentFromURL(UnoConnection::toOUString(url),
                                            UnoConnection::toOUString(targetFrameName), searchFlags,
                                            unoArguments);
    });
    if (!document.is())
        return {};
    const QString file = localFileOf(url);
    ++impl_->openDocuments[file];
    return adopted<UnoDocument>(connection, Reference<XInterface>(document.get()), file);
}

OfficeReference UnoOfficeSuite::getCurrentController(const OfficeReference& document)
{
    const auto& model = document.objectAs<UnoObject>();
    auto connection = model.sharedConnection();
    return connection->call([&] {
        return wrap(connection,
                    query<css::frame::XModel>(model, "getCurrentController")->getCurrentController());
    });
}

OfficeReference UnoOfficeSuite::getFrame(const OfficeReference& controller)
{
    const auto& object = controller.objectAs<UnoObject>();
    auto connection = object.sharedConnection();
    return connection->call(
        [&] { return wrap(connection, query<css::frame::XController>(object, "getFrame")->getFrame()); });
}

void UnoOfficeSuite::executeDispatch(const OfficeReference& dispatcher, const OfficeReference& frame,
                                     const QString& command, const QString& targetFrameName,
                                     qint16 searchFlags, const std::vector<OfficeReference>& arguments)
{
    const auto& helperObject = dispatcher.objectAs<UnoObject>();
    const auto unoArguments = toArguments(arguments);
    const UnoObject* frameObject = frame.isEmpty() ? nullptr : &frame.objectAs<UnoObject>();
    helperObject.connection().call([&] {
        const auto helper = query<css::frame::XDispatchHelper>(helperObject, "executeDispatch");
        Reference<css::frame::XDispatchProvider> provider;
        if (frameObject)
            provider = query<css::frame::XDispatchProvider>(*frameObject, "executeDispatch");
        helper->executeDispatch(provider, UnoConnection::toOUString(command),
                                UnoConnection::toOUString(targetFrameName), searchFlags, unoArguments);
    });
}

void UnoOfficeSuite::close(const OfficeReference& document, bool deliverOwnership)
{
    const auto& object = document.objectAs<UnoObject>();
    object.connection().call([&] { query<css::util::XCloseable>(object, "Close")->close(deliverOwnership); });
    if (const auto* loaded = dynamic_cast<const UnoDocument*>(&object)) {
        auto count = impl_->openDocuments.find(loaded->file());
        if (count != impl_->openDocuments.end() && --count.value() <= 0)
            impl_->openDocuments.erase(count);
    }
}

void UnoOfficeSuite::storeToUrl(const OfficeReference& document, const QString& url,
                                const std::vector<OfficeReference>& properties)
{
    const auto& object = document.objectAs<UnoObject>();
    const auto unoProperties = toArguments(properties);
    object.connection().call([&] {
        query<css::frame::XStorable>(object, "storeToURL")
            ->storeToURL(UnoConnection::toOUString(url), unoProperties);
    });
}

QStringList UnoOfficeSuite::supportedServiceNames(const OfficeReference& object)
{
    const auto& unoObject = object.objectAs<UnoObject>();
    return unoObject.connection().call([&] {
        QStringList names;
        for (const rtl::OUString& name : query<css::lang::XServiceInfo>(unoObject, "getSupportedServiceNames")
                                             ->getSupportedServiceNames())
            names << UnoConnection::toQString(name);
        return names;
    });
}

void UnoOfficeSuite::setPageStyleProperties(const OfficeReference& document,
                                            const std::vector<OfficeReference>& properties)
{
    const auto& object = document.objectAs<UnoObject>();
    const auto values = toArguments(properties);
    object.connection().call([&] {
        const auto families =
            query<css::style::XStyleFamiliesSupplier>(object, "getStyleFamilies")->getStyleFamilies();
        const Reference<css::container::XNameAccess> pageStyles(families->getByName("PageStyles"),
                                                                css::uno::UNO_QUERY_THROW);
        for (const rtl::OUString& name : pageStyles->getElementNames()) {
            const Reference<css::beans::XPropertySet> style(pageStyles->getByName(name),
                                                            css::uno::UNO_QUERY_THROW);
            for (const css::beans::PropertyValue& value : values)
                style->setPropertyValue(value.Name, value.Value);
        }
    });
}

bool UnoOfficeSuite::endUnansweringOffice()
{
    if (!impl_->live || !impl_->live->wasAbandoned() || !impl_->launcher.isRunning())
        return false;
    impl_->giveUpLive();
    impl_->launcher.kill();
    return true;
}

bool UnoOfficeSuite::endSelfStartedOffice()
{
    if (!impl_->launcher.isRunning())
        return false;
    std::shared_ptr<UnoConnection> connection;
    bool asked = false;
    try {
        connection = impl_->liveOrOpen();
        if (!connection)
            return false;
        const Reference<css::frame::XDesktop> desktop = connection->call([&] {
            const auto context = connection->remoteContext();
            return Reference<css::frame::XDesktop>(context->getServiceManager()->createInstanceWithContext(
                                                       "com.sun.star.frame.Desktop", context),
                                                   UNO_QUERY);
        });
        if (!desktop.is() || !impl_->onlyOwnDocumentsOpen(*connection, desktop))
            return false;
        asked = true;
        connection->call([&] { desktop->terminate(); });
    } catch (const PlatformError&) {
        // An office started here that no longer answers would stay behind
        // for good, holding the profile: nothing in it can be saved anyway.
        if (!connection || connection->wasAbandoned()) {
            impl_->giveUpLive();
            impl_->launcher.kill();
            return true;
        }
        // One that ends at once may close the bridge before it answers terminate().
        if (!asked)
            return false;
    }
    // terminate() returns at once; the processes go a little later.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (impl_->launcher.isRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    impl_->officeEnded();
    return true;
}

void UnoOfficeSuite::handOverSelfStartedOffice()
{
    if (impl_->record && impl_->launcher.isRunning())
        impl_->record->ended();
}

bool UnoOfficeSuite::knowsPrinter(const QString& name)
{
    const OfficeReference manager = createServiceManager();
    const auto connection = manager.objectAs<UnoObject>().sharedConnection();
    return connection->call([&] {
        const auto context = connection->remoteContext();
        const Reference<css::awt::XPrinterServer> server(
            context->getServiceManager()->createInstanceWithContext("com.sun.star.awt.PrinterServer",
                                                                    context),
            UNO_QUERY);
        // An office that cannot tell is not held back.
        if (!server.is())
            return true;
        const auto wanted = UnoConnection::toOUString(name);
        for (const rtl::OUString& printer : server->getPrinterNames()) {
            if (printer == wanted)
                return true;
        }
        return false;
    });
}

bool UnoOfficeSuite::restartSelfStartedOffice()
{
    if (!endSelfStartedOffice() || impl_->launcher.isRunning())
        return false;
    // The next service manager starts it afresh.
    impl_->live.reset();
    return true;
}

} // namespace bw
