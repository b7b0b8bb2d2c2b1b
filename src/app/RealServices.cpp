#include "app/RealServices.h"

#include <QCoreApplication>

namespace bw {

RealServices::RealServices(BrowserOpener* browser, const UnoOfficeSuite::Options& office)
    : sleeper_(signals_, signals_.wakeDescriptor()), yielder_(EventLoopYielder::ResponsiveInterval),
      office_(office), services_{fileSystem_,
                                 messageBoxes_,
                                 random_,
                                 browser ? *browser : browser_,
                                 settings_,
                                 printers_,
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
}

void RealServices::setDialogParent(QWidget* window)
{
    messageBoxes_.setParent(window);
    dialogs_.setParent(window);
}

void RealServices::shutDown()
{
    office_.endSelfStartedOffice();
}

} // namespace bw
