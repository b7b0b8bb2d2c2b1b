#include "cli/CommandLineRunner.h"

#include "cli/BatchCommand.h"
#include "cli/BatchOfficeSlot.h"
#include "platform/PlatformError.h"
#include "platform/Yielder.h"
#include "platform/cups/CupsPrinterServices.h"
#include "platform/system/FlockUserLocks.h"
#include "platform/system/PosixFileSystem.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/SteadyClock.h"
#include "platform/system/TerminationSignals.h"
#include "platform/system/ThreadSleeper.h"
#include "platform/system/XdgStateFolder.h"
#include "platform/uno/UnoOfficeSuite.h"
#include "print/JobConfirmation.h"
#include "printers/DefaultPrinterLeftovers.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>
#include <optional>

namespace bw {

namespace {

// The batch walks folders before anything else runs: nothing to yield to.
class NoYield : public Yielder {
public:
    void yieldToEvents() override {}
};

} // namespace

int runWithoutWindow(int& argc, char** argv, const CommandLineRequest& request)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Brindlework"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    switch (request.mode) {
    case CommandLineRequest::Mode::Help:
        out << CommandLine::helpText();
        return BatchCommand::ExitSuccess;
    case CommandLineRequest::Mode::Version:
        out << CommandLine::versionText();
        return BatchCommand::ExitSuccess;
    case CommandLineRequest::Mode::Invalid:
        BatchCommand::refuse(err, request.error);
        err << "Try 'brindlework --help'.\n";
        return BatchCommand::ExitUsage;
    default:
        break;
    }

    CupsPrinterServices printers;
    // A window's run cut short left its printer the default: put back first.
    {
        XdgStateFolder state;
        PosixProcesses processes;
        FlockUserLocks locks;
        try {
            const QString text = DefaultPrinterLeftovers::message(
                DefaultPrinterLeftovers(printers, state, processes, locks).restore());
            if (!text.isEmpty())
                err << "brindlework: " << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                    << '\n';
        } catch (const PlatformError& error) {
            err << "brindlework: " << error.description() << '\n';
        }
        err.flush();
    }
    PosixFileSystem fileSystem;
    NoYield yielder;
    std::optional<BatchOfficeSlot> slot;
    if (request.mode == CommandLineRequest::Mode::Print) {
        try {
            slot.emplace(BatchOfficeSlot::defaultCacheFolder());
        } catch (const PlatformError& error) {
            return BatchCommand::refuse(err, error.description());
        }
    }
    UnoOfficeSuite office(slot ? slot->officeOptions(std::chrono::seconds(request.timeoutSeconds))
                               : UnoOfficeSuite::programOptions());
    SteadyClock clock;
    // Not woken by a stop: the file under way is finished first.
    ThreadSleeper sleeper;
    JobConfirmation confirmation(printers, clock, sleeper);
    // SIGINT and SIGTERM end the batch after its current file.
    TerminationSignals termination;
    BatchCommand command({printers, fileSystem, yielder, office, confirmation,
                          [&office] { office.endSelfStartedOffice(); }, termination, QDir::currentPath()},
                         out, err);
    const int status = command.run(request);
    office.endSelfStartedOffice();
    return status;
}

} // namespace bw
