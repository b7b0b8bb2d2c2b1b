#include "print/PrintRun.h"

#include "ReportReader.h"
#include "filelist/FileListModel.h"
#include "print/DocumentUrl.h"
#include "printers/DefaultPrinter.h"
#include "printers/DefaultPrinterKeeper.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeOfficeSuite.h"
#include "support/FakePrintJobs.h"
#include "support/FakeProcesses.h"
#include "support/FakeSleeper.h"
#include "support/FakeStateFolder.h"
#include "support/FakeStopRequest.h"
#include "support/FakeUserLocks.h"
#include "support/FakeWindowPointer.h"

#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include <string>

namespace bw::test {
namespace {

// The default printer of the run, with switches to make get or one set fail.
class SwitchableDefaultPrinter : public DefaultPrinterAccess {
public:
    explicit SwitchableDefaultPrinter(DefaultPrinterAccess& inner) : inner_(inner) {}
    QString get() override
    {
        if (failGet)
            throw PlatformError(ErrorNumber::PrinterService, QStringLiteral("get failed"));
        return inner_.get();
    }
    void set(const QString& name) override
    {
        if (++sets == failSet)
            throw PlatformError(ErrorNumber::PrinterService, QStringLiteral("set failed"));
        inner_.set(name);
    }
    bool failGet = false;
    int failSet = 0;
    int sets = 0;

private:
    DefaultPrinterAccess& inner_;
};

const QString One = QStringLiteral("/data/one.ods");
const QString Two = QStringLiteral("/data/two.ods");
const QString Three = QStringLiteral("/data/three.ods");
const QString ArgumentsForB = QStringLiteral("Copies=1 (int16), Collate=true (bool), PrinterName=B (text)");

QString url(const QString& path)
{
    return documentUrl(path);
}

// Members are open so the tables of cases below can arrange them.
class PrintRunTest : public ::testing::Test {
public:
    void SetUp() override
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        printers.defaultPrinter = QStringLiteral("A");
        jobs.clock = &sleeper;
        office.printing = &jobs;
    }

    void addFile(const QString& path, FakeOfficeSuite::Loads loads = FakeOfficeSuite::Loads::Spreadsheet)
    {
        list.append(path);
        office.addDocument(url(path), loads);
    }

    QStringList printedUrls() const
    {
        QStringList urls;
        for (const auto& job : office.printed)
            urls << job.url;
        return urls;
    }

    std::vector<QString> places() const { return reportPlaces(boxes); }

    FileListModel list;
    FakeOfficeSuite office;
    FakeMessageBoxes boxes;
    FakeSleeper sleeper;
    FakeWindowPointer pointer;
    std::vector<int> progress; // the values set, in order
    bool progressFails = false;
    FakePrinters printers;
    FakePrintJobs jobs{printers};
    DefaultPrinter reporting{printers, boxes};
    SwitchableDefaultPrinter defaultPrinter{reporting};
    FakeStateFolder state;
    FakeProcesses processes;
    FakeStopRequest stop;
    FakeUserLocks locks;
    DefaultPrinterKeeper keeper{defaultPrinter, printers.options, state, processes, locks, sleeper, &stop};
    QString combo = QStringLiteral("B");
    int comboReads = 0;
    PrintRun run{{list, office, boxes, sleeper, pointer,
                  [this](int value) {
                      if (progressFails)
                          throw PlatformError(ErrorNumber::InvalidArgument,
                                              QStringLiteral("Invalid property value"));
                      progress.push_back(value);
                  },
                  defaultPrinter,
                  [this] {
                      ++comboReads;
                      return combo;
                  },
                  printers, jobs, sleeper, keeper, &stop, &locks}};
};

const QStringList OneFileOperations{"createServiceManager", "createInstance", "loadComponentFromURL",
                                    "createInstance", "getCurrentController", "getFrame",
                                    // Copies, Collate, PrinterName
                                    "createServiceManager", "blankPropertyRecord", "setName", "setValue",
                                    "createServiceManager", "blankPropertyRecord", "setName", "setValue",
                                    "createServiceManager", "blankPropertyRecord", "setName", "setValue",
                                    "executeDispatch", "close"};

TEST_F(PrintRunTest, EmptyListSaysNoFilesAddedAndTouchesNeitherPrinterNorOffice)
{
    boxes.onShow = [this](const FakeMessageBoxes::Box&) { EXPECT_EQ(pointer.code, WindowPointer::Busy); };
    run.run();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("No files added."));
    EXPECT_EQ(boxes.boxes[0].style, 0);
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Brindlework"));
    EXPECT_EQ(pointer.set, QList<int>({11, 0}));
    EXPECT_EQ(progress, std::vector<int>({0}));
    EXPECT_TRUE(printers.calls.isEmpty());
    EXPECT_TRUE(office.calls.empty());
    EXPECT_TRUE(sleeper.waits.empty());
    EXPECT_EQ(comboReads, 0);
}

