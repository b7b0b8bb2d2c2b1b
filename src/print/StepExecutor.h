#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace bw {

class ErrorReport;
class StopRequest;

// One numbered step of a guarded procedure.
struct Step {
    int line;
    std::function<void()> action;
};

// Runs the steps of a guarded procedure: a step that fails (whatever it
// throws) is reported with its line and the procedure goes on with the next
// step. Once a stop is requested, run(steps) skips the steps that are left;
// finish() runs those that must happen all the same.
class StepExecutor {
public:
    StepExecutor(ErrorReport& report, QString location, const StopRequest* stop = nullptr)
        : report_(report), location_(std::move(location)), stop_(stop)
    {
    }

    // Runs the one step whatever was requested; returns whether it succeeded.
    bool run(int line, const std::function<void()>& action);
    void run(const std::vector<Step>& steps);
    void finish(const std::vector<Step>& steps);
    bool stopped() const;

    static const QString& unknownFailure();

private:
    ErrorReport& report_;
    QString location_;
    const StopRequest* stop_;
};

} // namespace bw
