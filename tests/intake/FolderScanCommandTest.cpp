#include "intake/FolderScanCommand.h"

#include "filelist/FileListModel.h"
#include "platform/PlatformError.h"
#include "support/FakeDialogs.h"
#include "support/FakeFileSystem.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeWindowPointer.h"
#include "support/FakeYielder.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

class FolderScanCommandTest : public ::testing::Test {
protected:
    test::FakeDialogs dialogs;
    test::FakeFileSystem fileSystem;
    test::FakeYielder yielder;
    test::FakeWindowPointer pointer;
    FileListModel list;
    test::FakeMessageBoxes boxes;
    FolderScanCommand command{dialogs, fileSystem, yielder, pointer, boxes, list};

    // The worked example: /Data holds a.ods, ~a.ods, b.txt and the folders X
    // (with c.ods) and Y (with Z, which holds d.ods).
    void addWorkedExample(const QString& root = QStringLiteral("/Data"))
    {
        fileSystem.addFile(root + QStringLiteral("/a.ods"));
        fileSystem.addFile(root + QStringLiteral("/~a.ods"));
        fileSystem.addFile(root + QStringLiteral("/b.txt"));
        fileSystem.addFile(root + QStringLiteral("/X/c.ods"));
        fileSystem.addFile(root + QStringLiteral("/Y/Z/d.ods"));
    }

    void answer(const QString& extension, const QString& folder)
    {
        dialogs.typedText = extension;
        dialogs.chosenFolder = folder;
    }
};

TEST_F(FolderScanCommandTest, AsksForTheExtensionThenTheFolder)
{
    answer(QStringLiteral("ods"), QStringLiteral("/Data"));
    addWorkedExample();
    command.run();
    ASSERT_EQ(dialogs.kinds(), (QStringList{"inputBox", "browseForFolder"}));
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral(
                  "Enter file extension to load:\n\n(* for all files, txt for all txt files, doc for all "
                  "doc files, etc.)"));
    EXPECT_EQ(dialogs.shown[0].defaultText, QStringLiteral("ods"));
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Please select folder:"));
}

TEST_F(FolderScanCommandTest, TheWorkedExampleGivesItsRowsInOrder)
{
    answer(QStringLiteral("ods"), QStringLiteral("/Data"));
    addWorkedExample();
    list.append(QStringLiteral("/Data/a.ods"));
    command.run();
    EXPECT_EQ(list.paths(), (QStringList{"/Data/a.ods", "/Data/a.ods", "/Data/X/c.ods", "/Data/Y/Z/d.ods"}));
    // Each folder is listed once for its sub-folders and once for its files.
    EXPECT_EQ(fileSystem.listed, (QStringList{"/Data", "/Data/X", "/Data/Y", "/Data/Y/Z", "/Data", "/Data/X",
                                              "/Data/Y", "/Data/Y/Z"}));
}

TEST_F(FolderScanCommandTest, TheRootGivesSingleSeparators)
{
    answer(QStringLiteral("ods"), QStringLiteral("/"));
    addWorkedExample(QString());
    command.run();
    EXPECT_EQ(list.paths(), (QStringList{"/a.ods", "/X/c.ods", "/Y/Z/d.ods"}));
}

TEST_F(FolderScanCommandTest, ACancelEndsTheClickWithoutTouchingThePointer)
{
    addWorkedExample();
    const struct {
        const char* what;
        const char* extension;
        const char* folder;
        QStringList dialogsShown;
    } table[] = {
        {"input box cancelled or confirmed empty", "", "/Data", {"inputBox"}},
        {"folder dialog cancelled", "ods", "", {"inputBox", "browseForFolder"}},
    };
    for (const auto& row : table) {
        test::FakeDialogs fakeDialogs;
        test::FakeWindowPointer fakePointer;
        fakeDialogs.typedText = QString::fromLatin1(row.extension);
        fakeDialogs.chosenFolder = QString::fromLatin1(row.folder);
        FolderScanCommand(fakeDialogs, fileSystem, yielder, fakePointer, boxes, list).run();
        EXPECT_EQ(fakeDialogs.kinds(), row.dialogsShown) << row.what;
        EXPECT_TRUE(fakePointer.set.isEmpty()) << row.what;
        EXPECT_EQ(list.count(), 0) << row.what;
    }
}

