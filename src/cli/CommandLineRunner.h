#pragma once

#include "cli/CommandLine.h"

namespace bw {

// The program without a window: help, version, refused command lines and
// the batch modes. Creates a core application only, so it needs no display,
// and the real adapters the batch needs.
int runWithoutWindow(int& argc, char** argv, const CommandLineRequest& request);

} // namespace bw
