// libFuzzer entry point for the BMP loader: bytes in, any broken promise aborts.

#include "tests/fuzz/DibFuzzOne.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string g_strWorkDir;

void RemoveWorkDir()
{
    std::error_code ec;
    std::filesystem::remove_all(g_strWorkDir, ec);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt may take arguments it knows out of its argv: it gets its own, not libFuzzer's.
    static int argc = 1;
    static char name[] = "velorine-fuzz-dib";
    static char *argv[] = {name, nullptr};
    // Never destroyed: the exit handlers run after libFuzzer's last input.
    new QGuiApplication(argc, argv);

    const std::filesystem::path base
        = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (base / "velorine-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    g_strWorkDir = pattern;
    std::atexit(RemoveWorkDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DibFuzzResult r = DibFuzzOne(data, size, g_strWorkDir);
    if (!r.strFault.empty()) {
        std::fprintf(stderr, "velorine-fuzz-dib: %s\n", r.strFault.c_str());
        std::abort();
    }
    return 0;
}