TEST_F(PrintRunTest, OneFileRunsTheStepsInTheirOrder)
{
    addFile(One);
    QStringList events;
    QString defaultAtPrint;
    office.onCall = [&](const FakeOfficeSuite::Call& call) {
        if (events.isEmpty() || !events.last().startsWith(QStringLiteral("office")))
            events << QStringLiteral("office");
        if (call.operation == QLatin1String("executeDispatch") || call.operation == QLatin1String("close"))
            events << call.operation;
        if (call.operation == QLatin1String("executeDispatch"))
            defaultAtPrint = printers.effectiveDefault();
    };
    sleeper.onSleep = [&](int ms) { events << QStringLiteral("sleep %1").arg(ms); };
    boxes.onShow = [&](const FakeMessageBoxes::Box& box) { events << QStringLiteral("box ") + box.text; };
    run.run();

    EXPECT_EQ(office.operations(), OneFileOperations);
    EXPECT_EQ(events, QStringList({"office", "executeDispatch", "sleep 1000", "sleep 1000", "sleep 1000",
                                   "sleep 1000", "sleep 1000", "office", "close", "box Done."}));
    EXPECT_EQ(defaultAtPrint, QStringLiteral("B"));
    EXPECT_EQ(jobs.titles(QStringLiteral("B")), QStringList({QStringLiteral("one.ods")}));
    EXPECT_EQ(printers.effectiveDefault(), QStringLiteral("A"));
    EXPECT_EQ(printers.options.userOptions, std::nullopt);
    EXPECT_EQ(pointer.set, QList<int>({11, 0}));
    EXPECT_EQ(progress, std::vector<int>({0}));
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_TRUE(places().empty());
}

TEST_F(PrintRunTest, ThreeFilesArePrintedInListOrderWithTheirArguments)
{
    addFile(One);
    addFile(Two);
    addFile(Three);
    run.run();

    EXPECT_EQ(printedUrls(), QStringList({url(One), url(Two), url(Three)}));
    for (const auto& job : office.printed)
        EXPECT_EQ(job.arguments, ArgumentsForB);
    QStringList loads;
    for (const auto& call : office.calls) {
        if (call.operation == QLatin1String("loadComponentFromURL"))
            loads << call.arguments.mid(1).join(QLatin1Char('|'));
        if (call.operation == QLatin1String("executeDispatch")) {
            EXPECT_EQ(call.arguments.mid(2).join(QLatin1Char('|')),
                      QStringLiteral(".uno:Print||0|") + ArgumentsForB);
        }
        if (call.operation == QLatin1String("close")) {
            EXPECT_EQ(call.arguments.at(1), QStringLiteral("true"));
        }
    }
    EXPECT_EQ(loads,
              QStringList({url(One) + "|_blank|0|", url(Two) + "|_blank|0|", url(Three) + "|_blank|0|"}));
    EXPECT_EQ(office.openDocumentCount(), 0);
    EXPECT_EQ(sleeper.waits, std::vector<int>(15, 1000));
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
}

TEST_F(PrintRunTest, AFileListedTwiceIsPrintedTwice)
{
    addFile(One);
    addFile(One);
    run.run();
    EXPECT_EQ(printedUrls(), QStringList({url(One), url(One)}));
}

TEST_F(PrintRunTest, TheChosenPrinterIsReadOnceBeforeTheOfficeAndNamedInEveryPrint)
{
    addFile(One);
    addFile(Two);
    int readsAtFirstOfficeCall = -1;
    QString defaultAtFirstOfficeCall;
    office.onCall = [&](const FakeOfficeSuite::Call&) {
        if (readsAtFirstOfficeCall < 0) {
            readsAtFirstOfficeCall = comboReads;
            defaultAtFirstOfficeCall = printers.effectiveDefault();
        }
    };
    run.run();
    EXPECT_EQ(comboReads, 1);
    EXPECT_EQ(readsAtFirstOfficeCall, 1);
    EXPECT_EQ(defaultAtFirstOfficeCall, QStringLiteral("B"));
    ASSERT_EQ(office.printed.size(), 2u);
    EXPECT_EQ(office.printed[1].arguments, ArgumentsForB);
}

