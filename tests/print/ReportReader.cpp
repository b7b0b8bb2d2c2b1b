#include "ReportReader.h"

#include "print/ErrorReport.h"

#include <QRegularExpression>

namespace bw::test {

std::vector<ShownReport> shownReports(const FakeMessageBoxes& boxes)
{
    static const QRegularExpression layout(
        QStringLiteral("^(.*)\\r\\n(in Quillon\\.[A-Za-z0-9]+\\.[A-Za-z0-9_]+ )at line ([0-9]+)\\r\\r"
                       "Please email screenshot of this message to (.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    std::vector<ShownReport> reports;
    for (const auto& box : boxes.boxes) {
        if (box.title != ErrorReport::title())
            continue;
        const auto match = layout.match(box.text);
        if (!match.hasMatch() || match.captured(4) != ErrorReport::supportAddress() || box.style != 48) {
            reports.push_back({box.text, QString(), -1});
            continue;
        }
        reports.push_back({match.captured(1), match.captured(2), match.captured(3).toInt()});
    }
    return reports;
}

std::vector<QString> reportPlaces(const FakeMessageBoxes& boxes)
{
    std::vector<QString> places;
    for (const ShownReport& report : shownReports(boxes)) {
        QString procedure = report.location.trimmed().section(QLatin1Char('.'), -1);
        places.push_back(procedure + QLatin1Char(':') + QString::number(report.line));
    }
    return places;
}

std::vector<QString> otherBoxes(const FakeMessageBoxes& boxes)
{
    std::vector<QString> texts;
    for (const auto& box : boxes.boxes) {
        if (box.title != ErrorReport::title())
            texts.push_back(box.text);
    }
    return texts;
}

} // namespace bw::test
