#include "platform/system/PosixProcesses.h"
#include "platform/system/XdgStateFolder.h"
#include "support/QStringPrinter.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bw::test {
namespace {

TEST(XdgStateFolderTest, FollowsXdgStateHomeOrTheHomeFolderAndKeepsWholeFiles)
{
    TempHome home;
    XdgStateFolder state;
    EXPECT_EQ(state.path(), home.path() + QStringLiteral("/.local/state/brindlework"));
    EXPECT_TRUE(state.names().isEmpty());
    EXPECT_EQ(state.read(QStringLiteral("a.json")), std::nullopt);

    state.write(QStringLiteral("a.json"), "first");
    state.write(QStringLiteral("a.json"), "second");
    EXPECT_EQ(state.read(QStringLiteral("a.json")), std::optional<QByteArray>("second"));
    EXPECT_EQ(state.names(), QStringList({QStringLiteral("a.json")})); // no temporary file left
    state.remove(QStringLiteral("a.json"));
    state.remove(QStringLiteral("a.json"));
    EXPECT_TRUE(state.names().isEmpty());

    qputenv("XDG_STATE_HOME", "relative/is/ignored");
    EXPECT_EQ(state.path(), home.path() + QStringLiteral("/.local/state/brindlework"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.path() + QStringLiteral("/elsewhere")));
    EXPECT_EQ(state.path(), home.path() + QStringLiteral("/elsewhere/brindlework"));
}

TEST(PosixProcessesTest, AnEndedProcessHasNoIdentityEvenBeforeItIsReaped)
{
    PosixProcesses processes;
    const QString self = processes.identity(processes.currentProcessId());
    EXPECT_FALSE(self.isEmpty());
    EXPECT_EQ(processes.identity(processes.currentProcessId()), self);
    EXPECT_EQ(processes.identity(0), QString());

    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    siginfo_t info{};
    // Wait for its end without reaping it: it stays a zombie.
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
    EXPECT_EQ(processes.identity(child), QString());
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(processes.identity(child), QString());
}

} // namespace
} // namespace bw::test
