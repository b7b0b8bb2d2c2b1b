#pragma once

#include "app/AppServices.h"
#include "support/FakeBrowserOpener.h"
#include "support/FakeFileSystem.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeOfficeSuite.h"
#include "support/FakePrinterServices.h"
#include "support/FakeRandomSource.h"
#include "support/FakeSettingsStore.h"
#include "support/FakeSleeper.h"
#include "support/FakeYielder.h"

namespace bw::test {

// Every service as a fake, bundled for tests of the whole window.
struct FakeServices {
    FakeFileSystem fileSystem;
    FakeMessageBoxes messageBoxes;
    FakeRandomSource random;
    FakeBrowserOpener browser;
    FakeSettingsStore settings;
    FakePrinterServices printers;
    FakeSleeper sleeper;
    FakeYielder yielder;
    FakeOfficeSuite office;
    AppServices services{fileSystem, messageBoxes, random,  browser, settings,
                         printers,   sleeper,      yielder, office,  QStringLiteral("/opt/brindlework")};
};

} // namespace bw::test
