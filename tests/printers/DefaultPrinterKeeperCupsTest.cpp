#include "platform/PlatformError.h"
#include "platform/cups/CupsPrintingSystem.h"
#include "platform/system/PosixProcesses.h"
#include "platform/system/XdgStateFolder.h"
#include "printers/DefaultPrinter.h"
#include "printers/DefaultPrinterKeeper.h"
#include "printers/DefaultPrinterLeftovers.h"
#include "printers/LpoptionsText.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeSleeper.h"
#include "support/FakeUserLocks.h"
#include "support/PrivateCupsDaemon.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

// The default printer made for a run and put back, against a private CUPS
// daemon and the user's real options file (in the test's HOME).
namespace bw::test {
namespace {

using Bytes = std::optional<QByteArray>;

class KeeperOnCups : public ::testing::Test {
public:
    KeeperOnCups()
    {
        QDir(home() + QStringLiteral("/.cups")).removeRecursively();
        QDir(state.path()).removeRecursively();
        for (const char* queue : {"A", "B", "C"})
            daemon.addQueue(QString::fromLatin1(queue));
    }

    ~KeeperOnCups() override { qunsetenv("LPDEST"); }

    static QString home() { return qEnvironmentVariable("HOME"); }
    static Bytes optionsFile()
    {
        QFile file(home() + QStringLiteral("/.cups/lpoptions"));
        return file.open(QIODevice::ReadOnly) ? Bytes(file.readAll()) : std::nullopt;
    }
    QString lpstatDefault() const
    {
        return daemon.runTool(QStringLiteral("lpstat"), {QStringLiteral("-d")}).trimmed();
    }
    void lpoptions(const QStringList& arguments) const
    {
        daemon.runTool(QStringLiteral("lpoptions"), arguments);
    }

