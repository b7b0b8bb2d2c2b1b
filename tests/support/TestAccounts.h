#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>

class QProcess;

namespace bw::test {

// An ordinary account of this machine that tests run programs as.
// tests/fixtures/test-accounts.sh makes them when the tests run as root.
struct Account {
    QString name;
    uid_t uid;
    gid_t gid;
};

// Who runs the program under test: brindle-user when the tests run as root
// (or set it aside), none (the tests' own user) otherwise. Throws when root lacks the account.
std::optional<Account> programAccount();
// Another user of the machine (brindle-other); none unless the tests run as root.
std::optional<Account> otherAccount();

// The process starts as the account, with root's privileges dropped; as it is without one.
// Given a host name, it starts on a host of that name of its own, as on another machine.
void runAs(QProcess& process, const std::optional<Account>& account, const QString& hostName = {});
// Gives the account the folder and everything in it, as a user owns their files.
void handOver(const QString& path, const std::optional<Account>& account);

// A test executable started by root with BRINDLE_TEST_AS_USER set runs as brindle-user from here on,
// as a user runs the program: root is kept only as the saved uid, for the fixture's own steps that
// need it (cupsd, queues). Children exec'd later are plain brindle-user. True when it did.
bool setRootAsideIfAsked();
// For a child about to run such a fixture step (async-signal-safe): root again if it was set aside.
void takeRootBackInChild();
// The same for this process, for what is left once the tests have run.
void takeRootBack();
// True when the test runs as root or set root aside (cupsd then runs as root, its backends as lp).
bool rootAtHand();

} // namespace bw::test
