// Times the print run over real LibreOffice and CUPS: the run's own time (its
// total less the mandated five seconds a file) beside `soffice --pt` on the
// same files. Run through bench/print-run.sh, which sets up a private CUPS
// daemon, a temporary HOME and the files.
#include "filelist/FileListModel.h"
#include "platform/MessageBoxes.h"
#include "platform/OfficeSuite.h"
#include "platform/Sleeper.h"
#include "platform/WindowPointer.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "platform/system/FlockUserLocks.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/SteadyClock.h"
#include "platform/system/ThreadSleeper.h"
#include "platform/system/XdgStateFolder.h"
#include "platform/uno/UnoOfficeSuite.h"
#include "print/JobConfirmation.h"
#include "print/PrintRun.h"
#include "printers/DefaultPrinter.h"
#include "printers/DefaultPrinterKeeper.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTextStream>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cups/cups.h>
#include <numeric>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// The real wait, with the moment each one starts and ends.
class TimedSleeper : public bw::Sleeper {
public:
    void sleepMilliseconds(int milliseconds) override
    {
        const auto start = Clock::now();
        real_.sleepMilliseconds(milliseconds);
        // The wait after each print is slept in slices, the events read
        // between them; other sleeps (a lock retried, a poll) are counted apart.
        if (milliseconds != bw::JobConfirmation::ReadMilliseconds) {
            otherSleeps.push_back(milliseconds);
            return;
        }
        if (slices++ % (bw::PrintRun::WaitAfterPrintMilliseconds / milliseconds) == 0)
            starts.push_back(start);
        else
            ends.back() = Clock::now();
        if (ends.size() < starts.size())
            ends.push_back(Clock::now());
    }
    int slices = 0;
    std::vector<int> otherSleeps;
    std::vector<Clock::time_point> starts;
    std::vector<Clock::time_point> ends;

private:
    bw::ThreadSleeper real_;
};

// The printing system, with the time the run spends asking it for jobs.
class TimingPrinters : public bw::Printers, public bw::JobWatch {
public:
    TimingPrinters(bw::Printers& printers, bw::JobWatch& jobs) : printers_(printers), jobs_(jobs) {}
    QStringList installedPrinters() override { return printers_.installedPrinters(); }
    QString defaultPrinterName() override { return printers_.defaultPrinterName(); }
    void setDefaultPrinter(const QString& name) override { printers_.setDefaultPrinter(name); }
    QString environmentDefault() override { return printers_.environmentDefault(); }
    bool acceptsJobs(const QString& printer) override
    {
        return timed([&] { return printers_.acceptsJobs(printer); });
    }
    std::optional<QString> refusedOption(const QString& printer, const QString& name,
                                         const QString& value) override
    {
        return printers_.refusedOption(printer, name, value);
    }
    // Taking out the watch, once a run, is counted apart from the per-file looks.
    int watchJobs(const QString& printer) override
    {
        const auto start = Clock::now();
        const int watch = jobs_.watchJobs(printer);
        watchSpent += seconds(Clock::now() - start);
        return watch;
    }
    QList<bw::JobEvent> jobEvents(int watch, int afterSequence) override
    {
        return timed([&] { return jobs_.jobEvents(watch, afterSequence); });
    }
    QList<bw::PrintJob> ownJobs(const QString& printer, qint64 createdSince) override
    {
        return timed([&] { return jobs_.ownJobs(printer, createdSince); });
    }
    void endWatch(int watch) override
    {
        timed([&] {
            jobs_.endWatch(watch);
            return 0;
        });
    }

    int calls = 0;
    double spent = 0;
    double watchSpent = 0;

private:
    template <class Call> auto timed(Call&& call) -> decltype(call())
    {
        const auto start = Clock::now();
        auto result = call();
        spent += seconds(Clock::now() - start);
        ++calls;
        return result;
    }
    bw::Printers& printers_;
    bw::JobWatch& jobs_;
};

class CountingBoxes : public bw::MessageBoxes {
public:
    void show(const QString& text, int, const QString&) override { texts << text; }
    QStringList texts;
};

class StillPointer : public bw::WindowPointer {
public:
    int pointerCode() const override { return code_; }
    void setPointerCode(int code) override { code_ = code; }

private:
    int code_ = 0;
};

// Times each office operation of the first file.
class TimingOffice : public bw::OfficeSuite {
public:
    explicit TimingOffice(bw::OfficeSuite& inner) : inner_(inner) {}

