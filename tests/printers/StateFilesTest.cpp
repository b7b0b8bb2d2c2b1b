#include "platform/PlatformError.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/XdgStateFolder.h"
#include "printers/DefaultPrinterLeftovers.h"
#include "support/FakePrinters.h"
#include "support/FakeUserLocks.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

// Files in the state folder that the program did not write, or that another
// process of the same number did: none may be followed, block the start,
// fill the memory or claim to be this process's.
namespace bw::test {
namespace {

using Bytes = std::optional<QByteArray>;

// As an earlier version wrote it, with the whole options files.
QByteArray snapshotOf(const QString& identity)
{
    return QStringLiteral(R"({"processId": %1, "processIdentity": "%2", "takenAt": 1,
                              "userOptions": "RGVmYXVsdCBBCg==", "written": "RGVmYXVsdCBCCg=="})")
        .arg(::getpid())
        .arg(identity)
        .toUtf8();
}

void write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

const char* const SetAside = "cannot be read, so it has been set aside";
const QStringList Aside{QStringLiteral("default-printer-x.json.unreadable")};
const Bytes Untouched = QByteArray("Default B\n");

struct HostileCase {
    const char* name;
    // Makes the file default-printer-x.json in the (existing) folder.
    std::function<void(const QString& folder, const QString& file)> plant;
    Bytes options = Untouched; // the options file afterwards
    QStringList files = Aside;
    const char* message = SetAside; // a part of what the user is told
};

class StateFiles : public ::testing::TestWithParam<HostileCase> {
public:
    StateFiles() { qputenv("XDG_STATE_HOME", QFile::encodeName(temp.path())); }
    ~StateFiles() override { qunsetenv("XDG_STATE_HOME"); }

    QTemporaryDir temp;
};

TEST_P(StateFiles, AreNeverFollowedNorWaitedOnAndAreToldOfOnce)
{
    XdgStateFolder state;
    QDir().mkpath(state.path());
    GetParam().plant(state.path(), state.path() + QStringLiteral("/default-printer-x.json"));
    FakeUserPrinterOptions options;
    options.userOptions = QByteArray("Default B\n");
    PosixProcesses processes;
    FakeUserLocks locks;
    DefaultPrinterLeftovers leftovers(options, state, processes, locks);

    QString told;
    try {
        told = DefaultPrinterLeftovers::message(leftovers.restore());
        EXPECT_EQ(DefaultPrinterLeftovers::message(leftovers.restore()), QString());
    } catch (const PlatformError& error) {
        told = error.description();
    }
    EXPECT_TRUE(told.contains(QLatin1String(GetParam().message))) << told.toStdString();
    EXPECT_EQ(options.userOptions, GetParam().options);
    EXPECT_EQ(QDir(state.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StateFiles,
    ::testing::Values(
        HostileCase{"LinkToARecord",
                    [](const QString& folder, const QString& file) {
                        write(folder + QStringLiteral("/../elsewhere"), snapshotOf(QStringLiteral("gone")));
                        QFile::link(folder + QStringLiteral("/../elsewhere"), file);
                    }},
        HostileCase{"Fifo",
                    [](const QString&, const QString& file) { ::mkfifo(QFile::encodeName(file), 0600); }},
        HostileCase{"TenMegabytes",
                    [](const QString&, const QString& file) {
                        write(file, QByteArray(10 << 20, ' ') + snapshotOf(QStringLiteral("gone")));
                    }},
        HostileCase{"Garbage",
                    [](const QString&, const QString& file) {
                        write(file, QByteArray("\0\xff{\"processId\":", 15));
                    }},
        HostileCase{"ThisNumberInAnotherBoot",
                    [](const QString&, const QString& file) {
                        write(file, snapshotOf(QStringLiteral("another-boot/%1/1").arg(::getpid())));
                    },
                    QByteArray("Default A\n"),
                    {},
                    "It has been put back now: your default printer is \"A\""},
        HostileCase{"FolderIsALink",
                    [](const QString& folder, const QString&) {
                        QDir().rename(folder, folder + QStringLiteral("-real"));
                        write(folder + QStringLiteral("-real/default-printer-x.json"),
                              snapshotOf(QStringLiteral("gone")));
                        QFile::link(folder + QStringLiteral("-real"), folder);
                    },
                    Untouched,
                    {QStringLiteral("default-printer-x.json")},
                    "symbolic link"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StateFiles, ArePrivateAndNoneIsWrittenThroughALink)
{
    XdgStateFolder state;
    QDir().mkpath(state.path());
    QFile::setPermissions(state.path(), QFileDevice::Permissions(0x7777));
    write(temp.path() + QStringLiteral("/victim"), "mine");
    QFile::link(temp.path() + QStringLiteral("/victim"), state.path() + QStringLiteral("/record.json"));
    state.write(QStringLiteral("record.json"), "new");

    struct stat folder = {}, file = {};
    ASSERT_EQ(::stat(QFile::encodeName(state.path()), &folder), 0);
    ASSERT_EQ(::lstat(QFile::encodeName(state.path() + QStringLiteral("/record.json")), &file), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(file.st_mode & 0777, 0600u); // a file of its own, not the link
    QFile kept(temp.path() + QStringLiteral("/victim"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("mine"));
}

} // namespace
} // namespace bw::test
