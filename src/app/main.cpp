#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"

int main(int argc, char** argv)
{
    bw::GuardedApplication application(argc, argv);
    bw::GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    bw::RealServices real;
    // A termination signal ends the program as closing the window does. A
    // print run notices it between its steps (it blocks the event loop) and
    // stops, with the default printer put back; every loop then ends, open
    // boxes included.
    QObject::connect(&real.terminationSignals(), &bw::TerminationSignals::arrived, &application,
                     [](int signalNumber) { bw::GuardedApplication::exit(128 + signalNumber); });
    bw::MainWindow window;
    real.setDialogParent(&window);
    bw::MainController controller(window, real.services());
    application.setGuard(&controller.guard());
    controller.startUp();
    int status = 128 + real.terminationSignals().signalNumber();
    if (!real.terminationSignals().stopRequested()) {
        window.show();
        status = bw::GuardedApplication::exec();
    }
    real.shutDown();
    return status;
}
