#include "printers/LpoptionsText.h"

#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

struct DefaultLine {
    const char* content;
    std::optional<QString> expected;
};

class DefaultInOptions : public ::testing::TestWithParam<DefaultLine> {};

TEST_P(DefaultInOptions, FindsThePrinterOfTheDefaultLine)
{
    EXPECT_EQ(defaultInOptions(GetParam().content), GetParam().expected) << GetParam().content;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DefaultInOptions,
    ::testing::Values(DefaultLine{"", std::nullopt}, DefaultLine{"Dest A media=A4\n", std::nullopt},
                      DefaultLine{"Default A\r\n", QStringLiteral("A")},
                      DefaultLine{"Dest B x=1\nDEFAULT B/draft copies=2", QStringLiteral("B/draft")},
                      DefaultLine{"  default\tC sides=one-sided\n", QStringLiteral("C")},
                      DefaultLine{"Default A\nDefault B\n", QStringLiteral("B")}));

} // namespace
} // namespace bw::test
