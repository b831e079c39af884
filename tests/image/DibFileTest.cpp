#include "DibTestSupport.h"

#include "platform/BmpFormat.h"
#include "tests/common/TestAccess.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Composed()
{
    CDib composer;
    composer.WriteDefaultPalette("Velorine256.rgb");
    std::vector<uint8_t> buffer(512 * 512);
    for (size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = uint8_t(i * 13 / 7);
    composer.Compose("composed.bmp", "Velorine256.rgb", buffer.data());
    return ReadFileBytes("composed.bmp");
}

// Everything the object holds, to show a refused load changed nothing.
struct Snapshot
{
    explicit Snapshot(const CDib &d)
        : name(d.m_strFileName)
        , data(d.m_pData)
        , bits(d.m_pBits)
        , colors(d.m_pColors)
        , size(d.m_dwDataSize)
        , nColors(d.m_nColors)
        , paletteEntries(int(TestAccess<CPalette>::Entries(d.m_palette).size()))
        , picture(OwnSize(d))
    {
    }
    bool operator==(const Snapshot &) const = default;
    std::string name;
    const uint8_t *data, *bits, *colors;
    uint32_t size;
    int nColors, paletteEntries;
    QImage picture;
};

} // namespace

TEST(DibLoad, ComposedEightBitPicture)
{
    WriteFileBytes("pic.bmp", Composed());
    CDib dib;
    ASSERT_TRUE(dib.Load("pic.bmp"));
    EXPECT_EQ(dib.m_strFileName, "pic.bmp");
    EXPECT_EQ(dib.m_nColors, 256);
    EXPECT_EQ(dib.m_pInfo, dib.m_pData);
    EXPECT_EQ(dib.m_pColors - dib.m_pData, 40);
    EXPECT_EQ(dib.m_pBits - dib.m_pData, 1064);
    EXPECT_EQ(dib.m_dwDataSize, 263222u - 14);
    EXPECT_EQ(dib.GetWidth(), 512);
    EXPECT_EQ(dib.GetHeight(), 512);
    EXPECT_EQ(dib.GetBitCount(), 8);
    const auto &entries = TestAccess<CPalette>::Entries(dib.m_palette);
    ASSERT_EQ(entries.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(entries[i].peRed, dib.m_pColors[4 * i + 2]);
        EXPECT_EQ(entries[i].peGreen, dib.m_pColors[4 * i + 1]);
        EXPECT_EQ(entries[i].peBlue, dib.m_pColors[4 * i]);
        EXPECT_EQ(entries[i].peFlags, 0);
    }
}

