#pragma once

#include <QString>
#include <QStringList>

namespace bw::test {

// A private CUPS daemon in a folder of the test's own, run through
// tests/fixtures/private-cups.sh. Point HOME at a temporary folder and call
// useSocketOf() before anything in the process talks to libcups: it keeps
// the server it first saw.
class CupsSandbox {
public:
    explicit CupsSandbox(QString folder) : folder_(std::move(folder)) {}
    ~CupsSandbox();
    CupsSandbox(const CupsSandbox&) = delete;
    CupsSandbox& operator=(const CupsSandbox&) = delete;

    // Sets CUPS_SERVER for this process and the programs it starts.
    static void useSocketOf(const QString& folder);

    void start();
    void stop();
    void addQueue(const QString& name, bool disabled);

    // Titles of the jobs waiting on a queue, oldest first.
    static QStringList pendingJobTitles(const QString& queue);
    // Waits (bounded) until a queue holds at least count pending jobs; gives their titles.
    static QStringList waitForJobTitles(const QString& queue, int count, int timeoutMs);
    static void cancelAllJobs(const QString& queue);

private:
    void script(const QStringList& arguments);

    QString folder_;
    bool started_ = false;
};

} // namespace bw::test
