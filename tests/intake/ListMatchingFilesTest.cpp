#include "intake/ListMatchingFiles.h"

#include "intake/WildcardPattern.h"
#include "platform/PlatformError.h"
#include "support/FakeFileSystem.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

class ListMatchingFilesTest : public ::testing::Test {
protected:
    test::FakeFileSystem fileSystem;

    void SetUp() override
    {
        for (const char* file : {"/D/b.ods", "/D/A.ODS", "/D/~a.ods", "/D/.~lock.b.ods#", "/D/.hidden.ods",
                                 "/D/c.txt", "/D/noext", "/D/x.Ods", "/D/d.ods.bak"})
            fileSystem.addFile(QString::fromLatin1(file));
        fileSystem.addFolder(QStringLiteral("/D/folder.ods"));
        fileSystem.addSpecial(QStringLiteral("/D/pipe.ods"));
        fileSystem.addLink(QStringLiteral("/D/link.ods"), QStringLiteral("/D/b.ods"));
        fileSystem.addLink(QStringLiteral("/D/dangling.ods"), QStringLiteral("/nowhere"));
    }

    QStringList list(const char* pattern)
    {
        return listMatchingFiles(fileSystem, QStringLiteral("/D"),
                                 WildcardPattern(QString::fromLatin1(pattern)));
    }
};

TEST_F(ListMatchingFilesTest, RegularFilesThatMatchInListingOrder)
{
    const struct {
        const char* pattern;
        QStringList names;
    } table[] = {
        {"*.ods", {"b.ods", "A.ODS", ".hidden.ods", "x.Ods", "link.ods"}},
        {"*.ODS", {"b.ods", "A.ODS", ".hidden.ods", "x.Ods", "link.ods"}},
        {"*.*", {"b.ods", "A.ODS", ".hidden.ods", "c.txt", "noext", "x.Ods", "d.ods.bak", "link.ods"}},
        {"*..ods", {}},
        {"*.txt", {"c.txt"}},
        {"*.xls", {}},
    };
    for (const auto& row : table)
        EXPECT_EQ(list(row.pattern), row.names) << row.pattern;
}

TEST_F(ListMatchingFilesTest, ListsTheFolderWithATrailingSeparatorEitherWay)
{
    listMatchingFiles(fileSystem, QStringLiteral("/D"), WildcardPattern(QStringLiteral("*.*")));
    listMatchingFiles(fileSystem, QStringLiteral("/D/"), WildcardPattern(QStringLiteral("*.*")));
    EXPECT_EQ(fileSystem.listed, (QStringList{"/D", "/D"}));
}

TEST_F(ListMatchingFilesTest, AFolderThatCannotBeListedThrows)
{
    fileSystem.failListing.insert(QStringLiteral("/D"));
    EXPECT_THROW(list("*.*"), PlatformError);
    EXPECT_THROW(
        listMatchingFiles(fileSystem, QStringLiteral("/missing"), WildcardPattern(QStringLiteral("*.*"))),
        PlatformError);
}

} // namespace

} // namespace bw::test
