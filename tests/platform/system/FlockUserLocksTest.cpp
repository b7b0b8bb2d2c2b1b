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

// A process that takes the lock, says so, and lets it go when told to
// (or never, when it is to be killed holding it).
class Holder {
public:
    explicit Holder(const QString& name)
    {
        if (::pipe(said_) != 0 || ::pipe(told_) != 0)
            ADD_FAILURE() << "no pipes";
        pid_ = ::fork();
        if (pid_ == 0) {
            FlockUserLocks locks;
            char byte = locks.tryLock(name) ? 'y' : 'n';
            [[maybe_unused]] ssize_t n = ::write(said_[1], &byte, 1);
            n = ::read(told_[0], &byte, 1);
            locks.unlock(name);
            n = ::write(said_[1], &byte, 1);
            ::_exit(0);
        }
    }
    ~Holder()
    {
        for (const int end : {said_[0], said_[1], told_[0], told_[1]})
            ::close(end);
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    char heard()
    {
        char byte = 0;
        return ::read(said_[0], &byte, 1) == 1 ? byte : 0;
    }
    void letGo()
    {
        const char byte = 'g';
        ASSERT_EQ(::write(told_[1], &byte, 1), 1);
        EXPECT_EQ(heard(), 'g');
    }
    void kill()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }

private:
    int said_[2] = {-1, -1};
    int told_[2] = {-1, -1};
    pid_t pid_ = -1;
};

TEST(FlockUserLocksTest, AnotherProcessWaitsUntilTheHolderLetsGoOrDies)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString name = QStringLiteral("default-printer");
    FlockUserLocks mine;
    for (const bool killed : {false, true}) {
        Holder holder(name);
        ASSERT_EQ(holder.heard(), 'y');
        EXPECT_FALSE(mine.tryLock(name));
        if (killed)
            holder.kill();
        else
            holder.letGo();
        EXPECT_TRUE(mine.tryLock(name));
        mine.unlock(name);
    }
    struct stat folder = {}, file = {};
    ASSERT_EQ(::stat(QFile::encodeName(runtime.path() + QStringLiteral("/brindlework")).constData(), &folder),
              0);
    ASSERT_EQ(::stat(QFile::encodeName(runtime.path() + QStringLiteral("/brindlework/default-printer.lock"))
                         .constData(),
                     &file),
              0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    qunsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace bw::test
