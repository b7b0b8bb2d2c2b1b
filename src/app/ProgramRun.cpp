#include "app/ProgramRun.h"

#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"

namespace bw {

int runProgram(GuardedApplication& application, RealServices& real,
               const std::function<void(MainWindow&, MainController&)>& whenShown)
{
    TerminationSignals& termination = real.terminationSignals();
    // A print run blocks the event loop and notices the signal between its
    // steps; this ends every loop once events flow again, open boxes included.
    const QMetaObject::Connection ending =
        QObject::connect(&termination, &TerminationSignals::arrived, &application,
                         [](int signalNumber) { GuardedApplication::exit(128 + signalNumber); });
    int status = 0;
    {
        MainWindow window;
        real.setDialogParent(&window);
        MainController controller(window, real.services());
        application.setGuard(&controller.guard());
        controller.startUp();
        // A signal during start-up, with no loop yet to end.
        if (!termination.stopRequested()) {
            window.show();
            if (whenShown)
                whenShown(window, controller);
            status = GuardedApplication::exec();
        }
        application.setGuard(nullptr);
        real.setDialogParent(nullptr);
    }
    QObject::disconnect(ending);
    real.shutDown();
    return termination.stopRequested() ? 128 + termination.signalNumber() : status;
}

} // namespace bw
