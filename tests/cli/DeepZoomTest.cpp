// The deep kind's frames and files on a stand-in engine: frame names, refused options, the
// counts file, split frame ranges and the video through ffmpeg.

#include "cli/DeepZoom.h"
#include "fractals/DeepZoom.h"
#include "fractals/Progress.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Counts that depend on the width and the pixel only, as the real engine's do.
class FakeEngine : public DeepEngine
{
public:
    std::string DecimalError(const std::string &text) const override
    {
        char *end = nullptr;
        std::strtod(text.c_str(), &end);
        return !text.empty() && *end == '\0' ? "" : "not a decimal";
    }
    std::string FrameWidth(const std::string &w0, const std::string &w1, int k,
                           int K) const override
    {
        const double a = std::stod(w0);
        const double b = std::stod(w1);
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", a * std::pow(b / a, double(k) / (K - 1)));
        return text;
    }
    void Prepare(const std::string &, const std::string &, const std::string &finest,
                 uint32_t iterations, double) override
    {
        finestSeen.push_back(finest);
        m_nIterations = iterations;
    }
    void Render(const std::string &width, int columns, int rows, uint32_t *counts,
                GeneratorProgress *pProgress) override
    {
        widthsSeen.push_back(width);
        const auto salt = uint32_t(std::hash<std::string>()(width) % 1000);
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < columns; ++i)
                counts[std::size_t(j) * columns + i]
                    = std::min(m_nIterations, 1 + (salt + uint32_t(i) * 7 + uint32_t(j) * 13));
        if (pProgress)
            pProgress->Advance(int64_t(columns) * rows);
    }
    std::vector<std::string> finestSeen;
    std::vector<std::string> widthsSeen;

private:
    uint32_t m_nIterations = 0;
};

int RunDeep(const std::vector<std::string> &args, std::string *pErr = nullptr,
            FakeEngine *pEngine = nullptr)
{
    FakeEngine own;
    std::ostringstream err;
    const int status = DeepZoomMain(args, pEngine ? *pEngine : own, err);
    if (pErr)
        *pErr = err.str();
    return status;
}

