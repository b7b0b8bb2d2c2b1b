#include "app/CenterForm.h"

#include "app/FileExists.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

namespace bw::test {

TEST(CenterForm, PlacesTheWindowInTheMiddleOfTheScreen)
{
    const FormPosition p = centerForm(19200, 14400, 9000, 6000);
    EXPECT_DOUBLE_EQ(p.left, 5100);
    EXPECT_DOUBLE_EQ(p.top, 4200);
}

TEST(CenterForm, WindowLargerThanTheScreenGetsANegativePosition)
{
    const FormPosition p = centerForm(8000, 5000, 9000, 6000);
    EXPECT_DOUBLE_EQ(p.left, -500);
    EXPECT_DOUBLE_EQ(p.top, -500);
}

TEST(CenterForm, KeepsTheHalfTwipOfAnOddDifference)
{
    const FormPosition p = centerForm(19201, 14400, 9000, 5999);
    EXPECT_DOUBLE_EQ(p.left, 5100.5);
    EXPECT_DOUBLE_EQ(p.top, 4200.5);
}

TEST(FileExists, TrueOnlyWhenTheModificationTimeCanBeRead)
{
    test::FakeFileSystem fs;
    fs.addFile(QStringLiteral("/opt/brindlework/HAND-M.CUR"));
    fs.addFile(QStringLiteral("/opt/brindlework/locked"));
    fs.failStatus.insert(QStringLiteral("/opt/brindlework/locked"));
    EXPECT_TRUE(fileExists(fs, QStringLiteral("/opt/brindlework/HAND-M.CUR")));
    EXPECT_FALSE(fileExists(fs, QStringLiteral("/opt/brindlework/missing")));
    EXPECT_FALSE(fileExists(fs, QStringLiteral("/opt/brindlework/locked")));
    EXPECT_FALSE(fileExists(fs, QString()));
}

} // namespace bw::test
