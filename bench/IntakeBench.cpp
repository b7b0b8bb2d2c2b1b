// Times the folder scan ("Add All Calc Files In Folder" with the default
// extension) on a real tree, appending every row into the real list model
// shown in the real list view. Prints the best of several runs and the
// process's peak memory.
#include "app/FileListView.h"
#include "filelist/FileListModel.h"
#include "intake/FolderScanCommand.h"
#include "platform/Dialogs.h"
#include "platform/WindowPointer.h"
#include "platform/qt/EventLoopYielder.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/system/PosixFileSystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

// Answers the two prompts of the scan as a user keeping the default would.
class ScriptedDialogs : public bw::Dialogs {
public:
    explicit ScriptedDialogs(QString folder) : folder_(std::move(folder)) {}
    QStringList openFiles(const QString&, const QList<bw::FileFilter>&) override { return {}; }
    QString inputBox(const QString&, const QString& defaultText) override { return defaultText; }
    QString browseForFolder(const QString&) override { return folder_; }

private:
    QString folder_;
};

class CountingYielder : public bw::Yielder {
public:
    void yieldToEvents() override
    {
        ++count;
        eventLoop.yieldToEvents();
    }
    long count = 0;
    bw::EventLoopYielder eventLoop{bw::EventLoopYielder::ResponsiveInterval}; // as the program has it
};

long peakRssKb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class PlainPointer : public bw::WindowPointer {
public:
    int pointerCode() const override { return code_; }
    void setPointerCode(int code) override { code_ = code; }

private:
    int code_ = Default;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: %s ROOT [RUNS]\n", argv[0]);
        return 2;
    }
    const QString root = arguments.at(1);
    const int runs = arguments.size() > 2 ? std::max(1, arguments.at(2).toInt()) : 3;

    bw::PosixFileSystem fileSystem;
    ScriptedDialogs dialogs(root);
    CountingYielder yielder;
    PlainPointer pointer;
    bw::QtMessageBoxes boxes; // the root is readable: no message comes

    // What Qt and a shown view take before any scan, to set the peak against.
    {
        bw::FileListView warmUp;
        warmUp.show();
        QApplication::processEvents();
    }
    const long baselineKb = peakRssKb();

    std::vector<double> times;
    int rows = 0;
    for (int run = 0; run < runs; ++run) {
        bw::FileListModel list;
        bw::FileListView view;
        view.setFileList(&list);
        view.resize(600, 400);
        view.show();
        QApplication::processEvents();
        yielder.count = 0;
        QElapsedTimer timer;
        timer.start();
        bw::FolderScanCommand(dialogs, fileSystem, yielder, pointer, boxes, list).run();
        QApplication::processEvents(); // the view catches up once
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        rows = list.count();
    }

    std::printf("rows=%d yields=%ld best_ms=%.1f", rows, yielder.count,
                *std::min_element(times.begin(), times.end()));
    std::printf(" runs_ms=");
    for (size_t i = 0; i < times.size(); ++i)
        std::printf("%s%.1f", i ? "," : "", times[i]);
    std::printf(" peak_rss_kb=%ld baseline_rss_kb=%ld\n", peakRssKb(), baselineKb);
    return 0;
}
