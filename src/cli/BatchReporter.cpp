#include "cli/BatchReporter.h"

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

void BatchReporter::file(const BatchPrint::Outcome& outcome, double seconds)
{
    if (style_ == Style::Json) {
        const QString printed = outcome.pdf.isEmpty() ? QStringLiteral("printed") : QStringLiteral("written");
        QJsonObject object{{QStringLiteral("event"), outcome.printed ? printed : QStringLiteral("failed")},
                           {QStringLiteral("number"), outcome.number},
                           {QStringLiteral("path"), outcome.path},
                           {QStringLiteral("printer"), printer_},
                           {QStringLiteral("seconds"), rounded(seconds)}};
        // A watched folder has no total.
        if (outcome.total > 0)
            object.insert(QStringLiteral("total"), outcome.total);
        if (outcome.printed && outcome.pdf.isEmpty())
            object.insert(QStringLiteral("job"), outcome.jobId);
        else if (outcome.printed)
            object.insert(QStringLiteral("pdf"), outcome.pdf);
        else
            object.insert(QStringLiteral("reason"), outcome.reason);
        writeJson(out_, object);
        return;
    }
    const QString place =
        outcome.total > 0
            ? QStringLiteral("%1/%2 %3").arg(outcome.number).arg(outcome.total).arg(outcome.path)
            : QStringLiteral("%1 %2").arg(outcome.number).arg(outcome.path);
    if (!outcome.printed) {
        err_ << "failed " << place << ": " << outcome.reason << '\n';
        err_.flush();
    } else if (style_ == Style::Text && !outcome.pdf.isEmpty()) {
        out_ << "written " << place << " -> " << outcome.pdf << '\n';
        out_.flush();
    } else if (style_ == Style::Text) {
        out_ << "printed " << place << " -> " << printer_ << " (job " << outcome.jobId << ")\n";
        out_.flush();
    }
}

void BatchReporter::totals(const BatchPrint::Totals& totals, double seconds)
{
    const int notPrinted = totals.total - totals.printed - totals.failed;
    if (style_ == Style::Json) {
        writeJson(out_, {{QStringLiteral("event"), QStringLiteral("totals")},
                         {QStringLiteral("total"), totals.total},
                         {QStringLiteral("printed"), totals.printed},
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
    stream << (totals.stopped ? "stopped: " : "done: ") << totals.printed << " printed, " << totals.failed
           << " failed";
    if (notPrinted > 0)
        stream << ", " << notPrinted << " not started";
    stream << ", of " << totals.total << " on " << printer_ << " in " << QString::number(seconds, 'f', 1)
           << " s\n";
    stream.flush();
}

} // namespace bw
