#include "cli/CommandLineRunner.h"

#include "cli/BatchCommand.h"
#include "cli/BatchOfficeSlot.h"
#include "cli/WatchCommand.h"
#include "platform/PlatformError.h"
#include "platform/Yielder.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "platform/system/FlockUserLocks.h"
#include "platform/system/InotifyFolderWait.h"
#include "platform/system/PosixFileSystem.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/PosixSharedFolder.h"
#include "platform/system/SteadyClock.h"
#include "platform/system/TerminationSignals.h"
#include "platform/system/ThreadSleeper.h"
#include "platform/system/XdgStateFolder.h"
#include "platform/uno/UnoOfficeSuite.h"
#include "printers/DefaultPrinterLeftovers.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bw {

namespace {

// The batch walks folders before anything else runs: nothing to yield to.
class NoYield : public Yielder {
public:
    void yieldToEvents() override {}
};

// A write to a closed pipe fails with EPIPE instead of killing the program,
// so a batch can finish the file under way. A handler, not SIG_IGN: the
// office started from here gets the default back.
void onBrokenPipe(int) {}

// The width of the terminal standard error writes to; 0 when it is none.
int terminalWidth()
{
    if (!::isatty(STDERR_FILENO))
        return 0;
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

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

    struct sigaction brokenPipe = {};
    brokenPipe.sa_handler = onBrokenPipe;
    sigemptyset(&brokenPipe.sa_mask);
    ::sigaction(SIGPIPE, &brokenPipe, nullptr);

    CupsPrintingSystem printing;
    // A window's run cut short left its printer the default: put back first.
    {
        XdgStateFolder state;
        PosixProcesses processes;
        FlockUserLocks locks;
        try {
            const QString text = DefaultPrinterLeftovers::message(
                DefaultPrinterLeftovers(printing.options, state, processes, locks).restore());
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
    // One office per renderer, each in a slot of its own.
    std::vector<std::unique_ptr<BatchOfficeSlot>> officeSlots;
    std::vector<std::unique_ptr<UnoOfficeSuite>> offices;
    std::vector<BatchPrint::Renderer> renderers;
    const bool watching = request.mode == CommandLineRequest::Mode::Watch;
    if (request.mode == CommandLineRequest::Mode::Print || watching) {
        try {
            for (int i = 0; i < request.jobs; ++i)
                officeSlots.push_back(std::make_unique<BatchOfficeSlot>(
                    BatchOfficeSlot::defaultCacheFolder(), BatchOfficeSlot::defaultRuntimeFolder()));
        } catch (const PlatformError& error) {
            return BatchCommand::refuse(err, error.description());
        }
    }
    for (const auto& slot : officeSlots) {
        auto& office = *offices.emplace_back(std::make_unique<UnoOfficeSuite>(
            slot->officeOptions(std::chrono::seconds(request.timeoutSeconds))));
        renderers.push_back({office, [&office] { office.endSelfStartedOffice(); },
                             [&office] { office.endUnansweringOffice(); }, slot->workFolder()});
    }
    // SIGINT and SIGTERM end the batch after its current file.
    TerminationSignals termination;
    int status = BatchCommand::ExitSuccess;
    if (watching) {
        PosixSharedFolder files;
        PosixProcesses processes;
        SteadyClock clock;
        WatchCommand command({printing.printers, printing.queue, printing.jobs, files, processes, clock,
                              renderers, termination,
                              [&termination](const QString& folder) {
                                  return std::make_unique<InotifyFolderWait>(folder,
                                                                             termination.wakeDescriptor());
                              },
                              QSysInfo::machineHostName(), QDir::currentPath(),
                              [] {
                                  // Told apart from every other watcher, on any machine.
                                  return QString::number(QRandomGenerator::system()->generate64(), 36) +
                                         QString::number(QRandomGenerator::system()->generate64(), 36);
                              }},
                             out, err);
        command.showProgress(terminalWidth());
        status = command.run(request);
    } else {
        // A batch prints on one printer, read once as lp would; a watch
        // lasts, and reads it for every file.
        printing.queue.keepPrinters();
        SteadyClock clock;
        ThreadSleeper sleeper(termination, termination.wakeDescriptor());
        FlockUserLocks locks;
        BatchCommand command({printing.printers, printing.queue, fileSystem, yielder, renderers, termination,
                              QDir::currentPath(), clock, sleeper, &locks},
                             out, err);
        command.showProgress(terminalWidth());
        status = command.run(request);
    }
    // Side by side: each takes a second or two to go.
    std::vector<std::thread> endings;
    for (const auto& office : offices)
        endings.emplace_back([&office] { office->endSelfStartedOffice(); });
    for (std::thread& ending : endings)
        ending.join();
    return status;
}

} // namespace bw
