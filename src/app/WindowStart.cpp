#include "app/WindowStart.h"

#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/ProgramRun.h"
#include "app/RealServices.h"

#include <QDir>

namespace bw {

int runWindow(int& argc, char** argv, const CommandLineRequest& request)
{
    GuardedApplication application(argc, argv);
    GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    RealServices real;
    return runProgram(application, real, [&request](MainWindow&, MainController& controller) {
        controller.appendGivenPaths(request.paths, request.extensions, QDir::currentPath());
    });
}

} // namespace bw
