#include "app/HomePageByChance.h"

#include "platform/BrowserOpener.h"
#include "platform/RandomSource.h"

#include <cmath>

namespace bw {

const QString& HomePageByChance::homePageAddress()
{
    static const QString address = QStringLiteral("https://brindlework.example.org/");
    return address;
}

HomePageByChance::HomePageByChance(RandomSource& random, BrowserOpener& browser)
    : random_(random), browser_(browser)
{
}

int HomePageByChance::numberForDraw(double r)
{
    return static_cast<int>(std::floor(r * 100)) + 1;
}

void HomePageByChance::run()
{
    random_.seedFromTimeOfDay();
    if (numberForDraw(random_.next()) == LuckyNumber)
        browser_.open(homePageAddress());
}

} // namespace bw
