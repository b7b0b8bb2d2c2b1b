#pragma once

#include "platform/JobWatch.h"

namespace bw {

class CupsConnection;

// Watches over CUPS event subscriptions, read by pulling their events.
class CupsJobWatch : public JobWatch {
public:
    explicit CupsJobWatch(CupsConnection& connection);

    int watchJobs(const QString& printer) override;
    QList<JobEvent> jobEvents(int watch, int afterSequence) override;
    QList<PrintJob> ownJobs(const QString& printer, qint64 createdSince) override;
    void endWatch(int watch) override;

private:
    CupsConnection& connection_;
};

} // namespace bw
