#include "print/PrintOptions.h"

#include <QRegularExpression>

namespace bw {

QList<QPair<QString, QString>> PrintOptions::jobOptions() const
{
    QList<QPair<QString, QString>> options;
    if (copies != 1)
        options.append({QStringLiteral("copies"), QString::number(copies)});
    if (!pages.isEmpty())
        options.append({QStringLiteral("page-ranges"), pages});
    if (!sides.isEmpty())
        options.append({QStringLiteral("sides"), sides});
    if (!media.isEmpty())
        options.append({QStringLiteral("media"), media});
    // IPP's numbers: 3 portrait, 4 landscape.
    if (!orientation.isEmpty())
        options.append({QStringLiteral("orientation-requested"), orientation == QLatin1String("landscape")
                                                                     ? QStringLiteral("4")
                                                                     : QStringLiteral("3")});
    return options + other;
}

bool PrintOptions::isNamed(const QString& cupsName)
{
    static const QStringList named{QStringLiteral("copies"), QStringLiteral("page-ranges"),
                                   QStringLiteral("sides"), QStringLiteral("media"),
                                   QStringLiteral("orientation-requested")};
    return named.contains(cupsName);
}

bool PrintOptions::validPages(const QString& pages)
{
    static const QRegularExpression form(QStringLiteral("^\\d+(-\\d+)?(,\\d+(-\\d+)?)*$"));
    if (!form.match(pages).hasMatch())
        return false;
    for (const QString& range : pages.split(QLatin1Char(','))) {
        bool firstOk = false;
        bool lastOk = false;
        const int first = range.section(QLatin1Char('-'), 0, 0).toInt(&firstOk);
        const int last = range.section(QLatin1Char('-'), -1).toInt(&lastOk);
        if (!firstOk || !lastOk || first < 1 || last < first)
            return false;
    }
    return true;
}

QStringList PrintOptions::sidesValues()
{
    return {QStringLiteral("one-sided"), QStringLiteral("two-sided-long-edge"),
            QStringLiteral("two-sided-short-edge")};
}

QStringList PrintOptions::orientationValues()
{
    return {QStringLiteral("portrait"), QStringLiteral("landscape")};
}

} // namespace bw
