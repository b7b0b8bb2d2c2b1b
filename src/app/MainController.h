#pragma once

#include "app/AppServices.h"
#include "app/ClosingYielder.h"
#include "app/ComboBoxChoiceList.h"
#include "app/FailureGuard.h"
#include "app/WidgetSkinTarget.h"
#include "appearance/PointerRules.h"
#include "appearance/SkinApplier.h"
#include "filelist/DragReorder.h"
#include "filelist/EditingCommands.h"
#include "filelist/FileListModel.h"
#include "intake/AddFilesCommand.h"
#include "intake/DropIntake.h"
#include "intake/FolderScanCommand.h"
#include "printers/PrinterList.h"

#include <QObject>
#include <memory>

namespace bw {

class HomePageByChance;
class MainWindow;
class PrintRun;
class DefaultPrinter;
class DefaultPrinterKeeper;

// Wires the main window's events to the handlers and runs the start-up
// sequence. Every handler runs under the one failure guard.
class MainController : public QObject {
    Q_OBJECT
public:
    MainController(MainWindow& window, AppServices& services);
    ~MainController() override;

    // Form_Load: the start-up steps in their order.
    void startUp();

    // Paths handed to the program: appended as a drop appends them, folders
    // giving their files with one of the extensions.
    void appendGivenPaths(const QStringList& paths, const QStringList& extensions,
                          const QString& currentFolder);

    FileListModel& fileList() { return fileList_; }
    FailureGuard& guard() { return guard_; }

private:
    void wireEvents();
    // Runs a member of a handler on each signal, under the failure guard.
    template <typename Sender, typename Signal, typename Handler, typename Method>
    void wire(Sender* sender, Signal signal, Handler& handler, Method method,
              Qt::ConnectionType type = Qt::AutoConnection);

    void centerWindow();
    void loadHandPointer();
    void restoreLeftoverDefault();

    MainWindow& window_;
    AppServices& services_;
    FailureGuard guard_;
    FileListModel fileList_;
    ClosingYielder walkYielder_;
    EditingCommands editing_;
    DragReorder drag_;
    PointerRules pointerRules_;
    WidgetSkinTarget skinTarget_;
    SkinApplier skin_;
    AddFilesCommand addFiles_;
    FolderScanCommand folderScan_;
    DropIntake dropIntake_;
    std::unique_ptr<HomePageByChance> homePage_;
    ComboBoxChoiceList printerChoices_;
    PrinterList printerList_;
    std::unique_ptr<DefaultPrinter> defaultPrinter_;
    std::unique_ptr<DefaultPrinterKeeper> keeper_;
    std::unique_ptr<PrintRun> printRun_;
};

} // namespace bw
