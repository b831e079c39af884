#include "DibTestSupport.h"

#include "platform/BmpFormat.h"
#include "platform/CDC.h"
#include "platform/StretchDIBits.h"
#include "tests/common/TestAccess.h"
#include "tests/common/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor kFill(1, 2, 3);

// A 512 x 512 bottom-up 8-bit picture whose stored row j, column i has index (i + 2j) % 256.
void LoadGradient(CDib &dib, int32_t height = 512)
{
    BmpRecipe s;
    s.nWidth = 512;
    s.nHeight = height;
    s.pixels.resize(512 * 512);
    for (int j = 0; j < 512; ++j)
        for (int i = 0; i < 512; ++i)
            s.pixels[size_t(j) * 512 + i] = uint8_t((i + 2 * j) % 256);
    WriteFileBytes("grad.bmp", BuildBmp(s));
    ASSERT_TRUE(dib.Load("grad.bmp"));
}

// StretchDIBits of dib's block, with its pixel bytes cut to nBitsSize when that is given.
int Stretch(CDC &dc, const CDib &dib, QRect dest, QRect src, size_t nBitsSize = 0)
{
    return StretchDIBits(&dc, dest.x(), dest.y(), dest.width(), dest.height(), src.x(), src.y(),
                         src.width(), src.height(), dib.m_pBits,
                         nBitsSize ? nBitsSize : dib.GetBitsSize(), dib.m_pInfo,
                         dib.GetInfoSize());
}

// Colour of stored row j, column i of the gradient.
QRgb Stored(int i, int j)
{
    return TableColor((i + 2 * j) % 256).rgb();
}

} // namespace

TEST(DibDraw, EmptyObjectDrawsNothing)
{
    CDib dib;
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(kFill);
    QPainter painter(&img);
    CDC dc(&painter, &img);
    EXPECT_FALSE(dib.DrawStretched(&dc, 0, 0, 0, 0));
    EXPECT_FALSE(dib.DrawClipped(&dc, 0, 0, 8, 8));
    EXPECT_FALSE(dib.RealizePalette(&dc));
    painter.end();
    EXPECT_EQ(img.pixelColor(3, 3), kFill);
}

TEST(DibDraw, StretchedOwnSizeAndScaled)
{
    CDib dib;
    LoadGradient(dib);
    const QImage own = DrawnImage(dib, 600, 600);
    for (int y : {0, 1, 200, 511})
        for (int x : {0, 5, 300, 511})
            EXPECT_EQ(own.pixel(x, y), Stored(x, 511 - y)) << x << "," << y;
    EXPECT_EQ(own.pixelColor(512, 0), kFill);
    EXPECT_EQ(own.pixelColor(0, 512), kFill);

    const QImage twice = DrawnImage(dib, 1024, 1024, false, 1024, 1024);
    for (int y : {0, 3, 511, 1023})
        for (int x : {0, 7, 640, 1023})
            EXPECT_EQ(twice.pixel(x, y), Stored(x / 2, 511 - y / 2)) << x << "," << y;
}

TEST(DibDraw, ClippedShowsTheBottomLeft)
{
    CDib dib;
    LoadGradient(dib);
    const QImage small = DrawnImage(dib, 400, 300, true, 300, 200);
    for (int y : {0, 100, 199})
        for (int x : {0, 150, 299})
            EXPECT_EQ(small.pixel(x, y), Stored(x, 199 - y)) << x << "," << y;
    EXPECT_EQ(small.pixelColor(300, 10), kFill);
    EXPECT_EQ(small.pixelColor(10, 200), kFill);

    const QImage large = DrawnImage(dib, 1000, 800, true, 1000, 800);
    for (int y : {0, 511})
        for (int x : {0, 511})
            EXPECT_EQ(large.pixel(x, y), Stored(x, 511 - y));
    EXPECT_EQ(large.pixelColor(512, 0), kFill);
    EXPECT_EQ(large.pixelColor(999, 799), kFill);
    EXPECT_EQ(large.pixelColor(0, 512), kFill);

    EXPECT_EQ(DrawnImage(dib, 512, 512, true), DrawnImage(dib, 512, 512));
}

