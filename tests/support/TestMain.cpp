// The main of every test program: GoogleTest with the fail-fast watch.
#include <gtest/gtest.h>
#include "FailFast.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    failfast::Install();
    return RUN_ALL_TESTS();
}
