// Every test binary's main: Qt's offscreen platform, a temporary current directory of its own
// and a single-instance marker name of its own, so tests run in parallel safely.

#include "tests/common/WorkDir.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <unistd.h>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_NUMERIC", "C", 1);
    const std::filesystem::path workDir = EnterTemporaryWorkDir();
    if (workDir.empty())
        return 2;
    setenv("VELORINE_INSTANCE_NAME", ("velorine-test-" + std::to_string(getpid())).c_str(), 1);
    setenv("XDG_CONFIG_HOME", (workDir / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", workDir.c_str(), 1);

    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    RemoveTemporaryWorkDir(workDir);
    return result;
}
