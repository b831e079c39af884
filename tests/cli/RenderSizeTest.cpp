// The escape-time kinds beyond the window's size: the generator's bytes at any size, the BMP
// and PNG written from them, the sizes refused, and failed writes.

#include "fractals/FractalParams.h"
#include "fractals/Recipes.h"
#include "fractals/Reference.h"
#include "image/CDib.h"
#include "platform/BmpFormat.h"
#include "tests/cli/RenderCliSupport.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

struct Size
{
    int w;
    int h;
};

QString SizeText(Size s)
{
    return QString("%1x%2").arg(s.w).arg(s.h);
}

Bytes ReferenceMandelbrot(Size s, double xMin, double xMax, double yMin, double yMax)
{
    Bytes b(std::size_t(s.w) * std::size_t(s.h));
    reference::Mandelbrot(b.data(), s.w, s.h, xMin, xMax, yMin, yMax, 100.0);
    return b;
}

Bytes ReferenceJulia(Size s)
{
    Bytes b(std::size_t(s.w) * std::size_t(s.h));
    const recipe::PlaneArgs &r = recipe::kJuliaPlane;
    reference::Julia(b.data(), s.w, s.h, kDefaultJuliaCX, kDefaultJuliaCY, r.dXMin, r.dXMax,
                     r.dYMin, r.dYMax);
    return b;
}

