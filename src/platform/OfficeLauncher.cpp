#include "platform/OfficeLauncher.h"

#include "platform/PlatformError.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace bw {

namespace {

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A detached child is reaped by whoever adopts it; where nobody does, it
// lingers as a zombie, which counts as gone.
bool isZombie(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const int end = line.lastIndexOf(')');
    return end >= 0 && end + 2 < line.size() && line.at(end + 2) == 'Z';
}

} // namespace

OfficeLauncher::OfficeLauncher(QString programFolder, QString pipeName, QString profileUrl)
    : programFolder_(std::move(programFolder)), pipeName_(std::move(pipeName)),
      profileUrl_(std::move(profileUrl))
{
}

QString OfficeLauncher::program() const
{
    return programFolder_ + QStringLiteral("/soffice");
}

QStringList OfficeLauncher::arguments() const
{
    QStringList arguments;
    if (!hasDisplay())
        arguments << QStringLiteral("--headless");
    arguments << QStringLiteral("--invisible") << QStringLiteral("--norestore") << QStringLiteral("--nologo");
    if (!profileUrl_.isEmpty())
        arguments << QStringLiteral("-env:UserInstallation=") + profileUrl_;
    arguments << QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipeName_);
    return arguments;
}

QProcessEnvironment OfficeLauncher::officeEnvironment(QProcessEnvironment environment)
{
    QString characterSet = environment.value(QStringLiteral("LC_ALL"));
    if (characterSet.isEmpty())
        characterSet = environment.value(QStringLiteral("LC_CTYPE"));
    if (characterSet.isEmpty())
        characterSet = environment.value(QStringLiteral("LANG"));
    const QString lower = characterSet.toLower();
    if (lower.contains(QLatin1String("utf-8")) || lower.contains(QLatin1String("utf8")))
        return environment;
    // Keep the user's language for messages; only the character set changes.
    const QString all = environment.value(QStringLiteral("LC_ALL"));
    if (!all.isEmpty()) {
        environment.remove(QStringLiteral("LC_ALL"));
        if (environment.value(QStringLiteral("LANG")).isEmpty())
            environment.insert(QStringLiteral("LANG"), all);
    }
    environment.insert(QStringLiteral("LC_CTYPE"), QStringLiteral("C.UTF-8"));
    return environment;
}

void OfficeLauncher::start()
{
    if (!QFileInfo(program()).isExecutable())
        throw PlatformError(
            ErrorNumber::Automation,
            QStringLiteral("LibreOffice could not be started: %1 is not there").arg(program()));
    QProcess process;
    process.setProgram(program());
    process.setArguments(arguments());
    process.setProcessEnvironment(officeEnvironment(QProcessEnvironment::systemEnvironment()));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        throw PlatformError(ErrorNumber::Automation,
                            QStringLiteral("LibreOffice could not be started: ") + process.errorString());
    processId_ = pid;
}

bool OfficeLauncher::isRunning() const
{
    if (processId_ <= 0)
        return false;
    if (::kill(static_cast<pid_t>(processId_), 0) != 0 && errno == ESRCH)
        return false;
    return !isZombie(processId_);
}

} // namespace bw
