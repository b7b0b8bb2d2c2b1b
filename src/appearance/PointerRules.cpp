#include "appearance/PointerRules.h"

#include "platform/WindowPointer.h"

namespace bw {

void PointerRules::buttonMouseMove()
{
    if (pointer_.pointerCode() == WindowPointer::Busy)
        return;
    pointer_.setPointerCode(WindowPointer::Custom);
}

void PointerRules::backgroundMouseMove()
{
    if (pointer_.pointerCode() == WindowPointer::Busy)
        return;
    pointer_.setPointerCode(WindowPointer::Default);
}

} // namespace bw
