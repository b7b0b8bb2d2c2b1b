#include "cli/CommandLine.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw::test {

namespace {

using Mode = CommandLineRequest::Mode;

CommandLineRequest parse(const QStringList& arguments)
{
    return CommandLine::parse(QStringList{QStringLiteral("/usr/bin/brindlework")} + arguments);
}

TEST(CommandLineTest, ModesAndTheirSettings)
{
    const struct {
        QStringList arguments;
        Mode mode;
        QStringList paths;
        QString printer;
        QString extension;
        int timeout;
        int restartAfter;
        bool quiet;
        bool json;
    } table[] = {
        {{}, Mode::Window, {}, "", "ods", 120, 200, false, false},
        {{"a.ods", "dir", "-"}, Mode::Window, {"a.ods", "dir", "-"}, "", "ods", 120, 200, false, false},
        {{"--extension", "xls", "dir"}, Mode::Window, {"dir"}, "", "xls", 120, 200, false, false},
        {{"--help"}, Mode::Help, {}, "", "ods", 120, 200, false, false},
        {{"-h", "--bogus-after-help"}, Mode::Invalid, {}, "", "", 0, 0, false, false},
        {{"-v"}, Mode::Version, {}, "", "ods", 120, 200, false, false},
        {{"--version", "x.ods"}, Mode::Version, {"x.ods"}, "", "ods", 120, 200, false, false},
        {{"--list-printers"}, Mode::ListPrinters, {}, "", "ods", 120, 200, false, false},
        {{"--dry-run", "--extension=txt", "d"}, Mode::DryRun, {"d"}, "", "txt", 120, 200, false, false},
        {{"--print", "a", "b"}, Mode::Print, {"a", "b"}, "", "ods", 120, 200, false, false},
        {{"--print", "--printer", "B", "--timeout", "5", "--restart-after", "0", "--quiet", "--", "--x.ods"},
         Mode::Print,
         {"--x.ods"},
         "B",
         "ods",
         5,
         0,
         true,
         false},
        {{"--print", "--json", "--printer=B/draft", "a"},
         Mode::Print,
         {"a"},
         "B/draft",
         "ods",
         120,
         200,
         false,
         true},
        {{"--print", "--dry-run", "a"}, Mode::DryRun, {"a"}, "", "ods", 120, 200, false, false},
        {{"--watch", "in", "--json", "--timeout", "86400", "--restart-after", "1000000"},
         Mode::Watch,
         {},
         "",
         "ods",
         86400,
         1000000,
         false,
         true},
    };
    for (const auto& row : table) {
        const CommandLineRequest request = parse(row.arguments);
        const std::string what = row.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(request.mode, row.mode) << what << ": " << request.error.toStdString();
        if (row.mode == Mode::Invalid)
            continue;
        EXPECT_EQ(request.paths, row.paths) << what;
        EXPECT_EQ(request.printer, row.printer) << what;
        EXPECT_EQ(request.extensions.join(QLatin1Char(',')), row.extension) << what;
        EXPECT_EQ(request.timeoutSeconds, row.timeout) << what;
        EXPECT_EQ(request.restartAfter, row.restartAfter) << what;
        EXPECT_EQ(request.quiet, row.quiet) << what;
        EXPECT_EQ(request.json, row.json) << what;
    }
}

TEST(CommandLineTest, BadCommandLinesAreRefusedWithAReason)
{
    const struct {
        QStringList arguments;
        const char* reasonHolds;
    } table[] = {
        {{"--bogus"}, "bogus"},
        {{"--print"}, "needs at least one path"},
        {{"--dry-run"}, "needs at least one path"},
        {{"--printer", "B", "a.ods"}, "needs --print"},
        {{"--json", "a.ods"}, "needs --print"},
        {{"--quiet", "a.ods"}, "needs --print"},
        {{"--timeout", "5", "a.ods"}, "needs --print"},
        {{"--print", "--printer"}, "printer"},
        {{"--print", "--printer", "", "a"}, "must not be empty"},
        {{"--print", "--printer", "A", "--printer", "B", "a"}, "more than once"},
        {{"--print", "--extension", "", "a"}, "must not be empty"},
        {{"--print", "--timeout", "0", "a"}, "timeout"},
        {{"--print", "--timeout", "ten", "a"}, "timeout"},
        {{"--print", "--restart-after", "-1", "a"}, "restart-after"},
        {{"--print", "--timeout", "86401", "a"}, "from 1 to 86400"},
        {{"--print", "--timeout", "99999999999", "a"}, "from 1 to 86400"},
        {{"--print", "--restart-after", "1000001", "a"}, "from 0 to 1000000"},
        {{"--watch", "in", "a.ods"}, "takes no paths"},
        {{"--watch", ""}, "must not be empty"},
        {{"--watch", "in", "--settle", "-1"}, "--settle needs"},
        {{"--print", "--settle", "2", "a"}, "needs --watch"},
        {{"--list-printers", "a.ods"}, "takes no paths"},
        {{"--list-printers", "--print", "a.ods"}, "takes no paths"},
        {{"--print", "--copies", "0", "a"}, "--copies"},
        {{"--print", "--pages", "3-1", "a"}, "--pages"},
        {{"--print", "--sides", "both", "a"}, "--sides takes one-sided, two-sided-long-edge"},
        {{"--print", "-o", "sides", "a"}, "NAME=VALUE"},
        {{"--print", "--jobs", "17", "a"}, "--jobs"},
        {{"--print", "--pdf-to", "out", "--copies", "2", "a"},
         "'--copies' and '--pdf-to' do not go together"},
        {{"--print", "--pdf-to", "out", "--printer", "Q", "a"},
         "'--printer' and '--pdf-to' do not go together"},
        {{"--print", "--wait-timeout", "0", "a"}, "--wait-timeout"},
    };
    for (const auto& row : table) {
        const CommandLineRequest request = parse(row.arguments);
        const std::string what = row.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(request.mode, Mode::Invalid) << what;
        EXPECT_TRUE(request.error.contains(QLatin1String(row.reasonHolds)))
            << what << ": " << request.error.toStdString();
    }
}

TEST(CommandLineTest, ExtensionsAreACommaListInEveryModeAndABadItemIsRefused)
{
    for (const char* mode : {"--print a", "--dry-run a", "--watch in"}) {
        // The extensions taken, or why the list is refused.
        const auto take = [&](const char* list) {
            const auto request =
                parse(QString::fromLatin1(mode).split(' ') + QStringList{"--extension", list});
            return request.mode == Mode::Invalid ? request.error : request.extensions.join(QLatin1Char(','));
        };
        EXPECT_EQ(take(" .ODS, xlsx,csv,ods"), "ODS,xlsx,csv") << mode;
        EXPECT_EQ(take("*"), "*") << mode;
        EXPECT_EQ(take("ods,,pdf"), "--extension has an empty item in \"ods,,pdf\".") << mode;
        for (const char* bad : {"ods,a/b", "o?s", "x*"})
            EXPECT_TRUE(take(bad).startsWith("--extension takes extensions such as")) << mode << bad;
    }
}

TEST(CommandLineTest, HelpNamesEveryOptionAndTheModes)
{
    const QString help = CommandLine::helpText();
    for (const char* option : {"--print", "--printer", "--extension", "--dry-run", "--list-printers",
                               "--quiet", "--json", "--timeout", "--restart-after", "--help", "--version"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: brindlework ")));
    EXPECT_TRUE(CommandLine::versionText().startsWith(QStringLiteral("brindlework ")));
}

} // namespace

} // namespace bw::test
