#pragma once

#include <QApplication>

namespace bw {

class FailureGuard;

// Catches a failure that escapes any event handler, shows it, and keeps the
// program running.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    void setGuard(FailureGuard* guard) { guard_ = guard; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    FailureGuard* guard_ = nullptr;
};

} // namespace bw
