#include "app/GuardedApplication.h"

#include "app/FailureGuard.h"

namespace bw {

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (guard_)
            guard_->showCurrentException();
        return false;
    }
}

} // namespace bw