TEST_F(PrintRunTest, ThePreviousDefaultIsBackBeforeDoneAndThePointerIsBusyMeanwhile)
{
    addFile(One);
    QString defaultWhileDone;
    int pointerWhileDone = -1;
    boxes.onShow = [&](const FakeMessageBoxes::Box&) {
        defaultWhileDone = printers.effectiveDefault();
        pointerWhileDone = pointer.code;
    };
    run.run();
    EXPECT_EQ(defaultWhileDone, QStringLiteral("A"));
    EXPECT_EQ(pointerWhileDone, WindowPointer::Busy);
    EXPECT_EQ(pointer.code, WindowPointer::Default);
    EXPECT_EQ(progress, std::vector<int>({0}));
}

TEST_F(PrintRunTest, ThePrinterAlreadyDefaultGetsTheFileAndTheOptionsStayAsTheyWere)
{
    combo = QStringLiteral("A");
    addFile(One);
    run.run();
    EXPECT_EQ(jobs.titles(QStringLiteral("A")), QStringList({QStringLiteral("one.ods")}));
    EXPECT_EQ(printers.effectiveDefault(), QStringLiteral("A"));
    EXPECT_EQ(printers.options.userOptions, std::nullopt);
}

TEST_F(PrintRunTest, UrlOfThePathIsLoaded)
{
    addFile(QStringLiteral("/data/Q1 #1 100%?.ods"));
    run.run();
    EXPECT_EQ(printedUrls(), QStringList({QStringLiteral("file:///data/Q1 %231 100%25%3F.ods")}));
}

TEST_F(PrintRunTest, AFileTheOfficeCannotReadGivesEmptyDocumentReports)
{
    addFile(QStringLiteral("/data/notes.txt"), FakeOfficeSuite::Loads::AsEmptyReference);
    addFile(Two);
    run.run();
    EXPECT_EQ(places(), std::vector<QString>({"PushButton2_Click:122", "PushButton2_Click:132"}));
    EXPECT_EQ(printedUrls(), QStringList({url(Two)}));
    EXPECT_EQ(sleeper.waits, std::vector<int>(10, 1000)); // the 5 s after each print
}

TEST_F(PrintRunTest, DefaultPrinterUnknownToTheSystemIsReportedByItselfAndTheRunGoesOn)
{
    printers.unreachable = true;
    addFile(One);
    run.run();
    ASSERT_GE(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("Error No: ")));
    EXPECT_EQ(boxes.boxes[0].style, 16);
    // The user's own options file needs no server: putting it back succeeds.
    EXPECT_EQ(places(), std::vector<QString>({"PushButton2_Click:106"}));
    EXPECT_EQ(printedUrls(), QStringList({url(One)}));
    EXPECT_EQ(boxes.boxes.back().text, QStringLiteral("Done."));
}

TEST_F(PrintRunTest, OfficeUnavailableReportsEveryStepThatNeedsItThenRestoresAndSaysDone)
{
    office.available = false;
    addFile(One);
    addFile(Two);
    QString defaultWhileDone;
    boxes.onShow = [&](const FakeMessageBoxes::Box& box) {
        if (box.text == QLatin1String("Done."))
            defaultWhileDone = printers.effectiveDefault();
    };
    run.run();

    const std::vector<QString> perFile{
        "PushButton2_Click:112", "PushButton2_Click:114", "PushButton2_Click:116", "PushButton2_Click:118",
        "PushButton2_Click:122", "MakePropertyValue:100", "MakePropertyValue:102", "MakePropertyValue:104",
        "MakePropertyValue:106", "MakePropertyValue:100", "MakePropertyValue:102", "MakePropertyValue:104",
        "MakePropertyValue:106", "MakePropertyValue:100", "MakePropertyValue:102", "MakePropertyValue:104",
        "MakePropertyValue:106", "PushButton2_Click:128", "PushButton2_Click:132"};
    std::vector<QString> expected = perFile;
    expected.insert(expected.end(), perFile.begin(), perFile.end());
    EXPECT_EQ(places(), expected);
    EXPECT_EQ(shownReports(boxes)[0].description, QStringLiteral("LibreOffice could not be started"));
    EXPECT_EQ(shownReports(boxes)[1].description, QStringLiteral("Object variable not set"));
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(boxes.boxes.back().text, QStringLiteral("Done."));
    EXPECT_EQ(defaultWhileDone, QStringLiteral("A"));
    EXPECT_EQ(sleeper.waits, std::vector<int>(10, 1000));
    EXPECT_EQ(pointer.code, WindowPointer::Default);
    EXPECT_EQ(progress, std::vector<int>({0}));
}

