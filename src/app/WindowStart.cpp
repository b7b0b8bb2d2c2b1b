#include "app/WindowStart.h"

#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/ProgramRun.h"
#include "app/RealServices.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace bw {

namespace {

// Qt ends the program with an abort (and a core file) when no platform
// plugin starts: a display that is set but cannot be reached, or a plugin
// that cannot load. While the application starts, that end says what to do
// instead and leaves with the status of bad usage; Qt's own words stay.
void startMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QByteArray text = qFormatLogMessage(type, context, message).toLocal8Bit();
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", text.constData());
        return;
    }
    const QByteArray refusal = CommandLine::unreachableDisplay(qEnvironmentVariable("DISPLAY"),
                                                               qEnvironmentVariable("WAYLAND_DISPLAY"),
                                                               qEnvironmentVariable("QT_QPA_PLATFORM"))
                                   .toLocal8Bit();
    std::fprintf(stderr, "brindlework: %s\n", refusal.constData());
    std::fflush(stderr);
    std::_Exit(2);
}

} // namespace

int runWindow(int& argc, char** argv, const CommandLineRequest& request)
{
    qInstallMessageHandler(startMessage);
    GuardedApplication application(argc, argv);
    qInstallMessageHandler(nullptr);
    GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    RealServices real;
    return runProgram(application, real, [&request](MainWindow&, MainController& controller) {
        controller.appendGivenPaths(request.paths, request.extensions, QDir::currentPath());
    });
}

} // namespace bw
