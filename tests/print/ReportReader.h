#pragma once

#include "support/FakeMessageBoxes.h"

#include <QString>
#include <ostream>
#include <vector>

QT_BEGIN_NAMESPACE
// Texts in test failures, readable.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace bw::test {

// One error report as shown, taken apart.
struct ShownReport {
    QString description;
    QString location;
    int line = -1;

    bool operator==(const ShownReport& other) const
    {
        return description == other.description && location == other.location && line == other.line;
    }
};

// Reads the boxes titled "Application Error" back into their parts; a box
// that does not have the report's layout yields line -1.
std::vector<ShownReport> shownReports(const FakeMessageBoxes& boxes);
// "location:line" for each report, in order, e.g. "PushButton2_Click:116".
std::vector<QString> reportPlaces(const FakeMessageBoxes& boxes);
// The texts of the boxes that are not error reports.
std::vector<QString> otherBoxes(const FakeMessageBoxes& boxes);

} // namespace bw::test
