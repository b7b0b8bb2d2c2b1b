#include "print/DocumentUrl.h"

#include "intake/LocalName.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

struct UrlCase {
    const char* name;
    QString path;
    QString url;
};

class DocumentUrlCase : public ::testing::TestWithParam<UrlCase> {};

TEST_P(DocumentUrlCase, BuildsTheUrlTheOfficeLoads)
{
    EXPECT_EQ(documentUrl(GetParam().path), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DocumentUrlCase,
    ::testing::Values(
        UrlCase{"LinuxPlain", QStringLiteral("/home/ann/a.ods"), QStringLiteral("file:///home/ann/a.ods")},
        UrlCase{"SpaceStays", QStringLiteral("/home/ann/Q1 sales.ods"),
                QStringLiteral("file:///home/ann/Q1 sales.ods")},
        UrlCase{"HashEncoded", QStringLiteral("/data/no#1.ods"), QStringLiteral("file:///data/no%231.ods")},
        UrlCase{"PercentEncoded", QStringLiteral("/data/100%41.ods"),
                QStringLiteral("file:///data/100%2541.ods")},
        UrlCase{"QuestionMarkEncoded", QStringLiteral("/data/why?.ods"),
                QStringLiteral("file:///data/why%3F.ods")},
        UrlCase{"NonAsciiStays", QStringLiteral("/data/Übersicht é.ods"),
                QStringLiteral("file:///data/Übersicht é.ods")},
        UrlCase{"BackslashInLinuxNameStays", QStringLiteral("/data/a\\b.ods"),
                QStringLiteral("file:///data/a\\b.ods")},
        UrlCase{"DriveLetter", QStringLiteral("C:\\Reports\\Q1 sales.ods"),
                QStringLiteral("file:///C:/Reports/Q1 sales.ods")},
        UrlCase{"DriveLetterEncoded", QStringLiteral("d:\\x\\#5 100%?.ods"),
                QStringLiteral("file:///d:/x/%235 100%25%3F.ods")},
        UrlCase{"DriveLetterWithSlashKeepsIt", QStringLiteral("C:\\a/b\\c.ods"),
                QStringLiteral("file:///C:/a/b/c.ods")},
        UrlCase{"AllOccurrences", QStringLiteral("/##%%??"), QStringLiteral("file:///%23%23%25%25%3F%3F")},
        // Bytes that are not UTF-8 go to the office as they are on disk.
        UrlCase{"Latin1ByteEncoded", decodeLocalName("/old/caf\xe9 #1.ods"),
                QStringLiteral("file:///old/caf%E9 %231.ods")},
        UrlCase{"OnlyTheBadBytesEncoded", decodeLocalName("/d/\xc3\xa9\xc3(\xed\xa0\x80\xc0\xaf\xe2\x82"),
                QStringLiteral("file:///d/é%C3(%ED%A0%80%C0%AF%E2%82")},
        UrlCase{"PairedSurrogateStays", decodeLocalName("/d/\xf0\x90\x82\x80.ods"),
                QString::fromUtf8("file:///d/\xf0\x90\x82\x80.ods")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LocalNameTest, ANameGoesBackToItsOwnBytes)
{
    for (const QByteArray& bytes : {QByteArray("/plain/a.ods"), QByteArray("/old/caf\xe9.ods"),
                                    QByteArray("\xff\xfe\xc3\xa9\xed\xb2\x80\xf4\x90\x80\x80\xe2\x82")})
        EXPECT_EQ(encodeLocalName(decodeLocalName(bytes)), bytes) << bytes.toHex().toStdString();
}

} // namespace
} // namespace bw::test
