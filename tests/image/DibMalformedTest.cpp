// Crafted damaged files, one per refused case, and random damage to valid headers. Run under
// the sanitizers: a read past the block is a failure even when the result looks right.

#include "DibTestSupport.h"

#include "platform/BmpFormat.h"
#include "platform/CDC.h"
#include "platform/StretchDIBits.h"
#include "tests/common/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>

namespace {

using Bytes = std::vector<uint8_t>;

struct Damage
{
    const char *name;
    std::function<Bytes()> build;
    bool bLoads; // accepted, then drawn safely
};

Bytes With(std::function<void(BmpRecipe &)> edit)
{
    BmpRecipe s;
    edit(s);
    return BuildBmp(s);
}

Bytes Truncated(Bytes b, size_t size)
{
    b.resize(size);
    return b;
}

Bytes Patched32(Bytes b, size_t offset, uint32_t value)
{
    WriteLE32(b.data() + offset, value);
    return b;
}

Bytes Rle(std::vector<uint8_t> data, uint32_t compression = BI_RLE8)
{
    return With([&](BmpRecipe &s) {
        s.nWidth = 8;
        s.nHeight = 4;
        s.nBitCount = compression == BI_RLE8 ? 8 : 4;
        s.nCompression = compression;
        s.pixels = data;
    });
}

const std::vector<Damage> &Table()
{
    // clang-format off
    static const std::vector<Damage> table = {
        { "info header cut short", [] { return Truncated(With([](BmpRecipe &) {}), 14 + 30); }, false },
        { "v5 header cut short", [] { return Truncated(With([](BmpRecipe &s) { s.nHeaderSize = 124; }), 14 + 100); }, false },
        { "os2 header", [] { return Patched32(With([](BmpRecipe &) {}), 14, 12); }, false },
        { "header size 64", [] { return Patched32(With([](BmpRecipe &) {}), 14, 64); }, false },
        { "header size huge", [] { return Patched32(With([](BmpRecipe &) {}), 14, 0xFFFFFFF0u); }, false },
        { "colour table cut short", [] { return Truncated(With([](BmpRecipe &) {}), 14 + 40 + 1000); }, false },
        { "rows cut short", [] { return Truncated(With([](BmpRecipe &) {}), 14 + 40 + 1024 + 7); }, false },
        { "huge biClrUsed", [] { return With([](BmpRecipe &s) { s.nClrUsed = 0xFFFFFFFFu; s.nTableEntries = 2; }); }, false },
        { "biClrUsed above 2^bits", [] { return With([](BmpRecipe &s) { s.nBitCount = 4; s.nClrUsed = 17; }); }, false },
        { "huge biClrUsed at 24 bits", [] { return With([](BmpRecipe &s) { s.nBitCount = 24; s.nClrUsed = 0x40000000u; s.nTableEntries = 1; }); }, false },
        { "width times bits overflows", [] { return With([](BmpRecipe &s) { s.nBitCount = 32; s.nWidth = 0x40000001; s.nHeight = 1; s.pixels = Bytes(64); }); }, false },
        { "too many pixels", [] { return With([](BmpRecipe &s) { s.nWidth = 32768; s.nHeight = 32768; s.pixels = Bytes(64); }); }, false },
        { "side too long", [] { return With([](BmpRecipe &s) { s.nWidth = 32769; s.nHeight = 1; s.pixels = Bytes(64); }); }, false },
        { "negative width", [] { return With([](BmpRecipe &s) { s.nWidth = -4; s.pixels = Bytes(64); }); }, false },
        { "zero width", [] { return With([](BmpRecipe &s) { s.nWidth = 0; s.pixels = Bytes(64); }); }, false },
        { "zero height", [] { return With([](BmpRecipe &s) { s.nHeight = 0; s.pixels = Bytes(64); }); }, false },
        { "height INT_MIN", [] { return With([](BmpRecipe &s) { s.nHeight = INT_MIN; s.pixels = Bytes(64); }); }, false },
        { "planes 0", [] { return With([](BmpRecipe &s) { s.nPlanes = 0; }); }, false },
        { "planes 2", [] { return With([](BmpRecipe &s) { s.nPlanes = 2; }); }, false },
        { "bit count 2", [] { return With([](BmpRecipe &s) { s.nBitCount = 2; }); }, false },
        { "bit count 0", [] { return With([](BmpRecipe &s) { s.nBitCount = 0; s.pixels = Bytes(64); }); }, false },
        { "compression 4", [] { return With([](BmpRecipe &s) { s.nCompression = 4; }); }, false },
        { "RLE8 at 4 bits", [] { return With([](BmpRecipe &s) { s.nBitCount = 4; s.nCompression = BI_RLE8; }); }, false },
        { "bit fields at 8 bits", [] { return With([](BmpRecipe &s) { s.nCompression = BI_BITFIELDS; }); }, false },
        { "bit fields without masks", [] { return Truncated(With([](BmpRecipe &s) { s.nBitCount = 16; s.nCompression = BI_BITFIELDS; s.masks = { 1, 2, 4 }; }), 14 + 44); }, false },
        { "top-down run-length", [] { return With([](BmpRecipe &s) { s.nHeight = -2; s.nCompression = BI_RLE8; s.pixels = { 0, 1 }; }); }, false },
        { "offset past the end", [] { return With([](BmpRecipe &s) { s.nOffBits = 0xFFFFFFFFu; }); }, true },
        { "run past the row", [] { return Rle({ 200, 5, 0, 0, 9, 6, 0, 1 }); }, true },
        { "delta past the picture", [] { return Rle({ 2, 5, 0, 2, 250, 250, 3, 7, 0, 1 }); }, true },
        { "absolute run past the data", [] { return Rle({ 0, 200, 1, 2, 3 }); }, true },
        { "absolute run past the row", [] { return Rle({ 0, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 1 }); }, true },
        { "rows past the picture", [] { return Rle({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4, 0, 1 }); }, true },
        { "delta cut off", [] { return Rle({ 4, 3, 0, 2, 1 }); }, true },
        { "no end of picture", [] { return Rle({ 4, 3, 4, 4 }); }, true },
        { "no run-length data", [] { return Rle({}); }, true },
        { "RLE4 run past the row", [] { return Rle({ 255, 0x12, 0, 0, 0, 9, 0x12, 0x34, 0x56, 0, 1 }, BI_RLE4); }, true },
        { "RLE4 absolute run past the data", [] { return Rle({ 0, 255, 0x12 }, BI_RLE4); }, true },
        { "index past the table", [] { return With([](BmpRecipe &s) { s.nClrUsed = 2; s.pixels = Bytes(8, 200); }); }, true },
        { "trailing bytes", [] { Bytes b = With([](BmpRecipe &) {}); b.resize(b.size() + 100, 9); return b; }, true },
    };
    // clang-format on
    return table;
}

void DrawAll(CDib &dib)
{
    OwnSize(dib);
    DrawnImage(dib, 37, 23, false, 37, 23);
    DrawnImage(dib, 37, 23, true, 37, 23);
    DrawnImage(dib, 20, 20, false, -20, -20);
}

} // namespace

