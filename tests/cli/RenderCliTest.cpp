// The renderer run as its own process: every kind, the bytes of its BMP, refused arguments,
// failed writes and the open command.

#include "fractals/FractalParams.h"
#include "fractals/Recipes.h"
#include "image/CDib.h"
#include "tests/cli/RenderCliSupport.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(RenderCliTest, EveryKindWritesA512Bmp)
{
    for (const char *kind : {"mandelbrot", "julia", "martin", "mira", "wallpaper", "dla", "leaf"}) {
        const RunResult run = Render({kind, "--seed", "7"});
        ASSERT_EQ(run.exitCode, 0) << kind << run.err.toStdString();
        const std::string file = std::string(kind) + ".bmp";
        EXPECT_EQ(fs::file_size(file), 263222u) << kind;
        EXPECT_EQ(Identify(file), "512x512") << kind;
    }
    // The random kinds repeat themselves from the same seed.
    for (const char *kind : {"dla", "leaf"}) {
        const std::string first = std::string(kind) + ".bmp";
        const std::string again = std::string(kind) + "-again.bmp";
        ASSERT_EQ(Render({kind, "--seed", "7", "-o", QString::fromStdString(again)}).exitCode, 0);
        EXPECT_EQ(ReadFileBytes(first), ReadFileBytes(again)) << kind;
    }
}

