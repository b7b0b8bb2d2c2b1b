#include "platform/system/FlockUserLocks.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bw::test {
namespace {

TEST(FlockUserLocksTest, AnotherProcessWaitsUntilTheHolderLetsGoOrDies)
{
    QTemporaryDir runtime;
    qputenv("XDG_STATE_HOME", QFile::encodeName(runtime.path()));
    // Another login of the same user, with a runtime folder of its own, sees the same locks.
    qputenv("XDG_RUNTIME_DIR", "/nonexistent");
    const QString name = QStringLiteral("default-printer");
    FlockUserLocks mine;
    for (const bool killed : {false, true}) {
        int said[2], told[2];
        ASSERT_EQ(::pipe(said) | ::pipe(told), 0);
        char byte = 0;
        const pid_t holder = ::fork();
        if (holder == 0) {
            // Takes the lock, says so, and lets it go when told to.
            qputenv("XDG_RUNTIME_DIR", "/elsewhere");
            FlockUserLocks locks;
            byte = locks.tryLock(name) ? 'y' : 'n';
            [[maybe_unused]] ssize_t n = ::write(said[1], &byte, 1);
            n = ::read(told[0], &byte, 1);
            locks.unlock(name);
            n = ::write(said[1], &byte, 1);
            ::_exit(0);
        }
        ASSERT_EQ(::read(said[0], &byte, 1), 1);
        EXPECT_EQ(byte, 'y');
        EXPECT_FALSE(mine.tryLock(name));
        if (killed)
            ::kill(holder, SIGKILL);
        else
            EXPECT_TRUE(::write(told[1], "g", 1) == 1 && ::read(said[0], &byte, 1) == 1);
        ::waitpid(holder, nullptr, 0);
        EXPECT_TRUE(mine.tryLock(name));
        mine.unlock(name);
        for (const int end : {said[0], said[1], told[0], told[1]})
            ::close(end);
    }
    struct stat folder = {}, file = {};
    const QByteArray path = QFile::encodeName(runtime.path() + QStringLiteral("/brindlework/locks"));
    ASSERT_EQ(::stat(path.constData(), &folder) | ::stat((path + "/default-printer.lock").constData(), &file),
              0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    qunsetenv("XDG_STATE_HOME");
    qunsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace bw::test
