#include "image/CDib.h"
#include "platform/BmpFormat.h"
#include "platform/Exceptions.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::vector<uint8_t> DiagonalBuffer()
{
    std::vector<uint8_t> buffer(512 * 512);
    for (int j = 0; j < 512; ++j)
        for (int i = 0; i < 512; ++i)
            buffer[size_t(j) * 512 + i] = uint8_t((i + j) % 256);
    return buffer;
}

Bytes PaletteOf(size_t size, uint8_t fourth = 0)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = (i % 4 == 3) ? fourth : uint8_t(i * 7);
    return bytes;
}

} // namespace

TEST(DefaultPalette, BytesOfNewFile)
{
    CDib dib;
    ASSERT_TRUE(dib.WriteDefaultPalette("Velorine256.rgb"));
    const Bytes b = ReadFileBytes("Velorine256.rgb");
    ASSERT_EQ(b.size(), 1024u);
    auto entry = [&](int i) { return Bytes(b.begin() + 4 * i, b.begin() + 4 * i + 4); };
    EXPECT_EQ(entry(0), (Bytes {0, 0, 0, 0}));
    EXPECT_EQ(entry(1), (Bytes {64, 0, 0, 0}));
    EXPECT_EQ(entry(3), (Bytes {255, 0, 0, 0}));
    EXPECT_EQ(entry(4), (Bytes {0, 32, 0, 0}));
    EXPECT_EQ(entry(28), (Bytes {0, 255, 0, 0}));
    EXPECT_EQ(entry(32), (Bytes {0, 0, 32, 0}));
    EXPECT_EQ(entry(224), (Bytes {0, 0, 255, 0}));
    EXPECT_EQ(entry(255), (Bytes {255, 255, 255, 0}));
    for (unsigned char c : b)
        EXPECT_NE(c, 10);
}

TEST(DefaultPalette, OverwritesOnlyTheStartOfAnExistingFile)
{
    WriteFileBytes("old.rgb", Bytes(2000, 0xAB));
    CDib dib;
    ASSERT_TRUE(dib.WriteDefaultPalette("old.rgb"));
    WriteFileBytes("new.rgb", {});
    ASSERT_TRUE(dib.WriteDefaultPalette("new.rgb"));
    const Bytes b = ReadFileBytes("old.rgb");
    const Bytes fresh = ReadFileBytes("new.rgb");
    ASSERT_EQ(b.size(), 2000u);
    EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), b.begin()));
    EXPECT_EQ(b[1024], 0xAB);
    EXPECT_EQ(b[1999], 0xAB);
}

TEST(DefaultPalette, UnopenablePathGivesFalse)
{
    CDib dib;
    EXPECT_FALSE(dib.WriteDefaultPalette("no-such-dir/Velorine256.rgb"));
    std::filesystem::create_directory("adir");
    EXPECT_FALSE(dib.WriteDefaultPalette("adir"));
    EXPECT_FALSE(dib.WriteDefaultPalette(nullptr));
}

TEST(Compose, DiagonalPictureWithDefaultPalette)
{
    CDib composer;
    ASSERT_TRUE(composer.WriteDefaultPalette("Velorine256.rgb"));
    const auto buffer = DiagonalBuffer();
    ASSERT_TRUE(composer.Compose("temp.bmp", "Velorine256.rgb", buffer.data()));
    EXPECT_EQ(composer.m_strFileName, "temp.bmp");
    EXPECT_EQ(composer.m_strPaletteFile, "Velorine256.rgb");
    EXPECT_EQ(composer.m_pData, nullptr);

    const Bytes b = ReadFileBytes("temp.bmp");
    const Bytes pal = ReadFileBytes("Velorine256.rgb");
    ASSERT_EQ(b.size(), 263222u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(ReadLE32(&b[2]), 263222u);
    EXPECT_EQ(ReadLE32(&b[6]), 0u);
    EXPECT_EQ(ReadLE32(&b[10]), 1078u);
    const uint8_t *info = &b[14];
    EXPECT_EQ(ReadLE32(info), 40u);
    EXPECT_EQ(ReadLE32s(info + 4), 512);
    EXPECT_EQ(ReadLE32s(info + 8), 512);
    EXPECT_EQ(ReadLE16(info + 12), 1);
    EXPECT_EQ(ReadLE16(info + 14), 8);
    EXPECT_EQ(ReadLE32(info + 16), 0u);
    EXPECT_EQ(ReadLE32(info + 20), 262144u);
    EXPECT_EQ(ReadLE32(info + 24), 3780u);
    EXPECT_EQ(ReadLE32(info + 28), 3780u);
    EXPECT_EQ(ReadLE32(info + 32), 0u);
    EXPECT_EQ(ReadLE32(info + 36), 0u);
    EXPECT_TRUE(std::equal(pal.begin(), pal.end(), b.begin() + 54));
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), b.begin() + 1078));

    CDib view;
    ASSERT_TRUE(view.Load("temp.bmp"));
    EXPECT_EQ(view.m_pBits[0], 0);
    EXPECT_EQ(view.m_pBits[511 * 512 + 3], (511 + 3) % 256);
}