TEST(RenderCliTest, BytesAreThoseComposeWrites)
{
    CDib dib;
    ASSERT_TRUE(dib.WriteDefaultPalette("default.rgb"));
    ASSERT_EQ(Render({"mandelbrot", "--raw", "-o", "m.raw"}).exitCode, 0);
    const std::vector<unsigned char> raw = ReadFileBytes("m.raw");
    ASSERT_EQ(raw.size(), 262144u);
    ASSERT_TRUE(dib.Compose("expected.bmp", "default.rgb", raw.data()));
    ASSERT_EQ(Render({"mandelbrot"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes("mandelbrot.bmp"), ReadFileBytes("expected.bmp"));

    // A palette of the user's own is copied in; arguments reach the generator.
    std::vector<unsigned char> palette(1100);
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = static_cast<unsigned char>(i * 7);
    WriteFileBytes("mine.rgb", palette);
    ASSERT_EQ(
        Render({"wallpaper", "20", "5", "40", "--palette", "mine.rgb", "--raw", "-o", "w.raw"})
            .exitCode,
        0);
    ASSERT_EQ(Render({"wallpaper", "20", "5", "40", "--palette", "mine.rgb"}).exitCode, 0);
    const std::vector<unsigned char> wraw = ReadFileBytes("w.raw");
    ASSERT_EQ(wraw.size(), 262144u);
    ASSERT_TRUE(dib.Compose("w-expected.bmp", "mine.rgb", wraw.data()));
    EXPECT_EQ(ReadFileBytes("wallpaper.bmp"), ReadFileBytes("w-expected.bmp"));
    EXPECT_NE(ReadFileBytes("w.raw"), ReadFileBytes("m.raw"));

    // The leaf's raw bytes are its picture's pixels: 255 around, 21 on the leaf.
    ASSERT_EQ(Render({"leaf", "--seed", "3", "--raw", "-o", "leaf.raw"}).exitCode, 0);
    const std::vector<unsigned char> leaf = ReadFileBytes("leaf.raw");
    ASSERT_EQ(leaf.size(), 262144u);
    std::size_t painted = 0;
    for (unsigned char b : leaf) {
        ASSERT_TRUE(b == 255 || b == 21);
        painted += b == 21;
    }
    EXPECT_GT(painted, 1000u);
}

// Without arguments each kind draws what its command in the window draws.
TEST(RenderCliTest, DefaultsAreTheCommandsRecipes)
{
    using Generate = std::function<void(uint8_t *)>;
    const std::pair<const char *, Generate> kinds[] = {
        {"julia",
         [](uint8_t *b) {
             const recipe::PlaneArgs &r = recipe::kJuliaPlane;
             FractalParams().Julia(b, 512, 512, kDefaultJuliaCX, kDefaultJuliaCY, r.dXMin, r.dXMax,
                                   r.dYMin, r.dYMax);
         }},
        {"martin",
         [](uint8_t *b) {
             const recipe::MartinArgs &r = recipe::kMartin;
             FractalParams().Martin(b, 512, 512, r.dA, r.dB, r.dC, r.nIterations);
         }},
        {"mira",
         [](uint8_t *b) {
             const recipe::MiraArgs &r = recipe::kMira;
             FractalParams().Mira(b, 512, 512, r.dA, r.dB, r.dSX, r.dSY, r.nX1, r.nY1, r.nX2, r.nY2,
                                  r.nIterations);
         }},
        {"wallpaper",
         [](uint8_t *b) {
             const recipe::WallpaperArgs &r = recipe::kWallpaper;
             FractalParams().Wallpaper(b, 512, 512, r.nUStart, r.nVStart, r.nSpan);
         }},
        {"dla",
         [](uint8_t *b) {
             recipe::SeedDla(b);
             for (const double radius : recipe::kDlaRadii)
                 FractalParams().Dla(b, 512, 512, recipe::kDlaParticles, radius, 7, nullptr);
         }},
    };
    for (const auto &[kind, generate] : kinds) {
        ASSERT_EQ(Render({kind, "--seed", "7", "--raw", "-o", "out.raw"}).exitCode, 0) << kind;
        std::vector<unsigned char> expected(262144, 0);
        generate(expected.data());
        EXPECT_TRUE(ReadFileBytes("out.raw") == expected) << kind;
    }
}

TEST(RenderCliTest, BadArgumentsExitTwo)
{
    const QStringList bad[] = {
        {},
        {"fern"},
        {"mandelbrot", "-2", "1"},
        {"mandelbrot", "-2", "1", "-1", "1x"},
        {"martin", "1", "2", "3", "4.5"},
        {"mira", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
        {"julia", "nan", "0"},
        {"dla", "--seed", "-1"},
        {"dla", "--seed"},
        {"leaf", "--frobnicate"},
        {"open"},
        {"martin", "--png", "x.png"},
        {"wallpaper", "1", "2", "99999999999"},
    };
    for (const QStringList &args : bad) {
        const RunResult run = Render(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("bad argument")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("usage:"));
    }
    EXPECT_FALSE(fs::exists("mandelbrot.bmp"));
    EXPECT_FALSE(fs::exists("dla.bmp"));
    // Negative numbers are arguments, not options; a number with a comma is refused whatever
    // the locale.
    EXPECT_EQ(Render({"mandelbrot", "-1.5", "-1", "-0.25", "0.25", "-o", "zoom.bmp"}).exitCode, 0);
    EXPECT_EQ(Render({"julia", "0,5", "0"}).exitCode, 2);
}

TEST(RenderCliTest, FailedWritesLeaveNoFile)
{
    // A folder that does not exist, and one that refuses writing.
    EXPECT_EQ(Render({"wallpaper", "-o", "missing/out.bmp"}).exitCode, 1);
    fs::create_directory("locked");
    fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (::access("locked", W_OK) != 0) { // root writes anywhere
        EXPECT_EQ(Render({"wallpaper", "-o", "locked/out.bmp"}).exitCode, 1);
        EXPECT_EQ(Render({"wallpaper", "--raw", "-o", "locked/out.raw"}).exitCode, 1);
        EXPECT_EQ(Render({"leaf", "-o", "locked/out.bmp"}).exitCode, 1);
        EXPECT_TRUE(fs::is_empty("locked"));
    }
    fs::permissions("locked", fs::perms::owner_all);

    // A short palette: the message, exit 1, nothing under the output name, an old file kept.
    WriteFileBytes("short.rgb", std::vector<unsigned char>(1023, 1));
    WriteFileBytes("kept.bmp", {'o', 'l', 'd'});
    for (const char *kind : {"martin", "leaf"}) {
        const RunResult run = Render({kind, "--palette", "short.rgb", "-o", "out.bmp"});
        EXPECT_EQ(run.exitCode, 1) << kind;
        EXPECT_TRUE(run.err.contains("Error!")) << run.err.toStdString();
        EXPECT_FALSE(fs::exists("out.bmp"));
    }
    EXPECT_EQ(Render({"mira", "--palette", "short.rgb", "-o", "kept.bmp"}).exitCode, 1);
    EXPECT_EQ(ReadFileBytes("kept.bmp"), (std::vector<unsigned char> {'o', 'l', 'd'}));
    EXPECT_EQ(Render({"mira", "--palette", "absent.rgb"}).exitCode, 1);
    EXPECT_FALSE(fs::exists("mira.bmp"));
    // Nothing but the files the test made.
    for (const auto &entry : fs::directory_iterator("."))
        EXPECT_NE(entry.path().filename().string().rfind('.', 0), 0u) << entry.path();
}

TEST(RenderCliTest, OpenDescribesSavesAndDraws)
{
    ASSERT_EQ(Render({"mira", "-o", "m.bmp"}).exitCode, 0);
    RunResult run = Render({"open", "m.bmp", "-o", "copy.bmp", "--png", "m.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("512 x 512")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("8 bits"));
    EXPECT_TRUE(run.out.contains("256 colours"));
    EXPECT_EQ(ReadFileBytes("copy.bmp"), ReadFileBytes("m.bmp"));
    EXPECT_EQ(Identify("m.png"), "512x512");
    // The drawing matches ImageMagick's reading of the BMP, pixel for pixel.
    EXPECT_EQ(CountDifferentPixels("m.bmp", "m.png"), "0");

    WriteFileBytes("short.bmp", {'B', 'M', 0, 0});
    WriteFileBytes("text.bmp", std::vector<unsigned char>(100, 'x'));
    std::vector<unsigned char> damaged = ReadFileBytes("m.bmp");
    damaged[14] = 0xFF; // an info header size no reader knows
    WriteFileBytes("damaged.bmp", damaged);
    for (const char *name : {"short.bmp", "text.bmp", "damaged.bmp", "absent.bmp"}) {
        run = Render({"open", name, "-o", "never.bmp", "--png", "never.png"});
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_TRUE(run.err.contains("refused")) << run.err.toStdString();
    }
    EXPECT_FALSE(fs::exists("never.bmp"));
    EXPECT_FALSE(fs::exists("never.png"));
}

} // namespace
