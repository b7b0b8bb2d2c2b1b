#pragma once

#include <functional>

namespace bw {

class GuardedApplication;
class MainController;
class MainWindow;
class RealServices;

// The program from start-up to its end, as main() runs it: the window, the
// start-up sequence, the event loop, and the end on a termination signal
// (during a print run, after the run has stopped and put the default back).
// The office the program started goes with it. whenShown runs once the window
// is up, for a harness that drives the real program.
int runProgram(GuardedApplication& application, RealServices& real,
               const std::function<void(MainWindow&, MainController&)>& whenShown = {});

} // namespace bw
