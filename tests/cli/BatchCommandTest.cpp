#include "cli/BatchCommand.h"

#include "support/FakeFileSystem.h"
#include "support/FakeOfficeSuite.h"
#include "support/FakePrintJobs.h"
#include "support/FakeSleeper.h"
#include "support/FakeStopRequest.h"
#include "support/FakeYielder.h"
#include "support/QStringPrinter.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <gtest/gtest.h>

namespace bw::test {
namespace {

// The command over a fake file tree, printing system and office.
class Command {
public:
    Command()
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B")};
        printers.defaultPrinter = QStringLiteral("A");
        for (const char* file :
             {"/d/a.ods", "/d/S/b.ods", "/d/n.txt", "/cwd/c.ods", "/d/junk.ods", "/x/e\x1b[31m\tx\n.ods"}) {
            fileSystem.addFile(QString::fromLatin1(file));
            office.addDocument(QStringLiteral("file://") + QLatin1String(file),
                               QLatin1String(file).endsWith(QLatin1String("junk.ods"))
                                   ? FakeOfficeSuite::Loads::AsEmptyReference
                                   : FakeOfficeSuite::Loads::Spreadsheet);
        }
        fileSystem.addFolder(QStringLiteral("/empty"));
        fileSystem.addSpecial(QStringLiteral("/d/fifo"));
    }

    // The states job 1 goes through after it was accepted.
    void script(const QList<int>& states)
    {
        for (const int state : states)
            jobs.scripts[1].append(
                {state, state == PrintJob::Aborted ? QStringLiteral("job-aborted-by-system") : QString()});
    }

    int run(const QStringList& arguments)
    {
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        std::vector<BatchPrint::Renderer> offices{{office, [] {}, [] {}, work.path()}};
        BatchCommand command(
            {printers, jobs, fileSystem, yielder, offices, stop, QStringLiteral("/cwd"), sleeper, sleeper},
            outStream, errStream);
        return command.run(CommandLine::parse(QStringList{QStringLiteral("brindlework")} + arguments));
    }