TEST(Compose, DefaultsAndNullBuffer)
{
    std::filesystem::create_directory("rgbs");
    WriteFileBytes("rgbs/Draw256.rgb", PaletteOf(1024));
    CDib composer;
    ASSERT_TRUE(composer.Compose(nullptr, nullptr, nullptr));
    EXPECT_EQ(composer.m_strFileName, "temp.bmp");
    EXPECT_EQ(composer.m_strPaletteFile, "rgbs/Draw256.rgb");
    const Bytes b = ReadFileBytes("temp.bmp");
    ASSERT_EQ(b.size(), 263222u);
    EXPECT_EQ(std::count(b.begin() + 1078, b.end(), 66), 262144);
}

TEST(Compose, PaletteLengthsAndFourthBytes)
{
    ScopedTestProviders providers;
    const auto buffer = DiagonalBuffer();
    CDib composer;

    WriteFileBytes("short.rgb", PaletteOf(1023));
    WriteFileBytes("temp.bmp", Bytes(5000, 1));
    EXPECT_FALSE(composer.Compose("temp.bmp", "short.rgb", buffer.data()));
    EXPECT_EQ(std::filesystem::file_size("temp.bmp"), 0u);
    ASSERT_EQ(providers.messages().shown.size(), 1u);
    EXPECT_EQ(providers.messages().shown[0].text, "Error!");
    EXPECT_EQ(providers.messages().shown[0].caption, "Warning!");
    EXPECT_EQ(providers.messages().shown[0].flags, MB_OK);
    EXPECT_FALSE(composer.Load("temp.bmp"));

    Bytes longer = PaletteOf(1024, 0x5A);
    WriteFileBytes("exact.rgb", longer);
    longer.resize(3000, 0xEE);
    WriteFileBytes("long.rgb", longer);
    ASSERT_TRUE(composer.Compose("a.bmp", "exact.rgb", buffer.data()));
    ASSERT_TRUE(composer.Compose("b.bmp", "long.rgb", buffer.data()));
    const Bytes a = ReadFileBytes("a.bmp");
    EXPECT_EQ(a, ReadFileBytes("b.bmp"));
    ASSERT_EQ(a.size(), 263222u);
    EXPECT_TRUE(std::equal(a.begin() + 54, a.begin() + 1078, longer.begin()));
    EXPECT_EQ(a[54 + 3], 0x5A);
    EXPECT_EQ(providers.messages().shown.size(), 1u);
}

TEST(Compose, UnopenableFilesThrow)
{
    ScopedTestProviders providers;
    CDib composer;
    try {
        composer.Compose("temp.bmp", "missing.rgb", nullptr);
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, "missing.rgb");
    }
    // The output was created before the palette was looked at.
    EXPECT_TRUE(std::filesystem::exists("temp.bmp"));
    EXPECT_EQ(std::filesystem::file_size("temp.bmp"), 0u);
    EXPECT_EQ(composer.m_strPaletteFile, "missing.rgb");

    WriteFileBytes("good.rgb", PaletteOf(1024));
    try {
        composer.Compose("no-such-dir/out.bmp", "good.rgb", nullptr);
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_strFileName, "no-such-dir/out.bmp");
    }
    EXPECT_TRUE(providers.messages().shown.empty());
}

TEST(ShowError, TextOrDefault)
{
    ScopedTestProviders providers;
    CDib dib;
    dib.ShowError(nullptr);
    dib.ShowError("磁盘已满");
    ASSERT_EQ(providers.messages().shown.size(), 2u);
    EXPECT_EQ(providers.messages().shown[0].text, "Error!");
    EXPECT_EQ(providers.messages().shown[1].text, QString::fromUtf8("磁盘已满"));
    EXPECT_EQ(providers.messages().shown[1].caption, "Warning!");
    EXPECT_EQ(providers.messages().shown[1].flags & (MB_TYPEMASK | MB_ICONMASK), MB_OK);
}
