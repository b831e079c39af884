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
#include <fstream>
#include <iterator>
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

TEST(RenderCliTest, CommandLineConventions)
{
    // Help and the version go to standard output with exit 0; the version is the project's.
    std::ifstream top(SourceDir() + "/CMakeLists.txt");
    const std::string cmake {std::istreambuf_iterator<char>(top), {}};
    const std::string marker = "project(Velorine VERSION ";
    const std::size_t at = cmake.find(marker) + marker.size();
    const QString version = QString::fromStdString(
        cmake.substr(at, cmake.find_first_of(" )", at) - at));
    const std::pair<QStringList, QString> shown[] = {
        {{"--help"}, "usage: velorine-render KIND"},
        {{"-h"}, "open FILE.bmp"},
        {{"--version"}, "velorine-render " + version + "\n"},
        {{"julia", "--help"}, "CX                 a number, default -0.22375"},
        {{"martin", "-h"}, "ITERATIONS         a whole number above 0, default 600000"},
    };
    for (const auto &[args, text] : shown) {
        const RunResult run = Render(args);
        EXPECT_EQ(run.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.contains(text)) << run.out.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
    EXPECT_EQ(Render({"--version"}).out, "velorine-render " + version + "\n");

    // Spellings of one command line give the same bytes.
    const std::vector<QStringList> alike[] = {
        {{"julia", "-0.5", "0.5", "--size", "40x30", "--raw", "-o", "a"},
         {"julia", "-.5", ".5", "--size=40x30", "--raw", "-oa"},
         {"julia", "--size=0000000040x000030", "--raw", "-o", "a", "--", "-0.5", "+0.5"}},
        {{"mandelbrot", "--size", "2x2", "--png", "p.png"},
         {"mandelbrot", "--size", "0000000002x2", "--png=p.png"},
         {"mandelbrot", "--png", "p.png", "--size", "000000002x0002"}},
    };
    for (const std::vector<QStringList> &spellings : alike) {
        std::vector<std::vector<unsigned char>> outputs;
        for (const QStringList &args : spellings) {
            const RunResult run = Render(args);
            ASSERT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << run.err.toStdString();
            const std::string file = args.contains("--raw") ? "a" : "p.png";
            outputs.push_back(ReadFileBytes(file));
            fs::remove(file);
        }
        EXPECT_EQ(outputs[0], outputs[1]) << spellings[1].join(' ').toStdString();
        EXPECT_EQ(outputs[0], outputs[2]) << spellings[2].join(' ').toStdString();
    }

    // Refused with one line naming the fault, then the usage; nothing is written.
    const std::pair<QStringList, const char *> refused[] = {
        {{"julia", "-o", "a.bmp", "-o", "b.bmp"}, "'-o': given twice"},
        {{"julia", "--size", "4x4", "--size=4x4"}, "'--size': given twice"},
        {{"leaf", "--quiet", "--quiet"}, "'--quiet': given twice"},
        {{"julia", "-o", "--raw"}, "'-o': needs a file name, not '--raw'"},
        {{"julia", "--png", "-x.png"}, "'--png': needs a file name"},
        {{"julia", "--size", "-o", "x"}, "'--size': needs a value, not '-o'"},
        {{"mandelbrot", "--size", "9999999999x2"}, "from 2 to 32768"},
        {{"mandelbrot", "--size", "2x00000000000000000033333"}, "from 2 to 32768"},
        {{"wallpaper", "10", "10", "0"}, "'0': SPAN of 0 gives a picture of one colour"},
        {{"martin", "1", "2", "3", "-5"}, "'-5': ITERATIONS must be above 0"},
        {{"mira", "1", "2", "3", "4", "5", "6", "7", "8", "0"}, "ITERATIONS must be above 0"},
        {{"mandelbrot", "-2", "1", "-1", "1", "0"}, "BAILOUT must be above 0"},
        {{"--quiet", "julia"}, "'--quiet': unknown option, the kind comes first"},
        {{"--help", "julia"}, "'julia': too many arguments"},
    };
    for (const auto &[args, why] : refused) {
        const RunResult run = Render(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        const QString first = run.err.section('\n', 0, 0);
        EXPECT_TRUE(first.startsWith("velorine-render: bad argument ")) << first.toStdString();
        EXPECT_TRUE(first.contains(why)) << args.join(' ').toStdString() << ": "
                                         << first.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    for (const auto &entry : fs::directory_iterator("."))
        ADD_FAILURE() << "left behind: " << entry.path();

    // Accepted although dull: a zero-width window gives stripes, a negative span a mirror.
    EXPECT_EQ(Render({"mandelbrot", "-1", "-1", "-1", "1", "--size", "8x8", "--png", "z.png"})
                  .exitCode,
              0);
    EXPECT_EQ(Render({"wallpaper", "10", "10", "-80", "--raw", "-o", "w.raw"}).exitCode, 0);
}

TEST(RenderCliTest, DeepKindThroughTheRenderer)
{
    // At N = 255 the deep kind's start-up picture is the window's, byte for byte here.
    ASSERT_EQ(Render({"mandelbrot", "-o", "window.bmp"}).exitCode, 0);
    const RunResult deep = Render({"deep", "--center", "-0.75", "0", "--width", "3",
                                   "--iterations=255", "-o", "deep.bmp", "--counts", "deep.u32"});
    ASSERT_EQ(deep.exitCode, 0) << deep.err.toStdString();
    EXPECT_EQ(ReadFileBytes("deep.bmp"), ReadFileBytes("window.bmp"));
    EXPECT_EQ(fs::file_size("deep.u32"), 512u * 512u * 4u);

    const RunResult help = Render({"deep", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--center")) << help.out.toStdString();
    EXPECT_TRUE(Render({"--help"}).out.contains("deep --center RE IM --width W"));
    const RunResult bad = Render({"deep", "--center", "0", "1", "--width", "1e-1x"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err.count('\n'), 1) << bad.err.toStdString();
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
        // One line: the window's "Warning!: Error!" box is no part of it.
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("a palette needs 1024 bytes")) << run.err.toStdString();
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
