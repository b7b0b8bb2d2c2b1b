#include "app/GuardedApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    bw::GuardedApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
