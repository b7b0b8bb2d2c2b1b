#pragma once

#include "platform/PlatformError.h"

namespace bw {

// Runs one statement; a failure skips it silently.
template <typename Statement> void skipOnFailure(Statement&& statement)
{
    try {
        statement();
    } catch (const PlatformError&) {
    }
}

} // namespace bw
