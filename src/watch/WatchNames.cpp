#include "watch/WatchNames.h"

namespace bw {

std::optional<WatchNames::Claim> WatchNames::claimOf(const QString& claimed)
{
    const qsizetype dash = claimed.indexOf(QLatin1Char('-'));
    if (dash <= 0 || dash + 1 == claimed.size())
        return std::nullopt;
    for (qsizetype i = 0; i < dash; ++i)
        if (!claimed.at(i).isLetterOrNumber())
            return std::nullopt;
    return Claim{claimed.left(dash), claimed.mid(dash + 1)};
}

QString WatchNames::numbered(const QString& name, int number)
{
    if (number == 0)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype stem = dot > 0 ? dot : name.size();
    return name.left(stem) + QStringLiteral("-%1").arg(number) + name.mid(stem);
}

} // namespace bw
