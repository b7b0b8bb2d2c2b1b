#include "platform/cups/CupsAttributes.h"

#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

// A job reads the same from a job listing and from a watch's event: one
// group each, "reasons; message" where the printer's message says why it
// stopped or was aborted.
TEST(CupsAttributes, JobsAndEventsReadAlike)
{
    struct Row {
        ipp_tag_t group;
        const char* id;
        const char* message;
        int state;
        const char* reasons;
    };
    const Row rows[] = {
        {IPP_TAG_JOB, "job-id", "job-printer-state-message", PrintJob::Aborted, "a-b, c; Paper jam, tray 2"},
        {IPP_TAG_EVENT_NOTIFICATION, "notify-job-id", "printer-state-message", PrintJob::Stopped,
         "a-b, c; Paper jam, tray 2"},
        {IPP_TAG_JOB, "job-id", "job-printer-state-message", PrintJob::Canceled, "a-b, c"},
    };
    const char* const reasons[] = {"a-b", "c"};
    for (const Row& row : rows) {
        ipp_t* reply = ippNew();
        for (const int id : {7, 8}) {
            ippAddInteger(reply, row.group, IPP_TAG_INTEGER, row.id, id);
            ippAddString(reply, row.group, IPP_TAG_NAME, "job-name", nullptr, "Q1 \"sales\", v2.ods");
            ippAddInteger(reply, row.group, IPP_TAG_ENUM, "job-state", row.state);
            ippAddStrings(reply, row.group, IPP_TAG_KEYWORD, "job-state-reasons", 2, nullptr, reasons);
            ippAddString(reply, row.group, IPP_TAG_TEXT, row.message, nullptr, "Paper jam, tray 2");
            ippAddSeparator(reply);
        }
        const QList<cups::AttributeGroup> groups = cups::attributeGroups(reply, row.group);
        ASSERT_EQ(groups.size(), 2) << row.id;
        const PrintJob job = cups::jobOf(groups.last());
        EXPECT_EQ(job.id, 8) << row.id;
        EXPECT_EQ(job.title, QStringLiteral("Q1 \"sales\", v2.ods")) << row.id;
        EXPECT_EQ(job.state, row.state) << row.id;
        EXPECT_EQ(job.reasons, QString::fromUtf8(row.reasons)) << row.id;
        ippDelete(reply);
    }
}

} // namespace
} // namespace bw::test
