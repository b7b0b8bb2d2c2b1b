#include "support/TestAccounts.h"

#include <QProcess>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

namespace bw::test {

namespace {

std::optional<Account> account(const char* name)
{
    if (!rootAtHand())
        return std::nullopt;
    const passwd* entry = ::getpwnam(name);
    if (!entry)
        throw std::runtime_error(std::string("no account ") + name +
                                 ": as root, run tests/fixtures/test-accounts.sh first");
    return Account{QString::fromLatin1(name), entry->pw_uid, entry->pw_gid};
}

} // namespace

std::optional<Account> programAccount()
{
    return account("brindle-user");
}

std::optional<Account> otherAccount()
{
    return account("brindle-other");
}

void runAs(QProcess& process, const std::optional<Account>& account, const QString& hostName)
{
    if (!account)
        return;
    const uid_t uid = account->uid;
    const gid_t gid = account->gid;
    const QByteArray host = hostName.toUtf8();
    process.setChildProcessModifier([uid, gid, host] {
        takeRootBackInChild();
        if (!host.isEmpty() &&
            (::unshare(CLONE_NEWUTS) != 0 || ::sethostname(host.constData(), size_t(host.size())) != 0))
            ::_exit(126);
        if (::setgroups(1, &gid) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(127);
    });
}

void handOver(const QString& path, const std::optional<Account>& account)
{
    if (!account)
        return;
    // Only what the test made as itself: a file a test gave another owner on
    // purpose stays that owner's. find -exec chown -h gives links, not what
    // they point to, and takes names of any bytes.
    if (QProcess::execute(QStringLiteral("find"),
                          {path, QStringLiteral("-uid"), QString::number(::getuid()), QStringLiteral("-exec"),
                           QStringLiteral("chown"), QStringLiteral("-h"),
                           QStringLiteral("%1:%2").arg(account->uid).arg(account->gid), QStringLiteral("{}"),
                           QStringLiteral("+")}) != 0)
        throw std::runtime_error("cannot give " + path.toStdString() + " to " + account->name.toStdString());
}

bool setRootAsideIfAsked()
{
    if (::geteuid() != 0 || !qEnvironmentVariableIsSet("BRINDLE_TEST_AS_USER"))
        return false;
    const std::optional<Account> user = account("brindle-user");
    if (::setgroups(1, &user->gid) != 0 || ::setresgid(user->gid, user->gid, 0) != 0 ||
        ::setresuid(user->uid, user->uid, 0) != 0)
        throw std::runtime_error("cannot become brindle-user");
    // A changed uid makes the process undumpable: its own /proc files would be root's, not the user's.
    ::prctl(PR_SET_DUMPABLE, 1);
    // Root's runtime folder and names are not the user's.
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("USER", user->name.toLatin1());
    qputenv("LOGNAME", user->name.toLatin1());
    return true;
}

namespace {

// Root kept only as the saved uid.
bool rootSetAside()
{
    uid_t real, effective, saved;
    return ::getresuid(&real, &effective, &saved) == 0 && saved == 0 && effective != 0;
}

} // namespace

void takeRootBackInChild()
{
    if (rootSetAside()) {
        gid_t root = 0;
        if (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0 || ::setgroups(1, &root) != 0)
            ::_exit(125);
    }
}

void takeRootBack()
{
    if (rootSetAside() && (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0))
        throw std::runtime_error("cannot become root again");
}

bool rootAtHand()
{
    return ::geteuid() == 0 || rootSetAside();
}

} // namespace bw::test
