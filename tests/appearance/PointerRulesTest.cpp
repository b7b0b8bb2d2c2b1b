#include "appearance/PointerRules.h"

#include "support/FakeWindowPointer.h"

#include <gtest/gtest.h>

namespace bw::test {
using bw::test::FakeWindowPointer;

namespace {

enum class Over { Button, Background };

struct Transition {
    int before;
    Over over;
    int after;
};

TEST(PointerRules, FollowTheTransitionTable)
{
    const Transition table[] = {
        {WindowPointer::Default, Over::Button, WindowPointer::Custom},
        {WindowPointer::Custom, Over::Button, WindowPointer::Custom},
        {WindowPointer::Default, Over::Background, WindowPointer::Default},
        {WindowPointer::Custom, Over::Background, WindowPointer::Default},
        {WindowPointer::Busy, Over::Button, WindowPointer::Busy},
        {WindowPointer::Busy, Over::Background, WindowPointer::Busy},
        {WindowPointer::Arrow, Over::Button, WindowPointer::Custom},
        {WindowPointer::Arrow, Over::Background, WindowPointer::Default},
    };
    for (const Transition& t : table) {
        FakeWindowPointer window;
        window.code = t.before;
        PointerRules rules(window);
        if (t.over == Over::Button)
            rules.buttonMouseMove();
        else
            rules.backgroundMouseMove();
        EXPECT_EQ(window.code, t.after)
            << t.before << (t.over == Over::Button ? " over a button" : " over the background");
    }
}

TEST(PointerRules, SetTheCodeOnEveryMoveAndNeverWhileBusy)
{
    FakeWindowPointer window;
    PointerRules rules(window);
    rules.buttonMouseMove();
    rules.buttonMouseMove();
    rules.backgroundMouseMove();
    rules.backgroundMouseMove();
    EXPECT_EQ(window.set, (QList<int>{99, 99, 0, 0}));

    // A folder scan shows the busy pointer and yields: the moves meanwhile leave it.
    window.setPointerCode(WindowPointer::Busy);
    window.set.clear();
    rules.buttonMouseMove();
    rules.backgroundMouseMove();
    EXPECT_TRUE(window.set.isEmpty());
    EXPECT_EQ(window.code, WindowPointer::Busy);
    // The scan's own end sets 0; the rules work again.
    window.setPointerCode(WindowPointer::Default);
    rules.buttonMouseMove();
    EXPECT_EQ(window.code, WindowPointer::Custom);
}

} // namespace

} // namespace bw::test
