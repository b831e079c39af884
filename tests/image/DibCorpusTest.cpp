// The BMP conformance suite: good files must show what they hold, every file must be safe.

#include "DibTestSupport.h"

#include "tests/common/TestSupport.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The folder's pictures; a missing or empty folder fails the test rather than passing over
// nothing.
std::vector<std::string> Files(const char *folder)
{
    std::vector<std::string> files;
    const fs::path dir = fs::path(CorpusDir()) / "bmpsuite" / folder;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".bmp")
            files.push_back(it->path().string());
    if (ec)
        ADD_FAILURE() << "cannot read the corpus folder " << dir << ": " << ec.message();
    else if (files.empty())
        ADD_FAILURE() << "no .bmp files in the corpus folder " << dir;
    std::sort(files.begin(), files.end());
    return files;
}

// ImageMagick's reading of the file, as RGBA bytes top row first.
QByteArray Reference(const std::string &path)
{
    QProcess convert;
    convert.start(VELORINE_CONVERT,
                  {QString::fromStdString(path), "-depth", "8", "rgba:reference.rgba"});
    if (!convert.waitForFinished(60000) || convert.exitCode() != 0)
        return {};
    const auto bytes = ReadFileBytes("reference.rgba");
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// A picture held before each corpus file, to show refusals keep it.
void LoadSentinel(CDib &dib)
{
    BmpRecipe s;
    s.nWidth = 3;
    s.nHeight = 3;
    s.pixels.assign(size_t(RowBytes(3, 8)) * 3, 77);
    WriteFileBytes("sentinel.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("sentinel.bmp"));
}

// Loads, draws, sets a pixel and saves any file; returns whether it loaded.
bool Exercise(const std::string &path)
{
    CDib dib;
    LoadSentinel(dib);
    const QImage before = OwnSize(dib);
    const bool loaded = dib.Load(path.c_str());
    if (!loaded) {
        EXPECT_EQ(dib.m_strFileName, "sentinel.bmp") << path;
        EXPECT_EQ(OwnSize(dib), before) << path;
        return false;
    }
    EXPECT_EQ(dib.m_strFileName, path);
    const QImage own = OwnSize(dib);
    DrawnImage(dib, 300, 200, false, 300, 200);
    DrawnImage(dib, 64, 48, true, 64, 48);
    EXPECT_TRUE(dib.Save("saved.bmp")) << path;
    CDib again;
    EXPECT_TRUE(again.Load("saved.bmp")) << path;
    EXPECT_EQ(OwnSize(again), own) << path;
    dib.SetPixel(0, 0, 0x00FF00FF);
    dib.SetPixel(dib.GetWidth() - 1, std::abs(dib.GetHeight()) - 1, 1);
    OwnSize(dib);
    return true;
}

} // namespace

TEST(DibCorpus, GoodFilesShowWhatTheyHold)
{
    const auto files = Files("g");
    ASSERT_GT(files.size(), 20u);
    for (const auto &path : files) {
        const bool os2 = fs::path(path).filename() == "pal8os2.bmp";
        const bool loaded = Exercise(path);
        if (os2) {
            EXPECT_FALSE(loaded) << "12-byte headers are not read";
            continue;
        }
        ASSERT_TRUE(loaded) << path;
        CDib dib;
        ASSERT_TRUE(dib.Load(path.c_str()));
        const QImage own = OwnSize(dib);
        const QByteArray ref = Reference(path);
        ASSERT_EQ(ref.size(), qsizetype(own.width()) * own.height() * 4) << path;
        int mismatches = 0;
        for (int y = 0; y < own.height() && mismatches < 5; ++y) {
            for (int x = 0; x < own.width() && mismatches < 5; ++x) {
                const auto *p = reinterpret_cast<const uint8_t *>(ref.constData())
                    + (qsizetype(y) * own.width() + x) * 4;
                const QRgb got = own.pixel(x, y);
                if (qRgb(p[0], p[1], p[2]) != (got | 0xFF000000u)) {
                    ++mismatches;
                    ADD_FAILURE() << path << " at " << x << "," << y << ": got " << std::hex << got
                                  << " want " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
                }
            }
        }
    }
}

TEST(DibCorpus, QuestionableAndBadFilesAreSafe)
{
    int loaded = 0, refused = 0;
    for (const char *folder : {"q", "b", "x"}) {
        for (const auto &path : Files(folder))
            (Exercise(path) ? loaded : refused)++;
    }
    // Every file the repository keeps is read: 41 questionable, 20 bad, 1 other.
    EXPECT_EQ(loaded + refused, 62);
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}
