#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

namespace bw::test {

// The real brindlework executable run as a user would from a shell with no
// display: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset, HOME and the
// XDG folders under the given home, CUPS_SERVER as this process has it.
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
    void setVariable(const QString& name, const QString& value) { environment_.insert(name, value); }

    // Root's override of file permissions dropped, as an ordinary user runs.
    bool obeyFilePermissions = false;
    // Its standard output a pipe whose reader has gone.
    bool closeOutput = false;

private:
    QProcessEnvironment environment_;
    QString workingFolder_;
};

} // namespace bw::test
