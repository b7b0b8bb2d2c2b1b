#include "app/GuardedApplication.h"
#include "app/ProgramRun.h"
#include "app/RealServices.h"

int main(int argc, char** argv)
{
    bw::GuardedApplication application(argc, argv);
    bw::GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    bw::RealServices real;
    return bw::runProgram(application, real);
}
