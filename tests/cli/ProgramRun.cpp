#include "ProgramRun.h"

#include <QDeadlineTimer>
#include <linux/capability.h>
#include <sys/prctl.h>

namespace bw::test {

QStringList ProgramRun::Result::outLines() const
{
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ProgramRun::Result::errLines() const
{
    return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

ProgramRun::ProgramRun(QString home, QString workingFolder)
    : environment_(QProcessEnvironment::systemEnvironment()), workingFolder_(std::move(workingFolder))
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LPDEST", "PRINTER"})
        environment_.remove(QString::fromLatin1(name));
    environment_.insert(QStringLiteral("HOME"), home);
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment_.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment_.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
}

QString ProgramRun::executable()
{
    return QStringLiteral(BW_EXECUTABLE);
}

void ProgramRun::start(QProcess& process, const QStringList& arguments) const
{
    process.setProcessEnvironment(environment_);
    process.setWorkingDirectory(workingFolder_);
    if (obeyFilePermissions)
        process.setChildProcessModifier([] {
            // Not an error when the test itself runs as an ordinary user.
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
            // Nor may it move another user's file out of a sticky folder.
            ::prctl(PR_CAPBSET_DROP, CAP_FOWNER, 0, 0, 0);
        });
    if (closeOutput)
        // A pipe whose reader is gone at once, the program's status kept.
        process.start(QStringLiteral("bash"),
                      QStringList{QStringLiteral("-c"),
                                  QStringLiteral("\"$0\" \"$@\" | true; exit ${PIPESTATUS[0]}"),
                                  executable()} +
                          arguments);
    else
        process.start(executable(), arguments);
}

ProgramRun::Result ProgramRun::run(const QStringList& arguments, int timeoutMs,
                                   const std::function<void(QProcess&, const QString&)>& whileRunning) const
{
    QProcess process;
    start(process, arguments);
    Result result;
    if (!process.waitForStarted(10000))
        return result;
    QDeadlineTimer deadline(timeoutMs);
    QByteArray pending;
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        process.waitForReadyRead(100);
        pending += process.readAllStandardOutput();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            result.out += line + QLatin1Char('\n');
            pending.remove(0, end + 1);
            if (whileRunning)
                whileRunning(process, line);
        }
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.out += QString::fromUtf8(pending + process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

} // namespace bw::test
