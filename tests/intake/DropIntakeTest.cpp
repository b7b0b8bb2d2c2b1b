#include "intake/DropIntake.h"

#include "filelist/FileListModel.h"
#include "intake/LocalName.h"
#include "support/FakeFileSystem.h"
#include "support/FakeYielder.h"
#include "support/QtPrinters.h"

#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

class DropIntakeTest : public ::testing::Test {
protected:
    test::FakeFileSystem fileSystem;
    test::FakeYielder yielder;
    FileListModel list;
    DropIntake drop{fileSystem, yielder, list};

    void SetUp() override
    {
        for (const char* file :
             {"/D/a.ods", "/D/~skip.ods", "/D/.~lock.a.ods#", "/D/.hidden.txt", "/D/b.TXT", "/D/S/c",
              "/D/.H/in-hidden.ods", "/E/e.ods", "/E/F/f.xls", "/loose/x.ods", "/loose/~y.ods"})
            fileSystem.addFile(QString::fromLatin1(file));
        fileSystem.addSpecial(QStringLiteral("/D/pipe"));
        fileSystem.addSpecial(QStringLiteral("/loose/fifo"));
        fileSystem.addFolder(QStringLiteral("/Empty"));
        fileSystem.addFile(QStringLiteral("/.Hidden/h.ods"));
        fileSystem.addFolder(QStringLiteral("/.Hidden/.deeper"));
        fileSystem.addFile(QStringLiteral("/.Hidden/.deeper/no.ods"));
    }
};

TEST_F(DropIntakeTest, EachDroppedEntryGivesItsRowsInTheDroppedOrder)
{
    const struct {
        const char* what;
        QStringList dropped;
        QStringList rows;
    } table[] = {
        {"files of any extension, tilde files too, unchanged",
         {"/loose/~y.ods", "/loose/x.ods", "/D/b.TXT"},
         {"/loose/~y.ods", "/loose/x.ods", "/D/b.TXT"}},
        {"a folder: every file of its tree but tilde and lock files, hidden files yes, hidden folders no",
         {"/D"},
         {"/D/a.ods", "/D/.hidden.txt", "/D/b.TXT", "/D/S/c"}},
        {"files and folders mixed",
         {"/loose/x.ods", "/E", "/D/a.ods", "/Empty"},
         {"/loose/x.ods", "/E/e.ods", "/E/F/f.xls", "/D/a.ods"}},
        {"two folders, each tree once", {"/E", "/D/S"}, {"/E/e.ods", "/E/F/f.xls", "/D/S/c"}},
        {"a folder with a trailing separator", {"/E/"}, {"/E/e.ods", "/E/F/f.xls"}},
        {"a hidden folder is walked like any folder", {"/.Hidden"}, {"/.Hidden/h.ods"}},
        {"a path that is gone is taken as it comes",
         {"/gone/z.ods", "/loose/x.ods"},
         {"/gone/z.ods", "/loose/x.ods"}},
        {"special files are never appended", {"/loose/fifo", "/loose/x.ods"}, {"/loose/x.ods"}},
        {"an empty folder gives nothing", {"/Empty"}, {}},
    };
    for (const auto& row : table) {
        FileListModel fileList;
        fileList.append(QStringLiteral("/already.ods"));
        fileList.select(1);
        DropIntake(fileSystem, yielder, fileList).run(row.dropped);
        EXPECT_EQ(fileList.paths(), QStringList{"/already.ods"} + row.rows) << row.what;
        EXPECT_EQ(fileList.selectedPosition(), 1) << row.what;
    }
}

TEST_F(DropIntakeTest, ADroppedRootCollapsesDoubledSeparators)
{
    test::FakeFileSystem small;
    small.addFile(QStringLiteral("/r.ods"));
    small.addFile(QStringLiteral("/S/s.ods"));
    DropIntake(small, yielder, list).run({QStringLiteral("/")});
    EXPECT_EQ(list.paths(), (QStringList{"/r.ods", "/S/s.ods"}));
}

TEST_F(DropIntakeTest, AFolderWalkYieldsAndAnUnreadableSubFolderIsPassedOver)
{
    fileSystem.failListing.insert(QStringLiteral("/E/F"));
    drop.run({QStringLiteral("/E")});
    EXPECT_EQ(list.paths(), QStringList{"/E/e.ods"});
    EXPECT_GT(yielder.yields, 0);
}

TEST_F(DropIntakeTest, ASymbolicLinkLoopInADroppedFolderEnds)
{
    fileSystem.addLink(QStringLiteral("/E/F/back"), QStringLiteral("/E"));
    drop.run({QStringLiteral("/E")});
    EXPECT_EQ(list.paths(), (QStringList{"/E/e.ods", "/E/F/f.xls"}));
}

TEST(DroppedPathsTest, OnlyDragsOfLocalFilesAreWelcome)
{
    const auto urls = [](std::initializer_list<const char*> texts) {
        QList<QUrl> result;
        for (const char* text : texts)
            result.append(QUrl(QString::fromUtf8(text)));
        return result;
    };
    const struct {
        const char* what;
        QList<QUrl> urls;
        QString text;
        QStringList paths;
    } table[] = {
        {"local files and folders",
         urls({"file:///d/a.ods", "file:///d/S", "file:///d%20x/%C3%A4.ods"}),
         {},
         {"/d/a.ods", "/d/S", "/d x/ä.ods"}},
        {"a name that is not UTF-8",
         urls({"file:///old/caf%E9%20%23.ods"}),
         {},
         {decodeLocalName("/old/caf\xe9 #.ods")}},
        {"plain text only", {}, QStringLiteral("/d/a.ods"), {}},
        {"a web address", urls({"https://example.org/a.ods"}), {}, {}},
        {"local and remote mixed", urls({"file:///d/a.ods", "https://example.org/b.ods"}), {}, {}},
        {"nothing at all", {}, {}, {}},
    };
    for (const auto& row : table) {
        QMimeData data;
        if (!row.urls.isEmpty())
            data.setUrls(row.urls);
        if (!row.text.isEmpty())
            data.setText(row.text);
        EXPECT_EQ(DropIntake::droppedPaths(data), row.paths) << row.what;
        EXPECT_EQ(DropIntake::acceptsDrag(data), !row.paths.isEmpty()) << row.what;
    }
}

} // namespace

} // namespace bw::test
