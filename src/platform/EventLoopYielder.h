#pragma once

#include "platform/Yielder.h"

namespace bw {

class EventLoopYielder : public Yielder {
public:
    void yieldToEvents() override;
};

} // namespace bw
