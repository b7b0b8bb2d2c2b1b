// The real program (runProgram over the real services) for tests that end it
// with signals. Only what a user would do by hand is done here: every message
// box is answered at once and its text written to the log, and the files given
// as arguments are put into the list and printed, on the printer picked from
// the list, once the window is up. The office runs on the pipe and profile
// given in the environment.
#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/ProgramRun.h"
#include "app/RealServices.h"
#include "intake/LocalName.h"
#include "support/FakeBrowserOpener.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

void log(const QString& line)
{
    QFile file(qEnvironmentVariable("BRINDLE_DRIVER_LOG"));
    if (file.open(QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

} // namespace

int main(int argc, char** argv)
{
    bw::GuardedApplication application(argc, argv);
    bw::GuardedApplication::setApplicationName(QStringLiteral("Brindlework"));

    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            log(QStringLiteral("box: ") +
                QString(box->text()).replace(QStringLiteral("\r\n"), QStringLiteral(" | ")));
            box->accept();
        }
    });
    answering.start(20);

    bw::UnoOfficeSuite::Options office = bw::UnoOfficeSuite::programOptions();
    office.pipeName = qEnvironmentVariable("BRINDLE_DRIVER_PIPE");
    office.profileUrl = qEnvironmentVariable("BRINDLE_DRIVER_PROFILE");
    bw::test::FakeBrowserOpener browser;
    bw::RealServices real(&browser, office);
    // As main() takes them: by their bytes.
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files.append(bw::decodeLocalName(argv[i]));
    return bw::runProgram(
        application, real, [&files](bw::MainWindow& window, bw::MainController& controller) {
            for (const QString& file : files)
                controller.fileList().append(file);
            window.printerCombo()->setCurrentText(qEnvironmentVariable("BRINDLE_DRIVER_PRINTER"));
            log(QStringLiteral("shown"));
            if (!files.isEmpty())
                QTimer::singleShot(0, window.startButton(), &QPushButton::click);
        });
}
