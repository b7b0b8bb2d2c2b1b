// A 100k-entry list in the real model and view: memory, and Move Up,
// Move Down and Delete near the top, middle and end of the list.
#include "BenchSupport.h"
#include "app/FileListView.h"
#include "app/GuardedApplication.h"
#include "filelist/EditingCommands.h"
#include "filelist/FileListModel.h"

#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    bw::GuardedApplication application(argc, argv);
    constexpr int Entries = 100000;
    ::malloc_trim(0);
    const long before = bench::residentKiB();

    bw::FileListModel list;
    bw::FileListView view;
    view.resize(456, 169);
    view.setFileList(&list);
    view.show();
    QCoreApplication::processEvents();

    QStringList paths;
    paths.reserve(Entries);
    for (int i = 0; i < Entries; ++i)
        paths.append(
            QStringLiteral("/home/user/Documents/Reports/2026/sheet-%1.ods").arg(i, 6, 10, QLatin1Char('0')));
    const double fill = bench::millisecondsOf([&] {
        list.appendAll(paths);
        QCoreApplication::processEvents();
    });
    paths.clear();
    paths.squeeze();
    // The paths given to the list are freed now; what the C library keeps of
    // them for later allocations is not the list's.
    ::malloc_trim(0);
    const long after = bench::residentKiB();
    std::printf("append_100k_ms %.1f\n", fill);
    std::printf("rss_100k_entries_kib %ld (list and view: %ld KiB, %.0f bytes an entry)\n", after,
                after - before, (after - before) * 1024.0 / Entries);

    auto printFigures = [](const char* name, std::vector<double>& samples) {
        std::sort(samples.begin(), samples.end());
        std::printf("%s_median_ms %.3f p95_ms %.3f\n", name, samples[samples.size() / 2],
                    samples[samples.size() * 95 / 100]);
    };
    // What the view does again when the font, the style or the model change;
    // no command on the list makes it lay out its rows.
    std::vector<double> layouts;
    for (int round = 0; round < 50; ++round)
        layouts.push_back(bench::millisecondsOf([&] { view.doItemsLayout(); }));
    printFigures("view_relayout_100k", layouts);
    // And under Delete: every row in view below the removed one is painted again.
    std::vector<double> repaints;
    for (int round = 0; round < 50; ++round)
        repaints.push_back(bench::millisecondsOf([&] { view.viewport()->repaint(); }));
    printFigures("view_repaint", repaints);

    bw::EditingCommands commands(list, view);
    auto timeCommand = [&](const char* name, int position, auto&& command) {
        std::vector<double> samples;
        for (int round = 0; round < 200; ++round) {
            list.select(position);
            samples.push_back(bench::millisecondsOf([&] {
                command();
                QCoreApplication::processEvents();
            }));
        }
        const std::string figure = name + std::string("_at_") + std::to_string(position);
        printFigures(figure.c_str(), samples);
    };
    for (int position : {2, Entries / 2, Entries - 1}) {
        timeCommand("move_up", position, [&] { commands.moveUp(); });
        timeCommand("move_down", position, [&] { commands.moveDown(); });
    }
    for (int position : {1, Entries / 2, Entries - 300}) {
        timeCommand("delete", position, [&] {
            commands.removeSelected();
            list.append(QStringLiteral("/home/user/refill.ods"));
        });
    }
    std::printf("entries_after %d\n", list.count());
    return 0;
}
