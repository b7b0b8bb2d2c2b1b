#include "app/WindowStart.h"
#include "cli/CommandLine.h"
#include "cli/CommandLineRunner.h"
#include "intake/LocalName.h"

#include <QStringList>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(bw::decodeLocalName(argv[i]));
    bw::CommandLineRequest request = bw::CommandLine::parse(arguments);
    // Qt would abort without one; this says what to do instead.
    if (request.mode == bw::CommandLineRequest::Mode::Window &&
        !bw::CommandLine::displayAvailable(qEnvironmentVariable("DISPLAY"),
                                           qEnvironmentVariable("WAYLAND_DISPLAY"),
                                           qEnvironmentVariable("QT_QPA_PLATFORM")))
        request = bw::CommandLine::refusedWithoutDisplay();
    if (request.mode == bw::CommandLineRequest::Mode::Window)
        return bw::runWindow(argc, argv, request);
    // Everything else runs with no display at all.
    return bw::runWithoutWindow(argc, argv, request);
}
