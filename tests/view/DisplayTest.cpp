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
        WriteFileBytes("quad.bmp", QuadrantBmp());
        ASSERT_TRUE(m_pView->OpenPictureFile(QStringLiteral("quad.bmp")));
    }
};

TEST_F(DisplayTest, ZoomDisplayStretchesThePictureOverTheClientArea)
{
    SetClientSize(800, 600);
    const QImage shot = Grab();
    ASSERT_EQ(shot.size(), QSize(800, 600));
    // Top of the screen is the top of the picture.
    EXPECT_EQ(shot.pixel(5, 5), QuadrantColour(3));
    EXPECT_EQ(shot.pixel(795, 5), QuadrantColour(4));
    EXPECT_EQ(shot.pixel(5, 595), QuadrantColour(1));
    EXPECT_EQ(shot.pixel(795, 595), QuadrantColour(2));
    EXPECT_EQ(shot.pixel(390, 290), QuadrantColour(3));
    EXPECT_EQ(shot.pixel(410, 310), QuadrantColour(2));
}

TEST_F(DisplayTest, WithoutZoomDisplayThePictureIsUnscaledOnLavender)
{
    m_pDoc->m_bZoomDisplay = false;
    SetClientSize(800, 600);
    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(5, 5), QuadrantColour(3));
    EXPECT_EQ(shot.pixel(300, 5), QuadrantColour(4));
    EXPECT_EQ(shot.pixel(250, 250), QuadrantColour(3));
    EXPECT_EQ(shot.pixel(262, 262), QuadrantColour(2));
    EXPECT_EQ(shot.pixel(511, 511), QuadrantColour(2));
    EXPECT_EQ(shot.pixel(512, 5), kLavender);
    EXPECT_EQ(shot.pixel(5, 512), kLavender);
    EXPECT_EQ(shot.pixel(799, 599), kLavender);
}

TEST_F(DisplayTest, ASmallUnscaledViewShowsTheBottomLeftOfThePicture)
{
    m_pDoc->m_bZoomDisplay = false;
    SetClientSize(300, 200);
    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(0, 0), QuadrantColour(1));
    EXPECT_EQ(shot.pixel(255, 199), QuadrantColour(1));
    EXPECT_EQ(shot.pixel(256, 0), QuadrantColour(2));
    EXPECT_EQ(shot.pixel(299, 199), QuadrantColour(2));
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
