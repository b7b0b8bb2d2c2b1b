#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/DesktopBrowserOpener.h"
#include "platform/EventLoopYielder.h"
#include "platform/PosixFileSystem.h"
#include "platform/QSettingsStore.h"
#include "platform/QtMessageBoxes.h"
#include "platform/SystemRandomSource.h"
#include "platform/ThreadSleeper.h"
#include "platform/CupsPrinterServices.h"
#include "platform/UnoOfficeSuite.h"

int main(int argc, char** argv)
{
    bw::GuardedApplication application(argc, argv);
    bw::GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    bw::PosixFileSystem fileSystem;
    bw::QtMessageBoxes messageBoxes;
    bw::SystemRandomSource random;
    bw::DesktopBrowserOpener browser;
    bw::QSettingsStore settings;
    bw::CupsPrinterServices printers;
    bw::ThreadSleeper sleeper;
    bw::EventLoopYielder yielder;
    bw::UnoOfficeSuite office(bw::UnoOfficeSuite::programOptions());
    bw::AppServices services{
        fileSystem, messageBoxes, random,  browser, settings,
        printers,   sleeper,      yielder, office,  bw::GuardedApplication::applicationDirPath()};

    bw::MainWindow window;
    messageBoxes.setParent(&window);
    bw::MainController controller(window, services);
    application.setGuard(&controller.guard());
    controller.startUp();
    window.show();
    const int status = bw::GuardedApplication::exec();
    // An office started for the print runs goes with the program, unless the
    // user has documents of their own open in it.
    office.endSelfStartedOffice();
    return status;
}
