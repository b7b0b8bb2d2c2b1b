#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"

int main(int argc, char** argv)
{
    bw::GuardedApplication application(argc, argv);
    bw::GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    bw::RealServices real;
    bw::MainWindow window;
    real.setDialogParent(&window);
    bw::MainController controller(window, real.services());
    application.setGuard(&controller.guard());
    controller.startUp();
    window.show();
    const int status = bw::GuardedApplication::exec();
    real.shutDown();
    return status;
}