TEST(DibMalformed, EachDamageIsRefusedOrDrawnSafely)
{
    for (const Damage &d : Table()) {
        SCOPED_TRACE(d.name);
        WriteFileBytes("good.bmp", BuildBmp(BmpRecipe()));
        WriteFileBytes("damaged.bmp", d.build());
        CDib dib;
        ASSERT_TRUE(dib.Load("good.bmp"));
        const QImage before = OwnSize(dib);
        const uint8_t *data = dib.m_pData;
        EXPECT_EQ(dib.Load("damaged.bmp"), d.bLoads);
        if (d.bLoads) {
            DrawAll(dib);
            dib.SetPixel(0, 0, 1);
            EXPECT_TRUE(dib.Save("saved.bmp"));
            CDib again;
            EXPECT_TRUE(again.Load("saved.bmp"));
        } else {
            EXPECT_EQ(dib.m_pData, data);
            EXPECT_EQ(dib.m_strFileName, "good.bmp");
            EXPECT_EQ(OwnSize(dib), before);
        }
    }
}

TEST(DibMalformed, RunLengthSkipsLeaveTheDestination)
{
    // Four pixels of index 3 on the bottom row, a jump of (2, 2) and two pixels of 5.
    WriteFileBytes("rle.bmp", Rle({4, 3, 0, 2, 2, 2, 2, 5, 0, 1}));
    CDib dib;
    ASSERT_TRUE(dib.Load("rle.bmp"));
    const QImage img = DrawnImage(dib, 8, 4);
    EXPECT_EQ(img.pixel(0, 3), TableColor(3).rgb());
    EXPECT_EQ(img.pixel(3, 3), TableColor(3).rgb());
    EXPECT_EQ(img.pixelColor(4, 3), QColor(1, 2, 3));
    EXPECT_EQ(img.pixel(6, 1), TableColor(5).rgb());
    EXPECT_EQ(img.pixel(7, 1), TableColor(5).rgb());
    EXPECT_EQ(img.pixelColor(5, 1), QColor(1, 2, 3));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(1, 2, 3));

    WriteFileBytes("rle4.bmp", Rle({3, 0x12, 0, 3, 0x45, 0x60, 0, 1}, BI_RLE4));
    ASSERT_TRUE(dib.Load("rle4.bmp"));
    const QImage img4 = DrawnImage(dib, 8, 4);
    const int want[] = {1, 2, 1, 4, 5, 6};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(img4.pixel(x, 3), TableColor(want[x]).rgb()) << x;
}

