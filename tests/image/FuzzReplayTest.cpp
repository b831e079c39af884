// Replays the fuzzer's kept inputs and the conformance images through the fuzz target's check.

#include "tests/fuzz/DibFuzzOne.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> FilesUnder(const fs::path &dir)
{
    std::vector<fs::path> files;
    for (const auto &e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file() && e.path().filename() != "README.md")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

DibFuzzResult Replay(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes {std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
    return DibFuzzOne(bytes.data(), bytes.size(), fs::current_path().string());
}

} // namespace

TEST(FuzzReplay, KeptInputsAndConformanceImages)
{
    const fs::path data = fs::path(VELORINE_SOURCE_DIR) / "tests" / "data";
    ASSERT_TRUE(fs::is_directory(data / "fuzz-crashes")) << "the kept fuzz inputs are missing";
    ASSERT_TRUE(fs::is_directory(data / "bmpsuite")) << "the conformance images are missing";

    for (const auto &path : FilesUnder(data / "fuzz-crashes"))
        EXPECT_EQ(Replay(path).strFault, "") << path;

    int accepted = 0, refused = 0;
    for (const auto &path : FilesUnder(data / "bmpsuite")) {
        const DibFuzzResult r = Replay(path);
        EXPECT_EQ(r.strFault, "") << path;
        (r.bAccepted ? accepted : refused)++;
    }
    EXPECT_GT(accepted, 20);
    EXPECT_GT(refused, 0);
}

TEST(FuzzReplay, EmptyAndTruncatedInputsAreRefused)
{
    const std::string dir = fs::current_path().string();
    EXPECT_FALSE(DibFuzzOne(nullptr, 0, dir).bAccepted);
    const uint8_t header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0};
    const DibFuzzResult r = DibFuzzOne(header, sizeof header, dir);
    EXPECT_FALSE(r.bAccepted);
    EXPECT_EQ(r.strFault, "");
}
