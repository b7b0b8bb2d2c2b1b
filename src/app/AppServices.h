#pragma once

#include <QString>

namespace bw {

class BrowserOpener;
class Clock;
class Dialogs;
class FileSystem;
class MessageBoxes;
class OfficeSuite;
class JobWatch;
class Printers;
class UserPrinterOptions;
class RandomSource;
class SettingsStore;
class SkinEngine;
class Sleeper;
class StateFolder;
class StopRequest;
class Processes;
class UserLocks;
class Yielder;

// The outside services the program runs against: real adapters in main(),
// fakes in tests.
struct AppServices {
    FileSystem& fileSystem;
    MessageBoxes& messageBoxes;
    RandomSource& random;
    BrowserOpener& browser;
    SettingsStore& settings;
    Printers& printers;
    UserPrinterOptions& printerOptions;
    JobWatch& jobWatch;
    Sleeper& sleeper;
    Clock& clock;
    Yielder& yielder;
    OfficeSuite& office;
    SkinEngine& skin;
    Dialogs& dialogs;
    StateFolder& state;
    Processes& processes;
    // Keeps two instances of the program from changing the default printer at once.
    UserLocks& locks;
    // Set once the program is asked to end (a termination signal).
    StopRequest& stop;
    // The folder that holds the executable, without a trailing separator.
    QString programFolder;
};

} // namespace bw
