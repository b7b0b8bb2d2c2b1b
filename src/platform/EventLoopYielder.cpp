#include "platform/EventLoopYielder.h"

#include <QCoreApplication>

namespace bw {

void EventLoopYielder::yieldToEvents()
{
    QCoreApplication::processEvents();
}

} // namespace bw
