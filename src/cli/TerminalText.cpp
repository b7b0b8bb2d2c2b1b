#include "cli/TerminalText.h"

#include "intake/LocalName.h"

namespace bw {

namespace {

bool isControl(char16_t c)
{
    // C0, DEL and C1, and the marks that reorder text on screen.
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x200e || c == 0x200f ||
           (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString escapedForTerminal(const QString& text)
{
    qsizetype first = 0;
    while (first < text.size() && !isControl(text.at(first).unicode()) && !escapedByte(text, first))
        ++first;
    if (first == text.size())
        return text;
    QString result = text.left(first);
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        // A byte of a name that is not UTF-8, as the user would write it.
        if (const auto byte = escapedByte(text, i))
            result += QStringLiteral("\\x%1").arg(int(*byte), 2, 16);
        else if (!isControl(c))
            result += QChar(c);
        else if (c == u'\t')
            result += QStringLiteral("\\t");
        else if (c == u'\n')
            result += QStringLiteral("\\n");
        else if (c == u'\r')
            result += QStringLiteral("\\r");
        else if (c == 0x1b)
            result += QStringLiteral("\\e");
        else if (c <= 0xff)
            result += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
        else
            result += QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
    }
    return result;
}

} // namespace bw
