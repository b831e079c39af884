// How the view paints its picture: stretched or unscaled, the lavender background, the mapping
// for the device's dots per inch.

#include "tests/common/TestDC.h"
#include "tests/common/TestAccess.h"
#include "tests/view/ViewFixture.h"

#include <QPainter>

namespace {

const QRgb kLavender = qRgb(204, 204, 255);

class DisplayTest : public ViewFixture
{
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        ASSERT_TRUE(OpenQuadrants());
    }
};

TEST_F(DisplayTest, ZoomDisplayStretchesThePictureOverTheClientArea)
{
    SetClientSize(800, 600);
    const QImage shot = Grab();
    ASSERT_EQ(shot.size(), QSize(800, 600));
    // Top of the screen is the top of the picture.
    ExpectPixels(shot, {{5, 5, QuadrantColour(3)},
                        {795, 5, QuadrantColour(4)},
                        {5, 595, QuadrantColour(1)},
                        {795, 595, QuadrantColour(2)},
                        {390, 290, QuadrantColour(3)},
                        {410, 310, QuadrantColour(2)}});
}

TEST_F(DisplayTest, WithoutZoomDisplayThePictureIsUnscaledOnLavender)
{
    m_pDoc->m_bZoomDisplay = false;
    SetClientSize(800, 600);
    ExpectPixels(Grab(), {{5, 5, QuadrantColour(3)},
                          {300, 5, QuadrantColour(4)},
                          {250, 250, QuadrantColour(3)},
                          {262, 262, QuadrantColour(2)},
                          {511, 511, QuadrantColour(2)},
                          {512, 5, kLavender},
                          {5, 512, kLavender},
                          {799, 599, kLavender}});
}

TEST_F(DisplayTest, ASmallUnscaledViewShowsTheBottomLeftOfThePicture)
{
    m_pDoc->m_bZoomDisplay = false;
    SetClientSize(300, 200);
    ExpectPixels(Grab(), {{0, 0, QuadrantColour(1)},
                          {255, 199, QuadrantColour(1)},
                          {256, 0, QuadrantColour(2)},
                          {299, 199, QuadrantColour(2)}});
}

TEST_F(DisplayTest, PrepareDcMapsOneUnitToOneNinetySixthOfAnInch)
{
    QImage target(100, 100, QImage::Format_RGB32);
    QPainter painter(&target);
    {
        CTestDC dc(&painter, &target, 96, 96);
        m_pView->OnPrepareDC(&dc);
        EXPECT_EQ(TestAccess<CDC>::MapMode(dc), MM_ANISOTROPIC);
        EXPECT_EQ(TestAccess<CDC>::WindowExt(dc), QSize(526, 608));
        EXPECT_EQ(TestAccess<CDC>::ViewportExt(dc), QSize(526, 608));
        EXPECT_TRUE(painter.worldTransform().isIdentity());
    }
    {
        CTestDC dc(&painter, &target, 120, 120);
        m_pView->OnPrepareDC(&dc);
        EXPECT_EQ(TestAccess<CDC>::ViewportExt(dc), QSize(657, 760));
        EXPECT_DOUBLE_EQ(painter.worldTransform().m11(), 657.0 / 526.0);
        EXPECT_DOUBLE_EQ(painter.worldTransform().m22(), 760.0 / 608.0);
    }
    {
        CTestDC dc(&painter, &target, 72, 144);
        m_pView->OnPrepareDC(&dc);
        EXPECT_EQ(TestAccess<CDC>::ViewportExt(dc), QSize(526 * 72 / 96, 608 * 144 / 96));
    }
}

TEST_F(DisplayTest, PrintingDrawsThePageAsTheScreenDoes)
{
    QImage page(512, 512, QImage::Format_RGB32);
    page.fill(Qt::black);
    {
        QPainter painter(&page);
        CTestDC dc(&painter, &page, 96, 96);
        m_pView->OnPrepareDC(&dc);
        m_pView->OnPrint(&dc, nullptr);
    }
    EXPECT_EQ(page.pixel(5, 5), QuadrantColour(3));
    EXPECT_EQ(page.pixel(500, 500), QuadrantColour(2));
    // The menu's print command does nothing at all.
    const Bytes before = PictureBits();
    EXPECT_TRUE(Route(ID_PRINT_IMAGE));
    EXPECT_EQ(PictureBits(), before);
    EXPECT_TRUE(m_providers.messages().shown.empty());
}

TEST_F(DisplayTest, AnEmptyViewShowsOnlyTheBackground)
{
    // Fresh view with no picture: its own paint shows lavender only.
    CVelorineView blank;
    blank.SetDocument(m_pDoc);
    blank.resize(64, 48);
    const QImage shot = blank.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(0, 0), kLavender);
    EXPECT_EQ(shot.pixel(63, 47), kLavender);
}

} // namespace