    PrivateCupsDaemon daemon;
    CupsPrintingSystem printing;
    CupsPrinters& printers = printing.printers;
    FakeMessageBoxes boxes;
    XdgStateFolder state;
    PosixProcesses processes;
    DefaultPrinter defaultPrinter{printers, boxes};
    FakeUserLocks locks;
    FakeSleeper sleeper;
    DefaultPrinterKeeper keeper{defaultPrinter, printing.options, state, processes, locks, sleeper, nullptr};
};

struct CupsCase {
    const char* name;
    std::function<void(KeeperOnCups&)> arrange;
    bool changeFails;
    std::function<void(KeeperOnCups&)> duringRun;
    // What the options file holds afterwards; by default what it held before.
    std::function<Bytes(const Bytes& before)> after = [](const Bytes& before) { return before; };
};

class KeeperOnCupsCase : public KeeperOnCups, public ::testing::WithParamInterface<CupsCase> {};

TEST_P(KeeperOnCupsCase, TheDefaultComesBackAsTheUserHadIt)
{
    GetParam().arrange(*this);
    const Bytes before = optionsFile();
    const QString lpstatBefore = lpstatDefault();

    if (GetParam().changeFails)
        EXPECT_THROW(keeper.change(QStringLiteral("B")), PlatformError);
    else
        EXPECT_NO_THROW(keeper.change(QStringLiteral("B")));
    const qint64 self = processes.currentProcessId();
    EXPECT_EQ(state.names(), QStringList({DefaultPrinterSnapshot::fileName(self, processes.identity(self))}));
    EXPECT_EQ(state.path(), qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/brindlework"));
    if (!GetParam().changeFails) {
        EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: B"));
    }
    if (GetParam().duringRun)
        GetParam().duringRun(*this);
    keeper.putBack();

    EXPECT_EQ(optionsFile(), GetParam().after(before));
    EXPECT_EQ(lpstatDefault(), lpstatBefore);
    EXPECT_TRUE(state.names().isEmpty());
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeeperOnCupsCase,
    ::testing::Values(CupsCase{"NoDefaultAnywhere", [](KeeperOnCups&) {}, false, nullptr},
                      CupsCase{"ServerDefaultOnly",
                               [](KeeperOnCups& t) { t.daemon.setServerDefault(QStringLiteral("A")); }, false,
                               nullptr},
                      CupsCase{"OwnDefaultAndOptions",
                               [](KeeperOnCups& t) {
                                   t.daemon.setServerDefault(QStringLiteral("A"));
                                   t.lpoptions({QStringLiteral("-d"), QStringLiteral("C")});
                                   t.lpoptions({QStringLiteral("-p"), QStringLiteral("B"),
                                                QStringLiteral("-o"), QStringLiteral("copies=2")});
                               },
                               false, nullptr},
                      CupsCase{"HandWrittenFileStaysByteForByte",
                               [](KeeperOnCups& t) {
                                   QDir().mkpath(t.home() + QStringLiteral("/.cups"));
                                   QFile file(t.home() + QStringLiteral("/.cups/lpoptions"));
                                   ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                                   file.write("# mine\ndefault   A   sides=one-sided\n");
                               },
                               false, nullptr},
                      CupsCase{"LpdestDecides",
                               [](KeeperOnCups& t) {
                                   t.lpoptions({QStringLiteral("-d"), QStringLiteral("C")});
                                   qputenv("LPDEST", "A");
                               },
                               true, nullptr},
                      CupsCase{"AnotherChangeDuringTheRunStays",
                               [](KeeperOnCups& t) { t.daemon.setServerDefault(QStringLiteral("A")); }, false,
                               [](KeeperOnCups& t) {
                                   t.lpoptions({QStringLiteral("-p"), QStringLiteral("C"),
                                                QStringLiteral("-o"), QStringLiteral("copies=3")});
                               },
                               [](const Bytes&) { return Bytes(QByteArray("Dest C copies=3\n")); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeeperOnCups, ALinkedFileStaysLinkedWithItsModeAndLineEnds)
{
    const QString target = home() + QStringLiteral("/dotfiles-lpoptions");
    const Bytes before = QByteArray("# mine\r\nDefault A\r\nDest C copies=2");
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*before);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    QDir().mkpath(home() + QStringLiteral("/.cups"));
    QFile::link(target, home() + QStringLiteral("/.cups/lpoptions"));

    keeper.change(QStringLiteral("B"));
    EXPECT_EQ(optionsFile(), Bytes("# mine\r\nDest C copies=2\r\nDefault B\r\n"));
    keeper.putBack();
    EXPECT_TRUE(QFileInfo(home() + QStringLiteral("/.cups/lpoptions")).isSymLink());
    struct stat written = {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &written), 0);
    EXPECT_EQ(written.st_mode & 0777, 0640u);
    EXPECT_EQ(optionsFile(), before);
}

TEST_F(KeeperOnCups, ALeftoverOfAnEndedProgramIsPutBack)
{
    lpoptions({QStringLiteral("-d"), QStringLiteral("A")});
    const Bytes before = optionsFile();
    // A program that ended without putting back: its snapshot, with a process number no one has.
    DefaultPrinterSnapshot snapshot = DefaultPrinterSnapshot::of(before, QStringLiteral("B"));
    snapshot.processId = 999999999;
    snapshot.processIdentity = QStringLiteral("boot/999999999/1");
    state.write(DefaultPrinterSnapshot::fileName(snapshot.processId, snapshot.processIdentity),
                snapshot.toBytes());
    lpoptions({QStringLiteral("-d"), QStringLiteral("B")});

    const auto found = DefaultPrinterLeftovers(printing.options, state, processes, locks).restore();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].outcome, DefaultPrinterLeftovers::Leftover::Outcome::PutBack);
    EXPECT_EQ(optionsFile(), before);
    EXPECT_EQ(lpstatDefault(), QStringLiteral("system default destination: A"));
    EXPECT_TRUE(state.names().isEmpty());
}

} // namespace
} // namespace bw::test
