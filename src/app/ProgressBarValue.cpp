#include "app/ProgressBarValue.h"

#include <QProgressBar>

namespace bw {

void ProgressBarValue::setValue(int value)
{
    bar_.setValue(value);
}

} // namespace bw
