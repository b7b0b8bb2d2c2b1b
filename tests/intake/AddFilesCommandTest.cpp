#include "intake/AddFilesCommand.h"

#include "filelist/FileListModel.h"
#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace bw;

namespace {

class AddFilesCommandTest : public ::testing::Test {
protected:
    test::FakeDialogs dialogs;
    FileListModel list;
    AddFilesCommand command{dialogs, list};

    void SetUp() override
    {
        list.append(QStringLiteral("/old/first.ods"));
        list.append(QStringLiteral("/old/second.ods"));
        list.select(1);
    }
};

TEST_F(AddFilesCommandTest, ShowsTheDialogWithItsTitleAndTwoFilters)
{
    command.run();
    ASSERT_EQ(dialogs.kinds(), QStringList{"openFiles"});
    const auto& shown = dialogs.shown.first();
    EXPECT_EQ(shown.text, QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"));
    ASSERT_EQ(shown.filters.size(), 2);
    EXPECT_EQ(shown.filters[0].description, QStringLiteral("Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc)"));
    EXPECT_EQ(shown.filters[0].patterns, (QStringList{"*.ods", "*.ots", "*.sxc", "*.stc"}));
    EXPECT_EQ(shown.filters[1].description, QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(shown.filters[1].patterns, QStringList{"*.*"});
}

TEST_F(AddFilesCommandTest, AppendsWhatTheDialogReturnsAfterTheExistingRows)
{
    const struct {
        const char* what;
        QStringList chosen;
        QStringList appended;
    } table[] = {
        {"cancel", {}, {}},
        {"one file, as returned", {"/data//a.ods"}, {"/data//a.ods"}},
        {"several in one folder, in the dialog's order",
         {"/data/b.ods", "/data/a.ods", "/data/c.txt"},
         {"/data/b.ods", "/data/a.ods", "/data/c.txt"}},
        {"several in the root", {"/a.ods", "/b.ods"}, {"/a.ods", "/b.ods"}},
        {"a file already in the list, a tilde file and a missing file",
         {"/old/first.ods", "/old/~lock.ods", "/old/typed-but-missing.ods"},
         {"/old/first.ods", "/old/~lock.ods", "/old/typed-but-missing.ods"}},
    };
    for (const auto& row : table) {
        test::FakeDialogs fakeDialogs;
        FileListModel fileList;
        fileList.append(QStringLiteral("/old/first.ods"));
        fakeDialogs.chosenFiles = row.chosen;
        AddFilesCommand(fakeDialogs, fileList).run();
        EXPECT_EQ(fileList.paths(), QStringList{"/old/first.ods"} + row.appended) << row.what;
    }
}

TEST_F(AddFilesCommandTest, LeavesTheSelectionAlone)
{
    dialogs.chosenFiles = {QStringLiteral("/data/a.ods"), QStringLiteral("/data/b.ods")};
    command.run();
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.selectedPosition(), 1);
}

} // namespace
