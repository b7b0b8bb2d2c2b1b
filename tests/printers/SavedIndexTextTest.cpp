#include "printers/SavedIndexText.h"

#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

struct Conversion {
    const char* text;
    std::optional<int> expected;
};

TEST(SavedIndexText, ConvertsOnlyPlainDecimal16BitIntegers)
{
    const Conversion table[] = {
        {"0", 0},         {"1", 1},       {"2", 2},         {"-1", -1},
        {"007", 7},       {"-0", 0},      {"32767", 32767}, {"-32768", -32768},
        {"32768", {}},    {"-32769", {}}, {"65536", {}},    {"99999999999999999999", {}},
        {"", {}},         {"-", {}},      {"x", {}},        {"1x", {}},
        {"+1", {}},       {" 1", {}},     {"1 ", {}},       {"1.0", {}},
        {"1e1", {}},      {"&H10", {}},   {"0x1", {}},      {"--1", {}},
        {"\xd9\xa1", {}}, // Arabic-Indic digit one
    };
    for (const Conversion& row : table) {
        const std::optional<qint16> result = savedIndexFromText(QString::fromUtf8(row.text));
        if (row.expected) {
            ASSERT_TRUE(result.has_value()) << row.text;
            EXPECT_EQ(*result, *row.expected) << row.text;
        } else {
            EXPECT_FALSE(result.has_value()) << row.text << " gave " << (result ? *result : 0);
        }
    }
}

TEST(SavedIndexText, WritesPlainDecimalWithMinusForNegatives)
{
    EXPECT_EQ(savedIndexToText(0), QStringLiteral("0"));
    EXPECT_EQ(savedIndexToText(12), QStringLiteral("12"));
    EXPECT_EQ(savedIndexToText(-1), QStringLiteral("-1"));
}

} // namespace

} // namespace bw::test