TEST(DibMalformed, RandomHeaderDamage)
{
    std::mt19937 random(20240611);
    std::vector<Bytes> seeds;
    for (uint16_t bits : {1, 4, 8, 16, 24, 32})
        seeds.push_back(With([&](BmpRecipe &s) {
            s.nBitCount = bits;
            s.nWidth = 9;
            s.nHeight = 5;
        }));
    seeds.push_back(With([](BmpRecipe &s) {
        s.nHeaderSize = 124;
        s.nBitCount = 32;
        s.nCompression = BI_BITFIELDS;
        s.masks = {0xFF0000, 0xFF00, 0xFF};
    }));
    seeds.push_back(With([](BmpRecipe &s) {
        s.nBitCount = 16;
        s.nCompression = BI_BITFIELDS;
        s.masks = {0xF800, 0x7E0, 0x1F};
    }));
    seeds.push_back(Rle({4, 3, 0, 2, 2, 2, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 1}));
    seeds.push_back(Rle({4, 0x34, 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 1}, BI_RLE4));

    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes b = seeds[random() % seeds.size()];
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e) {
            if (b.size() <= 15)
                break;
            const size_t limit = std::min<size_t>(b.size(), 14 + 140);
            const size_t at = 14 + random() % (limit - 14);
            switch (random() % 4) {
            case 0:
                b[at] = uint8_t(random());
                break;
            case 1:
                b[at] ^= uint8_t(1u << (random() % 8));
                break;
            case 2:
                if (at + 4 <= b.size())
                    WriteLE32(b.data() + at, random() % 2 ? 0xFFFFFFFFu : 0x80000000u);
                break;
            default:
                b.resize(14 + random() % (b.size() - 13));
                break;
            }
        }
        WriteFileBytes("fuzz.bmp", b);
        CDib dib;
        if (dib.Load("fuzz.bmp")) {
            ++loaded;
            DrawAll(dib);
            dib.SetPixel(int(random() % 16), int(random() % 16), 7);
        }
    }
    EXPECT_GT(loaded, 100);
}

TEST(DibMalformed, DrawingStaysInsideTheBoundsItIsGiven)
{
    std::mt19937 random(7);
    for (const Bytes &file : {With([](BmpRecipe &s) {
                                  s.nBitCount = 24;
                                  s.nWidth = 5;
                                  s.nHeight = 3;
                              }),
                              With([](BmpRecipe &s) {
                                  s.nBitCount = 1;
                                  s.nWidth = 33;
                              }),
                              With([](BmpRecipe &s) {
                                  s.nHeaderSize = 56;
                                  s.nBitCount = 16;
                                  s.nCompression = BI_BITFIELDS;
                                  s.masks = {0xF800, 0x7E0, 0x1F};
                              }),
                              Rle({4, 3, 0, 2, 2, 2, 0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 1})}) {
        DibLayout layout;
        ASSERT_TRUE(ParseDibHeader(file.data() + 14, file.size() - 14, layout));
        for (int round = 0; round < 50; ++round) {
            // Exactly sized copies, so any read past them is caught.
            const size_t infoSize
                = round ? random() % (layout.nBitsOffset + 1) : layout.nBitsOffset;
            const size_t bitsSize = random() % (file.size() - 14 - layout.nBitsOffset + 1);
            const Bytes info(file.begin() + 14, file.begin() + 14 + long(infoSize));
            const Bytes bits(file.begin() + 14 + long(layout.nBitsOffset),
                             file.begin() + 14 + long(layout.nBitsOffset + bitsSize));
            QImage img(40, 40, QImage::Format_RGB32);
            QPainter painter(&img);
            CDC dc(&painter, &img);
            StretchDIBits(&dc, 0, 0, 40, 40, -3, -3, 80, 80, bits.data(), bits.size(), info.data(),
                          info.size());
        }
    }
}
