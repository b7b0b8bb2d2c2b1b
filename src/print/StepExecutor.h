#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace bw {

class ErrorReport;

// One numbered step of a guarded procedure.
struct Step {
    int line;
    std::function<void()> action;
};

// Runs the steps of a guarded procedure: a step that fails is reported with
// its line and the procedure goes on with the next step.
class StepExecutor {
public:
    StepExecutor(ErrorReport& report, QString location) : report_(report), location_(std::move(location)) {}

    // Returns whether the step succeeded.
    bool run(int line, const std::function<void()>& action);
    void run(const std::vector<Step>& steps);

private:
    ErrorReport& report_;
    QString location_;
};

} // namespace bw
