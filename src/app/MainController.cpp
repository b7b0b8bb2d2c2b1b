#include "app/MainController.h"

#include "app/CenterForm.h"
#include "app/FileExists.h"
#include "app/FileListView.h"
#include "app/HomePageByChance.h"
#include "app/MainWindow.h"
#include "app/Pictures.h"
#include "app/PointerPicture.h"
#include "app/Twips.h"
#include "intake/PathIntake.h"
#include "platform/MessageBoxes.h"
#include "print/PrintRun.h"
#include "printers/DefaultPrinter.h"
#include "printers/DefaultPrinterKeeper.h"
#include "printers/DefaultPrinterLeftovers.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <functional>
#include <type_traits>

namespace bw {

MainController::MainController(MainWindow& window, AppServices& services)
    : window_(window), services_(services), guard_(services.messageBoxes), walkYielder_(services.yielder),
      editing_(fileList_, *window.listView()),
      drag_(fileList_, *window.listView(), *window.listView(), window, services.programFolder),
      pointerRules_(window), skinTarget_(window),
      skin_(services.fileSystem, services.skin, skinTarget_, services.programFolder),
      addFiles_(services.dialogs, services.fileSystem, services.messageBoxes, fileList_),
      folderScan_(services.dialogs, services.fileSystem, walkYielder_, window, services.messageBoxes,
                  fileList_),
      dropIntake_(services.fileSystem, walkYielder_, fileList_),
      homePage_(std::make_unique<HomePageByChance>(services.random, services.browser)),
      printerChoices_(*window.printerCombo()),
      printerList_(services.printers, services.settings, printerChoices_),
      defaultPrinter_(std::make_unique<DefaultPrinter>(services.printers, services.messageBoxes)),
      keeper_(std::make_unique<DefaultPrinterKeeper>(*defaultPrinter_, services.printerOptions,
                                                     services.state, services.processes, services.locks,
                                                     services.sleeper, &services.stop)),
      printRun_(std::make_unique<PrintRun>(PrintRun::Services{
          fileList_, services.office, services.messageBoxes, services.sleeper, window,
          [&window](int value) { window.progressBar()->setValue(value); }, *defaultPrinter_,
          [&window] { return window.printerCombo()->currentText(); }, services.printers, services.jobWatch,
          services.clock, *keeper_, &services.stop, &services.locks}))
{
    window_.listView()->setFileList(&fileList_);
    wireEvents();
}

MainController::~MainController() = default;

void MainController::startUp()
{
    const std::function<void()> steps[] = {
        // Before anything else: a run cut short left the chosen printer the default.
        [this] { restoreLeftoverDefault(); },
        [this] { skin_.applySkin(); },
        [this] { centerWindow(); },
        [this] { loadHandPointer(); },
        [this] { homePage_->run(); },
        [this] { window_.setWindowTitle(QStringLiteral("Brindlework")); },
        [this] { window_.setWindowIcon(programIcon()); },
        [this] { window_.addColumnHeader(QStringLiteral("Calc File(s)")); },
        [this] { printerList_.fillPrinterList(); },
    };
    // A failing step is shown and the start-up goes on with the next one.
    for (const auto& step : steps)
        guard_.run(step);
}

void MainController::restoreLeftoverDefault()
{
    DefaultPrinterLeftovers leftovers(services_.printerOptions, services_.state, services_.processes,
                                      services_.locks);
    const std::vector<DefaultPrinterLeftovers::Leftover> found = leftovers.restore();
    const QString text = DefaultPrinterLeftovers::message(found);
    if (!text.isEmpty())
        services_.messageBoxes.show(text,
                                    DefaultPrinterLeftovers::anyFailed(found) ? MessageBoxes::Exclamation
                                                                              : MessageBoxes::OkOnly,
                                    applicationTitle());
}

void MainController::centerWindow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const double dpi = window_.dpi();
    const QRect frame = window_.frameGeometry();
    const QSize outer = frame.size().expandedTo(window_.size());
    const QRect screenRect = screen->geometry();
    const FormPosition position =
        centerForm(pixelsToTwips(screenRect.width(), dpi), pixelsToTwips(screenRect.height(), dpi),
                   pixelsToTwips(outer.width(), dpi), pixelsToTwips(outer.height(), dpi));
    window_.move(screenRect.left() + twipsToPixels(position.left, dpi),
                 screenRect.top() + twipsToPixels(position.top, dpi));
}

void MainController::loadHandPointer()
{
    const QString path = services_.programFolder + QStringLiteral("/HAND-M.CUR");
    if (!fileExists(services_.fileSystem, path))
        return;
    if (const auto picture = loadPointerPicture(path))
        window_.setCustomPointerPicture(picture);
}

template <typename Sender, typename Signal, typename Handler, typename Method>
void MainController::wire(Sender* sender, Signal signal, Handler& handler, Method method,
                          Qt::ConnectionType type)
{
    // The handler takes the signal's arguments only where it has parameters for them.
    const auto slot = [this, &handler, method](const auto&... arguments) {
        guard_.run([&] {
            if constexpr (std::is_invocable_v<Method, Handler&, decltype(arguments)...>)
                std::invoke(method, handler, arguments...);
            else
                std::invoke(method, handler);
        });
    };
    connect(sender, signal, this, slot, type);
}

void MainController::wireEvents()
{
    FileListView* list = window_.listView();
    wire(list, &FileListView::deleteKeyPressed, editing_, &EditingCommands::removeSelected);
    wire(list, &FileListView::doubleClicked, editing_, &EditingCommands::removeSelected);
    wire(list, &FileListView::itemClicked, drag_, &DragReorder::itemClick);
    wire(list, &FileListView::mousePressed, drag_, &DragReorder::mouseDown);
    wire(list, &FileListView::mouseMoved, drag_, &DragReorder::mouseMove);
    wire(list, &FileListView::mouseReleased, drag_, &DragReorder::mouseUp);
    wire(&window_, &MainWindow::buttonMouseMoved, pointerRules_, &PointerRules::buttonMouseMove);
    wire(&window_, &MainWindow::backgroundMouseMoved, pointerRules_, &PointerRules::backgroundMouseMove);
    wire(window_.moveUpButton(), &QPushButton::clicked, editing_, &EditingCommands::moveUp);
    wire(window_.moveDownButton(), &QPushButton::clicked, editing_, &EditingCommands::moveDown);
    wire(window_.addFilesButton(), &QPushButton::clicked, addFiles_, &AddFilesCommand::run);
    wire(window_.addFolderButton(), &QPushButton::clicked, folderScan_, &FolderScanCommand::run);
    // Queued, so the drag source is released before the walk starts yielding.
    wire(list, &FileListView::filesDropped, dropIntake_, &DropIntake::run, Qt::QueuedConnection);
    wire(window_.startButton(), &QPushButton::clicked, *printRun_, &PrintRun::run);
    // Closing the window ends the program: a running walk stops at its next yield.
    connect(&window_, &MainWindow::closed, this, [this] { walkYielder_.windowClosed(); });
    // Combo1_Click: every change of the selection, the user's and the start-up's.
    wire(window_.printerCombo(), &QComboBox::currentIndexChanged, printerList_, &PrinterList::combo1Click);
}

void MainController::appendGivenPaths(const QStringList& paths, const QStringList& extensions,
                                      const QString& currentFolder)
{
    PathIntake intake(services_.fileSystem, walkYielder_);
    fileList_.appendAll(PathIntake::rowsOf(intake.take(paths, extensions, currentFolder)));
}

} // namespace bw
