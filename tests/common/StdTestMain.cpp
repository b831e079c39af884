// The main of the test binaries that use the standard library only: no application object to
// start for every case.

#include "tests/common/WorkDir.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    const std::filesystem::path workDir = EnterTemporaryWorkDir();
    if (workDir.empty())
        return 2;
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    RemoveTemporaryWorkDir(workDir);
    return result;
}
