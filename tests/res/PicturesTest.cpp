// The toolbar's pictures and the program icon on high-density screens: a 2x or 3x screen is
// given pixels painted for it, as sharp as the 1x picture, never the 1x picture smoothed up.

#include "res/Resources.h"
#include "res/ToolBarPictures.h"
#include "res/resource.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {

struct PictureCase
{
    int nID;
    // Painted with antialiasing: its edges blend, so it is judged by how wide they are.
    bool bAntialiased;
    // Drawn on the pixel grid: at a higher scale each of its pixels is a block.
    bool bOnGrid;
};

void PrintTo(const PictureCase &c, std::ostream *os)
{
    *os << "command " << c.nID;
}

const PictureCase kPictures[] = {
    {ID_FILE_OPEN, false, true},  {ID_FILE_SAVE_AS, false, true}, {ID_EDIT_COPY, false, true},
    {ID_ZOOM_IN, true, false},    {ID_EDIT_BACK, true, false},    {ID_MANDELBROT, false, false},
    {ID_JULIA, false, false},     {ID_MARTIN, false, false},      {ID_MIRA, false, false},
    {ID_WALLPAPER, false, false}, {ID_DLA, false, true},          {ID_LEAF, true, false},
    {ID_SYSINFO, false, true},    {ID_APP_ABOUT, true, false},    {ID_HELP_TOPICS, true, false},
    {ID_FILE_CLOSE, true, false},
};

QImage Argb(const QImage &img)
{
    return img.convertToFormat(QImage::Format_ARGB32);
}

QSet<QRgb> Colours(const QImage &img)
{
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.insert(img.pixel(x, y));
    return colours;
}

// Pixels neither transparent nor opaque: the blended edge of a shape.
int SoftPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 0 && qAlpha(img.pixel(x, y)) < 255;
    return n;
}

class ToolBarPictures : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(ToolBarPictures, TheIconHandsOutAPicturePaintedForEachScale)
{
    const int nID = GetParam().nID;
    const QIcon icon = ToolBarPicture(nID);
    for (int nScale = 1; nScale <= 3; ++nScale) {
        SCOPED_TRACE(nScale);
        const QImage painted = Argb(PaintToolBarPicture(nID, nScale));
        ASSERT_EQ(painted.size(), ToolBarPictureSize() * nScale);
        EXPECT_EQ(PaintToolBarPicture(nID, nScale).devicePixelRatio(), nScale);
        const QPixmap shown = icon.pixmap(ToolBarPictureSize(), nScale);
        EXPECT_EQ(shown.devicePixelRatio(), nScale);
        EXPECT_EQ(Argb(shown.toImage()), painted);
    }
    EXPECT_TRUE(PaintToolBarPicture(nID, 0).isNull());
    EXPECT_TRUE(PaintToolBarPicture(nID, 4).isNull());
}

TEST_P(ToolBarPictures, HigherScalesAreAsSharpAsThe1xPicture)
{
    const PictureCase c = GetParam();
    const QImage one = Argb(PaintToolBarPicture(c.nID));
    const QSet<QRgb> own = Colours(one);
    for (int nScale = 2; nScale <= 3; ++nScale) {
        SCOPED_TRACE(nScale);
        const QImage img = Argb(PaintToolBarPicture(c.nID, nScale));
        const QImage smoothed
            = Argb(one.scaled(img.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        if (c.bAntialiased) {
            // Painted at the scale, an edge blends over about one device pixel; smoothed up,
            // over the scale's width.
            EXPECT_LT(2 * SoftPixels(img), SoftPixels(smoothed));
            continue;
        }
        // Nothing is blended: every pixel has a colour of the 1x picture.
        EXPECT_TRUE(own.contains(Colours(img)));
        if (!c.bOnGrid)
            continue;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                ASSERT_EQ(img.pixel(x, y), one.pixel(x / nScale, y / nScale)) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryButton, ToolBarPictures, ::testing::ValuesIn(kPictures),
                         [](const ::testing::TestParamInfo<PictureCase> &test) {
                             return std::to_string(test.param.nID);
                         });

TEST(ProgramIcon, EverySizeAtEveryScaleComesFromALargeEnoughPicture)
{
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    for (int nSide : {16, 32, 48, 64}) {
        for (int nScale = 1; nScale <= 3; ++nScale) {
            SCOPED_TRACE(nSide * nScale);
            const QPixmap pixmap = icon.pixmap(QSize(nSide, nSide), nScale);
            EXPECT_EQ(pixmap.size(), QSize(nSide, nSide) * nScale);
            bool bLarger = false;
            for (const QSize &size : icon.availableSizes())
                bLarger = bLarger || size.width() >= nSide * nScale;
            EXPECT_TRUE(bLarger);
        }
    }
}

} // namespace
