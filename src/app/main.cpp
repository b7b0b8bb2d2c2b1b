#include "app/WindowStart.h"
#include "cli/CommandLine.h"
#include "cli/CommandLineRunner.h"

#include <QStringList>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bw::CommandLineRequest request = bw::CommandLine::parse(arguments);
    if (request.mode == bw::CommandLineRequest::Mode::Window)
        return bw::runWindow(argc, argv, request);
    // Everything else runs with no display at all.
    return bw::runWithoutWindow(argc, argv, request);
}
