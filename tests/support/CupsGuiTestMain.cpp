#include "app/GuardedApplication.h"
#include "support/CupsTestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    bw::test::CupsTestEnvironment environment;
    bw::GuardedApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    return environment.realPrinterSettingsUntouched() ? result : 1;
}
