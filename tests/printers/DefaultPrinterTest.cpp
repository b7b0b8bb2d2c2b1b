#include "printers/DefaultPrinter.h"

#include "support/FakeMessageBoxes.h"
#include "support/FakePrinters.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace bw::test {
using bw::test::FakeMessageBoxes;
using bw::test::FakePrinters;

namespace {

class DefaultPrinterTest : public ::testing::Test {
protected:
    DefaultPrinterTest()
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        printers.defaultPrinter = QStringLiteral("A");
    }
    FakePrinters printers;
    FakeMessageBoxes boxes;
    DefaultPrinter defaultPrinter{printers, boxes};
};

TEST_F(DefaultPrinterTest, ReportTextHasTheFourLinesExactly)
{
    EXPECT_EQ(DefaultPrinter::reportText(1030, QStringLiteral("No default printer is set")),
              QStringLiteral("Error No: 1030\r\nNo default printer is set\r\nHas occured in "
                             "modPrinters.GetDefaultPrinter\r\nPlease contact Technical Support"));
}

TEST_F(DefaultPrinterTest, GetGivesTheDefaultSilently)
{
    EXPECT_EQ(defaultPrinter.get(), QStringLiteral("A"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DefaultPrinterTest, GetReportsEachFailureOnceAndGivesEmpty)
{
    struct Case {
        const char* what;
        bool unreachable;
        QString expectedText;
    };
    const Case table[] = {
        {"no default", false,
         QStringLiteral("Error No: 482\r\nNo default printer is set\r\nHas occured in "
                        "modPrinters.GetDefaultPrinter\r\nPlease contact Technical Support")},
        {"unreachable", true,
         QStringLiteral("Error No: 1\r\nThe printing system cannot be reached\r\nHas occured in "
                        "modPrinters.GetDefaultPrinter\r\nPlease contact Technical Support")},
    };
    for (const Case& row : table) {
        FakePrinters system;
        system.unreachable = row.unreachable;
        FakeMessageBoxes shown;
        DefaultPrinter subject(system, shown);

        EXPECT_EQ(subject.get(), QString()) << row.what;
        ASSERT_EQ(shown.boxes.size(), 1u) << row.what;
        EXPECT_EQ(shown.boxes[0].text, row.expectedText) << row.what;
        EXPECT_EQ(shown.boxes[0].style, 16) << row.what;
        EXPECT_EQ(shown.boxes[0].title, QStringLiteral("Brindlework")) << row.what;

        // The failure is not remembered: the next call reports afresh.
        EXPECT_EQ(subject.get(), QString()) << row.what;
        EXPECT_EQ(shown.boxes.size(), 2u) << row.what;
    }
}

TEST_F(DefaultPrinterTest, SetMakesTheDefault)
{
    defaultPrinter.set(QStringLiteral("B"));
    EXPECT_EQ(printers.effectiveDefault(), QStringLiteral("B"));
    EXPECT_EQ(defaultPrinter.get(), QStringLiteral("B"));
}

TEST_F(DefaultPrinterTest, SetRaisesToTheCallerAndChangesNothing)
{
    for (const QString& name : {QString(), QStringLiteral("NoSuchQueue")}) {
        EXPECT_THROW(defaultPrinter.set(name), PlatformError) << name.toStdString();
        EXPECT_EQ(printers.effectiveDefault(), QStringLiteral("A"));
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace

} // namespace bw::test
