#include "print/DocumentUrl.h"

#include "intake/LocalName.h"

namespace bw {

namespace {

QString encodeUrlSyntax(const QString& path)
{
    QString encoded;
    encoded.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (const auto byte = escapedByte(path, i))
            encoded += QLatin1Char('%') + QString::number(*byte, 16).toUpper();
        else if (c == QLatin1Char('%'))
            encoded += QStringLiteral("%25");
        else if (c == QLatin1Char('#'))
            encoded += QStringLiteral("%23");
        else if (c == QLatin1Char('?'))
            encoded += QStringLiteral("%3F");
        else
            encoded += c;
    }
    return encoded;
}

} // namespace

QString documentUrl(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')))
        return QStringLiteral("file://") + encodeUrlSyntax(path);
    QString slashed = path;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStringLiteral("file:///") + encodeUrlSyntax(slashed);
}

} // namespace bw
