#include "app/CenterForm.h"

namespace bw {

FormPosition centerForm(double screenWidth, double screenHeight, double windowWidth, double windowHeight)
{
    return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
}

} // namespace bw
