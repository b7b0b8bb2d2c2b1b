#pragma once

namespace bw {

// A window position in twips; halves of a twip are kept.
struct FormPosition {
    double left = 0;
    double top = 0;
};

// Middle of the whole screen for a window of the given outer size (all in twips).
// A window larger than the screen gets a negative position.
FormPosition centerForm(double screenWidth, double screenHeight, double windowWidth, double windowHeight);

} // namespace bw
