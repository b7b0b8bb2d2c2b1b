#include "intake/PathIntake.h"

#include "support/FakeFileSystem.h"
#include "support/FakeYielder.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

using Kind = PathIntake::Kind;

class PathIntakeTest : public ::testing::Test {
protected:
    test::FakeFileSystem fileSystem;
    test::FakeYielder yielder;

    void SetUp() override
    {
        for (const char* file :
             {"/R/a.ods", "/R/~a.ods", "/R/b.txt", "/R/X/c.ODS", "/R/Y/Z/d.ods", "/R/.H/h.ods",
              "/R/.hidden.ods", "/loose/~t.ods", "/loose/n.xls", "/cwd/rel.ods", "/cwd/F/f.ods"})
            fileSystem.addFile(QString::fromLatin1(file));
        fileSystem.addFolder(QStringLiteral("/Empty"));
        fileSystem.addFolder(QStringLiteral("/Locked"));
        fileSystem.addSpecial(QStringLiteral("/loose/fifo"));
        fileSystem.failListing.insert(QStringLiteral("/Locked"));
    }
};

TEST_F(PathIntakeTest, EachPathGivesItsRowsInTheGivenOrder)
{
    const struct {
        const char* what;
        QStringList paths;
        QString extension;
        QStringList rows;
        std::vector<Kind> kinds;
    } table[] = {
        {"a folder: breadth first, tilde files skipped, case ignored, hidden folders not entered",
         {"/R"},
         "ods",
         {"/R/a.ods", "/R/.hidden.ods", "/R/X/c.ODS", "/R/Y/Z/d.ods"},
         {Kind::Folder}},
        {"files as given, any extension, tilde too",
         {"/loose/n.xls", "/loose/~t.ods"},
         "ods",
         {"/loose/n.xls", "/loose/~t.ods"},
         {Kind::File, Kind::File}},
        {"files and folders mixed keep their order",
         {"/loose/n.xls", "/R/X", "/R/a.ods", "/Empty"},
         "ods",
         {"/loose/n.xls", "/R/X/c.ODS", "/R/a.ods"},
         {Kind::File, Kind::Folder, Kind::File, Kind::Folder}},
        {"another extension", {"/R"}, "txt", {"/R/b.txt"}, {Kind::Folder}},
        {"every file", {"/R/Y"}, "*", {"/R/Y/Z/d.ods"}, {Kind::Folder}},
        {"relative paths from the current folder, cleaned",
         {"rel.ods", "F", "./F/../rel.ods"},
         "ods",
         {"/cwd/rel.ods", "/cwd/F/f.ods", "/cwd/rel.ods"},
         {Kind::File, Kind::Folder, Kind::File}},
        {"a missing path stands for itself, as a dropped one does",
         {"/gone.ods", "/R/a.ods"},
         "ods",
         {"/gone.ods", "/R/a.ods"},
         {Kind::Missing, Kind::File}},
        {"a special file gives nothing", {"/loose/fifo"}, "ods", {}, {Kind::NotAFile}},
        {"a folder that cannot be listed gives nothing", {"/Locked"}, "ods", {}, {Kind::UnreadableFolder}},
    };
    for (const auto& row : table) {
        const auto items =
            PathIntake(fileSystem, yielder)
                .take(row.paths, row.extension.split(QLatin1Char(',')), QStringLiteral("/cwd"));
        EXPECT_EQ(PathIntake::rowsOf(items), row.rows) << row.what;
        std::vector<Kind> kinds;
        for (const auto& item : items) {
            kinds.push_back(item.kind);
            const bool usable = item.kind == Kind::File || item.kind == Kind::Folder;
            EXPECT_EQ(item.problem.isEmpty(), usable) << row.what;
            if (!usable) {
                EXPECT_TRUE(item.problem.contains(item.path))
                    << row.what << ": " << item.problem.toStdString();
            }
        }
        EXPECT_EQ(kinds, row.kinds) << row.what;
    }
}

} // namespace

} // namespace bw::test
