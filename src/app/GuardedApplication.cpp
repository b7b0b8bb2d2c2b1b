#include "app/GuardedApplication.h"

#include "app/FailureGuard.h"
#include "app/FlatListAccessible.h"

namespace bw {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // Screen readers see the file list's rows; Qt asks its factories for every widget.
    FlatListAccessible::install();
}

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