// A failure at each line of the run, with two files listed: the reports it
// gives (the failed line, then those of the steps that needed what it did not
// make), and the files that still come out.
struct LineFailure {
    const char* name;
    std::function<void(PrintRunTest&)> arrange;
    std::vector<QString> places;
    QStringList printed; // "one", "two"
    QString defaultAfter = QStringLiteral("A");
};

class PrintRunLineFailure : public PrintRunTest, public ::testing::WithParamInterface<LineFailure> {};

TEST_P(PrintRunLineFailure, ReportsTheLineAndTheRunGoesOn)
{
    addFile(One);
    addFile(Two);
    GetParam().arrange(*this);
    run.run();

    EXPECT_EQ(places(), GetParam().places);
    QStringList printedNames;
    for (const QString& printed : printedUrls())
        printedNames << (printed == url(One) ? QStringLiteral("one") : QStringLiteral("two"));
    EXPECT_EQ(printedNames, GetParam().printed);
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(printers.effectiveDefault(), GetParam().defaultAfter);
    if (GetParam().places != std::vector<QString>({"PushButton2_Click:146"})) {
        EXPECT_EQ(pointer.code, WindowPointer::Default);
    }
    if (GetParam().places != std::vector<QString>({"PushButton2_Click:144"})) {
        EXPECT_EQ(progress, std::vector<int>({0}));
    }
}

const QStringList Both{"one", "two"};
const QStringList SecondOnly{"two"};
const QStringList FirstOnly{"one"};

