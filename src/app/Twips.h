#pragma once

#include <cmath>

namespace bw {

inline constexpr int TwipsPerInch = 1440;

inline int twipsToPixels(double twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / TwipsPerInch));
}

inline double pixelsToTwips(double pixels, double dpi)
{
    return pixels * TwipsPerInch / dpi;
}

} // namespace bw
