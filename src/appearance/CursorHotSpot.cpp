#include "appearance/CursorHotSpot.h"

namespace bw {

namespace {

constexpr int DirectorySize = 6;
constexpr int EntrySize = 16;
constexpr int CursorType = 2;

int littleEndian16(const QByteArray& data, int offset)
{
    return static_cast<unsigned char>(data[offset]) | (static_cast<unsigned char>(data[offset + 1]) << 8);
}

} // namespace

std::optional<QPoint> cursorHotSpot(const QByteArray& fileData)
{
    if (fileData.size() < DirectorySize + EntrySize)
        return std::nullopt;
    const int reserved = littleEndian16(fileData, 0);
    const int type = littleEndian16(fileData, 2);
    const int count = littleEndian16(fileData, 4);
    if (reserved != 0 || type != CursorType || count < 1)
        return std::nullopt;
    return QPoint(littleEndian16(fileData, DirectorySize + 4), littleEndian16(fileData, DirectorySize + 6));
}

} // namespace bw
