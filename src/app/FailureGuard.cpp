#include "app/FailureGuard.h"

#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"

#include <exception>

namespace bw {

bool FailureGuard::run(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        showCurrentException();
        return false;
    }
}

void FailureGuard::showCurrentException()
{
    QString description;
    try {
        throw;
    } catch (const PlatformError& error) {
        description = error.description();
    } catch (const std::exception& error) {
        description = QString::fromLocal8Bit(error.what());
    } catch (...) {
        description = QStringLiteral("Unexpected failure");
    }
    try {
        boxes_.show(description, MessageBoxes::Critical, applicationTitle());
    } catch (...) {
        // Nothing more can be shown; keep running.
    }
}

} // namespace bw
