#include "../intake/TempTree.h"
#include "ProgramRun.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/system/PosixFileSystem.h"
#include "support/FakeServices.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {
namespace {

// Paths named on the command line, taken by the real window over real
// folders, beside what the real executable's --dry-run lists for them.
class WindowArgumentsTest : public ::testing::Test {
protected:
    TempTree tree;
    FakeServices fakes;
    PosixFileSystem fileSystem;
    AppServices services = fakes.with().use(fileSystem).build();
    MainWindow window;
    MainController controller{window, services};
    ProgramRun program{tree.path(QStringLiteral("home")), tree.path()};

    void SetUp() override
    {
        for (const char* file : {"one.ods", "two.txt", "~three.ods", "D/a.ods", "D/b.ODS", "D/~skip.ods",
                                 "D/.~lock.a.ods#", "D/S/c.ods", "D/S/x.txt", "D/.Hid/no.ods", "E/e.ods"})
            tree.file(QString::fromLatin1(file));
        tree.folder(QStringLiteral("home"));
        tree.folder(QStringLiteral("Empty"));
    }

    QStringList windowList(const QStringList& paths, const QString& extension = QStringLiteral("ods"))
    {
        // The rows these paths appended, after any already there.
        const auto before = controller.fileList().paths().size();
        controller.appendGivenPaths(paths, extension.split(QLatin1Char(',')), tree.path());
        return controller.fileList().paths().mid(before);
    }
};

TEST_F(WindowArgumentsTest, TheDryRunListsWhatTheWindowTakes)
{
    const struct {
        QStringList arguments;
        QString extension;
    } table[] = {
        {{"one.ods", "D", "two.txt", "~three.ods", "E/e.ods", "Empty", "D/S"}, "ods"},
        {{"D", "./E/../one.ods"}, "txt"},
        {{"D/S", "D"}, "*"},
        {{"D", "E"}, "txt,ods"},
    };
    for (const auto& row : table) {
        const QStringList taken = windowList(row.arguments, row.extension);
        const auto listed = program.run(
            QStringList{QStringLiteral("--dry-run"), QStringLiteral("--extension"), row.extension} +
            row.arguments);
        EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
        EXPECT_EQ(listed.outLines(), taken) << row.arguments.join(' ').toStdString();
        EXPECT_FALSE(taken.isEmpty());
    }
    // Folder-scan order: breadth first, tilde and lock files skipped, hidden folders not entered.
    EXPECT_EQ(windowList({QStringLiteral("D")}),
              tree.inListingOrder(QStringLiteral("D"), {"a.ods", "b.ODS"}) +
                  QStringList{tree.path("D/S/c.ods")});
}

TEST_F(WindowArgumentsTest, AMissingPathJoinsTheWindowsListAsADropWouldAndADryRunMarksIt)
{
    EXPECT_EQ(windowList({QStringLiteral("gone.ods"), QStringLiteral("one.ods")}),
              (QStringList{tree.path("gone.ods"), tree.path("one.ods")}));
    const auto listed =
        program.run({QStringLiteral("--dry-run"), QStringLiteral("gone.ods"), QStringLiteral("one.ods")});
    EXPECT_EQ(listed.status, 2);
    EXPECT_EQ(listed.outLines(),
              (QStringList{tree.path("gone.ods") + " (cannot be printed: No such file or directory: " +
                               tree.path("gone.ods") + ")",
                           tree.path("one.ods")}));
}

TEST_F(WindowArgumentsTest, HelpVersionAndBadArgumentsAnswerWithoutADisplay)
{
    const struct {
        QStringList arguments;
        int status;
        const char* outStarts;
        const char* errHolds;
    } table[] = {
        {{"--help"}, 0, "Usage: brindlework", ""},
        {{"-h"}, 0, "Usage: brindlework", ""},
        {{"--version"}, 0, "brindlework ", ""},
        {{"--bogus"}, 2, "", "brindlework: Unknown option 'bogus'."},
        {{"--print"}, 2, "", "--print needs at least one path"},
        {{"--printer", "B", "one.ods"}, 2, "", "needs --print"},
        {{"--print", "--timeout", "x", "one.ods"}, 2, "", "timeout"},
    };
    for (const auto& row : table) {
        const auto result = program.run(row.arguments, 20000);
        const std::string what = row.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, row.status) << what << result.err.toStdString();
        if (row.status != 0) {
            EXPECT_TRUE(result.out.isEmpty()) << what;
            EXPECT_TRUE(result.err.contains(QLatin1String(row.errHolds))) << what << result.err.toStdString();
        } else {
            EXPECT_TRUE(result.out.startsWith(QLatin1String(row.outStarts))) << what;
            EXPECT_TRUE(result.err.isEmpty()) << what << result.err.toStdString();
        }
    }
}

} // namespace
} // namespace bw::test
