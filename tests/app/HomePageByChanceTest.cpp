#include "app/HomePageByChance.h"

#include "support/FakeBrowserOpener.h"
#include "support/FakeRandomSource.h"

#include <cmath>
#include <gtest/gtest.h>

namespace bw::test {

TEST(HomePageByChance, DrawMapsOntoOneToHundred)
{
    EXPECT_EQ(HomePageByChance::numberForDraw(0.0), 1);
    EXPECT_EQ(HomePageByChance::numberForDraw(0.065), 7);
    EXPECT_EQ(HomePageByChance::numberForDraw(0.075), 8);
    EXPECT_EQ(HomePageByChance::numberForDraw(std::nextafter(1.0, 0.0)), 100);
}

TEST(HomePageByChance, OpensTheHomePageOnlyOnSeven)
{
    for (const auto& [draw, opens] :
         {std::pair{0.065, true}, {0.075, false}, {0.0, false}, {0.069999, true}}) {
        test::FakeRandomSource random;
        test::FakeBrowserOpener browser;
        random.draws = {draw};
        HomePageByChance(random, browser).run();
        EXPECT_EQ(random.seeds, 1);
        EXPECT_EQ(random.drawsTaken, 1u);
        EXPECT_EQ(browser.opened.size(), opens ? 1 : 0) << draw;
        if (opens) {
            EXPECT_EQ(browser.opened.front(), HomePageByChance::homePageAddress());
        }
    }
}

} // namespace bw::test
