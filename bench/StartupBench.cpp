// Start-up to the first shown window, with the real adapters, and the
// resident memory once the window is up.
#include "BenchSupport.h"
#include "app/GuardedApplication.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"

#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

namespace {

// The home page is never opened from a benchmark.
class NoBrowser : public bw::BrowserOpener {
public:
    void open(const QString&) override {}
};

class ShownProbe : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose || event->type() == QEvent::Show)
            shown = true;
        return false;
    }
    bool shown = false;
};

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer timer;
    timer.start();
    bw::GuardedApplication application(argc, argv);
    NoBrowser browser;
    bw::RealServices real(&browser);
    bw::MainWindow window;
    real.setDialogParent(&window);
    bw::MainController controller(window, real.services());
    controller.startUp();
    ShownProbe probe;
    window.installEventFilter(&probe);
    window.show();
    while (!probe.shown)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("startup_to_shown_ms %.1f\n", ms);
    std::printf("startup_rss_kib %ld\n", bench::residentKiB());
    return 0;
}
