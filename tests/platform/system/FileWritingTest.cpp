#include "platform/system/FileWriting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::test {
namespace {

TEST(ReplaceFileAt, ReplacesALinkNotItsTargetWithExactlyTheModeAndLeavesNothingBehindOnFailure)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path());
    const int folder = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    QFile outside(dir.path() + QStringLiteral("/outside"));
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write("old");
    outside.close();
    ASSERT_EQ(::symlinkat("outside", folder, "linked"), 0);

    const mode_t umask = ::umask(0077);
    EXPECT_EQ(replaceFileAt(folder, "linked", "new", 0640), 0);
    ::umask(umask);
    struct stat info {};
    ASSERT_EQ(::fstatat(folder, "linked", &info, AT_SYMLINK_NOFOLLOW), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    QFile replaced(dir.path() + QStringLiteral("/linked"));
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    EXPECT_EQ(replaced.readAll(), QByteArray("new"));
    ASSERT_TRUE(outside.open(QIODevice::ReadOnly));
    EXPECT_EQ(outside.readAll(), QByteArray("old"));

    // A folder of that name cannot be replaced by a file.
    ASSERT_EQ(::mkdirat(folder, "taken", 0700), 0);
    EXPECT_EQ(replaceFileAt(folder, "taken", "x", 0600), EISDIR);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList({QStringLiteral("linked"), QStringLiteral("outside"), QStringLiteral("taken")}));
    ::close(folder);

    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    EXPECT_EQ(writeAll(full, "bytes"), ENOSPC);
    ::close(full);
}

} // namespace
} // namespace bw::test