    bw::OfficeReference createServiceManager() override
    {
        return timed("createServiceManager", [&] { return inner_.createServiceManager(); });
    }
    bw::OfficeReference createInstance(const bw::OfficeReference& manager, const QString& name) override
    {
        return timed("createInstance", [&] { return inner_.createInstance(manager, name); });
    }
    bw::OfficeReference blankPropertyRecord(const bw::OfficeReference& manager) override
    {
        return timed("blankPropertyRecord", [&] { return inner_.blankPropertyRecord(manager); });
    }
    bw::OfficeReference loadComponentFromURL(const bw::OfficeReference& desktop, const QString& url,
                                             const QString& target, qint16 flags,
                                             const std::vector<bw::OfficeReference>& arguments) override
    {
        return timed("loadComponentFromURL",
                     [&] { return inner_.loadComponentFromURL(desktop, url, target, flags, arguments); });
    }
    bw::OfficeReference getCurrentController(const bw::OfficeReference& document) override
    {
        return timed("getCurrentController", [&] { return inner_.getCurrentController(document); });
    }
    bw::OfficeReference getFrame(const bw::OfficeReference& controller) override
    {
        return timed("getFrame", [&] { return inner_.getFrame(controller); });
    }
    void executeDispatch(const bw::OfficeReference& dispatcher, const bw::OfficeReference& frame,
                         const QString& command, const QString& target, qint16 flags,
                         const std::vector<bw::OfficeReference>& arguments) override
    {
        timed("executeDispatch", [&] {
            inner_.executeDispatch(dispatcher, frame, command, target, flags, arguments);
            return 0;
        });
    }
    void close(const bw::OfficeReference& document, bool deliverOwnership) override
    {
        timed("close", [&] {
            inner_.close(document, deliverOwnership);
            return 0;
        });
        firstFileDone_ = true;
    }
    bool knowsPrinter(const QString& name) override
    {
        return timed("knowsPrinter", [&] { return inner_.knowsPrinter(name); });
    }
    bool restartSelfStartedOffice() override
    {
        return timed("restartSelfStartedOffice", [&] { return inner_.restartSelfStartedOffice(); });
    }

    QStringList firstFile;
    // Time spent in each call over the later files, in order of first use.
    std::vector<std::pair<QString, double>> laterFiles;

private:
    template <class Call> auto timed(const char* name, Call&& call) -> decltype(call())
    {
        const auto start = Clock::now();
        auto result = call();
        const double taken = seconds(Clock::now() - start);
        if (!firstFileDone_) {
            firstFile << QStringLiteral("%1 %2 ms").arg(QLatin1String(name)).arg(taken * 1000, 0, 'f', 0);
        } else {
            const QString key = QLatin1String(name);
            auto each = std::find_if(laterFiles.begin(), laterFiles.end(),
                                     [&](const auto& entry) { return entry.first == key; });
            if (each == laterFiles.end())
                laterFiles.emplace_back(key, taken);
            else
                each->second += taken;
        }
        return result;
    }

    bw::OfficeSuite& inner_;
    bool firstFileDone_ = false;
};

