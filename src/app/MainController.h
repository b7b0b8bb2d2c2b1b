#pragma once

#include "app/AppServices.h"
#include "app/FailureGuard.h"
#include "filelist/EditingCommands.h"
#include "filelist/FileListModel.h"

#include <QObject>
#include <functional>
#include <memory>

namespace bw {

class HomePageByChance;
class MainWindow;
class ModelFileListReader;
class PrintRun;
class ProgressBarValue;
class ReportingDefaultPrinter;

// Wires the main window's events to the handlers and runs the start-up
// sequence. Every handler runs under the one failure guard.
class MainController : public QObject {
    Q_OBJECT
public:
    MainController(MainWindow& window, AppServices& services);
    ~MainController() override;

    // Form_Load: the start-up steps in their order.
    void startUp();

    FileListModel& fileList() { return fileList_; }
    FailureGuard& guard() { return guard_; }

private:
    void wireEvents();
    void guarded(const std::function<void()>& handler);

    void applySkin();
    void centerWindow();
    void loadHandPointer();
    void fillPrinterList();

    MainWindow& window_;
    AppServices& services_;
    FailureGuard guard_;
    FileListModel fileList_;
    EditingCommands editing_;
    std::unique_ptr<HomePageByChance> homePage_;
    std::unique_ptr<ModelFileListReader> printList_;
    std::unique_ptr<ProgressBarValue> progressBar_;
    std::unique_ptr<ReportingDefaultPrinter> defaultPrinter_;
    std::unique_ptr<PrintRun> printRun_;
};

} // namespace bw
