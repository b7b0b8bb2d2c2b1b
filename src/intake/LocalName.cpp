#include "intake/LocalName.h"

#include <QUtf8StringView>

namespace bw {

namespace {

// How many bytes the valid UTF-8 sequence at s takes; 0 when it is not one.
qsizetype sequenceLength(const unsigned char* s, qsizetype left)
{
    if (s[0] < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t least = 0;
    if ((s[0] & 0xe0) == 0xc0)
        length = 2, least = 0x80;
    else if ((s[0] & 0xf0) == 0xe0)
        length = 3, least = 0x800;
    else if ((s[0] & 0xf8) == 0xf0)
        length = 4, least = 0x10000;
    if (length == 0 || left < length)
        return 0;
    char32_t code = s[0] & (0x7f >> length);
    for (qsizetype i = 1; i < length; ++i) {
        if ((s[i] & 0xc0) != 0x80)
            return 0;
        code = code << 6 | (s[i] & 0x3f);
    }
    // Overlong forms and surrogates are not valid UTF-8 either.
    if (code < least || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return 0;
    return length;
}

} // namespace

QString decodeLocalName(const QByteArray& bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    QString name;
    qsizetype run = 0; // start of the valid bytes not yet decoded
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = sequenceLength(data + i, bytes.size() - i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + run, i - run);
        name += QChar(char16_t(0xdc00 + data[i]));
        run = ++i;
    }
    return name + QString::fromUtf8(bytes.constData() + run, bytes.size() - run);
}

QByteArray encodeLocalName(const QString& name)
{
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (const auto byte = escapedByte(name, i)) {
            bytes += QStringView(name).mid(run, i - run).toUtf8();
            bytes += char(*byte);
            run = i + 1;
        }
    }
    return run == 0 ? name.toUtf8() : bytes + QStringView(name).mid(run).toUtf8();
}

} // namespace bw
