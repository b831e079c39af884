// Every test binary's main: Qt's offscreen platform, a temporary current directory of its own
// and a single-instance marker name of its own, so tests run in parallel safely.

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_NUMERIC", "C", 1);
    std::string pattern = (std::filesystem::temp_directory_path() / "velorine-test-XXXXXX").string();
    char *dir = mkdtemp(pattern.data());
    if (!dir)
        return 2;
    const std::filesystem::path workDir = dir;
    std::filesystem::current_path(workDir);
    setenv("VELORINE_INSTANCE_NAME", ("velorine-test-" + std::to_string(getpid())).c_str(), 1);
    setenv("XDG_CONFIG_HOME", (workDir / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", workDir.c_str(), 1);

    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    std::filesystem::remove_all(workDir, ec);
    return result;
}