uint32_t BigEndian32(const Bytes &b, std::size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// Files in the current folder whose names start with a dot: the writers' temporary files.
std::vector<std::string> HiddenFiles()
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator("."))
        if (entry.path().filename().string().rfind('.', 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

TEST(RenderSizeTest, EverySizeGivesTheReferenceBytes)
{
    const Size sizes[] = {{2, 2}, {3, 2}, {2, 7}, {17, 5}, {333, 201}, {640, 480}, {64, 1024}};
    for (const Size s : sizes) {
        const QString size = SizeText(s);
        ASSERT_EQ(Render({"mandelbrot", "--size", size, "--raw", "-o", "m.raw"}).exitCode, 0);
        EXPECT_EQ(ReadFileBytes("m.raw"), ReferenceMandelbrot(s, -2.25, 0.75, -1.5, 1.5))
            << size.toStdString();
        ASSERT_EQ(Render({"mandelbrot", "-0.75", "-0.7", "0.1", "0.13", "--size", size, "--raw",
                          "-o", "zoom.raw"})
                      .exitCode,
                  0);
        EXPECT_EQ(ReadFileBytes("zoom.raw"), ReferenceMandelbrot(s, -0.75, -0.7, 0.1, 0.13))
            << size.toStdString();
        ASSERT_EQ(Render({"julia", "--size", size, "--raw", "-o", "j.raw"}).exitCode, 0);
        EXPECT_EQ(ReadFileBytes("j.raw"), ReferenceJulia(s)) << size.toStdString();
    }
}

TEST(RenderSizeTest, The512PictureIsUnchanged)
{
    CDib dib;
    ASSERT_TRUE(dib.WriteDefaultPalette("default.rgb"));
    for (const char *kind : {"mandelbrot", "julia"}) {
        const Bytes indices = std::string(kind) == "julia"
            ? ReferenceJulia({512, 512})
            : ReferenceMandelbrot({512, 512}, -2.25, 0.75, -1.5, 1.5);
        ASSERT_TRUE(dib.Compose("composed.bmp", "default.rgb", indices.data()));
        ASSERT_EQ(Render({kind, "-o", "plain.bmp"}).exitCode, 0);
        ASSERT_EQ(Render({kind, "--size", "512x512", "-o", "sized.bmp"}).exitCode, 0);
        EXPECT_EQ(ReadFileBytes("plain.bmp"), ReadFileBytes("composed.bmp")) << kind;
        EXPECT_EQ(ReadFileBytes("sized.bmp"), ReadFileBytes("composed.bmp")) << kind;
    }
}

TEST(RenderSizeTest, BmpAndPngAreTheSamePicture)
{
    // 37 is odd: each BMP row carries three bytes of padding.
    const Size s {37, 23};
    std::vector<unsigned char> palette(1024);
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = static_cast<unsigned char>(i * 37 + i / 4);
    WriteFileBytes("mine.rgb", palette);
    const RunResult run = Render(
        {"julia", "--size", "37x23", "--palette", "mine.rgb", "-o", "j.bmp", "--png", "j.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const Bytes indices = ReferenceJulia(s);

    const Bytes bmp = ReadFileBytes("j.bmp");
    const uint32_t stride = 40;
    ASSERT_EQ(bmp.size(), 1078u + stride * 23);
    EXPECT_EQ(ReadLE16(&bmp[0]), kBmpMagic);
    EXPECT_EQ(ReadLE32(&bmp[2]), bmp.size());
    EXPECT_EQ(ReadLE32(&bmp[6]), 0u);
    EXPECT_EQ(ReadLE32(&bmp[10]), 1078u);
    EXPECT_EQ(ReadLE32(&bmp[14]), 40u);
    EXPECT_EQ(ReadLE32s(&bmp[18]), 37);
    EXPECT_EQ(ReadLE32s(&bmp[22]), 23); // positive: bottom-up
    EXPECT_EQ(ReadLE16(&bmp[26]), 1u);
    EXPECT_EQ(ReadLE16(&bmp[28]), 8u);
    EXPECT_EQ(ReadLE32(&bmp[30]), BI_RGB);
    EXPECT_EQ(ReadLE32(&bmp[34]), stride * 23);
    EXPECT_EQ(ReadLE32(&bmp[38]), 3780u);
    EXPECT_EQ(ReadLE32(&bmp[42]), 3780u);
    EXPECT_EQ(ReadLE32(&bmp[46]), 0u);
    EXPECT_EQ(ReadLE32(&bmp[50]), 0u);
    EXPECT_TRUE(std::equal(palette.begin(), palette.end(), bmp.begin() + 54));
    for (int row = 0; row < s.h; ++row) {
        const auto stored = bmp.begin() + 1078 + row * stride;
        EXPECT_TRUE(std::equal(stored, stored + s.w, indices.begin() + row * s.w)) << row;
        EXPECT_EQ(Bytes(stored + s.w, stored + stride), Bytes(3, 0)) << row;
    }

    CDib dib;
    ASSERT_TRUE(dib.Load("j.bmp"));
    EXPECT_EQ(dib.GetWidth(), 37);
    EXPECT_EQ(dib.GetHeight(), 23);

    const Bytes png = ReadFileBytes("j.png");
    ASSERT_GT(png.size(), 33u + 12u + 768u);
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
              (Bytes {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian32(png, 16), 37u);
    EXPECT_EQ(BigEndian32(png, 20), 23u);
    EXPECT_EQ(png[24], 8); // bit depth
    EXPECT_EQ(png[25], 3); // colour type: palette
    EXPECT_EQ(png[28], 0); // not interlaced
    // The palette follows the header: 256 entries of red, green, blue.
    EXPECT_EQ(BigEndian32(png, 33), 768u);
    EXPECT_EQ(std::string(png.begin() + 37, png.begin() + 41), "PLTE");
    for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(png[41 + 3 * i], palette[4 * i + 2]) << i;
        EXPECT_EQ(png[41 + 3 * i + 1], palette[4 * i + 1]) << i;
        EXPECT_EQ(png[41 + 3 * i + 2], palette[4 * i]) << i;
    }
    EXPECT_EQ(Identify("j.png"), "37x23");
    EXPECT_EQ(CountDifferentPixels("j.bmp", "j.png"), "0");
}

TEST(RenderSizeTest, OutputsAskedForAreTheOnesWritten)
{
    // --png alone writes only the PNG; with -o both are written; with --raw the bytes and
    // the PNG.
    ASSERT_EQ(Render({"mandelbrot", "--size", "300x200", "--png", "only.png"}).exitCode, 0);
    EXPECT_EQ(Identify("only.png"), "300x200");
    EXPECT_FALSE(fs::exists("mandelbrot.bmp"));
    ASSERT_EQ(Render({"mandelbrot", "--size", "300x200", "--png", "m.png", "-o", "m.bmp"}).exitCode,
              0);
    EXPECT_EQ(ReadFileBytes("m.png"), ReadFileBytes("only.png"));
    EXPECT_EQ(CountDifferentPixels("m.bmp", "m.png"), "0");
    ASSERT_EQ(Render({"julia", "--size", "8x6", "--raw", "-o", "j.raw", "--png", "j.png"}).exitCode,
              0);
    EXPECT_EQ(ReadFileBytes("j.raw"), ReferenceJulia({8, 6}));
    EXPECT_EQ(Identify("j.png"), "8x6");
    EXPECT_TRUE(HiddenFiles().empty());
}

TEST(RenderSizeTest, RefusedSizesAndKinds)
{
    struct Refused
    {
        QStringList args;
        const char *why;
    };
    const Refused refused[] = {
        {{"mandelbrot", "--size", "512x"}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size", "x512"}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size", "1e3x2"}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size", "+5x5"}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size", "5x5x5"}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size", "5 x5"}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size", "-5x5"}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size", "99999999999999999999x2"}, "from 2 to 32768"},
        {{"mandelbrot", "--size", ""}, "WIDTHxHEIGHT"},
        {{"mandelbrot", "--size"}, "needs a value"},
        {{"julia", "--size", "0x5"}, "from 2 to 32768"},
        {{"julia", "--size", "2x1"}, "from 2 to 32768"},
        {{"julia", "--size", "32769x2"}, "from 2 to 32768"},
        {{"julia", "--size", "2x32769"}, "from 2 to 32768"},
        {{"mandelbrot", "--size", "16385x16385"}, "at most 268435456"},
        {{"mandelbrot", "--size", "32768x8193"}, "at most 268435456"},
        {{"martin", "--size", "100x100"}, "only mandelbrot and julia"},
        {{"dla", "--size", "100x100"}, "only mandelbrot and julia"},
        {{"open", "x.bmp", "--size", "100x100"}, "only mandelbrot and julia"},
        {{"wallpaper", "--png", "w.png"}, "only mandelbrot, julia and open"},
        {{"mandelbrot", "--png", ""}, "empty file name"},
        {{"mandelbrot", "--png", "same.bmp", "-o", "./same.bmp"}, "same file"},
        {{"mandelbrot", "--png", "m.png", "--raw"}, "name the raw file"},
    };
    for (const Refused &r : refused) {
        const RunResult run = Render(r.args);
        const std::string what = r.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 2) << what;
        const QString first = run.err.section('\n', 0, 0);
        EXPECT_TRUE(first.startsWith("velorine-render: bad argument")) << run.err.toStdString();
        EXPECT_TRUE(first.contains(r.why)) << what << ": " << first.toStdString();
        EXPECT_TRUE(run.err.contains("--size WxH")) << "the usage follows";
    }
    EXPECT_TRUE(fs::is_empty(".")) << "nothing is written for a refused argument";
}

TEST(RenderSizeTest, TheLargestSizesAreAccepted)
{
    // A long thin picture is cheap to draw whole.
    ASSERT_EQ(Render({"mandelbrot", "--size", "32768x2", "--raw", "-o", "wide.raw"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes("wide.raw"), ReferenceMandelbrot({32768, 2}, -2.25, 0.75, -1.5, 1.5));
    // Beyond ImageMagick's default limits of 16384 a side: CDib reads it.
    ASSERT_EQ(Render({"julia", "--size", "2x32768", "-o", "tall.bmp"}).exitCode, 0);
    CDib dib;
    ASSERT_TRUE(dib.Load("tall.bmp"));
    EXPECT_EQ(dib.GetWidth(), 2);
    EXPECT_EQ(dib.GetHeight(), 32768);
    EXPECT_EQ(fs::file_size("tall.bmp"), 1078u + 4u * 32768u);
    // 2^28 pixels pass the arguments; the output folder is refused before any work, so the
    // exit is 1 and not a bad argument.
    for (const char *size : {"16384x16384", "32768x8192", "8192x32768"}) {
        const RunResult run = Render({"mandelbrot", "--size", size, "-o", "missing/out.bmp"});
        EXPECT_EQ(run.exitCode, 1) << size << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("cannot write missing/out.bmp")) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("bad argument"));
    }
    fs::create_directory("folder");
    const RunResult run = Render({"julia", "--size", "16384x16384", "--png", "folder"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("cannot write folder: Is a directory")) << run.err.toStdString();
}

TEST(RenderSizeTest, AFailedWriteKeepsTheOldFiles)
{
    // A file size limit stands in for a full disk. Every picture below is larger than the
    // limit, the PNG too.
    const auto limit = [] {
        const rlimit small {20000, 20000};
        ::setrlimit(RLIMIT_FSIZE, &small);
    };
    const QStringList cases[] = {
        {"mandelbrot", "--size", "1000x1000", "-o", "old.bmp"},
        {"mandelbrot", "--size", "1000x1000", "--png", "old.png"},
        {"julia", "--size", "1000x1000", "--raw", "-o", "old.bmp"},
        // The BMP fails, so the PNG is not put in place either.
        {"mandelbrot", "--size", "1000x1000", "-o", "old.bmp", "--png", "old.png"},
    };
    WriteFileBytes("old.bmp", {'o', 'l', 'd'});
    WriteFileBytes("old.png", {'o', 'l', 'd', '2'});
    for (const QStringList &args : cases) {
        const RunResult run = Render(args, limit);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("File too large")) << run.err.toStdString();
        EXPECT_EQ(ReadFileBytes("old.bmp"), (Bytes {'o', 'l', 'd'}));
        EXPECT_EQ(ReadFileBytes("old.png"), (Bytes {'o', 'l', 'd', '2'}));
        EXPECT_TRUE(HiddenFiles().empty());
    }
    // Without the limit the same PNG is written, and is larger than the limit.
    ASSERT_EQ(Render(cases[1]).exitCode, 0);
    EXPECT_GT(fs::file_size("old.png"), 20000u);
}

TEST(RenderSizeTest, APaletteIsCheckedBeforeTheWork)
{
    WriteFileBytes("short.rgb", Bytes(1023, 1));
    WriteFileBytes("kept.png", {'k'});
    RunResult run = Render(
        {"mandelbrot", "--size", "4000x4000", "--palette", "short.rgb", "--png", "kept.png"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.contains("Error!")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("a palette needs 1024 bytes"));
    run = Render({"julia", "--size", "4000x4000", "--palette", "absent.rgb", "--png", "kept.png"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("absent.rgb")) << run.err.toStdString();
    EXPECT_EQ(ReadFileBytes("kept.png"), Bytes {'k'});
    EXPECT_TRUE(HiddenFiles().empty());
}

} // namespace
