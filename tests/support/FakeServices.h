#pragma once

#include "app/AppServices.h"
#include "support/FakeBrowserOpener.h"
#include "support/FakeDialogs.h"
#include "support/FakeFileSystem.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeOfficeSuite.h"
#include "support/FakePrintJobs.h"
#include "support/FakePrinters.h"
#include "support/FakeProcesses.h"
#include "support/FakeRandomSource.h"
#include "support/FakeSettingsStore.h"
#include "support/FakeSkinEngine.h"
#include "support/FakeSleeper.h"
#include "support/FakeStateFolder.h"
#include "support/FakeStopRequest.h"
#include "support/FakeUserLocks.h"
#include "support/FakeYielder.h"

namespace bw::test {

// Every service as a fake, bundled for tests of the whole window.
struct FakeServices {
    // The office's prints land in the printing system's job list.
    FakeServices()
    {
        office.printing = &jobs;
        jobs.clock = &sleeper;
    }

    FakeFileSystem fileSystem;
    FakeMessageBoxes messageBoxes;
    FakeRandomSource random;
    FakeBrowserOpener browser;
    FakeSettingsStore settings;
    FakePrinters printers;
    FakePrintJobs jobs{printers};
    FakeSleeper sleeper;
    FakeYielder yielder;
    FakeOfficeSuite office;
    FakeSkinEngine skin;
    FakeDialogs dialogs;
    FakeStateFolder state;
    FakeProcesses processes;
    FakeUserLocks locks;
    FakeStopRequest stop;
    QString installFolder = QStringLiteral("/opt/brindlework");
    AppServices services{fileSystem, messageBoxes, random,  browser, settings,     printers, printers.options,
                         jobs,       sleeper,      sleeper, yielder, office,       skin,     dialogs,
                         state,      processes,    locks,   stop,    installFolder};

    // Real services (or other fakes) in place of some of these:
    // fakes.with().use(realFileSystem).inFolder(path).build().
    class Builder {
    public:
        explicit Builder(FakeServices& fakes) : f_(fakes) {}
        Builder& use(FileSystem& s)
        {
            fileSystem_ = &s;
            return *this;
        }
        Builder& use(MessageBoxes& s)
        {
            messageBoxes_ = &s;
            return *this;
        }
        Builder& use(SettingsStore& s)
        {
            settings_ = &s;
            return *this;
        }
        Builder& use(Printers& s)
        {
            printers_ = &s;
            return *this;
        }
        Builder& use(Sleeper& s)
        {
            sleeper_ = &s;
            return *this;
        }
        Builder& use(Clock& s)
        {
            clock_ = &s;
            return *this;
        }
        Builder& use(Yielder& s)
        {
            yielder_ = &s;
            return *this;
        }
        Builder& use(OfficeSuite& s)
        {
            office_ = &s;
            return *this;
        }
        Builder& use(SkinEngine& s)
        {
            skin_ = &s;
            return *this;
        }
        Builder& use(Dialogs& s)
        {
            dialogs_ = &s;
            return *this;
        }
        Builder& inFolder(const QString& programFolder)
        {
            folder_ = programFolder;
            return *this;
        }

        AppServices build() const
        {
            return AppServices{fileSystem_ ? *fileSystem_ : f_.fileSystem,
                               messageBoxes_ ? *messageBoxes_ : f_.messageBoxes,
                               f_.random,
                               f_.browser,
                               settings_ ? *settings_ : f_.settings,
                               printers_ ? *printers_ : f_.printers,
                               f_.printers.options,
                               f_.jobs,
                               sleeper_ ? *sleeper_ : f_.sleeper,
                               clock_ ? *clock_ : f_.sleeper,
                               yielder_ ? *yielder_ : f_.yielder,
                               office_ ? *office_ : f_.office,
                               skin_ ? *skin_ : f_.skin,
                               dialogs_ ? *dialogs_ : f_.dialogs,
                               f_.state,
                               f_.processes,
                               f_.locks,
                               f_.stop,
                               folder_.isEmpty() ? f_.services.programFolder : folder_};
        }

    private:
        FakeServices& f_;
        FileSystem* fileSystem_ = nullptr;
        MessageBoxes* messageBoxes_ = nullptr;
        SettingsStore* settings_ = nullptr;
        Printers* printers_ = nullptr;
        Sleeper* sleeper_ = nullptr;
        Clock* clock_ = nullptr;
        Yielder* yielder_ = nullptr;
        OfficeSuite* office_ = nullptr;
        SkinEngine* skin_ = nullptr;
        Dialogs* dialogs_ = nullptr;
        QString folder_;
    };

    Builder with() { return Builder(*this); }
};

} // namespace bw::test