    QTemporaryDir work;
    FakePrinters printers;
    FakePrintJobs jobs{printers};
    FakeFileSystem fileSystem;
    FakeYielder yielder;
    FakeOfficeSuite office;
    FakeStopRequest stop;
    FakeSleeper sleeper;
    QString out;
    QString err;
};

TEST(BatchCommandTest, StatusAndLinesOfEachMode)
{
    const struct {
        QStringList arguments;
        std::function<void(Command&)> arrange;
        int status;
        QString out;
        QString err;
    } table[] = {
        {{"--list-printers"}, {}, 0, "A (default)\nB\n", ""},
        {{"--list-printers"}, [](Command& c) { c.printers.defaultPrinter.clear(); }, 0, "A\nB\n", ""},
        {{"--dry-run", "c.ods", "/d"}, {}, 0, "/cwd/c.ods\n/d/a.ods\n/d/junk.ods\n/d/S/b.ods\n", ""},
        {{"--dry-run", "--extension", "txt", "/d"}, {}, 0, "/d/n.txt\n", ""},
        {{"--dry-run", "/empty"}, {}, 2, "", "brindlework: no files found (extension \"ods\" in folders)\n"},
        {{"--print", "--printer", "B", "/d/a.ods", "c.ods"},
         {},
         0,
         "sent 1/2 /d/a.ods -> B (job 1)\nsent 2/2 /cwd/c.ods -> B (job 2)\n1/2 /d/a.ods: sent, job 1, "
         "pending "
         "on B\n2/2 /cwd/c.ods: sent, job 2, pending on B\ndone: 0 printed, 2 sent, 0 failed, of 2 on B in",
         ""},
        {{"--print", "/d/a.ods"}, {}, 0, "sent 1/1 /d/a.ods -> A (job 1)\n1/1 /d/a.ods: sent", ""},
        {{"--print", "--quiet", "/d/junk.ods", "/d/a.ods"},
         {},
         1,
         "",
         "failed 1/2 /d/junk.ods: LibreOffice could not open it as a document\n"},
        {{"--print", "--json", "/d/a.ods", "/d/junk.ods"},
         {},
         1,
         "{\"event\":\"sent\",\"job\":1,\"number\":1,\"path\":\"/d/a.ods\",\"printer\":\"A\",\"seconds\":",
         ""},
        {{"--print", "--printer", "B", "/d/a.ods"},
         [](Command& c) { c.printers.refusing = {QStringLiteral("B")}; },
         1,
         "done: 0 printed, 1 failed, of 1 on B in",
         "failed 1/1 /d/a.ods: Not printed on \"B\": Destination \"B\" is not accepting jobs.\n"},
        // Followed to the end: aborted after it was accepted, waited for, not ended in time.
        {{"--print", "/d/a.ods"},
         [](Command& c) {
             c.script({PrintJob::Pending, PrintJob::Aborted});
         },
         1,
         "sent 1/1 /d/a.ods -> A (job 1)\ndone: 0 printed, 1 failed, of 1 on A in",
         "failed 1/1 /d/a.ods: CUPS aborted job 1 on \"A\": job-aborted-by-system\n"},
        {{"--print", "--wait", "/d/a.ods"},
         [](Command& c) {
             c.script({PrintJob::Pending, PrintJob::Processing, PrintJob::Completed});
         },
         0,
         "sent 1/1 /d/a.ods -> A (job 1)\ndone: 1 printed, 0 failed, of 1 on A in",
         ""},
        {{"--print", "--wait", "--wait-timeout", "2", "/d/a.ods"},
         [](Command& c) { c.script({PrintJob::Held}); },
         1,
         "sent 1/1 /d/a.ods -> A (job 1)\ndone: 0 printed, 1 failed, of 1 on A in",
         "failed 1/1 /d/a.ods: not ended after 2 s: sent, job 1, held on A\n"},
        {{"--print", "--json", "--wait", "/d/a.ods"},
         [](Command& c) {
             c.script({PrintJob::Pending, PrintJob::Processing, PrintJob::Stopped});
         },
         1,
         "{\"event\":\"sent\",\"job\":1,\"number\":1,\"path\":\"/d/a.ods\",\"printer\":\"A\",\"seconds\":",
         ""},
        // A PDF folder that cannot be written is refused before any file is rendered.
        {{"--print", "--pdf-to", "/proc", "/d/a.ods"},
         {},
         2,
         "",
         "brindlework: cannot write in the folder /proc: "},
        // A name cannot colour the terminal or fake a line.
        {{"--print", "/x/e\x1b[31m\tx\n.ods"},
         {},
         0,
         "sent 1/1 /x/e\\e[31m\\tx\\n.ods -> A (job 1)\n1/1 /x/e\\e[31m\\tx\\n.ods: sent, job 1, pending on "
         "A\n",
         ""},
        {{"--print", "--printer", "B", "--sides", "two-sided-long-edge", "--copies", "2", "/d/a.ods"},
         [](Command& c) { c.printers.supported[QStringLiteral("copies")] = {QStringLiteral("2")}; },
         2,
         "",
         "brindlework: printer \"B\" does not support sides\n"},
        {{"--print", "--orientation", "landscape", "-o", "cupsFoo=1", "/d/a.ods"},
         [](Command& c) {
             c.printers.supported[QStringLiteral("orientation-requested")] = {QStringLiteral("4")};
         },
         0,
         "sent 1/1 /d/a.ods -> A (job 1)\n",
         ""},
        {{"--print", "/d/a.ods", "/d/S/b.ods"},
         [](Command& c) { c.stop.requested = true; },
         130,
         "",
         "stopped: 0 printed, 0 failed, 2 not started, of 2 on A in"},
        {{"--print", "--printer", "Z", "/d/a.ods"},
         {},
         2,
         "",
         "brindlework: unknown printer \"Z\" (see --list-printers)\n"},
        {{"--print", "/d/a.ods"},
         [](Command& c) { c.printers.defaultPrinter.clear(); },
         2,
         "",
         "brindlework: no printer given and no default printer set; name one with --printer\n"},
        {{"--print", "/d/a.ods"},
         [](Command& c) { c.printers.unreachable = true; },
         2,
         "",
         "brindlework: cannot reach the printing system: The printing system cannot be reached\n"},
        {{"--print", "/d/a.ods", "/d/gone.ods", "/d/fifo"},
         {},
         2,
         "",
         "brindlework: cannot use /d/gone.ods: File not found: /d/gone.ods\n"
         "brindlework: cannot use /d/fifo: Not a file or a folder: /d/fifo\n"},
        {{"--print", "/empty"}, {}, 2, "", "brindlework: no files found (extension \"ods\" in folders)\n"},
        {{"--print", "--printer", "b", "/d/a.ods"}, {}, 0, "sent 1/1 /d/a.ods -> B (job 1)\n", ""},
        {{"--print", "/d/a.ods", "/d"},
         [](Command& c) { c.fileSystem.unreadable = {QStringLiteral("/d/a.ods")}; },
         2,
         "",
         "brindlework: cannot use /d/a.ods: Cannot be read (no permission): /d/a.ods\n"
         "brindlework: cannot use /d/a.ods: Cannot be read (no permission): /d/a.ods\n"},
        {{"--dry-run", "/d/S", "gone.ods", "/d/fifo"},
         [](Command& c) { c.fileSystem.unreadable = {QStringLiteral("/d/S/b.ods")}; },
         2,
         "/d/S/b.ods (cannot be printed: Cannot be read (no permission): /d/S/b.ods)\n"
         "/cwd/gone.ods (cannot be printed: File not found: /cwd/gone.ods)\n",
         "brindlework: cannot use /d/fifo: Not a file or a folder: /d/fifo\n"
         "brindlework: 2 of 2 files cannot be printed\n"},
    };
    for (const auto& row : table) {
        Command c;
        if (row.arrange)
            row.arrange(c);
        const std::string what = row.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(c.run(row.arguments), row.status) << what;
        // An empty expectation means nothing at all.
        const auto begins = [](const QString& text, const QString& start) {
            return start.isEmpty() ? text.isEmpty() : text.startsWith(start);
        };
        EXPECT_TRUE(begins(c.out, row.out)) << what << "\n" << c.out.toStdString();
        EXPECT_TRUE(begins(c.err, row.err)) << what << "\n" << c.err.toStdString();
        if (row.status == 2) {
            EXPECT_TRUE(c.office.calls.empty()) << what;
        }
        EXPECT_TRUE(c.printers.calls.filter(QStringLiteral("setDefaultPrinter")).isEmpty()) << what;
    }
}

TEST(BatchCommandTest, TheDryRunListIsThePrintOrder)
{
    Command dry;
    ASSERT_EQ(dry.run({"--dry-run", "/d/S", "c.ods", "/d"}), 0);
    Command print;
    ASSERT_EQ(print.run({"--print", "--printer", "B", "/d/S", "c.ods", "/d"}), 1);
    QStringList printed;
    for (const auto& call : print.office.calls) {
        if (call.operation == QLatin1String("loadComponentFromURL"))
            printed << call.arguments.at(1).mid(int(qstrlen("file://")));
    }
    EXPECT_EQ(printed, dry.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    EXPECT_EQ(print.jobs.titles(QStringLiteral("B")), (QStringList{"b.ods", "c.ods", "a.ods", "b.ods"}));
}

} // namespace
} // namespace bw::test
