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

    // Runs to the end (at most timeoutMs); whileRunning is called with the
    // process and each new line of its standard output as it comes.
    Result run(const QStringList& arguments, int timeoutMs = 120000,
               const std::function<void(QProcess&, const QString& line)>& whileRunning = {}) const;

    static QString executable();

private:
    QProcessEnvironment environment_;
    QString workingFolder_;
};

} // namespace bw::test
