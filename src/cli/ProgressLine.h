#pragma once

#include <QString>

class QTextStream;

namespace bw {

// One line on a terminal, redrawn in place, telling which file is under way
// and how long the rest may take: "[12/200] report.ods, 3 min 20 s left".
// It is wiped before any other line is written, so the per-file lines stay
// as they are. Off (width 0) when standard error is not a terminal.
class ProgressLine {
public:
    ProgressLine(QTextStream& stream, int width);

    // total 0: not known (a watched folder); secondsLeft below 0: not known yet.
    void show(int number, int total, const QString& path, double secondsLeft);
    void clear();

    static QString text(int number, int total, const QString& path, double secondsLeft, int width);

private:
    QTextStream& stream_;
    int width_;
    bool shown_ = false;
};

} // namespace bw
