#pragma once

#include "print/ErrorReport.h"
#include "print/JobConfirmation.h"
#include "print/PropertyValueMaker.h"

#include <QString>
#include <functional>

namespace bw {

class Clock;
class DefaultPrinterAccess;
class DefaultPrinterKeeper;
class FileListModel;
class MessageBoxes;
class OfficeSuite;
class JobWatch;
class Printers;
class StepExecutor;
class Sleeper;
class StopRequest;
class UserLocks;
class WindowPointer;

// PushButton2_Click: prints every listed file, in list order, through the
// office on the chosen printer, then says "Done.". Each step carries its
// report line; a failed step is reported and the run goes on with the next.
// A stop request ends the run after its current step; the user's default
// printer is put back however the run ends.
class PrintRun {
public:
    static const QString& location();
    static constexpr int WaitAfterPrintMilliseconds = 5000;
    // How long a print may take to reach the printer, from its dispatch: as
    // long as the office may take over any one call.
    static constexpr int SpoolLimitMilliseconds = 120000;

    struct Services {
        const FileListModel& fileList;
        OfficeSuite& office;
        MessageBoxes& messageBoxes;
        Sleeper& sleeper;
        WindowPointer& pointer;
        // Sets the window's progress bar.
        std::function<void(int)> setProgress;
        DefaultPrinterAccess& defaultPrinter;
        // The text of the printer choice at the moment of asking.
        std::function<QString()> chosenPrinter;
        // Where the run sees each file's job arrive.
        Printers& printers;
        JobWatch& jobWatch;
        Clock& clock;
        // Changes the default for the run and puts the user's own back.
        DefaultPrinterKeeper& keeper;
        const StopRequest* stop = nullptr;
        // Held from a print's dispatch to its confirmed job, so that no other
        // run of the user's prints meanwhile and takes this file's job for its
        // own; none: the run is alone.
        UserLocks* locks = nullptr;
    };
    // The paths that really race for it: a window's dispatch, whose job is
    // known only by its title until it is confirmed, and the batch or the
    // watched folder submitting a file of the same name (their job ids are
    // known at once, but a job of theirs could confirm the window's file).
    // Two windows race the same way.
    static const QString& dispatchLockName();

    explicit PrintRun(Services services);

    void run();

private:
    void printEntries(StepExecutor& steps, int count, const QString& chosenPrinter);

    Services services_;
    ErrorReport report_;
    PropertyValueMaker propertyValues_;
    JobConfirmation confirmation_;
};

} // namespace bw
