#include "print/PropertyValueMaker.h"

#include "ReportReader.h"
#include "print/ErrorReport.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeOfficeSuite.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

class PropertyValueMakerTest : public ::testing::Test {
protected:
    FakeOfficeSuite office;
    FakeMessageBoxes boxes;
    ErrorReport report{boxes};
    PropertyValueMaker maker{office, report};

    std::vector<int> lines() const
    {
        std::vector<int> result;
        for (const auto& shown : shownReports(boxes)) {
            EXPECT_EQ(shown.location, QStringLiteral("in Quillon.Writer1.MakePropertyValue "));
            result.push_back(shown.line);
        }
        return result;
    }
};

TEST_F(PropertyValueMakerTest, CopiesRecordHoldsTheSixteenBitOne)
{
    const OfficeReference record = maker.make(QStringLiteral("Copies"), qint16(1));
    const auto& made = record.objectAs<PropertyRecord>();
    EXPECT_EQ(made.name(), QStringLiteral("Copies"));
    ASSERT_TRUE(std::holds_alternative<qint16>(made.value()));
    EXPECT_EQ(std::get<qint16>(made.value()), 1);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PropertyValueMakerTest, CollateRecordHoldsTheBooleanTrue)
{
    const OfficeReference record = maker.make(QStringLiteral("Collate"), true);
    const auto& made = record.objectAs<PropertyRecord>();
    EXPECT_EQ(made.name(), QStringLiteral("Collate"));
    ASSERT_TRUE(std::holds_alternative<bool>(made.value()));
    EXPECT_TRUE(std::get<bool>(made.value()));
}

TEST_F(PropertyValueMakerTest, AsksTheOfficeInItsOrderAndEachCallMakesANewRecord)
{
    const OfficeReference first = maker.make(QStringLiteral("Copies"), qint16(1));
    const OfficeReference second = maker.make(QStringLiteral("Copies"), qint16(1));
    EXPECT_NE(&first.object(), &second.object());
    EXPECT_EQ(office.operations(),
              QStringList({"createServiceManager", "blankPropertyRecord", "setName", "setValue",
                           "createServiceManager", "blankPropertyRecord", "setName", "setValue"}));
}

TEST_F(PropertyValueMakerTest, OfficeUnavailableReportsFourLinesAndGivesAnEmptyReference)
{
    office.available = false;
    const OfficeReference record = maker.make(QStringLiteral("Collate"), true);
    EXPECT_TRUE(record.isEmpty());
    EXPECT_EQ(lines(), std::vector<int>({100, 102, 104, 106}));
    const auto reports = shownReports(boxes);
    EXPECT_EQ(reports[0].description, QStringLiteral("LibreOffice could not be started"));
    EXPECT_EQ(reports[1].description, QStringLiteral("Object variable not set"));
}

struct MakerFailure {
    const char* operation;
    std::vector<int> lines;
    bool recordMade;
    QString name;
    QString value;
};

class PropertyValueMakerFailure : public PropertyValueMakerTest,
                                  public ::testing::WithParamInterface<MakerFailure> {};

TEST_P(PropertyValueMakerFailure, ReportsTheFailedStepAndGoesOn)
{
    office.failAt(QString::fromLatin1(GetParam().operation), 1);
    const OfficeReference record = maker.make(QStringLiteral("Copies"), qint16(1));
    EXPECT_EQ(lines(), GetParam().lines);
    ASSERT_EQ(!record.isEmpty(), GetParam().recordMade);
    if (!GetParam().recordMade)
        return;
    const auto& made = record.objectAs<PropertyRecord>();
    EXPECT_EQ(made.name(), GetParam().name);
    EXPECT_EQ(FakeOfficeSuite::describe(made.value()), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    EachLine, PropertyValueMakerFailure,
    ::testing::Values(MakerFailure{"createServiceManager", {100, 102, 104, 106}, false, {}, {}},
                      MakerFailure{"blankPropertyRecord", {102, 104, 106}, false, {}, {}},
                      MakerFailure{"setName", {104}, true, QString(), QStringLiteral("1 (int16)")},
                      MakerFailure{
                          "setValue", {106}, true, QStringLiteral("Copies"), QStringLiteral("(none)")}),
    [](const auto& info) { return std::string(info.param.operation); });

} // namespace
} // namespace bw::test
