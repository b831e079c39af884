// The benchmark binary's main: Qt's offscreen platform unless a display is asked for, and one
// working directory of its own, since commands write temp.bmp into the current directory.
// The one application object lives on main's stack for the whole run, so every Qt object the
// benchmarks make is gone before it is; a static one would be destroyed by an exit handler
// after Qt's own globals.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string pattern
        = (std::filesystem::temp_directory_path() / "velorine-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 2;
    const std::filesystem::path workDir = pattern;
    std::filesystem::current_path(workDir);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    {
        QApplication app(argc, argv);
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();

    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    std::filesystem::remove_all(workDir, ec);
    return 0;
}
