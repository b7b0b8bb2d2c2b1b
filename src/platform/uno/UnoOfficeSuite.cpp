#include "platform/uno/UnoOfficeSuite.h"

#include "platform/PlatformError.h"
#include "platform/uno/OfficeDocuments.h"
#include "platform/uno/OfficeLink.h"
#include "platform/uno/OfficeOwnership.h"
#include "platform/uno/UnoCalls.h"

#include <QCryptographicHash>
#include <com/sun/star/awt/XPrinterServer.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <csignal>
#include <unistd.h>

namespace bw {

using css::uno::Reference;
using css::uno::UNO_QUERY;

struct UnoOfficeSuite::Impl {
    explicit Impl(Options options) : link(std::move(options)) {}

    OfficeLink link;
    OfficeDocuments documents;
    OfficeOwnership ownership{link, documents};
};

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
    impl_->ownership.takeOverLeftOffice();
}

OfficeReference UnoOfficeSuite::createServiceManager()
{
    return impl_->link.serviceManager();
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
    return impl_->documents.loaded(connection, document, url);
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
    impl_->documents.closed(object);
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
    return impl_->ownership.endUnansweringOffice();
}

bool UnoOfficeSuite::endSelfStartedOffice(std::optional<std::chrono::milliseconds> hurry)
{
    return impl_->ownership.endSelfStartedOffice(hurry);
}

void UnoOfficeSuite::handOverSelfStartedOffice()
{
    impl_->ownership.handOverSelfStartedOffice();
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
    return impl_->ownership.restartSelfStartedOffice();
}

} // namespace bw
