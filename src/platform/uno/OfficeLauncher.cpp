#include "platform/uno/OfficeLauncher.h"

#include "platform/PlatformError.h"
#include "platform/system/PosixProcesses.h"

#include <QDir>
#include <QFile>
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

// The fields of a /proc stat file after the program's name: the state
// first, then the parent's id; none when the file is gone.
QList<QByteArray> statFields(const QString& statPath)
{
    QFile stat(statPath);
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    const int end = line.lastIndexOf(')');
    return end < 0 ? QList<QByteArray>() : line.mid(end + 2).split(' ');
}

bool stateIsEnded(const QString& statPath)
{
    const QList<QByteArray> fields = statFields(statPath);
    return fields.isEmpty() || fields.first() == "Z" || fields.first() == "X";
}

// A detached child is reaped by whoever adopts it; where nobody does, it
// lingers as a zombie, which counts as ended. Every thread counts: a killed
// office's first thread turns zombie while the others still hold its files,
// its pipe among them, which then still takes connections.
bool isZombie(qint64 pid)
{
    const QString folder = QStringLiteral("/proc/%1").arg(pid);
    if (!stateIsEnded(folder + QStringLiteral("/stat")))
        return false;
    const QStringList threads =
        QDir(folder + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return std::all_of(threads.cbegin(), threads.cend(), [&](const QString& thread) {
        return stateIsEnded(folder + QStringLiteral("/task/") + thread + QStringLiteral("/stat"));
    });
}

bool isGone(qint64 pid)
{
    return (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) || isZombie(pid);
}

QList<pid_t> numberedProcesses()
{
    QList<pid_t> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const pid_t pid = static_cast<pid_t>(entry.toLongLong(&isNumber));
        if (isNumber)
            found << pid;
    }
    return found;
}

// The processes whose parent is the given one (soffice runs the office as a
// child of its start-up program).
QList<pid_t> childrenOf(qint64 parent)
{
    QList<pid_t> children;
    for (const pid_t pid : numberedProcesses()) {
        const QList<QByteArray> fields = statFields(QStringLiteral("/proc/%1/stat").arg(pid));
        if (fields.size() > 1 && fields.at(1).toLongLong() == parent)
            children << pid;
    }
    return children;
}

// Kills the processes, the last first, and waits a bounded time for all of
// them: an office still dying can take a new connection on its pipe, and a
// new soffice would hand its start over to it.
void killAndWait(const QList<pid_t>& doomed)
{
    for (auto each = doomed.crbegin(); each != doomed.crend(); ++each)
        ::kill(*each, SIGKILL);
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
    QList<pid_t> doomed{static_cast<pid_t>(processId_)};
    for (int at = 0; at < doomed.size(); ++at)
        doomed << childrenOf(doomed.at(at));
    // Children last in the list, so killed first: none is left without its parent.
    killAndWait(doomed);
}

void OfficeLauncher::killOfficesOnProfile(const QString& profileUrl)
{
    const QByteArray argument = (QStringLiteral("-env:UserInstallation=") + profileUrl).toUtf8();
    QList<pid_t> doomed;
    for (const pid_t pid : numberedProcesses()) {
        // A program's name is cheap to read, its arguments are not: only the
        // start-up script, the splash program and the office are looked at.
        QFile name(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!name.open(QIODevice::ReadOnly))
            continue;
        const QByteArray program = name.readAll().trimmed();
        if (program != "soffice" && program != "oosplash" && program != "soffice.bin")
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (QFileInfo(cmdline).ownerId() != ::getuid() || !cmdline.open(QIODevice::ReadOnly))
            continue;
        if (cmdline.readAll().split('\0').contains(argument))
            doomed << pid;
    }
    killAndWait(doomed);
}

bool OfficeLauncher::isRunning() const
{
    return processId_ > 0 && !isGone(processId_);
}

} // namespace bw
