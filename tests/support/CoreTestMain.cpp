#include "support/TempHome.h"
#include "support/TestAccounts.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <optional>

int main(int argc, char** argv)
{
    // A test run as the user gets a HOME of its own: root's is not the user's to write.
    std::optional<bw::test::TempHome> home;
    if (bw::test::setRootAsideIfAsked())
        home.emplace();
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // The leak check at exit attaches to the process, which takes root's uid in all three.
    bw::test::takeRootBack();
    return result;
}