std::vector<std::string> Files(const fs::path &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// PATH for the length of a test.
class ScopedPath
{
public:
    explicit ScopedPath(const std::string &path) : m_strOld(std::getenv("PATH"))
    {
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath() { ::setenv("PATH", m_strOld.c_str(), 1); }

private:
    std::string m_strOld;
};

TEST(DeepZoomTest, FrameNames)
{
    struct Case
    {
        const char *pattern;
        int frames;
        const char *error; // part of the refusal, or empty
        const char *frame7;
    };
    const Case cases[] = {
        {"zoom%05d.png", 10, "", "zoom00007.png"},
        {"a/%d-%%.bmp", 10, "", "a/7-%.bmp"},
        {"z%-3ix.u32", 10, "", "z7  x.u32"},
        {"z%lu_%%X", 10, "", "z7_%X"},
        {"%.3o", 10, "", "007"},
        {"zoom.png", 10, "need a field", ""},
        {"z%d%d.png", 10, "only one field", ""},
        {"z%s.png", 10, "such as %05d", ""},
        {"z%5.2f.png", 10, "such as %05d", ""},
        {"z%", 10, "such as %05d", ""},
        {"z%n", 10, "such as %05d", ""},
        {"z%100d", 10, "at most 99", ""},
        {"", 10, "empty", ""},
        // One picture: a name that is no pattern is taken as it is.
        {"100%.png", 1, "", "100%.png"},
        {"one.png", 1, "", "one.png"},
        {"one%03d.png", 1, "", "one007.png"},
    };
    for (const Case &c : cases) {
        const std::string why = FrameNameError(c.pattern, c.frames);
        if (*c.error) {
            EXPECT_NE(why.find(c.error), std::string::npos) << c.pattern << ": " << why;
        } else {
            EXPECT_EQ(why, "") << c.pattern;
            EXPECT_EQ(FrameName(c.pattern, 7), c.frame7) << c.pattern;
        }
    }
}

TEST(DeepZoomTest, BadOptionsAreRefusedInOneLine)
{
    const std::vector<std::string> base {"--center", "-0.75",  "0.1", "--width",
                                         "3",        "--size", "8x6"};
    struct Case
    {
        std::vector<std::string> extra;
        const char *why;
    };
    const Case cases[] = {
        {{"--frames", "10"}, "needs --to-width"},
        {{"--to-width", "1e-5", "--frames", "1"}, "2 to 1000000 frames"},
        {{"--to-width", "1e-5"}, "2 to 1000000 frames"},
        {{"--to-width", "0", "--frames", "5"}, "more than 0"},
        {{"--to-width", "x", "--frames", "5"}, "not a decimal"},
        {{"--frame-range", "0-1"}, "only for a zoom"},
        {{"--to-width", "1e-5", "--frames", "10", "--frame-range", "5-3"}, "comes after"},
        {{"--to-width", "1e-5", "--frames", "10", "--frame-range", "0-10"}, "0 to 9"},
        {{"--to-width", "1e-5", "--frames", "10", "--frame-range", "1-"}, "FIRST-LAST"},
        {{"--to-width", "1e-5", "--frames", "10", "--png", "zoom.png"}, "need a field"},
        {{"--to-width", "1e-5", "--frames", "10", "-o", "z%d.bmp", "--png", "z%d.bmp"},
         "name the same file"},
        {{"--width", "-1"}, "more than 0"},
        {{"--iterations", "0"}, "at least 1"},
        {{"--bailout", "0"}, "more than 0"},
        {{"--size", "1x5"}, "from 2 to 32768"},
        {{"--size", "7x6", "--video", "v.mp4"}, "must be even"},
        {{"--video", "v.avi"}, ".mp4, .mkv"},
        {{"--fps", "25"}, "only with --video"},
        {{"--video", "v.mp4", "--fps", "0"}, "frames per second"},
        {{"--raw", "--png", "a.png"}, "name the raw file with -o"},
        {{"--warp", "9"}, "warp"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args = base;
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        std::string err;
        EXPECT_EQ(RunDeep(args, &err), 2) << c.why;
        EXPECT_NE(err.find(c.why), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    for (const std::vector<std::string> &args :
         {std::vector<std::string> {"--width", "1"}, {"--center", "1", "--width", "1"}}) {
        std::string err;
        EXPECT_EQ(RunDeep(args, &err), 2);
        EXPECT_NE(err.find("--center"), std::string::npos) << err;
    }
    EXPECT_EQ(Files("."), std::vector<std::string>());
}

TEST(DeepZoomTest, CountsAndRawBytesInRowOrder)
{
    FakeEngine engine;
    ASSERT_EQ(RunDeep({"--center", "0", "0", "--width", "1e-9", "--size", "5x3", "--iterations",
                       "20000000", "--counts", "c.u32", "--raw", "-o", "i.raw"},
                      nullptr, &engine),
              0);
    std::vector<uint32_t> expected(15);
    engine.Render("1e-9", 5, 3, expected.data(), nullptr);
    const std::vector<unsigned char> counts = ReadFileBytes("c.u32");
    const std::vector<unsigned char> raw = ReadFileBytes("i.raw");
    ASSERT_EQ(counts.size(), 60u);
    ASSERT_EQ(raw.size(), 15u);
    for (std::size_t p = 0; p < 15; ++p) {
        const uint32_t n = counts[4 * p] | counts[4 * p + 1] << 8 | counts[4 * p + 2] << 16
            | uint32_t(counts[4 * p + 3]) << 24;
        EXPECT_EQ(n, expected[p]) << p;
        EXPECT_EQ(raw[p], deep::PaletteIndex(expected[p], 20000000)) << p;
    }
}

TEST(DeepZoomTest, SplitFrameRangesGiveTheFilesOfOneRun)
{
    const std::vector<std::string> zoom {
        "--center",  "-1.25", "0.01",      "--width",  "0.5",          "--to-width", "1e-7",
        "--frames",  "6",     "--size",    "9x7",      "--iterations", "300",        "-o",
        "f%02d.bmp", "--png", "f%02d.png", "--counts", "f%02d.u32",    "--quiet"};
    const auto run = [&](const std::string &dir, const std::vector<std::string> &ranges) {
        fs::create_directory(dir);
        fs::current_path(dir);
        for (const std::string &range : ranges) {
            std::vector<std::string> args = zoom;
            if (!range.empty())
                args.insert(args.end(), {"--frame-range", range});
            FakeEngine engine;
            std::string err;
            EXPECT_EQ(RunDeep(args, &err, &engine), 0) << err;
            // One reference serves the whole zoom, whatever part of it a run renders.
            EXPECT_EQ(engine.finestSeen, std::vector<std::string> {"1e-7"}) << range;
        }
        fs::current_path("..");
    };
    run("whole", {""});
    run("split", {"0-1", "2", "3-5"});
    const std::vector<std::string> names = Files("whole");
    ASSERT_EQ(names.size(), 18u);
    EXPECT_EQ(names.front(), "f00.bmp");
    EXPECT_EQ(names.back(), "f05.u32");
    EXPECT_EQ(Files("split"), names);
    for (const std::string &name : names)
        EXPECT_EQ(ReadFileBytes("whole/" + name), ReadFileBytes("split/" + name)) << name;
}

class DeepZoomVideoTest : public ::testing::Test
{
protected:
    std::vector<std::string> Video(const std::string &name)
    {
        return {"--center", "0",        "0",  "--width", "3",     "--to-width",
                "1",        "--frames", "3",  "--size",  "16x12", "--iterations",
                "50",       "--video",  name, "--fps",   "12"};
    }
};

TEST_F(DeepZoomVideoTest, MissingFfmpegIsNamedAndNoFileIsLeft)
{
    fs::create_directory("empty");
    fs::create_directory("out");
    ScopedPath path(fs::absolute("empty").string());
    std::string err;
    EXPECT_EQ(RunDeep(Video("out/zoom.mp4"), &err), 1);
    EXPECT_NE(err.find("--video needs ffmpeg, which is not on PATH"), std::string::npos) << err;
    EXPECT_EQ(Files("out"), std::vector<std::string>());
}

TEST_F(DeepZoomVideoTest, FailingFfmpegLeavesNoPartialVideo)
{
    fs::create_directory("bin");
    {
        std::FILE *script = std::fopen("bin/ffmpeg", "w");
        ASSERT_NE(script, nullptr);
        std::fputs("#!/bin/sh\nhead -c 100 >/dev/null\necho 'Encoder not found' >&2\nexit 3\n",
                   script);
        std::fclose(script);
    }
    fs::permissions("bin/ffmpeg", fs::perms::owner_all);
    fs::create_directory("out");
    ScopedPath path(fs::absolute("bin").string() + ":/usr/bin:/bin");
    std::string err;
    EXPECT_EQ(RunDeep(Video("out/zoom.mp4"), &err), 1);
    EXPECT_NE(err.find("exit status 3): Encoder not found"), std::string::npos) << err;
    EXPECT_EQ(Files("out"), std::vector<std::string>());
}

TEST_F(DeepZoomVideoTest, ThreeFramesMakeAThreeFrameVideo)
{
    ScopedPath path(fs::path(VELORINE_FFMPEG).parent_path().string());
    std::string err;
    ASSERT_EQ(RunDeep(Video("zoom.mp4"), &err), 0) << err;
    EXPECT_EQ(Files("."), std::vector<std::string> {"zoom.mp4"});
    QProcess probe;
    probe.start(VELORINE_FFPROBE,
                {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                 "stream=nb_read_frames,width,height", "-of", "csv=p=0", "zoom.mp4"});
    ASSERT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.readAllStandardOutput().trimmed().toStdString(), "16,12,3");
}

} // namespace
