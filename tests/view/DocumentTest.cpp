// The document's settings at start and the life of the two working files.

#include "tests/common/TestSupport.h"
#include "view/CVelorineDoc.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

class DocumentTest : public ::testing::Test
{
protected:
    void TearDown() override { CVelorineDoc::KeepWorkingFiles(false); }
    std::string Cwd() const { return fs::current_path().string(); }
};

TEST_F(DocumentTest, StartsWithTheDefaultsAndAFreshDefaultPalette)
{
    CVelorineDoc doc;
    EXPECT_EQ(std::bit_cast<uint64_t>(doc.m_dJuliaRe), 0xBFCCA3D700000000ull);
    EXPECT_EQ(std::bit_cast<uint64_t>(doc.m_dJuliaIm), 0x3FE87B8900000000ull);
    EXPECT_EQ(doc.m_nJuliaPreset, 0);
    EXPECT_TRUE(doc.m_bZoomDisplay);
    EXPECT_EQ(doc.m_strWorkDir, Cwd());
    EXPECT_EQ(doc.m_strPalettePath, Cwd() + "/Velorine256.rgb");
    EXPECT_TRUE(doc.OnNewDocument());

    const auto bytes = ReadFileBytes("Velorine256.rgb");
    ASSERT_EQ(bytes.size(), 1024u);
    // Entry 1 pure dark blue, entry 4 dark green, entry 32 dark red, entry 255 white.
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 4, bytes.begin() + 8),
              (std::vector<unsigned char> {64, 0, 0, 0}));
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 16, bytes.begin() + 20),
              (std::vector<unsigned char> {0, 32, 0, 0}));
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 128, bytes.begin() + 132),
              (std::vector<unsigned char> {0, 0, 32, 0}));
    EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 4, bytes.end()),
              (std::vector<unsigned char> {255, 255, 255, 0}));
}

TEST_F(DocumentTest, FallsBackToTheShippedPaletteWhenTheDefaultCannotBeWritten)
{
    // A directory of that name cannot be opened as a file, even by a privileged user.
    fs::create_directory("Velorine256.rgb");
    {
        CVelorineDoc doc;
        EXPECT_EQ(doc.m_strPalettePath, Cwd() + "/rgbs/draw256.rgb");
    }
    // The clean-up deletes files only.
    EXPECT_TRUE(fs::is_directory("Velorine256.rgb"));
}

TEST_F(DocumentTest, OverwritesTheStartOfAnExistingPaletteFileAndDeletesItAtTheEnd)
{
    WriteFileBytes("Velorine256.rgb", std::vector<unsigned char>(2000, 10));
    {
        CVelorineDoc doc;
        const auto bytes = ReadFileBytes("Velorine256.rgb");
        ASSERT_EQ(bytes.size(), 2000u);
        EXPECT_EQ(bytes[4], 64);
        EXPECT_EQ(bytes[1023], 0);
        EXPECT_EQ(bytes[1024], 10);
    }
    EXPECT_FALSE(fs::exists("Velorine256.rgb"));
}

TEST_F(DocumentTest, DeletesBothWorkingFilesUnlessToldToKeepThem)
{
    {
        CVelorineDoc doc;
        WriteFileBytes("temp.bmp", {'B', 'M'});
        // Another palette chosen since: the default one still goes.
        doc.m_strPalettePath = Cwd() + "/other.rgb";
    }
    EXPECT_FALSE(fs::exists("Velorine256.rgb"));
    EXPECT_FALSE(fs::exists("temp.bmp"));

    CVelorineDoc::KeepWorkingFiles(true);
    {
        CVelorineDoc doc;
        WriteFileBytes("temp.bmp", {'B', 'M'});
    }
    EXPECT_TRUE(fs::exists("Velorine256.rgb"));
    EXPECT_TRUE(fs::exists("temp.bmp"));
}

TEST_F(DocumentTest, DeletesTheWorkingFilesOfTheDirectoryCurrentAtTheEnd)
{
    const fs::path start = fs::current_path();
    fs::create_directory("later");
    auto doc = std::make_unique<CVelorineDoc>();
    fs::current_path("later");
    WriteFileBytes("temp.bmp", {'B', 'M'});
    doc.reset();
    EXPECT_FALSE(fs::exists("temp.bmp"));
    fs::current_path(start);
    EXPECT_TRUE(fs::exists("Velorine256.rgb"));
    EXPECT_EQ(ReadFileBytes("Velorine256.rgb").size(), 1024u);
}

// Decided by the files' own mode bits, so the test means the same when run as root.
TEST_F(DocumentTest, LeavesWorkingFilesTheUserCannotWrite)
{
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    {
        CVelorineDoc doc;
        WriteFileBytes("temp.bmp", {'B', 'M'});
        fs::permissions("Velorine256.rgb", readOnly);
        fs::permissions("temp.bmp", readOnly);
    }
    EXPECT_TRUE(fs::exists("Velorine256.rgb"));
    EXPECT_TRUE(fs::exists("temp.bmp"));
    EXPECT_EQ(ReadFileBytes("temp.bmp"), (std::vector<unsigned char> {'B', 'M'}));

    // Only the read-only one stays; writable by the owner alone is writable.
    fs::remove("Velorine256.rgb");
    {
        CVelorineDoc doc;
        fs::permissions("Velorine256.rgb", fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_FALSE(fs::exists("Velorine256.rgb"));
    EXPECT_TRUE(fs::exists("temp.bmp"));
}

} // namespace
