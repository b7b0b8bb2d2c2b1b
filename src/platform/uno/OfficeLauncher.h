#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace bw {

// Starts LibreOffice detached, listening on a named pipe, so that it outlives
// this program when the user still has documents open in it; remembers the
// process it started.
class OfficeLauncher {
public:
    // Headless: even where there is a display.
    OfficeLauncher(QString programFolder, QString pipeName, QString profileUrl, bool headless = false);

    // Throws PlatformError when the program cannot be started at all.
    void start();

    // The environment the office runs in. File names reach the office as
    // UTF-8 URLs, which it decodes with the locale's character set: without
    // a UTF-8 locale (LANG unset, "C", "POSIX") it cannot find non-ASCII names.
    static QProcessEnvironment officeEnvironment(QProcessEnvironment environment);
    // Whether the process started last is still there.
    bool isRunning() const;
    // Kills the process started last and the office it runs, and waits a
    // bounded time for them to go. For an office that no longer answers.
    // The process's identity (boot, number, start time) is checked first: a
    // process that has taken its number since is left alone and forgotten.
    void kill();
    qint64 processId() const { return processId_; }
    // Counts an office that another instance of the program started, and
    // that outlived it, as the one this launcher started; identity as
    // PosixProcesses gives it, checked before a kill.
    void takeOver(qint64 processId, const QString& identity);
    // Kills every office of this user still running on the profile and waits
    // a bounded time for them to go: for a profile whose owner died without
    // ending its office (killed outright), so nobody else may be using it.
    static void killOfficesOnProfile(const QString& profileUrl);

    // The arguments soffice gets: headless where there is no display, or when asked.
    QStringList arguments() const;
    QString program() const;

private:
    QString programFolder_;
    QString pipeName_;
    QString profileUrl_;
    bool headless_;
    qint64 processId_ = 0;
    QString identity_;
};

} // namespace bw
