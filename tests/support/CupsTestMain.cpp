#include "support/CupsTestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    bw::test::CupsTestEnvironment environment;
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    return environment.realPrinterSettingsUntouched() ? result : 1;
}
