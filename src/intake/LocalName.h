#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace bw {

// File names as this program carries them. Linux names are bytes; those of
// old archives are often not UTF-8 (Latin-1 "caf\xe9.ods"), and Qt turns such
// bytes into U+FFFD, naming no file. Here each byte that is not part of valid
// UTF-8 becomes the lone surrogate U+DC80..U+DCFF instead, so that the name
// goes back to the very same bytes. A valid name never yields such a
// surrogate, so the two never mix up.
QString decodeLocalName(const QByteArray& bytes);
QByteArray encodeLocalName(const QString& name);

// The byte a lone surrogate stands for; nothing for any other character (a
// surrogate is lone when no high surrogate comes right before it).
inline std::optional<unsigned char> escapedByte(const QString& name, qsizetype at)
{
    const char16_t c = name.at(at).unicode();
    if (c < 0xdc80 || c > 0xdcff || (at > 0 && name.at(at - 1).isHighSurrogate()))
        return std::nullopt;
    return static_cast<unsigned char>(c - 0xdc00);
}

} // namespace bw
