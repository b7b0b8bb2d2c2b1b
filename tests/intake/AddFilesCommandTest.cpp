#include "intake/AddFilesCommand.h"

#include "filelist/FileListModel.h"
#include "support/FakeDialogs.h"
#include "support/FakeFileSystem.h"
#include "support/FakeMessageBoxes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

class AddFilesCommandTest : public ::testing::Test {
protected:
    test::FakeDialogs dialogs;
    FileListModel list;
    test::FakeFileSystem fileSystem;
    test::FakeMessageBoxes boxes;
    AddFilesCommand command{dialogs, fileSystem, boxes, list};

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
        {"several with doubled separators, joined and collapsed",
         {"/data//a.ods", "/data//b.ods"},
         {"/data/a.ods", "/data/b.ods"}},
        {"several from different folders",
         {"/data/x/a.ods", "/d a/ä ö.ods"},
         {"/data/x/a.ods", "/d a/ä ö.ods"}},
        {"a file already in the list, a tilde file and a missing file",
         {"/old/first.ods", "/old/~lock.ods", "/old/typed-but-missing.ods"},
         {"/old/first.ods", "/old/~lock.ods", "/old/typed-but-missing.ods"}},
    };
    for (const auto& row : table) {
        test::FakeDialogs fakeDialogs;
        FileListModel fileList;
        fileList.append(QStringLiteral("/old/first.ods"));
        fakeDialogs.chosenFiles = row.chosen;
        AddFilesCommand(fakeDialogs, fileSystem, boxes, fileList).run();
        EXPECT_EQ(fileList.paths(), QStringList{"/old/first.ods"} + row.appended) << row.what;
        EXPECT_TRUE(boxes.boxes.empty()) << row.what;
    }
}

TEST_F(AddFilesCommandTest, PipesSocketsAndDevicesAreNotAppendedAndOneMessageNamesThem)
{
    fileSystem.addFile(QStringLiteral("/data/a.ods"));
    fileSystem.addFolder(QStringLiteral("/data/sub"));
    fileSystem.addSpecial(QStringLiteral("/data/fifo.ods"));
    fileSystem.addSpecial(QStringLiteral("/data/socket"));
    const struct {
        const char* what;
        QStringList chosen;
        QStringList appended;
        const char* message;
    } table[] = {
        {"one",
         {"/data/fifo.ods"},
         {},
         "\"/data/fifo.ods\" was not added: it is a pipe, socket or device, not a file that can be printed."},
        {"two among files",
         {"/data/a.ods", "/data/fifo.ods", "/data/missing.ods", "/data/socket"},
         {"/data/a.ods", "/data/missing.ods"},
         "These were not added: they are pipes, sockets or devices, not files that can be printed.\n\n"
         "/data/fifo.ods\n/data/socket"},
    };
    for (const auto& row : table) {
        test::FakeMessageBoxes shown;
        FileListModel fileList;
        dialogs.chosenFiles = row.chosen;
        AddFilesCommand(dialogs, fileSystem, shown, fileList).run();
        EXPECT_EQ(fileList.paths(), row.appended) << row.what;
        ASSERT_EQ(shown.boxes.size(), 1u) << row.what;
        EXPECT_EQ(shown.boxes[0].text, QString::fromUtf8(row.message)) << row.what;
        EXPECT_EQ(shown.boxes[0].style, MessageBoxes::Exclamation) << row.what;
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

} // namespace bw::test
