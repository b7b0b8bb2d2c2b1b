#include "ProgramRun.h"

#include "intake/LocalName.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <algorithm>

namespace bw::test {

namespace {

// Every byte escaped, for bash: $'\x63\x61\x66\xe9'.
QString shellWord(const QByteArray& bytes)
{
    QString word = QStringLiteral("$'");
    for (const char byte : bytes)
        word += QStringLiteral("\\x%1").arg(uint(uchar(byte)), 2, 16, QLatin1Char('0'));
    return word + QLatin1Char('\'');
}

} // namespace

QStringList ProgramRun::Result::outLines() const
{
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ProgramRun::Result::errLines() const
{
    return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

ProgramRun::ProgramRun(QString home, QString workingFolder)
    : account_(programAccount()), environment_(QProcessEnvironment::systemEnvironment()), home_(home),
      workingFolder_(std::move(workingFolder))
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LPDEST", "PRINTER"})
        environment_.remove(QString::fromLatin1(name));
    environment_.insert(QStringLiteral("HOME"), home);
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment_.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment_.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/.run"));
    if (account_) {
        environment_.insert(QStringLiteral("USER"), account_->name);
        environment_.insert(QStringLiteral("LOGNAME"), account_->name);
    }
}

QString ProgramRun::executable()
{
    return QStringLiteral(BW_EXECUTABLE);
}

void ProgramRun::start(QProcess& process, const QStringList& arguments) const
{
    process.setProcessEnvironment(environment_);
    process.setWorkingDirectory(workingFolder_);
    const QString runtime = home_ + QStringLiteral("/.run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    handOver(home_, account_);
    handOver(workingFolder_, account_);
    runAs(process, account_, hostName);
    if (closeOutput) {
        // A pipe whose reader is gone at once, the program's status kept.
        process.start(QStringLiteral("bash"),
                      QStringList{QStringLiteral("-c"),
                                  QStringLiteral("\"$0\" \"$@\" | true; exit ${PIPESTATUS[0]}"),
                                  executable_} +
                          arguments);
    } else if (std::any_of(arguments.begin(), arguments.end(), [](const QString& argument) {
                   return encodeLocalName(argument) != argument.toUtf8();
               })) {
        // QProcess hands arguments over as UTF-8; a name of other bytes goes through the shell.
        QString command = QStringLiteral("exec \"$0\"");
        for (const QString& argument : arguments)
            command += QLatin1Char(' ') + shellWord(encodeLocalName(argument));
        process.start(QStringLiteral("bash"), {QStringLiteral("-c"), command, executable_});
    } else {
        process.start(executable_, arguments);
    }
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
