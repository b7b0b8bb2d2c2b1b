#include "support/PrivateCupsDaemon.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <algorithm>
#include <cups/cups.h>
#include <stdexcept>
#include <unistd.h>

namespace bw::test {

namespace {

// A Unix socket path must stay under about 100 bytes.
QString temporaryTemplate()
{
    QString base = QDir::tempPath();
    if (base.size() > 60)
        base = QStringLiteral("/tmp");
    return base + QStringLiteral("/bw-cups-XXXXXX");
}

} // namespace

PrivateCupsDaemon::PrivateCupsDaemon(bool keepJobHistory)
    : dir_(temporaryTemplate()), previousServer_(qgetenv("CUPS_SERVER")),
      hadServer_(qEnvironmentVariableIsSet("CUPS_SERVER"))
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a folder for the private CUPS daemon");
    qputenv("BRINDLE_CUPS_JOB_HISTORY", keepJobHistory ? "Yes" : "No");
    start();
    qputenv("CUPS_SERVER", QFile::encodeName(socketPath()));
    // libcups keeps the server it read first; make it read CUPS_SERVER again.
    cupsSetServer(nullptr);
}

void PrivateCupsDaemon::start()
{
    // Should this process die without its destructor, the daemon goes too.
    script({QStringLiteral("start"), dir_.path(), QStringLiteral("--owner"),
            QString::number(QCoreApplication::applicationPid())});
    running_ = true;
    cupsSetServer(nullptr);
}

PrivateCupsDaemon::~PrivateCupsDaemon()
{
    try {
        stop();
        // What the daemon wrote there is root's.
        if (::geteuid() != 0 && rootAtHand())
            administer(QStringLiteral("rm"), {QStringLiteral("-rf"), dir_.path()});
    } catch (...) {
        // Nothing more can be done; the folder goes anyway.
    }
    if (hadServer_)
        qputenv("CUPS_SERVER", previousServer_);
    else
        qunsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
}

QString PrivateCupsDaemon::scriptPath()
{
    return QStringLiteral(BRINDLE_PRIVATE_CUPS_SCRIPT);
}

QString PrivateCupsDaemon::script(const QStringList& arguments) const
{
    // The daemon is root's, as a machine's is.
    return administer(QStringLiteral("bash"), QStringList{scriptPath()} + arguments);
}

QString PrivateCupsDaemon::runTool(const QString& program, const QStringList& arguments,
                                   const std::optional<Account>& as) const
{
    QProcess process;
    runAs(process, as);
    return finish(process, program, arguments);
}

QString PrivateCupsDaemon::administer(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    process.setChildProcessModifier([] { takeRootBackInChild(); });
    // As root by name too: a test may print as a made-up user.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("CUPS_USER"));
    process.setProcessEnvironment(environment);
    return finish(process, program, arguments);
}

QString PrivateCupsDaemon::finish(QProcess& process, const QString& program, const QStringList& arguments)
{
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        throw std::runtime_error((program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
                                  QStringLiteral(" failed: ") +
                                  QString::fromLocal8Bit(process.readAllStandardError()))
                                     .toStdString());
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void PrivateCupsDaemon::addQueue(const QString& name, bool disabled)
{
    QStringList arguments{QStringLiteral("add-queue"), dir_.path(), name};
    if (disabled)
        arguments.append(QStringLiteral("--disabled"));
    script(arguments);
}

void PrivateCupsDaemon::addFailingQueue(const QString& name)
{
    script({QStringLiteral("add-failing-queue"), dir_.path(), name});
}

void PrivateCupsDaemon::removeQueue(const QString& name)
{
    script({QStringLiteral("remove-queue"), dir_.path(), name});
}

void PrivateCupsDaemon::disable(const QString& name)
{
    script({QStringLiteral("disable"), dir_.path(), name});
}

void PrivateCupsDaemon::enable(const QString& name)
{
    script({QStringLiteral("enable"), dir_.path(), name});
}

void PrivateCupsDaemon::setServerDefault(const QString& name)
{
    script({QStringLiteral("set-default"), dir_.path(), name});
}

void PrivateCupsDaemon::stop()
{
    if (!running_)
        return;
    running_ = false;
    script({QStringLiteral("stop"), dir_.path()});
    // Drop the connection to the daemon that is gone.
    cupsSetServer(nullptr);
}

std::vector<PrivateCupsDaemon::Job> PrivateCupsDaemon::jobs(const QString& queue) const
{
    cups_job_t* list = nullptr;
    const QByteArray name = queue.toUtf8();
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, queue.isEmpty() ? nullptr : name.constData(), 0,
                                   CUPS_WHICHJOBS_ALL);
    if (count < 0)
        throw std::runtime_error(std::string("cupsGetJobs2 failed: ") + cupsLastErrorString());
    std::vector<Job> result;
    for (int i = 0; i < count; ++i) {
        result.push_back({list[i].id, QString::fromUtf8(list[i].dest), QString::fromUtf8(list[i].title),
                          static_cast<int>(list[i].state)});
    }
    cupsFreeJobs(count, list);
    return result;
}

QStringList PrivateCupsDaemon::pendingJobTitles(const QString& queue) const
{
    std::vector<Job> waiting;
    for (const Job& job : jobs(queue)) {
        if (job.state == IPP_JSTATE_PENDING || job.state == IPP_JSTATE_HELD)
            waiting.push_back(job);
    }
    std::sort(waiting.begin(), waiting.end(), [](const Job& a, const Job& b) { return a.id < b.id; });
    QStringList titles;
    for (const Job& job : waiting)
        titles << job.title;
    return titles;
}

QStringList PrivateCupsDaemon::waitForJobTitles(const QString& queue, int count, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    QStringList titles = pendingJobTitles(queue);
    while (titles.size() < count && !deadline.hasExpired()) {
        QThread::msleep(100);
        titles = pendingJobTitles(queue);
    }
    return titles;
}

void PrivateCupsDaemon::cancelAllJobs(const QString& queue)
{
    // Every user's jobs, as the printer's administrator does.
    administer(QStringLiteral("cancel"), {QStringLiteral("-a"), QStringLiteral("-x"), queue});
}

QTemporaryDir* PrivateCupsDaemon::newSharedFolder()
{
    auto* folder = new QTemporaryDir;
    QFile::setPermissions(folder->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                              QFile::ExeOther);
    return folder;
}

} // namespace bw::test