// CPU time of this process: what the run costs on its own side.
double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int pendingJobs(const QString& queue)
{
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(count, jobs);
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addOption(
        {QStringLiteral("queue"), QStringLiteral("Disabled queue to print on."), QStringLiteral("name")});
    parser.addOption(
        {QStringLiteral("profile"), QStringLiteral("LibreOffice profile folder."), QStringLiteral("dir")});
    parser.addOption(
        {QStringLiteral("docs"), QStringLiteral("Folder of the .ods files."), QStringLiteral("dir")});
    parser.process(application);
    const QString queue = parser.value(QStringLiteral("queue"));
    const QString profile = parser.value(QStringLiteral("profile"));
    QStringList files;
    const QDir docs(parser.value(QStringLiteral("docs")));
    for (const QString& name : docs.entryList({QStringLiteral("*.ods")}, QDir::Files, QDir::Name))
        files << docs.filePath(name);
    if (queue.isEmpty() || profile.isEmpty() || files.isEmpty()) {
        std::fprintf(stderr,
                     "usage: print_run_bench --queue Q --profile DIR --docs DIR (run bench/print-run.sh)\n");
        return 2;
    }
    QTextStream out(stdout);
    const int n = static_cast<int>(files.size());

    // The print run, with the office not running yet.
    bw::UnoOfficeSuite::Options options = bw::UnoOfficeSuite::programOptions();
    options.pipeName = QStringLiteral("bw_bench_%1").arg(QCoreApplication::applicationPid());
    options.profileUrl = QUrl::fromLocalFile(profile).toString();
    bw::UnoOfficeSuite realOffice(options);
    // A new profile is slow to start an office on until one has loaded a
    // document on it; a user's profile has long done so. Neither side pays
    // for that: one office start, load and close beforehand.
    {
        const bw::OfficeReference manager = realOffice.createServiceManager();
        const bw::OfficeReference desktop =
            realOffice.createInstance(manager, QStringLiteral("com.sun.star.frame.Desktop"));
        realOffice.close(realOffice.loadComponentFromURL(desktop,
                                                         QUrl::fromLocalFile(files.front()).toString(),
                                                         QStringLiteral("_blank"), 0, {}),
                         true);
    }
    realOffice.endSelfStartedOffice();
    TimingOffice office(realOffice);
    bw::FileListModel list;
    list.appendAll(files);
    bw::CupsPrintingSystem printing;
    bw::CupsPrinters& printers = printing.printers;
    CountingBoxes boxes;
    TimedSleeper sleeper;
    StillPointer pointer;
    bw::DefaultPrinter defaultPrinter(printers, boxes);
    TimingPrinters jobWitness(printers, printing.jobs);
    bw::SteadyClock clock;
    bw::XdgStateFolder state;
    bw::PosixProcesses processes;
    bw::FlockUserLocks locks;
    bw::DefaultPrinterKeeper keeper(defaultPrinter, printing.options, state, processes, locks, sleeper,
                                    nullptr);
    bw::PrintRun run({list, office, boxes, sleeper, pointer, [](int) {}, defaultPrinter,
                      [&] { return queue; }, jobWitness, jobWitness, clock, keeper});

    const int jobsBefore = pendingJobs(queue);
    const double processorBefore = processorSeconds();
    const auto start = Clock::now();
    run.run();
    const auto end = Clock::now();
    const double processor = processorSeconds() - processorBefore;
    const int ourJobs = pendingJobs(queue) - jobsBefore;
    const double total = seconds(end - start);
    const double waits = n * bw::PrintRun::WaitAfterPrintMilliseconds / 1000.0;
    const double own = total - waits;
    std::vector<double> laterFiles;
    for (size_t i = 1; i < sleeper.starts.size(); ++i)
        laterFiles.push_back(seconds(sleeper.starts[i] - sleeper.ends[i - 1]));
    std::sort(laterFiles.begin(), laterFiles.end());
    const double firstFile = sleeper.starts.empty() ? 0 : seconds(sleeper.starts.front() - start);
    realOffice.endSelfStartedOffice();

    // The reference: LibreOffice printing the same files itself.
    QStringList arguments{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                          QStringLiteral("-env:UserInstallation=") + options.profileUrl,
                          QStringLiteral("--pt"), queue};
    arguments << files;
    QProcess soffice;
    soffice.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    soffice.setStandardErrorFile(QProcess::nullDevice());
    const int referenceBefore = pendingJobs(queue);
    const auto referenceStart = Clock::now();
    soffice.start(bw::UnoOfficeSuite::defaultProgramFolder() + QStringLiteral("/soffice"), arguments);
    soffice.waitForFinished(600000);
    const double reference = seconds(Clock::now() - referenceStart);
    // Jobs reach CUPS a little after the call returns.
    QProcess::execute(QStringLiteral("sleep"), {QStringLiteral("2")});
    const int referenceJobs = pendingJobs(queue) - referenceBefore;

    out << "files: " << n << " small .ods on disabled queue " << queue << "\n";
    out << QStringLiteral("print run: total %1 s, less %2 x 5 s wait = %3 s; %4 jobs; boxes: %5\n")
               .arg(total, 0, 'f', 2)
               .arg(n)
               .arg(own, 0, 'f', 2)
               .arg(ourJobs)
               .arg(boxes.texts.join(QStringLiteral(" | ")));
    if (!sleeper.otherSleeps.empty())
        out << QStringLiteral("  of it, %1 other waits (a lock retried) of %2 s in all\n")
                   .arg(sleeper.otherSleeps.size())
                   .arg(std::accumulate(sleeper.otherSleeps.begin(), sleeper.otherSleeps.end(), 0) / 1000.0,
                        0, 'f', 2);
    out << QStringLiteral(
               "  first file, office not running: %1 s to its print; later files median %2 s each\n")
               .arg(firstFile, 0, 'f', 2)
               .arg(laterFiles.empty() ? 0.0 : laterFiles[laterFiles.size() / 2], 0, 'f', 3);
    out << QStringLiteral(
               "  confirmation: watch taken out in %1 ms; then %2 CUPS queries, %3 ms in all, %4 ms a "
               "file\n")
               .arg(jobWitness.watchSpent * 1000, 0, 'f', 1)
               .arg(jobWitness.calls)
               .arg(jobWitness.spent * 1000, 0, 'f', 1)
               .arg(jobWitness.spent * 1000 / n, 0, 'f', 2);
    out << QStringLiteral("  this process's own CPU time: %1 ms in all, %2 ms a file\n")
               .arg(processor * 1000, 0, 'f', 0)
               .arg(processor * 1000 / n, 0, 'f', 1);
    out << "  first file, each office call: " << office.firstFile.join(QStringLiteral(", ")) << "\n";
    if (n > 1) {
        QStringList perFile;
        for (const auto& [name, total] : office.laterFiles)
            perFile << QStringLiteral("%1 %2 ms").arg(name).arg(total * 1000 / (n - 1), 0, 'f', 1);
        out << "  later files, each office call (mean a file, summed over its uses): "
            << perFile.join(QStringLiteral(", ")) << "\n";
    }
    out << QStringLiteral("soffice --headless --pt %1: %2 s; %3 jobs\n")
               .arg(queue)
               .arg(reference, 0, 'f', 2)
               .arg(referenceJobs);
    out << QStringLiteral("ratio (print run less waits / soffice --pt): %1 (goal <= 1.1)\n")
               .arg(own / reference, 0, 'f', 2);
    return 0;
}