TEST_F(FolderScanCommandTest, ThePointerIsBusyWhileTheTreeIsWalked)
{
    answer(QStringLiteral("ods"), QStringLiteral("/Data"));
    addWorkedExample();
    QList<int> codesDuringYields;
    yielder.onYield = [&](int) { codesDuringYields.append(pointer.code); };
    command.run();
    ASSERT_FALSE(codesDuringYields.isEmpty());
    EXPECT_EQ(codesDuringYields.count(WindowPointer::Busy), codesDuringYields.size());
    EXPECT_EQ(pointer.set, (QList<int>{WindowPointer::Busy, WindowPointer::Default}));
}

TEST_F(FolderScanCommandTest, AFolderWhoseFilesCannotBeListedIsPassedOver)
{
    answer(QStringLiteral("ods"), QStringLiteral("/Data"));
    addWorkedExample();
    // X lists fine for the walk, then fails when its files are wanted.
    fileSystem.onList = [&](const QString& folder) {
        if (fileSystem.listed.count(QStringLiteral("/Data/X")) == 1 && folder == QStringLiteral("/Data/X"))
            fileSystem.failListing.insert(folder);
    };
    command.run();
    EXPECT_EQ(list.paths(), (QStringList{"/Data/a.ods", "/Data/Y/Z/d.ods"}));
    EXPECT_EQ(pointer.code, WindowPointer::Default);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(FolderScanCommandTest, AStartFolderThatCannotBeListedIsNamedInOneMessage)
{
    const struct {
        const char* what;
        bool failsForTheWalkToo;
        QStringList rows;
    } table[] = {
        {"its files only", false, {"/old.ods", "/Data/X/c.ods", "/Data/Y/Z/d.ods"}},
        {"from the start", true, {"/old.ods"}},
    };
    for (const auto& row : table) {
        test::FakeFileSystem files;
        test::FakeMessageBoxes shown;
        FileListModel rows;
        rows.append(QStringLiteral("/old.ods"));
        for (const char* file : {"/Data/a.ods", "/Data/X/c.ods", "/Data/Y/Z/d.ods"})
            files.addFile(QString::fromLatin1(file));
        files.onList = [&](const QString& folder) {
            if (folder == QStringLiteral("/Data") &&
                (row.failsForTheWalkToo || files.listed.count(folder) == 1))
                files.failListing.insert(folder);
        };
        answer(QStringLiteral("ods"), QStringLiteral("/Data"));
        FolderScanCommand(dialogs, files, yielder, pointer, shown, rows).run();
        EXPECT_EQ(rows.paths(), row.rows) << row.what;
        ASSERT_EQ(shown.boxes.size(), 1u) << row.what;
        EXPECT_TRUE(shown.boxes[0].text.startsWith(
            QStringLiteral("The folder \"/Data\" cannot be read, so no files were added from it.\n\n")))
            << row.what;
        EXPECT_EQ(shown.boxes[0].style, MessageBoxes::Exclamation) << row.what;
        EXPECT_EQ(shown.boxes[0].title, QStringLiteral("Brindlework")) << row.what;
        EXPECT_EQ(pointer.code, WindowPointer::Default) << row.what;
    }
}

TEST_F(FolderScanCommandTest, AFailureInsideAYieldStillRestoresThePointer)
{
    answer(QStringLiteral("ods"), QStringLiteral("/Data"));
    addWorkedExample();
    yielder.onYield = [](int count) {
        if (count == 2)
            throw PlatformError(5, QStringLiteral("Invalid procedure call"));
    };
    EXPECT_THROW(command.run(), PlatformError);
    EXPECT_EQ(pointer.set, (QList<int>{WindowPointer::Busy, WindowPointer::Default}));
}

TEST_F(FolderScanCommandTest, ASecondScanInsideAYieldCompletesAndSoDoesTheFirst)
{
    answer(QStringLiteral("ods"), QStringLiteral("/Data"));
    addWorkedExample();
    fileSystem.addFile(QStringLiteral("/Other/o.txt"));
    fileSystem.addFile(QStringLiteral("/Other/Sub/p.txt"));
    bool nested = false;
    yielder.onYield = [&](int count) {
        if (count != 3 || nested)
            return;
        nested = true;
        answer(QStringLiteral("txt"), QStringLiteral("/Other"));
        command.run();
    };
    command.run();
    // The inner scan appends first: the outer one appends after its walk.
    EXPECT_EQ(list.paths(), (QStringList{"/Other/o.txt", "/Other/Sub/p.txt", "/Data/a.ods", "/Data/X/c.ods",
                                         "/Data/Y/Z/d.ods"}));
    EXPECT_EQ(pointer.code, WindowPointer::Default);
}

} // namespace

} // namespace bw::test
