#include "cli/CommandLineRunner.h"

#include "cli/BatchCommand.h"
#include "cli/BatchOfficeSlot.h"
#include "platform/PlatformError.h"
#include "platform/Yielder.h"
#include "platform/cups/CupsPrinterServices.h"
#include "platform/system/PosixFileSystem.h"
#include "platform/system/TerminationSignals.h"
#include "platform/uno/UnoOfficeSuite.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

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
    PosixFileSystem fileSystem;
    NoYield yielder;
    // One office per renderer, each in a slot of its own.
    std::vector<std::unique_ptr<BatchOfficeSlot>> officeSlots;
    std::vector<std::unique_ptr<UnoOfficeSuite>> offices;
    std::vector<BatchPrint::Renderer> renderers;
    if (request.mode == CommandLineRequest::Mode::Print) {
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
    BatchCommand command({printers, fileSystem, yielder, renderers, termination, QDir::currentPath()}, out,
                         err);
    const int status = command.run(request);
    // Side by side: each takes a second or two to go.
    std::vector<std::thread> endings;
    for (const auto& office : offices)
        endings.emplace_back([&office] { office->endSelfStartedOffice(); });
    for (std::thread& ending : endings)
        ending.join();
    return status;
}

} // namespace bw
