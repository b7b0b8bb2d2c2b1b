#include "support/TestAccounts.h"

#include <QProcess>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <stdexcept>
#include <unistd.h>

namespace bw::test {

namespace {

std::optional<Account> account(const char* name)
{
    if (::geteuid() != 0)
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

} // namespace bw::test
