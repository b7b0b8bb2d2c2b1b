#pragma once

#include "print/BatchPrint.h"

#include <QString>
#include <chrono>

class QTextStream;

namespace bw {

// The lines a batch writes: a line per file (printed ones on standard
// output, failed ones on standard error) and one with the totals; or, for
// scripts, one JSON object a line on standard output. Quiet keeps only the
// failures.
class BatchReporter {
public:
    enum class Style { Text, Quiet, Json };

    using Clock = std::chrono::steady_clock;

    BatchReporter(QTextStream& out, QTextStream& err, Style style, QString printer);
    // The style the command line asked for.
    static Style styleOf(bool json, bool quiet)
    {
        return json ? Style::Json : quiet ? Style::Quiet : Style::Text;
    }
    static double secondsSince(Clock::time_point start)
    {
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    // A file's line: "printed", "written", "failed", or "sent" for a job the
    // printing system has taken and not yet completed.
    void file(const BatchPrint::Outcome& outcome, double seconds);
    // A job followed to its end after its file's line.
    void ended(const BatchPrint::Outcome& outcome, double seconds);
    // A job not ended when the batch ends: "sent, job 12, pending on Q".
    void unfinished(const BatchPrint::Outcome& outcome, double seconds);
    void totals(const BatchPrint::Totals& totals, double seconds);

    // "sent, job 12, pending on Q".
    QString sentText(const BatchPrint::Outcome& outcome) const;

private:
    static QString placeOf(const BatchPrint::Outcome& outcome);

    QTextStream& out_;
    QTextStream& err_;
    Style style_;
    QString printer_;
};

} // namespace bw
