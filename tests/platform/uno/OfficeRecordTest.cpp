#include "platform/uno/OfficeRecord.h"

#include "support/FakeProcesses.h"
#include "support/FakeStateFolder.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

// An office recorded by an instance (process 7, office 50) that this one
// (process 100) finds at its start.
struct RecordCase {
    const char* name;
    std::map<qint64, QString> alive; // besides this process
    const char* pipe;                // this instance's
    std::optional<qint64> takenOver;
    bool recordStays;
};

const std::pair<const qint64, QString> Owner{7, QStringLiteral("b/7/1")},
    Office{50, QStringLiteral("b/50/2")};

class OfficeRecordTakeOver : public ::testing::TestWithParam<RecordCase> {};

TEST_P(OfficeRecordTakeOver, ClaimsOnlyTheOfficeOfAnEndedInstanceOnItsPipe)
{
    FakeStateFolder state;
    FakeProcesses first;
    first.current = 7;
    first.alive = {Owner, Office};
    OfficeRecord(state, first, QStringLiteral("pipe")).started(50);
    FakeProcesses processes;
    processes.alive.insert(GetParam().alive.begin(), GetParam().alive.end());

    OfficeRecord record(state, processes, QString::fromLatin1(GetParam().pipe));
    EXPECT_EQ(record.takeOver(), GetParam().takenOver);
    EXPECT_EQ(record.officeIdentity(), GetParam().takenOver ? Office.second : QString());
    EXPECT_EQ(state.files.size(), GetParam().recordStays ? 1u : 0u);
    // Once taken over, the office is this instance's: a third one leaves it alone.
    if (GetParam().takenOver) {
        EXPECT_EQ(OfficeRecord(state, processes, QStringLiteral("pipe")).takeOver(), std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OfficeRecordTakeOver,
    ::testing::Values(
        RecordCase{"OwnerKilledOfficeRuns", {Office}, "pipe", 50, true},
        RecordCase{"OwnerStillRuns", {Owner, Office}, "pipe", std::nullopt, true},
        RecordCase{"OfficeGone", {}, "pipe", std::nullopt, false},
        RecordCase{
            "OfficeNumberTakenByAnother", {{50, QStringLiteral("b/50/9")}}, "pipe", std::nullopt, false},
        RecordCase{"AnotherPipe", {Office}, "other", std::nullopt, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace bw::test
