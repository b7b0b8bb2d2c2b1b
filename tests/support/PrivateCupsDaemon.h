#pragma once

#include "support/TestAccounts.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace bw::test {

// A CUPS daemon of the test's own, in a temporary folder, started by
// tests/fixtures/private-cups.sh. While it lives CUPS_SERVER points at its
// socket, so libcups, lp* and LibreOffice in this process and its children
// use it and never the machine's printers. Whoever starts it administers it.
//
// libcups reads HOME once per thread, at its first use: a test executable
// sets HOME before that (the CUPS test main does, see brindle_add_test).
class PrivateCupsDaemon {
public:
    struct Job {
        int id;
        QString queue;
        QString title;
        int state; // ipp_jstate_t: 3 pending, 4 held, 5 processing, 9 completed
    };

    // A new temporary folder that the daemon's filters and the office (other
    // users than the test's) may read, for documents and a test's files.
    static QTemporaryDir* newSharedFolder();

    // Starts the daemon; throws std::runtime_error with the script's output when it cannot.
    // Without job history it forgets each job as soon as it has ended.
    explicit PrivateCupsDaemon(bool keepJobHistory = true);
    // Stops the daemon and gives CUPS_SERVER back its value from before.
    ~PrivateCupsDaemon();
    PrivateCupsDaemon(const PrivateCupsDaemon&) = delete;
    PrivateCupsDaemon& operator=(const PrivateCupsDaemon&) = delete;

    // A raw queue printing to /dev/null; a disabled one keeps its jobs pending.
    void addQueue(const QString& name, bool disabled = false);
    // A raw queue whose backend takes each job and fails it a second later: CUPS aborts the job.
    void addFailingQueue(const QString& name);
    void removeQueue(const QString& name);
    void disable(const QString& name);
    void enable(const QString& name);
    // The server's default destination (a user's lpoptions default outranks it).
    void setServerDefault(const QString& name);
    // Stops the daemon early; later calls find CUPS unreachable.
    void stop();
    // Starts it again after stop(), its queues and jobs as they were.
    void start();

    // Every job of the queue ("" for all queues), completed ones included, read with libcups.
    std::vector<Job> jobs(const QString& queue = QString()) const;

    // Titles of the queue's waiting jobs (pending or held), oldest first.
    QStringList pendingJobTitles(const QString& queue) const;
    // Waits, at most timeoutMs, until the queue holds count waiting jobs; gives their titles.
    QStringList waitForJobTitles(const QString& queue, int count, int timeoutMs) const;
    void cancelAllJobs(const QString& queue);

    QString folder() const { return dir_.path(); }
    QString socketPath() const { return dir_.path() + QStringLiteral("/cups.sock"); }
    // The script, for running it from a shell or another tool.
    static QString scriptPath();
    // Runs a CUPS command-line tool (lpstat, lp, ...) against this daemon, as the account if one is
    // given; returns its standard output, throws std::runtime_error when it fails.
    QString runTool(const QString& program, const QStringList& arguments,
                    const std::optional<Account>& as = std::nullopt) const;

    // The same as root (when the test has root at hand): what administers queues or the daemon.
    QString administer(const QString& program, const QStringList& arguments) const;

private:
    static QString finish(QProcess& process, const QString& program, const QStringList& arguments);
    QString script(const QStringList& arguments) const;

    QTemporaryDir dir_;
    QByteArray previousServer_;
    bool hadServer_;
    bool running_ = false;
};

} // namespace bw::test
