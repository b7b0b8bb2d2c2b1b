#pragma once

#include "platform/PrintQueue.h"

namespace bw {

class CupsConnection;

// Jobs submitted to CUPS and read back. Nothing is cached: every call asks CUPS.
class CupsPrintQueue : public PrintQueue {
public:
    explicit CupsPrintQueue(CupsConnection& connection);

    int submitFile(const QString& printer, const QString& file, const QString& title,
                   const QList<QPair<QString, QString>>& options) override;
    std::optional<PrintJob> job(int id) override;
    QList<PrintJob> jobStates(const QList<int>& ids) override;

private:
    CupsConnection& connection_;
};

} // namespace bw