INSTANTIATE_TEST_SUITE_P(
    EachLine, PrintRunLineFailure,
    ::testing::Values(
        LineFailure{
            "Line100", [](PrintRunTest& t) { t.pointer.refuse = 11; }, {"PushButton2_Click:100"}, Both},
        // What comes back is the snapshot, not the name line 104 failed to give.
        LineFailure{"Line104",
                    [](PrintRunTest& t) { t.defaultPrinter.failGet = true; },
                    {"PushButton2_Click:104"},
                    Both},
        LineFailure{"Line106",
                    [](PrintRunTest& t) { t.defaultPrinter.failSet = 1; },
                    {"PushButton2_Click:106"},
                    Both},
        // The second row is gone by its turn.
        LineFailure{"Line110",
                    [](PrintRunTest& t) {
                        t.sleeper.onSleep = [&t, first = true](int) mutable {
                            if (std::exchange(first, false))
                                t.list.removeAt(2);
                        };
                    },
                    {"PushButton2_Click:110", "PushButton2_Click:116", "PushButton2_Click:122",
                     "PushButton2_Click:132"},
                    FirstOnly},
        LineFailure{"Line112",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("createServiceManager"), 1); },
                    {"PushButton2_Click:112", "PushButton2_Click:114", "PushButton2_Click:116",
                     "PushButton2_Click:118", "PushButton2_Click:122", "PushButton2_Click:128",
                     "PushButton2_Click:132"},
                    SecondOnly},
        LineFailure{"Line114",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("createInstance"), 1); },
                    {"PushButton2_Click:114", "PushButton2_Click:116", "PushButton2_Click:122",
                     "PushButton2_Click:132"},
                    SecondOnly},
        LineFailure{"Line116",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("loadComponentFromURL"), 1); },
                    {"PushButton2_Click:116", "PushButton2_Click:122", "PushButton2_Click:132"},
                    SecondOnly},
        LineFailure{"Line118",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("createInstance"), 2); },
                    {"PushButton2_Click:118", "PushButton2_Click:128"},
                    SecondOnly},
        LineFailure{"Line122",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("getFrame"), 1); },
                    {"PushButton2_Click:122"},
                    SecondOnly},
        // The records report for themselves; the run stores what they give.
        LineFailure{"Line124",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("setName"), 1); },
                    {"MakePropertyValue:104"},
                    Both},
        LineFailure{"Line126",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("blankPropertyRecord"), 2); },
                    {"MakePropertyValue:102", "MakePropertyValue:104", "MakePropertyValue:106",
                     "PushButton2_Click:128"},
                    SecondOnly},
        LineFailure{"Line127",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("setValue"), 3); },
                    {"MakePropertyValue:106"},
                    Both},
        LineFailure{"Line128",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("executeDispatch"), 1); },
                    {"PushButton2_Click:128"},
                    SecondOnly},
        LineFailure{"Line130",
                    [](PrintRunTest& t) {
                        t.sleeper.onSleep = [first = true](int) mutable {
                            if (std::exchange(first, false))
                                throw PlatformError(6, QStringLiteral("Overflow"));
                        };
                    },
                    {"PushButton2_Click:130"},
                    Both},
        LineFailure{"Line132",
                    [](PrintRunTest& t) { t.office.failAt(QStringLiteral("close"), 1); },
                    {"PushButton2_Click:132"},
                    Both},
        LineFailure{"Line138",
                    [](PrintRunTest& t) { t.printers.options.failOptionsWrite = true; },
                    {"PushButton2_Click:138"},
                    Both,
                    QStringLiteral("B")},
        LineFailure{"Line140",
                    [](PrintRunTest& t) {
                        t.boxes.onShow = [](const FakeMessageBoxes::Box& box) {
                            if (box.text == QLatin1String("Done."))
                                throw PlatformError(7, QStringLiteral("Out of memory"));
                        };
                    },
                    {"PushButton2_Click:140"},
                    Both},
        LineFailure{
            "Line144", [](PrintRunTest& t) { t.progressFails = true; }, {"PushButton2_Click:144"}, Both},
        LineFailure{
            "Line146", [](PrintRunTest& t) { t.pointer.refuse = 0; }, {"PushButton2_Click:146"}, Both}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintRunTest, FailureAtLine142IsReportedAndTheRunEnds)
{
    boxes.onShow = [](const FakeMessageBoxes::Box& box) {
        if (box.text == QLatin1String("No files added."))
            throw PlatformError(7, QStringLiteral("Out of memory"));
    };
    run.run();
    EXPECT_EQ(places(), std::vector<QString>({"PushButton2_Click:142"}));
    EXPECT_EQ(progress, std::vector<int>({0}));
    EXPECT_EQ(pointer.code, WindowPointer::Default);
}

// A step that fails leaves its reference empty, so nothing of the previous
// file is acted on again.
struct StaleCase {
    const char* name;
    std::function<void(FakeOfficeSuite&)> arrange;
    std::vector<QString> places;
};

class PrintRunStaleReference : public PrintRunTest, public ::testing::WithParamInterface<StaleCase> {};

