#pragma once

#include "app/AppServices.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "platform/qt/DesktopBrowserOpener.h"
#include "platform/qt/EventLoopYielder.h"
#include "platform/qt/QSettingsStore.h"
#include "platform/qt/QssSkinEngine.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/system/FlockUserLocks.h"
#include "platform/system/PosixFileSystem.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/SteadyClock.h"
#include "platform/system/SystemRandomSource.h"
#include "platform/system/TerminationSignals.h"
#include "platform/system/ThreadSleeper.h"
#include "platform/system/XdgStateFolder.h"
#include "platform/uno/UnoOfficeSuite.h"

class QWidget;

namespace bw {

// The real adapters, owned together. Created once, by main().
class RealServices {
public:
    // A benchmark passes its own browser opener so it never opens a page; a
    // test harness its own office pipe and profile.
    explicit RealServices(BrowserOpener* browser = nullptr,
                          const UnoOfficeSuite::Options& office = UnoOfficeSuite::programOptions());

    AppServices& services() { return services_; }
    // SIGTERM, SIGINT and SIGHUP, watched from the start: waits wake at once.
    TerminationSignals& terminationSignals() { return signals_; }
    // Dialogs and message boxes belong to the main window.
    void setDialogParent(QWidget* window);
    // An office started for the print runs goes with the program, unless the
    // user has documents of their own open in it.
    void shutDown();

private:
    TerminationSignals signals_;
    PosixFileSystem fileSystem_;
    QtMessageBoxes messageBoxes_;
    SystemRandomSource random_;
    DesktopBrowserOpener browser_;
    QSettingsStore settings_;
    CupsPrintingSystem printing_;
    ThreadSleeper sleeper_;
    SteadyClock clock_;
    EventLoopYielder yielder_;
    // Before the office, which keeps its record there.
    XdgStateFolder state_;
    PosixProcesses processes_;
    FlockUserLocks locks_;
    UnoOfficeSuite office_;
    QssSkinEngine skin_;
    QtDialogs dialogs_;
    AppServices services_;
};

} // namespace bw
