#include "intake/FolderWalk.h"

#include "support/FakeFileSystem.h"
#include "support/FakeYielder.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

class FolderWalkTest : public ::testing::Test {
protected:
    test::FakeFileSystem fileSystem;
    test::FakeYielder yielder;

    QStringList walk(const QString& start)
    {
        QStringList folders{start};
        FolderWalk(fileSystem, yielder).collectSubFolders(folders);
        return folders;
    }

    // R holds A and B, A holds A1, B holds B1 and B2, A1 holds X.
    void addLevelledTree()
    {
        for (const char* folder : {"/R/A", "/R/B", "/R/A/A1", "/R/B/B1", "/R/B/B2", "/R/A/A1/X"})
            fileSystem.addFolder(QString::fromLatin1(folder));
    }
};

TEST_F(FolderWalkTest, CollectsLevelByLevelInListingOrder)
{
    addLevelledTree();
    EXPECT_EQ(walk(QStringLiteral("/R/")),
              (QStringList{"/R/", "/R/A/", "/R/B/", "/R/A/A1/", "/R/B/B1/", "/R/B/B2/", "/R/A/A1/X/"}));
}

TEST_F(FolderWalkTest, FilesSpecialFilesAndHiddenFoldersAreNotCollected)
{
    fileSystem.addFile(QStringLiteral("/R/a.ods"));
    fileSystem.addSpecial(QStringLiteral("/R/pipe"));
    fileSystem.addFolder(QStringLiteral("/R/.hidden/S"));
    fileSystem.addFolder(QStringLiteral("/R/S/.git/objects"));
    fileSystem.addFolder(QStringLiteral("/R/S/T"));
    EXPECT_EQ(walk(QStringLiteral("/R/")), (QStringList{"/R/", "/R/S/", "/R/S/T/"}));
}

TEST_F(FolderWalkTest, StartingFromTheRootKeepsTheDoubledSeparator)
{
    fileSystem.addFolder(QStringLiteral("/A/B"));
    EXPECT_EQ(walk(QStringLiteral("//")), (QStringList{"//", "//A/", "//A/B/"}));
}

TEST_F(FolderWalkTest, YieldsAfterEachListingForEachNameAndForEachHandUp)
{
    const struct {
        const char* shape;
        std::function<void(test::FakeFileSystem&)> build;
        int yields;
    } table[] = {
        {"empty folder", [](test::FakeFileSystem& fs) { fs.addFolder(QStringLiteral("/R")); }, 1},
        {"three files, one hidden",
         [](test::FakeFileSystem& fs) {
             fs.addFile(QStringLiteral("/R/a"));
             fs.addFile(QStringLiteral("/R/b"));
             fs.addFile(QStringLiteral("/R/.c"));
         },
         1 + 2},
        // Listings R, A, B; names A, B; hand-ups of A and B.
        {"two sub-folders",
         [](test::FakeFileSystem& fs) {
             fs.addFolder(QStringLiteral("/R/A"));
             fs.addFolder(QStringLiteral("/R/B"));
         },
         3 + 2 + 2},
        // Listings R, A, B; names A, B; B is handed up twice (to A's level, then to R's).
        {"chain of two", [](test::FakeFileSystem& fs) { fs.addFolder(QStringLiteral("/R/A/B")); },
         3 + 2 + (1 + 2)},
        // Listings: 7; names: 6 folders + 1 file; hand-ups: 1 + (3 + 1) + (2 + 3 + 1).
        {"levelled tree",
         [](test::FakeFileSystem& fs) {
             for (const char* folder : {"/R/A", "/R/B", "/R/A/A1", "/R/B/B1", "/R/B/B2", "/R/A/A1/X"})
                 fs.addFolder(QString::fromLatin1(folder));
             fs.addFile(QStringLiteral("/R/f.ods"));
         },
         7 + 7 + 11},
    };
    for (const auto& row : table) {
        test::FakeFileSystem fs;
        test::FakeYielder counter;
        row.build(fs);
        QStringList folders{QStringLiteral("/R/")};
        FolderWalk(fs, counter).collectSubFolders(folders);
        EXPECT_EQ(counter.yields, row.yields) << row.shape;
    }
}