TEST_P(PrintRunStaleReference, ThePreviousDocumentIsNotPrintedAgain)
{
    addFile(One);
    addFile(Two);
    GetParam().arrange(office);
    run.run();
    EXPECT_EQ(printedUrls(), QStringList({url(One)}));
    EXPECT_EQ(places(), GetParam().places);
    int dispatches = 0;
    for (const auto& call : office.calls) {
        // The second file's print is handed no frame, not the first file's.
        if (call.operation == QLatin1String("executeDispatch") && ++dispatches == 2) {
            EXPECT_EQ(call.arguments.at(1), QStringLiteral("<empty>"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Mend, PrintRunStaleReference,
                         ::testing::Values(StaleCase{"FailedLoadAfterFailedClose",
                                                     [](FakeOfficeSuite& o) {
                                                         o.failAt(QStringLiteral("close"), 1);
                                                         o.failAt(QStringLiteral("loadComponentFromURL"), 2);
                                                     },
                                                     {"PushButton2_Click:132", "PushButton2_Click:116",
                                                      "PushButton2_Click:122", "PushButton2_Click:132"}},
                                           StaleCase{"FailedFrame",
                                                     [](FakeOfficeSuite& o) {
                                                         o.failAt(QStringLiteral("getCurrentController"), 2);
                                                     },
                                                     {"PushButton2_Click:122"}},
                                           StaleCase{"FailedDesktop",
                                                     [](FakeOfficeSuite& o) {
                                                         o.failAt(QStringLiteral("createInstance"), 3);
                                                     },
                                                     {"PushButton2_Click:114", "PushButton2_Click:116",
                                                      "PushButton2_Click:122", "PushButton2_Click:132"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Whatever a step throws is that step's failure: reported with its line, and
// the run goes on and puts the default back.
struct ForeignFailure {
    const char* name;
    std::function<void()> raise;
    QString description;
};

class PrintRunForeignFailure : public PrintRunTest, public ::testing::WithParamInterface<ForeignFailure> {};

TEST_P(PrintRunForeignFailure, IsReportedAsTheStepsFailure)
{
    addFile(One);
    addFile(Two);
    sleeper.onSleep = [first = true](int) mutable {
        if (std::exchange(first, false))
            GetParam().raise();
    };
    run.run();
    ASSERT_EQ(shownReports(boxes).size(), 1u);
    EXPECT_EQ(shownReports(boxes)[0].line, 130);
    EXPECT_EQ(shownReports(boxes)[0].description, GetParam().description);
    EXPECT_EQ(printedUrls(), QStringList({url(One), url(Two)}));
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(printers.options.userOptions, std::nullopt);
    EXPECT_TRUE(state.files.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Mend, PrintRunForeignFailure,
    ::testing::Values(
        ForeignFailure{"StandardException", [] { throw std::logic_error("bad logic"); }, "bad logic"},
        ForeignFailure{"OutOfMemory", [] { throw std::bad_alloc(); }, "std::bad_alloc"},
        ForeignFailure{"Number", [] { throw 42; }, "An unknown failure occurred"},
        ForeignFailure{"Text", [] { throw std::string("text"); }, "An unknown failure occurred"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintRunTest, AReportThatCannotBeShownStillLeavesTheDefaultBack)
{
    addFile(One);
    office.failAt(QStringLiteral("loadComponentFromURL"), 1);
    boxes.onShow = [](const FakeMessageBoxes::Box& box) {
        if (box.title == ErrorReport::title())
            throw std::runtime_error("no display");
    };
    EXPECT_THROW(run.run(), std::runtime_error);
    EXPECT_EQ(printers.options.userOptions, std::nullopt);
    EXPECT_EQ(printers.effectiveDefault(), QStringLiteral("A"));
    EXPECT_TRUE(state.files.empty());
}

// A stop requested at some moment of a two-file run: the run ends after the
// step that was going on, puts the default back, and says no "Done.".
struct StopCase {
    const char* name;
    std::function<void(PrintRunTest&)> arrange;
    QStringList printed; // "one", "two"
    std::vector<QString> places;
    bool changed; // whether the default was changed at all
};

class PrintRunStop : public PrintRunTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(PrintRunStop, EndsAfterTheCurrentStepWithTheDefaultBack)
{
    addFile(One);
    addFile(Two);
    GetParam().arrange(*this);
    run.run();

    QStringList printedNames;
    for (const QString& printed : printedUrls())
        printedNames << (printed == url(One) ? QStringLiteral("one") : QStringLiteral("two"));
    EXPECT_EQ(printedNames, GetParam().printed);
    EXPECT_EQ(places(), GetParam().places);
    EXPECT_TRUE(otherBoxes(boxes).empty());
    EXPECT_EQ(printers.calls.contains(QStringLiteral("setDefaultPrinter:B")), GetParam().changed);
    EXPECT_EQ(printers.options.userOptions, std::nullopt);
    EXPECT_EQ(printers.effectiveDefault(), QStringLiteral("A"));
    EXPECT_TRUE(state.files.empty());
    EXPECT_EQ(pointer.code, WindowPointer::Default);
    EXPECT_EQ(progress, std::vector<int>({0}));
}

// A stop at the run's first wait, with the named lock held by another run meanwhile.
auto stopAtAWait(const QString& heldElsewhere = {})
{
    return [=](PrintRunTest& t) {
        if (!heldElsewhere.isEmpty())
            t.locks.heldElsewhere << heldElsewhere;
        t.sleeper.onSleep = [&t](int) { t.stop.requested = true; };
    };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintRunStop,
    ::testing::Values(
        StopCase{"BeforeTheRun", [](PrintRunTest& t) { t.stop.requested = true; }, {}, {}, false},
        StopCase{"DuringTheFirstWait", stopAtAWait(), {"one"}, {}, true},
        StopCase{"WhileAReportIsUp",
                 [](PrintRunTest& t) {
                     t.office.failAt(QStringLiteral("loadComponentFromURL"), 1);
                     t.boxes.onShow = [&t](const FakeMessageBoxes::Box&) { t.stop.requested = true; };
                 },
                 {},
                 {"PushButton2_Click:116"},
                 true},
        StopCase{
            "WhileAnotherRunHoldsTheDefault", stopAtAWait(DefaultPrinterKeeper::lockName()), {}, {}, false},
        StopCase{"WhileAnotherRunOfTheUserPrints", stopAtAWait(PrintRun::dispatchLockName()), {}, {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintRunTest, WaitsWhileAnotherWindowsRunHoldsTheDefaultAndEndsWithTheDefaultOfBefore)
{
    addFile(One);
    // The other window's run has made A the user's default for its length.
    FakeUserLocks otherLocks;
    DefaultPrinterKeeper other(reporting, printers.options, state, processes, otherLocks, sleeper, nullptr);
    other.change(QStringLiteral("A"));
    locks.heldElsewhere << DefaultPrinterKeeper::lockName();
    std::vector<int> pointerWhileWaiting;
    sleeper.onSleep = [&](int) {
        if (!locks.heldElsewhere.isEmpty() && pointerWhileWaiting.size() == 2) {
            other.putBack();
            locks.heldElsewhere.clear();
        }
        pointerWhileWaiting.push_back(pointer.code);
    };
    run.run();

    EXPECT_EQ(sleeper.waits, std::vector<int>({100, 100, 100, 1000, 1000, 1000, 1000, 1000}));
    EXPECT_EQ(pointerWhileWaiting[0], WindowPointer::Busy);
    EXPECT_EQ(office.printed.size(), 1u);
    EXPECT_TRUE(printers.calls.contains(QStringLiteral("setDefaultPrinter:B")));
    EXPECT_EQ(printers.options.userOptions, std::nullopt);
}

// Each file's print is confirmed by its job on the chosen queue; one that
// does not get there is reported at line 131 and the run goes on.
struct ConfirmCase {
    const char* name;
    std::function<void(PrintRunTest&)> arrange;
    std::vector<QString> reports; // descriptions of the reports at line 131
    QStringList onB;
    QStringList onA;
    qint64 elapsed; // virtual milliseconds of the whole run
    int restarts = 0;
};

class PrintRunConfirmation : public PrintRunTest, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(PrintRunConfirmation, ReportsEachFileThatDidNotReachThePrinter)
{
    addFile(One);
    addFile(Two);
    GetParam().arrange(*this);
    // A document is closed only once its job is there, or its wait is over.
    std::vector<qint64> closedAt;
    office.onCall = [&](const FakeOfficeSuite::Call& call) {
        if (call.operation == QLatin1String("close"))
            closedAt.push_back(sleeper.now);
    };
    run.run();

    std::vector<QString> places(GetParam().reports.size(), QStringLiteral("PushButton2_Click:131"));
    EXPECT_EQ(reportPlaces(boxes), places);
    std::vector<QString> descriptions;
    for (const auto& report : shownReports(boxes))
        descriptions.push_back(report.description);
    EXPECT_EQ(descriptions, GetParam().reports);
    EXPECT_EQ(jobs.titles(QStringLiteral("B")), GetParam().onB);
    EXPECT_EQ(jobs.titles(QStringLiteral("A")), GetParam().onA);
    EXPECT_EQ(sleeper.now, GetParam().elapsed);
    EXPECT_EQ(sleeper.waits.front(), JobConfirmation::ReadMilliseconds);
    EXPECT_EQ(office.restarts, GetParam().restarts);
    EXPECT_EQ(otherBoxes(boxes), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(progress, std::vector<int>({0}));
    EXPECT_EQ(printers.effectiveDefault(), QStringLiteral("A"));
    ASSERT_EQ(closedAt.size(), 2u);
    if (GetParam().reports.empty()) {
        const qint64 perFile = std::max<qint64>(5000, office.spoolMilliseconds);
        EXPECT_EQ(closedAt, std::vector<qint64>({perFile, 2 * perFile}));
    }
}

const QStringList Titles{"one.ods", "two.ods"};
QString nothingFor(const char* file, const char* why = "")
{
    return QStringLiteral("Nothing reached printer \"B\" for \"%1\"%2")
        .arg(QLatin1String(file), QLatin1String(why));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintRunConfirmation,
    ::testing::Values(
        ConfirmCase{"Arrived", [](PrintRunTest&) {}, {}, Titles, {}, 10000},
        ConfirmCase{
            "HeldCountsAsArrived", [](PrintRunTest& t) { t.jobs.holding << "B"; }, {}, Titles, {}, 10000},
        // Closed only after the job has come, within the office's call limit.
        ConfirmCase{"LongSpoolIsWaitedFor",
                    [](PrintRunTest& t) { t.office.spoolMilliseconds = 7000; },
                    {},
                    Titles,
                    {},
                    14000},
        ConfirmCase{"RefusingQueue",
                    [](PrintRunTest& t) { t.printers.refusing << "B"; },
                    {nothingFor("one.ods", ": the printer does not accept jobs"),
                     nothingFor("two.ods", ": the printer does not accept jobs")},
                    {},
                    {},
                    10000},
        ConfirmCase{"NothingEverArrives",
                    [](PrintRunTest& t) { t.office.dropsJobs = true; },
                    {nothingFor("one.ods"), nothingFor("two.ods")},
                    {},
                    {},
                    2 * PrintRun::SpoolLimitMilliseconds},
        ConfirmCase{"OnAnotherQueue",
                    [](PrintRunTest& t) { t.office.printsOnlyOn = "A"; },
                    {nothingFor("one.ods"), nothingFor("two.ods")},
                    {},
                    Titles,
                    2 * PrintRun::SpoolLimitMilliseconds},
        ConfirmCase{"SelfStartedOfficeIsRestartedOnceToLearnThePrinter",
                    [](PrintRunTest& t) {
                        t.office.knownPrinters = QStringList{"A"};
                        t.office.fallbackPrinter = "A";
                    },
                    {},
                    Titles,
                    {},
                    10000,
                    1},
        // Nothing is sent, so nothing lands on the office's own default.
        ConfirmCase{"UserStartedOfficeIsNotRestartedAndPrintsNowhere",
                    [](PrintRunTest& t) {
                        t.office.knownPrinters = QStringList{"A"};
                        t.office.fallbackPrinter = "A";
                        t.office.selfStarted = false;
                    },
                    {nothingFor("one.ods", ": the office does not know this printer"),
                     nothingFor("two.ods", ": the office does not know this printer")},
                    {},
                    {},
                    10000},
        ConfirmCase{"JobListUnreadable",
                    [](PrintRunTest& t) { t.printers.jobsUnreachable = true; },
                    {"Printing \"one.ods\" on printer \"B\" cannot be confirmed: The printing system cannot "
                     "be reached",
                     "Printing \"two.ods\" on printer \"B\" cannot be confirmed: The printing system cannot "
                     "be reached"},
                    Titles,
                    {},
                    10000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintRunTest, TheOfficeIsAskedForThePrinterOnceARunBeforeTheFirstLoad)
{
    addFile(One);
    addFile(Two);
    int loadsWhenAsked = -1;
    run.run();
    EXPECT_EQ(office.printerQueries, QStringList({"B"}));
    office.printerQueries.clear();
    office.knownPrinters = QStringList{"A"};
    office.onCall = [&](const FakeOfficeSuite::Call& call) {
        if (call.operation == QLatin1String("loadComponentFromURL") && loadsWhenAsked < 0)
            loadsWhenAsked = office.restarts;
    };
    run.run();
    // Asked again after the restart; the restart came before the first load.
    EXPECT_EQ(office.printerQueries, QStringList({"B", "B"}));
    EXPECT_EQ(loadsWhenAsked, 1);
}

TEST_F(PrintRunTest, AFileThatDidNotLoadHasNoConfirmationReport)
{
    addFile(QStringLiteral("/data/notes.txt"), FakeOfficeSuite::Loads::AsEmptyReference);
    office.knownPrinters = QStringList{"A"};
    office.selfStarted = false;
    run.run();
    EXPECT_EQ(places(), std::vector<QString>({"PushButton2_Click:122", "PushButton2_Click:132"}));
}

} // namespace
} // namespace bw::test