TEST(DibDraw, TopDownIsTheRightWayUp)
{
    CDib dib;
    LoadGradient(dib, -512);
    EXPECT_EQ(dib.GetHeight(), -512);
    const QImage own = DrawnImage(dib, 512, 512);
    EXPECT_EQ(own.pixel(0, 0), Stored(0, 0));
    EXPECT_EQ(own.pixel(10, 300), Stored(10, 300));
    const QImage clipped = DrawnImage(dib, 300, 200, true, 300, 200);
    EXPECT_EQ(clipped.pixel(299, 199), Stored(299, 199));
}

TEST(DibDraw, EightBitPixelsAreNotCopied)
{
    CDib dib;
    LoadGradient(dib);
    const QImage img
        = DibStoredImage(dib.m_pBits, dib.GetBitsSize(), dib.m_pInfo, dib.GetInfoSize());
    EXPECT_EQ(img.format(), QImage::Format_Indexed8);
    EXPECT_EQ(img.constBits(), dib.m_pBits);
    EXPECT_EQ(img.colorCount(), 256);
}

TEST(DibDraw, MirroringAndSourceRectangles)
{
    CDib dib;
    LoadGradient(dib);
    const QImage img = Painted(100, 100, [&](CDC &dc) {
        // Source (10, 20) of a bottom-up picture is ten columns in, twenty rows up.
        Stretch(dc, dib, QRect(0, 0, 50, 50), QRect(10, 20, 50, 50));
        // Mirrored left to right.
        Stretch(dc, dib, QRect(99, 50, -50, 50), QRect(0, 0, 50, 50));
        // A negative source width mirrors too: columns 49 down to 0 fill 0..49.
        Stretch(dc, dib, QRect(50, 0, 50, 50), QRect(50, 0, -50, 50));
        // A source rectangle wholly outside the picture draws nothing.
        EXPECT_EQ(Stretch(dc, dib, QRect(0, 50, 50, 50), QRect(600, 0, 50, 50)), 0);
        // Bits too short for the rows: nothing.
        EXPECT_EQ(Stretch(dc, dib, QRect(50, 0, 50, 50), QRect(0, 0, 50, 50), 1000), 0);
    });
    EXPECT_EQ(img.pixel(0, 49), Stored(10, 20));
    EXPECT_EQ(img.pixel(0, 0), Stored(10, 69));
    EXPECT_EQ(img.pixel(98, 99), Stored(0, 0)); // 99 - x maps back to column 0
    EXPECT_EQ(img.pixel(49, 99), Stored(49, 0));
    EXPECT_EQ(img.pixel(50, 49), Stored(49, 0));
    EXPECT_EQ(img.pixel(99, 49), Stored(0, 0));
    EXPECT_EQ(img.pixelColor(10, 60), kFill);
}

TEST(DibDraw, LogicalUnitsFollowTheMapping)
{
    CDib dib;
    LoadGradient(dib);
    const QImage img = Painted(256, 256, [&](CDC &dc) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(512, 512);
        dc.SetViewportExt(256, 256);
        dib.DrawStretched(&dc, 0, 0, 0, 0);
    });
    EXPECT_EQ(img.pixelColor(255, 255) == kFill, false);
    EXPECT_EQ(img.pixel(0, 255), Stored(0, 0));
}

TEST(DibPalette, RealizeSelectsAndRestores)
{
    QImage img(4, 4, QImage::Format_RGB32);
    QPainter painter(&img);
    CDC dc(&painter, &img);
    CPalette previous;
    previous.CreatePalette({PALETTEENTRY {}});
    SelectPalette(&dc, &previous, false);

    CDib dib;
    LoadGradient(dib);
    EXPECT_TRUE(dib.RealizePalette(&dc));
    EXPECT_TRUE(dib.RealizePalette(&dc));
    EXPECT_EQ(TestAccess<CPalette>::RealizeCount(dib.m_palette), 2);
    EXPECT_EQ(dc.GetSelectedPalette(), &previous);
    EXPECT_EQ(TestAccess<CPalette>::RealizeCount(previous), 0);

    BmpRecipe s;
    s.nBitCount = 24;
    WriteFileBytes("rgb.bmp", BuildBmp(s));
    CDib rgb;
    ASSERT_TRUE(rgb.Load("rgb.bmp"));
    EXPECT_TRUE(rgb.RealizePalette(&dc));
    EXPECT_EQ(TestAccess<CPalette>::RealizeCount(rgb.m_palette), 0);
    EXPECT_EQ(dc.GetSelectedPalette(), &previous);
}