TEST(DibLoad, ColourCountsAndWhereThePixelsStart)
{
    BmpRecipe s;
    s.nClrUsed = 16;
    WriteFileBytes("c16.bmp", BuildBmp(s));
    CDib dib;
    ASSERT_TRUE(dib.Load("c16.bmp"));
    EXPECT_EQ(dib.m_nColors, 16);
    EXPECT_EQ(dib.m_pBits - dib.m_pColors, 64);

    s = BmpRecipe();
    s.nBitCount = 24;
    WriteFileBytes("rgb.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("rgb.bmp"));
    EXPECT_EQ(dib.m_nColors, 0);
    EXPECT_TRUE(dib.m_palette.IsEmpty());
    EXPECT_EQ(dib.m_pBits - dib.m_pData, 40);

    // Above 8 bits a carried table is stepped over; a bit-field file's masks come first.
    s = BmpRecipe();
    s.nBitCount = 16;
    s.nCompression = BI_BITFIELDS;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.nClrUsed = 5;
    s.nTableEntries = 5;
    WriteFileBytes("bf.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("bf.bmp"));
    EXPECT_EQ(dib.m_nColors, 0);
    EXPECT_EQ(dib.m_pColors - dib.m_pData, 52);
    EXPECT_EQ(dib.m_pBits - dib.m_pData, 72);

    // A bfOffBits that lies is not believed.
    s = BmpRecipe();
    s.nBitCount = 4;
    s.nOffBits = 9999;
    WriteFileBytes("off.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("off.bmp"));
    EXPECT_EQ(dib.m_nColors, 16);
    EXPECT_EQ(dib.m_pBits - dib.m_pData, 40 + 64);

    for (uint32_t header : {52u, 56u, 108u, 124u}) {
        s = BmpRecipe();
        s.nHeaderSize = header;
        WriteFileBytes("v.bmp", BuildBmp(s));
        ASSERT_TRUE(dib.Load("v.bmp")) << header;
        EXPECT_EQ(dib.m_pColors - dib.m_pData, header);
        EXPECT_EQ(dib.m_pBits - dib.m_pColors, 1024);
    }
}

TEST(DibLoad, RefusalsKeepThePreviousPicture)
{
    WriteFileBytes("good.bmp", Composed());
    Bytes ba = ReadFileBytes("good.bmp");
    ba[1] = 'A';
    WriteFileBytes("ba.bmp", ba);
    WriteFileBytes("ten.bmp", Bytes(ba.begin(), ba.begin() + 10));
    WriteFileBytes("empty.bmp", {});
    WriteFileBytes("headeronly.bmp", Bytes(ba.begin(), ba.begin() + 14));
    fs::create_directory("folder.bmp");

    CDib dib;
    ASSERT_TRUE(dib.Load("good.bmp"));
    const Snapshot before(dib);
    for (const char *bad :
         {"ba.bmp", "ten.bmp", "empty.bmp", "missing.bmp", "headeronly.bmp", "folder.bmp", ""}) {
        EXPECT_FALSE(dib.Load(bad)) << bad;
        EXPECT_TRUE(Snapshot(dib) == before) << bad;
    }
    EXPECT_FALSE(dib.Load(nullptr));
    EXPECT_EQ(dib.m_strFileName, "good.bmp");

    CDib empty;
    EXPECT_FALSE(empty.Load("ba.bmp"));
    EXPECT_EQ(empty.m_pData, nullptr);
    EXPECT_TRUE(empty.m_strFileName.empty());
}

TEST(DibSave, RoundTripIsByteIdentical)
{
    const Bytes original = Composed();
    WriteFileBytes("in.bmp", original);
    CDib dib;
    ASSERT_TRUE(dib.Load("in.bmp"));
    ASSERT_TRUE(dib.Save("out.bmp"));
    EXPECT_EQ(ReadFileBytes("out.bmp"), original);
    EXPECT_EQ(dib.m_strFileName, "in.bmp");

    // Header offsets are made afresh from where the pixels are held.
    BmpRecipe s;
    s.nClrUsed = 16;
    s.nOffBits = 4;
    WriteFileBytes("c16.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("c16.bmp"));
    ASSERT_TRUE(dib.Save("c16-out.bmp"));
    const Bytes out = ReadFileBytes("c16-out.bmp");
    EXPECT_EQ(ReadLE32(&out[10]), 14u + 40 + 64);
    EXPECT_EQ(ReadLE32(&out[2]), out.size());
    EXPECT_TRUE(dib.Load("c16-out.bmp"));
}

TEST(DibSave, FailuresLeaveFilesAlone)
{
    CDib fresh;
    EXPECT_FALSE(fresh.Save("fresh.bmp"));
    EXPECT_FALSE(fs::exists("fresh.bmp"));

    WriteFileBytes("in.bmp", Composed());
    CDib dib;
    ASSERT_TRUE(dib.Load("in.bmp"));

    fs::create_directory("target.bmp");
    EXPECT_FALSE(dib.Save("target.bmp"));
    EXPECT_TRUE(fs::is_directory("target.bmp"));
    EXPECT_FALSE(dib.Save("no-such-dir/x.bmp"));

    fs::create_directory("locked");
    const Bytes old(100, 7);
    WriteFileBytes("locked/old.bmp", old);
    fs::permissions("locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (access("locked", W_OK) != 0) {
        EXPECT_FALSE(dib.Save("locked/old.bmp"));
        EXPECT_EQ(ReadFileBytes("locked/old.bmp"), old);
    }
    fs::permissions("locked", fs::perms::owner_all);

    // A write that fails half way (the file-size limit stands in for a full disk).
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved4k = dib.Save("locked/old.bmp");
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(saved4k);
    EXPECT_EQ(ReadFileBytes("locked/old.bmp"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator("locked"), fs::directory_iterator()), 1);
}

TEST(DibSave, KeepsPermissionsAndWritesThroughSymlinks)
{
    WriteFileBytes("in.bmp", Composed());
    CDib dib;
    ASSERT_TRUE(dib.Load("in.bmp"));
    WriteFileBytes("real.bmp", Bytes(10, 1));
    chmod("real.bmp", 0640);
    fs::create_symlink("real.bmp", "link.bmp");
    ASSERT_TRUE(dib.Save("link.bmp"));
    EXPECT_TRUE(fs::is_symlink("link.bmp"));
    EXPECT_EQ(ReadFileBytes("real.bmp"), ReadFileBytes("in.bmp"));
    struct stat st;
    ASSERT_EQ(stat("real.bmp", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(DibSetPixel, EightAndTwentyFourBitOnly)
{
    CDib dib;
    EXPECT_FALSE(dib.SetPixel(0, 0, 21));

    WriteFileBytes("pic.bmp", Composed());
    ASSERT_TRUE(dib.Load("pic.bmp"));
    EXPECT_TRUE(dib.SetPixel(0, 0, 0xFFFFFF15));
    EXPECT_EQ(dib.m_pBits[0], 21);
    EXPECT_TRUE(dib.SetPixel(511, 511, 9));
    EXPECT_EQ(dib.m_pBits[512 * 512 - 1], 9);
    const Bytes before(dib.m_pData, dib.m_pData + dib.m_dwDataSize);
    for (auto [x, y] : {std::pair {-1, 0}, {0, -1}, {512, 0}, {0, 512}, {1 << 30, 3}})
        EXPECT_FALSE(dib.SetPixel(x, y, 1)) << x << "," << y;
    EXPECT_EQ(Bytes(dib.m_pData, dib.m_pData + dib.m_dwDataSize), before);

    BmpRecipe s;
    s.nBitCount = 24;
    s.nWidth = 3;
    s.nHeight = 2;
    WriteFileBytes("rgb.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("rgb.bmp"));
    EXPECT_TRUE(dib.SetPixel(2, 1, 0x00112233));
    const uint8_t *p = dib.m_pBits + RowBytes(3, 24) + 6;
    EXPECT_EQ(p[0], 0x11);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x33);
    EXPECT_FALSE(dib.SetPixel(3, 0, 1));

    for (uint16_t bits : {1, 4, 16, 32}) {
        s = BmpRecipe();
        s.nBitCount = bits;
        WriteFileBytes("other.bmp", BuildBmp(s));
        ASSERT_TRUE(dib.Load("other.bmp"));
        EXPECT_FALSE(dib.SetPixel(0, 0, 1)) << bits;
    }

    // Run-length pixels are not rows: writing into them would corrupt the picture.
    s = BmpRecipe();
    s.nCompression = BI_RLE8;
    s.pixels = {4, 7, 0, 0, 4, 9, 0, 1};
    WriteFileBytes("rle.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("rle.bmp"));
    EXPECT_FALSE(dib.SetPixel(0, 0, 1));

    // A top-down picture: stored row 0 is its top row.
    s = BmpRecipe();
    s.nHeight = -2;
    WriteFileBytes("td.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("td.bmp"));
    EXPECT_TRUE(dib.SetPixel(1, 1, 200));
    EXPECT_EQ(dib.m_pBits[RowBytes(4, 8) + 1], 200);
    EXPECT_FALSE(dib.SetPixel(0, 2, 1));
}

TEST(DibLoad, FilesLargerThanAnyPictureAreNotRead)
{
    WriteFileBytes("huge.bmp", Composed());
    fs::resize_file("huge.bmp", (uintmax_t(1) << 30) + (uintmax_t(1) << 21));
    mkfifo("pipe.bmp", 0600);
    CDib dib;
    EXPECT_FALSE(dib.Load("huge.bmp"));
    EXPECT_FALSE(dib.Load("pipe.bmp"));
    EXPECT_EQ(dib.m_pData, nullptr);
}
