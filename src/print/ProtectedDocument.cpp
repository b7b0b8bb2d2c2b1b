#include "print/ProtectedDocument.h"

#include "intake/LocalName.h"

#include <QFile>
#include <QtEndian>
#include <fcntl.h>
#include <unistd.h>

namespace bw {

namespace {

// More than any document's zip directory needs; a longer one is not read.
constexpr qint64 MostTailBytes = 1 << 20;

// Bytes past the end read as 0, so a damaged directory cannot read beyond it.
template <typename T> T littleEndianAt(QByteArrayView bytes, qsizetype offset)
{
    if (offset < 0 || offset > bytes.size() - qsizetype(sizeof(T)))
        return 0;
    return qFromLittleEndian<T>(bytes.data() + offset);
}

quint32 at32(QByteArrayView bytes, qsizetype offset)
{
    return littleEndianAt<quint32>(bytes, offset);
}

quint16 at16(QByteArrayView bytes, qsizetype offset)
{
    return littleEndianAt<quint16>(bytes, offset);
}

// An encrypted package keeps content.xml deflated, then encrypted, and
// stored as it is: stored bytes that are not XML.
bool encryptedPackage(QFile& file)
{
    const qint64 tailSize = std::min(file.size(), MostTailBytes);
    if (!file.seek(file.size() - tailSize))
        return false;
    const QByteArray tail = file.read(tailSize);
    const qsizetype end = tail.lastIndexOf(QByteArrayLiteral("PK\x05\x06"));
    if (end < 0 || end + 22 > tail.size())
        return false;
    const qint64 directoryStart = at32(tail, end + 16);
    const qint64 tailStart = file.size() - tailSize;
    if (directoryStart < tailStart)
        return false;
    for (qsizetype entry = qsizetype(directoryStart - tailStart);
         entry + 46 <= end && at32(tail, entry) == 0x02014b50;) {
        const quint16 nameLength = at16(tail, entry + 28);
        const qsizetype next = entry + 46 + nameLength + at16(tail, entry + 30) + at16(tail, entry + 32);
        if (next > end)
            return false;
        if (tail.mid(entry + 46, nameLength) == "content.xml") {
            if (at16(tail, entry + 10) != 0)
                return false; // deflated: plain XML
            QByteArray local(30, '\0');
            if (!file.seek(at32(tail, entry + 42)) || file.read(local.data(), 30) != 30 ||
                at32(local, 0) != 0x04034b50 || !file.seek(file.pos() + at16(local, 26) + at16(local, 28)))
                return false;
            const QByteArray start = file.read(16).trimmed();
            return !start.isEmpty() && !start.startsWith('<') && !start.startsWith("\xef\xbb\xbf");
        }
        entry = next;
    }
    return false;
}

} // namespace

bool protectedByPassword(const QString& path)
{
    // By the name's own bytes; non-blocking, so a FIFO never holds us.
    const int descriptor = ::open(encodeLocalName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QFile file;
    if (descriptor < 0)
        return false;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return false;
    }
    const QByteArray magic = file.read(8);
    if (magic.startsWith("PK\x03\x04"))
        return encryptedPackage(file);
    // A compound file holding an encrypted Office Open XML package names its
    // streams in UTF-16 in its directory.
    if (magic == QByteArrayLiteral("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1")) {
        const QByteArray stream =
            QByteArray::fromRawData("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
        file.seek(0);
        for (QByteArray chunk; !(chunk = file.read(1 << 20)).isEmpty();) {
            if (chunk.contains(stream))
                return true;
            if (!file.atEnd())
                file.seek(file.pos() - stream.size());
        }
    }
    return false;
}

} // namespace bw
