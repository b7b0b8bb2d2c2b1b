#pragma once

#include "support/TestAccounts.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

namespace bw::test {

// The real brindlework executable run as a user would from a shell with no
// display: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset, HOME and the
// XDG folders (the runtime folder too) under the given home, CUPS_SERVER as
// this process has it. Run by root, it runs as the program's account, which
// is given the home and the working folder at each start.
class ProgramRun {
public:
    struct Result {
        int status = -1;
        QString out;
        QString err;
        QStringList outLines() const;
        QStringList errLines() const;
    };

    ProgramRun(QString home, QString workingFolder);

    // Starts it and returns (programs run side by side).
    void start(QProcess& process, const QStringList& arguments) const;
    // Runs to the end (at most timeoutMs); whileRunning is called with the
    // process and each new line of its standard output as it comes.
    Result run(const QStringList& arguments, int timeoutMs = 120000,
               const std::function<void(QProcess&, const QString& line)>& whileRunning = {}) const;

    static QString executable();
    // Another program run the same way (a test's driver of the window).
    void setExecutable(const QString& path) { executable_ = path; }
    void setVariable(const QString& name, const QString& value) { environment_.insert(name, value); }

    // Its standard output a pipe whose reader has gone.
    bool closeOutput = false;
    // Run by root: the host it runs on, as if on another machine.
    QString hostName;

private:
    QString executable_ = executable();
    std::optional<Account> account_;
    QProcessEnvironment environment_;
    QString home_;
    QString workingFolder_;
};

} // namespace bw::test
