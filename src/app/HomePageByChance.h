#pragma once

#include <QString>

namespace bw {

class BrowserOpener;
class RandomSource;

// Opens the maker's home page at start-up, once in a hundred starts on average.
class HomePageByChance {
public:
    static const QString& homePageAddress();
    static constexpr int LuckyNumber = 7;

    HomePageByChance(RandomSource& random, BrowserOpener& browser);

    // n from 1 to 100 for a draw 0 <= r < 1.
    static int numberForDraw(double r);
    void run();

private:
    RandomSource& random_;
    BrowserOpener& browser_;
};

} // namespace bw
