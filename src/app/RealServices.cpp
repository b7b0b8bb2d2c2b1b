#include "app/RealServices.h"

#include <QCoreApplication>

namespace bw {

namespace {

// The office's record goes to the state folder.
UnoOfficeSuite::Options withRecord(UnoOfficeSuite::Options options, StateFolder& state, Processes& processes)
{
    options.state = &state;
    options.processes = &processes;
    return options;
}

} // namespace

RealServices::RealServices(BrowserOpener* browser, const UnoOfficeSuite::Options& office)
    : sleeper_(signals_, signals_.wakeDescriptor()), yielder_(EventLoopYielder::ResponsiveInterval),
      office_(withRecord(office, state_, processes_)), services_{fileSystem_,
                                                                 messageBoxes_,
                                                                 random_,
                                                                 browser ? *browser : browser_,
                                                                 settings_,
                                                                 printing_.printers,
                                                                 printing_.options,
                                                                 printing_.jobs,
                                                                 sleeper_,
                                                                 clock_,
                                                                 yielder_,
                                                                 office_,
                                                                 skin_,
                                                                 dialogs_,
                                                                 state_,
                                                                 processes_,
                                                                 locks_,
                                                                 signals_,
                                                                 QCoreApplication::applicationDirPath()}
{
    // Now, before the user can open anything in that office through this program.
    office_.takeOverLeftOffice();
}

void RealServices::setDialogParent(QWidget* window)
{
    messageBoxes_.setParent(window);
    dialogs_.setParent(window);
}

void RealServices::shutDown()
{
    // Told to end, the whole end stays within a few seconds.
    constexpr std::chrono::milliseconds Hurry{1500};
    if (!office_.endSelfStartedOffice(signals_.stopRequested() ? std::optional(Hurry) : std::nullopt))
        office_.handOverSelfStartedOffice();
}

} // namespace bw