TEST_F(FolderWalkTest, HandUpYieldsComeAfterTheLastListing)
{
    addLevelledTree();
    int yieldsBeforeLastListing = -1;
    fileSystem.onList = [&](const QString& folder) {
        if (folder == QStringLiteral("/R/A/A1/X"))
            yieldsBeforeLastListing = yielder.yields;
    };
    walk(QStringLiteral("/R/"));
    EXPECT_EQ(fileSystem.listed.size(), 7);
    // X's own listing yield, then 1 + (3 + 1) + (2 + 3 + 1) hand-ups.
    EXPECT_EQ(yielder.yields - yieldsBeforeLastListing, 1 + 11);
}

TEST_F(FolderWalkTest, AFolderThatCannotBeListedContributesNothingAndTheWalkGoesOn)
{
    addLevelledTree();
    fileSystem.failListing.insert(QStringLiteral("/R/A"));
    EXPECT_EQ(walk(QStringLiteral("/R/")), (QStringList{"/R/", "/R/A/", "/R/B/", "/R/B/B1/", "/R/B/B2/"}));
}

TEST_F(FolderWalkTest, ANameWhoseStatusCannotBeReadIsNotTakenAsAFolder)
{
    addLevelledTree();
    fileSystem.failStatus.insert(QStringLiteral("/R/B"));
    EXPECT_EQ(walk(QStringLiteral("/R/")), (QStringList{"/R/", "/R/A/", "/R/A/A1/", "/R/A/A1/X/"}));
}

TEST_F(FolderWalkTest, AFolderReachedAgainThroughALinkIsNotEnteredAgain)
{
    fileSystem.addFolder(QStringLiteral("/R/A/B"));
    fileSystem.addLink(QStringLiteral("/R/A/B/up"), QStringLiteral("/R"));  // a loop
    fileSystem.addLink(QStringLiteral("/R/again"), QStringLiteral("/R/A")); // a second way in
    fileSystem.addFolder(QStringLiteral("/Outside/C"));
    fileSystem.addLink(QStringLiteral("/R/out"), QStringLiteral("/Outside"));
    EXPECT_EQ(walk(QStringLiteral("/R/")), (QStringList{"/R/", "/R/A/", "/R/out/", "/R/A/B/", "/R/out/C/"}));
}

TEST_F(FolderWalkTest, AFolderRemovedDuringAYieldIsPassedOver)
{
    addLevelledTree();
    yielder.onYield = [&](int count) {
        if (count == 1)
            fileSystem.remove(QStringLiteral("/R/B"));
    };
    EXPECT_EQ(walk(QStringLiteral("/R/")), (QStringList{"/R/", "/R/A/", "/R/A/A1/", "/R/A/A1/X/"}));
}

TEST_F(FolderWalkTest, ASecondWalkInsideAYieldKeepsItsOwnListingsAndVisits)
{
    addLevelledTree();
    fileSystem.addFolder(QStringLiteral("/S/T"));
    QStringList inner;
    yielder.onYield = [&](int count) {
        if (count != 3)
            return;
        inner = QStringList{QStringLiteral("/S/")};
        FolderWalk(fileSystem, yielder).collectSubFolders(inner);
    };
    EXPECT_EQ(walk(QStringLiteral("/R/")),
              (QStringList{"/R/", "/R/A/", "/R/B/", "/R/A/A1/", "/R/B/B1/", "/R/B/B2/", "/R/A/A1/X/"}));
    EXPECT_EQ(inner, (QStringList{"/S/", "/S/T/"}));
}

} // namespace

} // namespace bw::test
