#pragma once

#include "platform/OfficeSuite.h"

#include <QProcessEnvironment>
#include <QString>
#include <chrono>
#include <memory>

namespace bw {

class Processes;
class StateFolder;

// The office suite over LibreOffice's UNO C++ API. "Create the service
// manager" asks the office for it over a connection on a named pipe, kept
// while the office lives and made anew once it has gone; when nothing
// listens there, it starts soffice on that pipe and waits a bounded time. Every
// remote call is bounded as well, so a silent office fails the call instead
// of hanging the program.
class UnoOfficeSuite : public OfficeSuite {
public:
    struct Options {
        QString pipeName;
        // file:/// URL of the profile folder; empty for the user's own profile.
        QString profileUrl;
        QString programFolder;
        std::chrono::milliseconds startTimeout{30000};
        std::chrono::milliseconds answerTimeout{120000};
        // At that limit another call on the same connection asks the office
        // a cheap question within this time: an office that answers is
        // waiting on its user (a dialog) and the call waits on; one that does
        // not is hung. Also bounds each new connection's hand-shake.
        std::chrono::milliseconds probeTimeout{10000};
        // After a start that failed, later calls fail at once for this long
        // instead of waiting for the office again.
        std::chrono::milliseconds restartPause{60000};
        // Headless even with a display: an office nobody watches must never
        // wait on a dialog.
        bool headless = false;
        // The profile is this program's alone and no office runs on it (a
        // batch slot's): the office is started without a look for one on
        // the pipe first, and the profile is marked as having met this
        // office version, which spares later starts the office's
        // three-quarter-second graphics self-test; an office that never
        // opens a window never marks it itself.
        bool privateProfile = false;
        // Where an office started here is recorded, so that the next instance
        // knows it as the program's own if this one is killed; none: not recorded.
        StateFolder* state = nullptr;
        Processes* processes = nullptr;
    };

    // The pipe of this user's office for this profile and print system, so
    // that a program with another HOME or CUPS server never borrows an office
    // that reads another profile or prints through another print system.
    static QString pipeNameFor(uint userId, const QString& profileUrl,
                               const QProcessEnvironment& environment);
    // The pipe for this process's user and environment and the user's own profile.
    static QString defaultPipeName();
    static QString defaultProgramFolder();
    // The program's own settings: its own pipe, the user's own profile.
    static Options programOptions();

    explicit UnoOfficeSuite(Options options);
    ~UnoOfficeSuite() override;
    UnoOfficeSuite(const UnoOfficeSuite&) = delete;
    UnoOfficeSuite& operator=(const UnoOfficeSuite&) = delete;

    OfficeReference createServiceManager() override;
    OfficeReference createInstance(const OfficeReference& serviceManager,
                                   const QString& serviceName) override;
    OfficeReference blankPropertyRecord(const OfficeReference& serviceManager) override;
    OfficeReference loadComponentFromURL(const OfficeReference& desktop, const QString& url,
                                         const QString& targetFrameName, qint16 searchFlags,
                                         const std::vector<OfficeReference>& arguments) override;
    OfficeReference getCurrentController(const OfficeReference& document) override;
    OfficeReference getFrame(const OfficeReference& controller) override;
    void executeDispatch(const OfficeReference& dispatcher, const OfficeReference& frame,
                         const QString& command, const QString& targetFrameName, qint16 searchFlags,
                         const std::vector<OfficeReference>& arguments) override;
    void close(const OfficeReference& document, bool deliverOwnership) override;
    void storeToUrl(const OfficeReference& document, const QString& url,
                    const std::vector<OfficeReference>& properties) override;
    QStringList supportedServiceNames(const OfficeReference& object) override;
    void setPageStyleProperties(const OfficeReference& document,
                                const std::vector<OfficeReference>& properties) override;
    bool knowsPrinter(const QString& name) override;
    bool restartSelfStartedOffice() override;

    // At start-up: an office that an instance of the program killed outright
    // started, and that still runs on this pipe, becomes this one's own, with
    // the documents open in it now counted as loaded here. Needs the record
    // (Options::state); an office that cannot be asked is left to the user.
    void takeOverLeftOffice();
    // Asks an office that this object started to terminate, unless documents
    // it did not load are open in it; waits a bounded time for it to go. An
    // office it did not start is left alone. Returns whether it asked. In a
    // hurry (the program was told to end), an office that does not answer or
    // go within that time is killed: one stuck in a call to a frozen
    // printing system would hold the end up for as long.
    bool endSelfStartedOffice(std::optional<std::chrono::milliseconds> hurry = std::nullopt);
    // Leaves an office that this object started, and that still runs, to the
    // user: the next instance of the program will not count it as its own.
    void handOverSelfStartedOffice();
    // Kills an office started here whose connection was broken off because
    // it stopped answering, so that the next call starts a new one at once.
    // Returns whether it did.
    bool endUnansweringOffice();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace bw
