#pragma once

#include <QString>

namespace bw {

class MessageBoxes;

// The report a guarded procedure shows for a failed step: the failure's
// description, the procedure's location and the step's line, and a request
// for a screenshot.
class ErrorReport {
public:
    static const QString& supportAddress();
    static const QString& title();
    static QString text(const QString& description, const QString& location, int line);

    explicit ErrorReport(MessageBoxes& boxes) : boxes_(boxes) {}

    // ShowErrorReport: returns when the user has confirmed the box.
    void show(const QString& description, const QString& location, int line);

private:
    MessageBoxes& boxes_;
};

} // namespace bw
