#include "CupsSandbox.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cups/cups.h>
#include <stdexcept>
#include <vector>

namespace bw::test {

CupsSandbox::~CupsSandbox()
{
    if (started_)
        stop();
}

void CupsSandbox::useSocketOf(const QString& folder)
{
    qputenv("CUPS_SERVER", (folder + QStringLiteral("/cups.sock")).toLocal8Bit());
}

void CupsSandbox::script(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(BW_PRIVATE_CUPS_SCRIPT), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error(("private-cups.sh " + arguments.join(QLatin1Char(' ')) +
                                  " failed: " + QString::fromLocal8Bit(process.readAll()))
                                     .toStdString());
}

void CupsSandbox::start()
{
    script({QStringLiteral("start"), folder_});
    started_ = true;
}

void CupsSandbox::stop()
{
    script({QStringLiteral("stop"), folder_});
    started_ = false;
}

void CupsSandbox::addQueue(const QString& name, bool disabled)
{
    QStringList arguments{QStringLiteral("add-queue"), folder_, name};
    if (disabled)
        arguments << QStringLiteral("--disabled");
    script(arguments);
}

QStringList CupsSandbox::pendingJobTitles(const QString& queue)
{
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ACTIVE);
    std::vector<std::pair<int, QString>> found;
    for (int i = 0; i < count; ++i)
        found.emplace_back(jobs[i].id, QString::fromUtf8(jobs[i].title));
    cupsFreeJobs(count, jobs);
    std::sort(found.begin(), found.end());
    QStringList titles;
    for (const auto& job : found)
        titles << job.second;
    return titles;
}

QStringList CupsSandbox::waitForJobTitles(const QString& queue, int count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QStringList titles = pendingJobTitles(queue);
    while (titles.size() < count && !deadline.hasExpired()) {
        QThread::msleep(100);
        titles = pendingJobTitles(queue);
    }
    return titles;
}

void CupsSandbox::cancelAllJobs(const QString& queue)
{
    cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), CUPS_JOBID_ALL, 1);
}

} // namespace bw::test
