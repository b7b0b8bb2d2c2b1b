#include "cli/ProgressLine.h"

#include "cli/TerminalText.h"

#include <QTextStream>
#include <cmath>

namespace bw {

namespace {

QString duration(double seconds)
{
    const qint64 whole = qint64(std::ceil(seconds));
    if (whole < 60)
        return QStringLiteral("%1 s").arg(whole);
    if (whole < 3600)
        return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
    return QStringLiteral("%1 h %2 min").arg(whole / 3600).arg(whole % 3600 / 60);
}

} // namespace

ProgressLine::ProgressLine(QTextStream& stream, int width) : stream_(stream), width_(width) {}

QString ProgressLine::text(int number, int total, const QString& path, double secondsLeft, int width)
{
    const QString place =
        total > 0 ? QStringLiteral("[%1/%2] ").arg(number).arg(total) : QStringLiteral("[%1] ").arg(number);
    const QString left =
        secondsLeft >= 0 ? QStringLiteral(", %1 left").arg(duration(secondsLeft)) : QString();
    QString name = escapedForTerminal(path.section(QLatin1Char('/'), -1));
    // The last column stays free: a full line would wrap on some terminals.
    const qsizetype room = width - 1 - place.size() - left.size();
    if (name.size() > room)
        name = room > 1 ? name.left(room - 1) + QChar(0x2026) : QString();
    return (place + name + left).left(std::max(0, width - 1));
}

void ProgressLine::show(int number, int total, const QString& path, double secondsLeft)
{
    if (width_ <= 0)
        return;
    stream_ << "\r\x1b[K" << text(number, total, path, secondsLeft, width_);
    stream_.flush();
    shown_ = true;
}

void ProgressLine::clear()
{
    if (!shown_)
        return;
    stream_ << "\r\x1b[K";
    stream_.flush();
    shown_ = false;
}

} // namespace bw
