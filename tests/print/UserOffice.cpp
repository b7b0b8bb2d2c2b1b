#include "UserOffice.h"

#include <stdexcept>

namespace bw::test {

UserOffice::UserOffice(const QString& profileFolder, const QString& pipeName)
{
    helper_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper_.start(QStringLiteral(BRINDLE_USER_OFFICE_HELPER), {profileFolder, pipeName});
    ask({});
}

UserOffice::~UserOffice()
{
    helper_.closeWriteChannel();
    if (!helper_.waitForFinished(30000)) {
        helper_.kill();
        helper_.waitForFinished(5000);
    }
}

void UserOffice::make(const QString& path, const QString& text)
{
    ask(QStringLiteral("make %1\t%2").arg(path, text));
}

void UserOffice::open(const QString& path)
{
    ask(QStringLiteral("open ") + path);
}

void UserOffice::closeDocuments()
{
    ask(QStringLiteral("close"));
}

// An empty command only reads the answer to the start.
void UserOffice::ask(const QString& command)
{
    if (!command.isEmpty())
        helper_.write(command.toUtf8() + '\n');
    while (!helper_.canReadLine() && helper_.waitForReadyRead(90000)) {
    }
    const QByteArray answer = helper_.readLine();
    if (answer.trimmed() != "ok")
        throw std::runtime_error("the user's office: " +
                                 (answer.isEmpty() ? "no answer" : answer.toStdString()));
}

bool UserOffice::answers(const QString& pipeName)
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(QStringLiteral(BRINDLE_USER_OFFICE_HELPER), {QStringLiteral("--answers"), pipeName});
    // A frozen office never answers: that is an answer too.
    if (!probe.waitForFinished(20000)) {
        probe.kill();
        probe.waitForFinished(5000);
        return false;
    }
    return probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

} // namespace bw::test
