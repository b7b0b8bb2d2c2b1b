#include "SpreadsheetMaker.h"

#include "platform/uno/OfficeLauncher.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>
#include <stdexcept>
#include <vector>

namespace bw::test {

using namespace css;

namespace {

rtl::OUString ou(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

beans::PropertyValue property(const char* name, const uno::Any& value)
{
    beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

QString fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

} // namespace

struct SpreadsheetMaker::Impl {
    QProcess office;
    uno::Reference<uno::XComponentContext> remote;
    uno::Reference<frame::XComponentLoader> desktop;
    std::vector<uno::Reference<lang::XComponent>> opened;
};

SpreadsheetMaker::SpreadsheetMaker(const QString& profileFolder, const QString& pipeName)
    : impl_(std::make_unique<Impl>())
{
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        rtl::Bootstrap::set("URE_BOOTSTRAP", "vnd.sun.star.pathname:" BW_OFFICE_PROGRAM_DIR "/fundamentalrc");
    if (!profileFolder.isEmpty()) {
        // An office still ending on this profile would take the new one's pipe
        // over and end with it, breaking the bridge mid-call: let it go first.
        const QDeadlineTimer previousGone(20000);
        while (QFile::exists(profileFolder + QStringLiteral("/.lock")) && !previousGone.hasExpired())
            QThread::msleep(100);
        impl_->office.setProgram(QStringLiteral(BW_OFFICE_PROGRAM_DIR "/soffice"));
        impl_->office.setArguments({QStringLiteral("--headless"), QStringLiteral("--invisible"),
                                    QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                                    QStringLiteral("-env:UserInstallation=") + fileUrl(profileFolder),
                                    QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipeName)});
        // Not the test's own output: a test that dies must not keep ctest waiting on it.
        impl_->office.setProcessEnvironment(
            OfficeLauncher::officeEnvironment(QProcessEnvironment::systemEnvironment()));
        impl_->office.setStandardOutputFile(QProcess::nullDevice());
        impl_->office.setStandardErrorFile(QProcess::nullDevice());
        impl_->office.start();
        if (!impl_->office.waitForStarted(10000))
            throw std::runtime_error("soffice did not start");
    }

    const uno::Reference<uno::XComponentContext> local = cppu::defaultBootstrap_InitialComponentContext();
    const uno::Reference<bridge::XUnoUrlResolver> resolver(
        local->getServiceManager()->createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local),
        uno::UNO_QUERY_THROW);
    // An office still starting may refuse the pipe or drop the first bridge: retry until it answers.
    const QDeadlineTimer deadline(60000);
    std::string lastFailure = "no answer";
    while (!impl_->desktop.is()) {
        try {
            impl_->remote.set(
                resolver->resolve(
                    ou(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName))),
                uno::UNO_QUERY_THROW);
            impl_->desktop.set(impl_->remote->getServiceManager()->createInstanceWithContext(
                                   "com.sun.star.frame.Desktop", impl_->remote),
                               uno::UNO_QUERY_THROW);
        } catch (const uno::Exception& error) {
            impl_->remote.clear();
            lastFailure = rtl::OUStringToOString(error.Message, RTL_TEXTENCODING_UTF8).getStr();
            if (deadline.hasExpired() ||
                (!profileFolder.isEmpty() && impl_->office.state() == QProcess::NotRunning))
                throw std::runtime_error("soffice did not answer: " + lastFailure);
            QThread::msleep(100);
        }
    }
}

SpreadsheetMaker::~SpreadsheetMaker()
{
    closeOpened();
    if (impl_->office.state() == QProcess::NotRunning)
        return;
    try {
        uno::Reference<frame::XDesktop>(impl_->desktop, uno::UNO_QUERY_THROW)->terminate();
    } catch (const uno::Exception&) {
        // It is killed below if it does not go.
    }
    impl_->desktop.clear();
    impl_->remote.clear();
    if (!impl_->office.waitForFinished(15000)) {
        impl_->office.kill();
        impl_->office.waitForFinished(5000);
    }
}

void SpreadsheetMaker::open(const QString& path)
{
    const beans::PropertyValue hidden = property("Hidden", uno::Any(true));
    const uno::Reference<lang::XComponent> document =
        impl_->desktop->loadComponentFromURL(ou(fileUrl(path)), "_blank", 0, {&hidden, 1});
    if (!document.is())
        throw std::runtime_error("cannot load " + path.toStdString());
    impl_->opened.push_back(document);
}

void SpreadsheetMaker::closeOpened()
{
    for (const auto& document : impl_->opened) {
        try {
            uno::Reference<util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
        } catch (const uno::Exception&) {
            // Gone with its office.
        }
    }
    impl_->opened.clear();
}

void SpreadsheetMaker::make(const QString& path, const QString& text, const QString& printer,
                            const QString& password)
{
    try {
        makeWithOffice(path, text, printer, password);
    } catch (const uno::Exception& error) {
        throw std::runtime_error("cannot make " + path.toStdString() + ": " +
                                 rtl::OUStringToOString(error.Message, RTL_TEXTENCODING_UTF8).getStr());
    }
}

void SpreadsheetMaker::makeWithOffice(const QString& path, const QString& text, const QString& printer,
                                      const QString& password)
{
    const QString csvPath = path + QStringLiteral(".source.csv");
    {
        QFile csv(csvPath);
        if (!csv.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write " + csvPath.toStdString());
        csv.write(text.toUtf8() + "\n");
    }
    const beans::PropertyValue hidden = property("Hidden", uno::Any(true));
    const uno::Reference<lang::XComponent> document =
        impl_->desktop->loadComponentFromURL(ou(fileUrl(csvPath)), "_blank", 0, {&hidden, 1});
    if (!document.is())
        throw std::runtime_error("cannot load " + csvPath.toStdString());
    if (!printer.isEmpty()) {
        const beans::PropertyValue name = property("Name", uno::Any(ou(printer)));
        uno::Reference<view::XPrintable>(document, uno::UNO_QUERY_THROW)->setPrinter({&name, 1});
    }
    std::vector<beans::PropertyValue> store{property("FilterName", uno::Any(rtl::OUString("calc8")))};
    if (!password.isEmpty())
        store.push_back(property("Password", uno::Any(ou(password))));
    uno::Reference<frame::XStorable>(document, uno::UNO_QUERY_THROW)
        ->storeToURL(ou(fileUrl(path)), {store.data(), static_cast<sal_Int32>(store.size())});
    uno::Reference<util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
    QFile::remove(csvPath);
}

} // namespace bw::test
