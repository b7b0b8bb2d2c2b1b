#include "app/FailureGuard.h"

#include "platform/PlatformError.h"
#include "support/FakeMessageBoxes.h"

#include <gtest/gtest.h>

namespace bw::test {

TEST(FailureGuard, ShowsTheDescriptionUnderTheProgramTitleAndKeepsGoing)
{
    test::FakeMessageBoxes boxes;
    FailureGuard guard(boxes);
    int after = 0;
    EXPECT_FALSE(guard.run([] { throw PlatformError(91, QStringLiteral("Object variable not set")); }));
    EXPECT_FALSE(guard.run([] { throw std::out_of_range("index 7"); }));
    EXPECT_TRUE(guard.run([&] { ++after; }));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Object variable not set"));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Brindlework"));
    EXPECT_EQ(boxes.boxes[0].style, MessageBoxes::Critical);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("index 7"));
    EXPECT_EQ(after, 1);
}

} // namespace bw::test
