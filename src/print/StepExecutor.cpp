#include "print/StepExecutor.h"

#include "platform/PlatformError.h"
#include "platform/StopRequest.h"
#include "print/ErrorReport.h"

#include <exception>

namespace bw {

bool StepExecutor::run(int line, const std::function<void()>& action)
{
    QString description;
    try {
        action();
        return true;
    } catch (const PlatformError& error) {
        description = error.description();
    } catch (const std::exception& error) {
        description = QString::fromLocal8Bit(error.what());
    } catch (...) {
        description = unknownFailure();
    }
    report_.show(description, location_, line);
    return false;
}

void StepExecutor::run(const std::vector<Step>& steps)
{
    for (const Step& step : steps) {
        if (stopped())
            return;
        run(step.line, step.action);
    }
}

void StepExecutor::finish(const std::vector<Step>& steps)
{
    for (const Step& step : steps)
        run(step.line, step.action);
}

bool StepExecutor::stopped() const
{
    return stop_ && stop_->stopRequested();
}

const QString& StepExecutor::unknownFailure()
{
    static const QString text = QStringLiteral("An unknown failure occurred");
    return text;
}

} // namespace bw
