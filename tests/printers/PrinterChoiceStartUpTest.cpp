#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "platform/qt/QSettingsStore.h"
#include "support/FakeServices.h"
#include "support/PrivateCupsDaemon.h"
#include "support/QStringPrinter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace bw::test {
using bw::test::PrivateCupsDaemon;

namespace {

const QString App = QStringLiteral("Tallowmere");
const QString Section = QStringLiteral("Brindlework");
const QString Key = QStringLiteral("Combo1");
const QString Missing = QStringLiteral("<missing>");

// One run of the program: a main window and its controller, started up.
struct ProgramRun {
    explicit ProgramRun(AppServices& services) : controller(window, services) { controller.startUp(); }

    QComboBox& combo() const { return *window.printerCombo(); }
    QStringList entries() const
    {
        QStringList names;
        for (int i = 0; i < combo().count(); ++i)
            names.append(combo().itemText(i));
        return names;
    }
    QString text() const { return combo().currentIndex() < 0 ? QString() : combo().currentText(); }

    MainWindow window;
    MainController controller;
};

// The real printer services and settings store against a private CUPS
// daemon with queues A, B and C, B the server's default.
class PrinterChoiceStartUpTest : public ::testing::Test {
protected:
    PrinterChoiceStartUpTest()
    {
        // HOME and the config folder are the process's temporary ones; start clean.
        QDir(qEnvironmentVariable("HOME") + QStringLiteral("/.cups")).removeRecursively();
        QFile::remove(QSettingsStore::filePath(App));
        for (const char* name : {"A", "B", "C"})
            daemon.addQueue(QString::fromLatin1(name));
        daemon.setServerDefault(QStringLiteral("B"));
    }

    std::unique_ptr<ProgramRun> start() { return std::make_unique<ProgramRun>(services); }
    QString saved() { return settings.read(App, Section, Key, Missing); }
    void save(const QString& text) { settings.write(App, Section, Key, text); }

    PrivateCupsDaemon daemon;
    CupsPrintingSystem printing;
    QSettingsStore settings;
    test::FakeServices fakes;
    AppServices services = fakes.with().use(settings).use(printing.printers).build();
};

TEST_F(PrinterChoiceStartUpTest, FirstStartShowsTheQueuesSelectsTheDefaultAndSavesIt)
{
    const auto run = start();
    EXPECT_EQ(run->entries(), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(run->text(), QStringLiteral("B"));
    EXPECT_EQ(saved(), QStringLiteral("1"));
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(PrinterChoiceStartUpTest, WindowListsWhatCupsListsInItsOrder)
{
    daemon.addQueue(QStringLiteral("Office"));
    daemon.runTool(QStringLiteral("lpoptions"), {QStringLiteral("-p"), QStringLiteral("Office/draft"),
                                                 QStringLiteral("-o"), QStringLiteral("copies=2")});
    const QStringList lpstat = daemon.runTool(QStringLiteral("lpstat"), {QStringLiteral("-e")})
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const auto run = start();
    EXPECT_EQ(run->entries(), lpstat);
    EXPECT_EQ(run->entries(), (QStringList{"A", "B", "C", "Office", "Office/draft"}));
}

TEST_F(PrinterChoiceStartUpTest, SavedIndexSelectsItsEntryWhateverTheDefault)
{
    save(QStringLiteral("2"));
    for (const char* userDefault : {"B", "A", "C"}) {
        daemon.runTool(QStringLiteral("lpoptions"), {QStringLiteral("-d"), QString::fromLatin1(userDefault)});
        const auto run = start();
        EXPECT_EQ(run->text(), QStringLiteral("C")) << userDefault;
        EXPECT_EQ(saved(), QStringLiteral("2")) << userDefault;
    }
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(PrinterChoiceStartUpTest, UnusableSavedTextSelectsNothingShowsNothingAndStays)
{
    for (const char* text : {"5", "-1", "x", "65536"}) {
        save(QString::fromLatin1(text));
        const auto run = start();
        EXPECT_EQ(run->entries().size(), 3) << text;
        EXPECT_EQ(run->combo().currentIndex(), -1) << text;
        EXPECT_EQ(run->text(), QString()) << text;
        EXPECT_EQ(saved(), QString::fromLatin1(text)) << text;
    }
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(PrinterChoiceStartUpTest, EmptySavedTextTakesTheFirstStartBranch)
{
    save(QString());
    const auto run = start();
    EXPECT_EQ(run->text(), QStringLiteral("B"));
    EXPECT_EQ(saved(), QStringLiteral("1"));
}

TEST_F(PrinterChoiceStartUpTest, ChoosingTheFirstEntryWritesZeroAtOnce)
{
    const auto run = start();
    ASSERT_EQ(saved(), QStringLiteral("1"));
    QTest::keyClick(&run->combo(), Qt::Key_Up);
    EXPECT_EQ(run->text(), QStringLiteral("A"));
    EXPECT_EQ(saved(), QStringLiteral("0"));
}

TEST_F(PrinterChoiceStartUpTest, ChoiceSurvivesARestart)
{
    {
        const auto first = start();
        QTest::keyClick(&first->combo(), Qt::Key_Down);
        ASSERT_EQ(first->text(), QStringLiteral("C"));
    }
    const auto second = start();
    EXPECT_EQ(second->text(), QStringLiteral("C"));
    EXPECT_EQ(saved(), QStringLiteral("2"));
    EXPECT_EQ(QFile::exists(QSettingsStore::filePath(App)), true);
}

TEST_F(PrinterChoiceStartUpTest, QueueAddedBeforeTheSavedOneShiftsTheSelection)
{
    start(); // selects B and saves 1
    ASSERT_EQ(saved(), QStringLiteral("1"));
    daemon.addQueue(QStringLiteral("AA")); // CUPS lists it between A and B
    const auto next = start();
    EXPECT_EQ(next->entries(), (QStringList{"A", "AA", "B", "C"}));
    EXPECT_EQ(next->text(), QStringLiteral("AA"));
    EXPECT_EQ(saved(), QStringLiteral("1"));
}

TEST_F(PrinterChoiceStartUpTest, NoDefaultLeavesNoSelectionAndStartUpGoesOn)
{
    daemon.removeQueue(QStringLiteral("B")); // the server default goes with it
    const auto run = start();
    EXPECT_EQ(run->entries(), (QStringList{"A", "C"}));
    EXPECT_EQ(run->combo().currentIndex(), -1);
    EXPECT_EQ(saved(), Missing);
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
}

TEST_F(PrinterChoiceStartUpTest, UnreachableCupsGivesAnEmptyListAndStartUpGoesOn)
{
    save(QStringLiteral("1"));
    daemon.stop();
    const auto run = start();
    EXPECT_EQ(run->combo().count(), 0);
    EXPECT_EQ(run->combo().currentIndex(), -1);
    EXPECT_EQ(saved(), QStringLiteral("1"));
    EXPECT_TRUE(fakes.messageBoxes.boxes.empty());
    EXPECT_EQ(run->window.windowTitle(), QStringLiteral("Brindlework")); // the earlier steps ran
}

} // namespace

} // namespace bw::test
