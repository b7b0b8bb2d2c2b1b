#include "printers/SavedIndexText.h"

#include <limits>

namespace bw {

std::optional<qint16> savedIndexFromText(const QString& text)
{
    const qsizetype start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == start)
        return std::nullopt;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(value);
}

QString savedIndexToText(int index)
{
    return QString::number(index);
}

} // namespace bw
