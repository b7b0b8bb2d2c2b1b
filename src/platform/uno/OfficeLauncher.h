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
    OfficeLauncher(QString programFolder, QString pipeName, QString profileUrl);

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
    void kill();
    // Kills every office of this user still running on the profile and waits
    // a bounded time for them to go: for a profile whose owner died without
    // ending its office (killed outright), so nobody else may be using it.
    static void killOfficesOnProfile(const QString& profileUrl);

    // The arguments soffice gets: headless only where there is no display.
    QStringList arguments() const;
    QString program() const;

private:
    QString programFolder_;
    QString pipeName_;
    QString profileUrl_;
    qint64 processId_ = 0;
};

} // namespace bw
