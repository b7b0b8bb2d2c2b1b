#pragma once

#include "cli/CommandLine.h"

namespace bw {

// The program with its window; the paths of the command line land in the
// list as if they had been dropped on it, folders giving their files with
// the extension.
int runWindow(int& argc, char** argv, const CommandLineRequest& request);

} // namespace bw
