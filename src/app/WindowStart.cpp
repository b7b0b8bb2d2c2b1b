#include "app/WindowStart.h"

#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"

#include <QDir>

namespace bw {

int runWindow(int& argc, char** argv, const CommandLineRequest& request)
{
    GuardedApplication application(argc, argv);
    GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    RealServices real;
    MainWindow window;
    real.setDialogParent(&window);
    MainController controller(window, real.services());
    application.setGuard(&controller.guard());
    controller.startUp();
    controller.appendGivenPaths(request.paths, request.extension, QDir::currentPath());
    window.show();
    const int status = GuardedApplication::exec();
    real.shutDown();
    return status;
}

} // namespace bw
