#include "platform/uno/OfficeLauncher.h"

#include "platform/PlatformError.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/ProcReader.h"

#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace bw {

namespace {

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool hasEnded(const std::optional<proc::Stat>& stat)
{
    return !stat || stat->hasEnded();
}

// A detached child is reaped by whoever adopts it; where nobody does, it
// lingers as a zombie, which counts as ended. Every thread counts: a killed
// office's first thread turns zombie while the others still hold its files,
// its pipe among them, which then still takes connections.
bool isZombie(qint64 pid)
{
    if (!hasEnded(proc::stat(pid)))
        return false;
    const QList<qint64> threads = proc::threadIds(pid);
    return std::all_of(threads.cbegin(), threads.cend(),
                       [&](qint64 thread) { return hasEnded(proc::threadStat(pid, thread)); });
}

bool isGone(qint64 pid)
{
    return (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) || isZombie(pid);
}

// The processes whose parent is the given one (soffice runs the office as a
// child of its start-up program).
QList<qint64> childrenOf(qint64 parent)
{
    QList<qint64> children;
    for (const qint64 pid : proc::processIds()) {
        const std::optional<proc::Stat> stat = proc::stat(pid);
        if (stat && stat->parent == parent)
            children << pid;
    }
    return children;
}

// Kills the processes, the last first, and waits a bounded time for all of
// them: an office still dying can take a new connection on its pipe, and a
// new soffice would hand its start over to it.
void killAndWait(const QList<qint64>& doomed)
{
    for (auto each = doomed.crbegin(); each != doomed.crend(); ++each)
        ::kill(static_cast<pid_t>(*each), SIGKILL);
    for (int wait = 0; wait < 100 && !std::all_of(doomed.cbegin(), doomed.cend(), isGone); ++wait)
        QThread::msleep(50);
}

} // namespace

OfficeLauncher::OfficeLauncher(QString programFolder, QString pipeName, QString profileUrl, bool headless)
    : programFolder_(std::move(programFolder)), pipeName_(std::move(pipeName)),
      profileUrl_(std::move(profileUrl)), headless_(headless)
{
}

QString OfficeLauncher::program() const
{
    return programFolder_ + QStringLiteral("/soffice");
}

QStringList OfficeLauncher::arguments() const
{
    QStringList arguments;
    if (headless_ || !hasDisplay())
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
    identity_ = PosixProcesses().identity(pid);
}

void OfficeLauncher::takeOver(qint64 processId, const QString& identity)
{
    processId_ = processId;
    identity_ = identity;
}

void OfficeLauncher::kill()
{
    if (!isRunning())
        return;
    // The number may have gone to another process since: never kill that one.
    // (A process whose first thread has ended has no identity, and keeps its number.)
    const QString now = PosixProcesses().identity(processId_);
    if (identity_.isEmpty() || (!now.isEmpty() && now != identity_)) {
        processId_ = 0;
        return;
    }
    QList<qint64> doomed{processId_};
    for (int at = 0; at < doomed.size(); ++at)
        doomed << childrenOf(doomed.at(at));
    // Children last in the list, so killed first: none is left without its parent.
    killAndWait(doomed);
}

void OfficeLauncher::killOfficesOnProfile(const QString& profileUrl)
{
    const QByteArray argument = (QStringLiteral("-env:UserInstallation=") + profileUrl).toUtf8();
    QList<qint64> doomed;
    for (const qint64 pid : proc::processIds()) {
        // A program's name is cheap to read, its arguments are not: only the
        // start-up script, the splash program and the office are looked at.
        const QByteArray program = proc::programName(pid);
        if (program != "soffice" && program != "oosplash" && program != "soffice.bin")
            continue;
        if (const auto arguments = proc::ownCommandLine(pid); arguments && arguments->contains(argument))
            doomed << pid;
    }
    killAndWait(doomed);
}

bool OfficeLauncher::isRunning() const
{
    return processId_ > 0 && !isGone(processId_);
}

} // namespace bw
