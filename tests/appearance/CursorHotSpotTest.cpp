#include "appearance/CursorHotSpot.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

QByteArray header(const char* hex)
{
    return QByteArray::fromHex(hex) + QByteArray(64, '\0');
}

TEST(CursorHotSpotTest, OnlyACursorDirectoryNamesAHotSpot)
{
    const struct {
        const char* what;
        QByteArray data;
        std::optional<QPoint> hotSpot;
    } table[] = {
        {"cursor",
         header("000002000100"
                "20200000"
                "0700"
                "0201"),
         QPoint(7, 258)},
        {"icon: planes and bit count",
         header("000001000100"
                "20200000"
                "0100"
                "2000"),
         std::nullopt},
        {"no picture",
         header("000002000000"
                "20200000"
                "0700"
                "0201"),
         std::nullopt},
        {"not a directory", header("89504e470d0a1a0a"), std::nullopt},
        {"too short", QByteArray::fromHex("0000020001002020"), std::nullopt},
    };
    for (const auto& c : table)
        EXPECT_EQ(cursorHotSpot(c.data), c.hotSpot) << c.what;
}

} // namespace

} // namespace bw::test
