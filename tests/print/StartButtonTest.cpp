#include "app/MainController.h"
#include "app/MainWindow.h"
#include "printers/DefaultPrinterSnapshot.h"
#include "support/FakeServices.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace bw::test {
namespace {

class StartButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakes.printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        fakes.printers.defaultPrinter = QStringLiteral("A");
        window.printerCombo()->addItems({QStringLiteral("A"), QStringLiteral("B")});
        window.printerCombo()->setCurrentIndex(1);
        window.progressBar()->setValue(40);
    }

    FakeServices fakes;
    MainWindow window;
    MainController controller{window, fakes.services};
};

TEST_F(StartButtonTest, PrintsTheListOnTheComboPrinter)
{
    controller.fileList().append(QStringLiteral("/data/a.ods"));
    controller.fileList().append(QStringLiteral("/data/b c.ods"));
    fakes.office.addDocument(QStringLiteral("file:///data/a.ods"));
    fakes.office.addDocument(QStringLiteral("file:///data/b c.ods"));
    int pointerWhileDone = -1;
    fakes.messageBoxes.onShow = [&](const FakeMessageBoxes::Box&) {
        pointerWhileDone = window.pointerCode();
    };

    window.startButton()->click();

    ASSERT_EQ(fakes.office.printed.size(), 2u);
    EXPECT_EQ(fakes.office.printed[0].url, QStringLiteral("file:///data/a.ods"));
    EXPECT_EQ(fakes.office.printed[1].url, QStringLiteral("file:///data/b c.ods"));
    EXPECT_TRUE(fakes.office.printed[1].arguments.endsWith(QStringLiteral("PrinterName=B (text)")));
    EXPECT_EQ(fakes.messageBoxes.texts(), std::vector<QString>({QStringLiteral("Done.")}));
    EXPECT_EQ(fakes.sleeper.waits, std::vector<int>(10, 1000));
    EXPECT_EQ(fakes.jobs.titles(QStringLiteral("B")), QStringList({"a.ods", "b c.ods"}));
    EXPECT_EQ(fakes.printers.effectiveDefault(), QStringLiteral("A"));
    // The user had no options file of their own, and has none again.
    EXPECT_EQ(fakes.printers.options.userOptions, std::nullopt);
    EXPECT_TRUE(fakes.state.files.empty());
    EXPECT_EQ(pointerWhileDone, WindowPointer::Busy);
    EXPECT_EQ(window.pointerCode(), WindowPointer::Default);
    EXPECT_EQ(window.progressBar()->value(), 0);
}

TEST_F(StartButtonTest, EmptyListSaysNoFilesAdded)
{
    window.startButton()->click();
    EXPECT_EQ(fakes.messageBoxes.texts(), std::vector<QString>({QStringLiteral("No files added.")}));
    EXPECT_TRUE(fakes.office.calls.empty());
    EXPECT_EQ(window.progressBar()->value(), 0);
    EXPECT_EQ(window.pointerCode(), WindowPointer::Default);
}

TEST_F(StartButtonTest, AtStartUpALeftoverOfAnEndedRunIsPutBackFirstAndToldOnce)
{
    DefaultPrinterSnapshot snapshot =
        DefaultPrinterSnapshot::of(QByteArray("Default A\n"), QStringLiteral("B"));
    snapshot.processId = 7;
    snapshot.processIdentity = QStringLiteral("boot/7");
    fakes.state.files[DefaultPrinterSnapshot::fileName(7, snapshot.processIdentity)] = snapshot.toBytes();
    fakes.printers.options.userOptions = QByteArray("Default B\n");
    QString titleWhileShown = QStringLiteral("unseen");
    fakes.messageBoxes.onShow = [&](const FakeMessageBoxes::Box&) {
        if (titleWhileShown == QLatin1String("unseen"))
            titleWhileShown = window.windowTitle();
    };
    controller.startUp();

    ASSERT_FALSE(fakes.messageBoxes.boxes.empty());
    EXPECT_EQ(fakes.messageBoxes.boxes[0].text,
              QStringLiteral("Brindlework ended during a print run before it could put your default printer "
                             "back. It has been put back now: your default printer is \"A\" again."));
    EXPECT_EQ(fakes.messageBoxes.boxes[0].title, QStringLiteral("Brindlework"));
    EXPECT_EQ(titleWhileShown, QString()); // nothing else of the start-up had run
    EXPECT_EQ(fakes.printers.options.userOptions, std::optional<QByteArray>("Default A\n"));
    EXPECT_TRUE(fakes.state.files.empty());

    MainWindow again;
    MainController next(again, fakes.services);
    const std::size_t shown = fakes.messageBoxes.boxes.size();
    next.startUp();
    EXPECT_EQ(fakes.messageBoxes.boxes.size(), shown);
}

} // namespace
} // namespace bw::test
