#include "print/ReportingDefaultPrinter.h"

#include "platform/PlatformError.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakePrinterServices.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

class ReportingDefaultPrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        printers.defaultPrinter = QStringLiteral("B");
    }
    FakePrinterServices printers;
    FakeMessageBoxes boxes;
    ReportingDefaultPrinter access{printers, boxes};
};

TEST_F(ReportingDefaultPrinterTest, GivesTheDefaultPrinterWithoutABox)
{
    EXPECT_EQ(access.get(), QStringLiteral("B"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ReportingDefaultPrinterTest, FailureShowsItsOwnReportAndGivesEmptyText)
{
    printers.unreachable = true;
    EXPECT_EQ(access.get(), QString());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Error No: 1\r\nThe printing system cannot be reached\r\nHas "
                             "occured in modPrinters.GetDefaultPrinter\r\nPlease contact "
                             "Technical Support"));
    EXPECT_EQ(boxes.boxes[0].style, 16);
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Brindlework"));
}

TEST_F(ReportingDefaultPrinterTest, SetChangesTheDefaultAndPassesFailuresOn)
{
    access.set(QStringLiteral("A"));
    EXPECT_EQ(printers.defaultPrinter, QStringLiteral("A"));
    EXPECT_THROW(access.set(QString()), PlatformError);
    EXPECT_THROW(access.set(QStringLiteral("Nope")), PlatformError);
    EXPECT_EQ(printers.defaultPrinter, QStringLiteral("A"));
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
} // namespace bw::test
