// Times the printer services over libcups: listing the printers, reading the
// default, and setting the default, each asked afresh as the program does.
// Run through bench/printers.sh, which starts a private CUPS daemon.
#include "platform/cups/CupsPrintingSystem.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMicroseconds(int runs, const std::function<void()>& action)
{
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        action();
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    bw::CupsPrintingSystem printing;
    bw::CupsPrinters& printers = printing.printers;
    const QStringList names = printers.installedPrinters();
    if (names.size() < 2) {
        std::fprintf(stderr, "needs at least two queues\n");
        return 1;
    }
    printers.setDefaultPrinter(names.at(0));
    int flip = 0;
    std::printf("queues: %lld, runs: %d (median per call)\n", static_cast<long long>(names.size()), runs);
    std::printf("  installedPrinters   %8.0f us\n",
                medianMicroseconds(runs, [&] { printers.installedPrinters(); }));
    std::printf("  defaultPrinterName  %8.0f us\n",
                medianMicroseconds(runs, [&] { printers.defaultPrinterName(); }));
    std::printf("  setDefaultPrinter   %8.0f us\n",
                medianMicroseconds(runs, [&] { printers.setDefaultPrinter(names.at(flip++ % 2)); }));
    return 0;
}
