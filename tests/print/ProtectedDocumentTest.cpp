#include "print/ProtectedDocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace bw::test {
namespace {

QByteArray le(quint64 value, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        out[i] = char((value >> (8 * i)) & 0xff);
    return out;
}

// A zip with one entry, its bytes kept as they are under the method named.
QByteArray zip(const QByteArray& name, const QByteArray& data, int method)
{
    const QByteArray sizes = le(0, 4) + le(quint32(data.size()), 4) + le(quint32(data.size()), 4);
    const QByteArray local = "PK\x03\x04" + le(20, 2) + le(0, 2) + le(quint32(method), 2) + le(0, 4) + sizes +
                             le(quint32(name.size()), 2) + le(0, 2) + name + data;
    const QByteArray central = "PK\x01\x02" + le(20, 2) + le(20, 2) + le(0, 2) + le(quint32(method), 2) +
                               le(0, 4) + sizes + le(quint32(name.size()), 2) + le(0, 6) + le(0, 2) +
                               le(0, 4) + le(0, 4) + name;
    return local + central + "PK\x05\x06" + le(0, 4) + le(1, 2) + le(1, 2) + le(quint32(central.size()), 4) +
           le(quint32(local.size()), 4) + le(0, 2);
}

TEST(ProtectedDocumentTest, APasswordIsReadFromTheFile)
{
    const QByteArray compound("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1", 8);
    const struct {
        QByteArray bytes;
        bool isProtected;
    } table[] = {
        {zip("content.xml", "<?xml version=\"1.0\"?><office:document-content/>", 0), false},
        {zip("content.xml", QByteArray("\x8e\x13\x00\xfa\x44\x91\x02\x7f\xc0\x19\x55", 11), 0), true},
        {zip("content.xml", QByteArray("\x8e\x13\x00\xfa\x44\x91\x02\x7f", 8), 8), false},
        {compound + QByteArray(512, '\0') +
             QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32),
         true},
        {compound + QByteArray(512, '\0') + QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16), false},
        {"PK\x03\x04 cut short", false},
        {"plain text", false},
    };
    QTemporaryDir folder;
    int n = 0;
    for (const auto& row : table) {
        QFile file(folder.filePath(QString::number(++n)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(row.bytes);
        file.close();
        EXPECT_EQ(protectedByPassword(file.fileName()), row.isProtected) << n;
    }
}

} // namespace
} // namespace bw::test
