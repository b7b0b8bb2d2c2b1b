// The user's own LibreOffice, driven from a process of its own as another
// program of the user's would drive it: UNO bridges of one process to one
// office share their proxies, so a test holding a bridge of its own next to
// the program's would break the program's calls when it lets go of it.
//   user_office PROFILE PIPE     starts an office there and serves commands
//   user_office "" PIPE          serves commands on the office already there
//   user_office --answers PIPE   exits 0 when an office answers on the pipe
// Commands, one a line on standard input, each answered "ok" or "failed: why":
// "make PATH<TAB>TEXT", "open PATH", "close". End of input ends the helper and
// an office it started.
#include "SpreadsheetMaker.h"

#include <QString>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <exception>
#include <iostream>
#include <rtl/bootstrap.hxx>
#include <string>

namespace {

using namespace css;

// Needs the office's main lock, as the program's own check does.
bool answers(const QString& pipeName)
{
    rtl::Bootstrap::set("URE_BOOTSTRAP", "vnd.sun.star.pathname:" BW_OFFICE_PROGRAM_DIR "/fundamentalrc");
    try {
        const uno::Reference<uno::XComponentContext> local = cppu::defaultBootstrap_InitialComponentContext();
        const uno::Reference<bridge::XUnoUrlResolver> resolver(
            local->getServiceManager()->createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver",
                                                                  local),
            uno::UNO_QUERY_THROW);
        const QString url = QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName);
        const uno::Reference<uno::XComponentContext> remote(
            resolver->resolve(rtl::OUString(reinterpret_cast<const sal_Unicode*>(url.utf16()), url.size())),
            uno::UNO_QUERY_THROW);
        const uno::Reference<frame::XDesktop> desktop(
            remote->getServiceManager()->createInstanceWithContext("com.sun.star.frame.Desktop", remote),
            uno::UNO_QUERY_THROW);
        desktop->getCurrentComponent();
        return true;
    } catch (const uno::Exception&) {
        return false;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace css;
    if (argc != 3)
        return 2;
    const QString pipeName = QString::fromLocal8Bit(argv[2]);
    if (std::string(argv[1]) == "--answers")
        return answers(pipeName) ? 0 : 1;
    try {
        bw::test::SpreadsheetMaker office(QString::fromLocal8Bit(argv[1]), pipeName);
        std::cout << "ok" << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
            const QString command = QString::fromStdString(line);
            const QString argument = command.section(QLatin1Char(' '), 1);
            try {
                if (command.startsWith(QLatin1String("make ")))
                    office.make(argument.section(QLatin1Char('\t'), 0, 0),
                                argument.section(QLatin1Char('\t'), 1));
                else if (command.startsWith(QLatin1String("open ")))
                    office.open(argument);
                else if (command == QLatin1String("close"))
                    office.closeOpened();
                else
                    throw std::runtime_error("unknown command " + line);
                std::cout << "ok" << std::endl;
            } catch (const std::exception& error) {
                std::cout << "failed: " << error.what() << std::endl;
            } catch (const uno::Exception& error) {
                std::cout << "failed: " << error.Message << std::endl;
            }
        }
    } catch (const std::exception& error) {
        std::cout << "failed: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
