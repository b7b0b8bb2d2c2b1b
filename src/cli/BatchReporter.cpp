#include "cli/BatchReporter.h"

#include "cli/TerminalText.h"
#include "print/JobFollow.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace bw {

namespace {

void writeJson(QTextStream& stream, const QJsonObject& object)
{
    stream << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
    stream.flush();
}

double rounded(double seconds)
{
    return qRound64(seconds * 1000.0) / 1000.0;
}

} // namespace

BatchReporter::BatchReporter(QTextStream& out, QTextStream& err, Style style, QString printer)
    : out_(out), err_(err), style_(style), printer_(std::move(printer))
{
}

QString BatchReporter::sentText(const BatchPrint::Outcome& outcome) const
{
    return QStringLiteral("sent, job %1, %2 on %3")
        .arg(outcome.jobId)
        .arg(PrintJob::stateWord(outcome.jobState), printer_);
}

void BatchReporter::file(const BatchPrint::Outcome& outcome, double seconds)
{
    // A job counts as printed once the printing system says it completed.
    const bool sent = outcome.jobId > 0 && outcome.jobState != PrintJob::Completed;
    if (style_ == Style::Json) {
        const QString printed = !outcome.pdf.isEmpty() ? QStringLiteral("written")
                                : sent                 ? QStringLiteral("sent")
                                                       : QStringLiteral("printed");
        QJsonObject object{{QStringLiteral("event"), outcome.printed ? printed : QStringLiteral("failed")},
                           {QStringLiteral("number"), outcome.number},
                           {QStringLiteral("path"), outcome.path},
                           {QStringLiteral("printer"), printer_},
                           {QStringLiteral("seconds"), rounded(seconds)}};
        // A watched folder has no total.
        if (outcome.total > 0)
            object.insert(QStringLiteral("total"), outcome.total);
        if (outcome.jobId > 0) {
            object.insert(QStringLiteral("job"), outcome.jobId);
            object.insert(QStringLiteral("state"), PrintJob::stateWord(outcome.jobState));
        }
        if (outcome.printed && !outcome.pdf.isEmpty())
            object.insert(QStringLiteral("pdf"), outcome.pdf);
        else if (!outcome.printed)
            object.insert(QStringLiteral("reason"), outcome.reason);
        writeJson(out_, object);
        return;
    }
    const QString place = placeOf(outcome);
    if (!outcome.printed) {
        err_ << "failed " << place << ": " << escapedForTerminal(outcome.reason) << '\n';
        err_.flush();
    } else if (style_ == Style::Text && !outcome.pdf.isEmpty()) {
        out_ << "written " << place << " -> " << escapedForTerminal(outcome.pdf) << '\n';
        out_.flush();
    } else if (style_ == Style::Text) {
        out_ << (sent ? "sent " : "printed ") << place << " -> " << printer_ << " (job " << outcome.jobId
             << ")\n";
        out_.flush();
    }
}

QString BatchReporter::placeOf(const BatchPrint::Outcome& outcome)
{
    const QString path = escapedForTerminal(outcome.path);
    return outcome.total > 0 ? QStringLiteral("%1/%2 %3").arg(outcome.number).arg(outcome.total).arg(path)
                             : QStringLiteral("%1 %2").arg(outcome.number).arg(path);
}

void BatchReporter::ended(const BatchPrint::Outcome& outcome, double seconds)
{
    // The text told the job was sent; only news is told again.
    if (style_ == Style::Json || !outcome.printed)
        file(outcome, seconds);
}

void BatchReporter::unfinished(const BatchPrint::Outcome& outcome, double seconds)
{
    if (style_ == Style::Json) {
        file(outcome, seconds);
    } else if (style_ == Style::Text) {
        out_ << placeOf(outcome) << ": " << sentText(outcome) << '\n';
        out_.flush();
    }
}

void BatchReporter::totals(const BatchPrint::Totals& totals, double seconds)
{
    const int notPrinted = totals.total - totals.printed - totals.sent - totals.failed;
    if (style_ == Style::Json) {
        writeJson(out_, {{QStringLiteral("event"), QStringLiteral("totals")},
                         {QStringLiteral("total"), totals.total},
                         {QStringLiteral("printed"), totals.printed},
                         {QStringLiteral("sent"), totals.sent},
                         {QStringLiteral("failed"), totals.failed},
                         {QStringLiteral("not_printed"), notPrinted},
                         {QStringLiteral("stopped"), totals.stopped},
                         {QStringLiteral("printer"), printer_},
                         {QStringLiteral("seconds"), rounded(seconds)}});
        return;
    }
    if (style_ == Style::Quiet && !totals.stopped)
        return;
    QTextStream& stream = totals.stopped ? err_ : out_;
    stream << (totals.stopped ? "stopped: " : "done: ") << totals.printed << " printed, ";
    if (totals.sent > 0)
        stream << totals.sent << " sent, ";
    stream << totals.failed << " failed";
    if (notPrinted > 0)
        stream << ", " << notPrinted << " not started";
    stream << ", of " << totals.total << " on " << printer_ << " in " << QString::number(seconds, 'f', 1)
           << " s\n";
    stream.flush();
}

} // namespace bw
