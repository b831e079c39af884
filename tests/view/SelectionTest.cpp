// Selecting with the mouse: the stored rectangle, the zoom it leads to, the rubber band on
// screen, the pointer position in the status bar and the pointer shape.

#include "platform/widgets/CStatusBar.h"
#include "tests/common/WidgetTestAccess.h"
#include "tests/view/ViewFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <array>

namespace {

// Records the region of every paint event the view gets.
class PaintRecorder : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions.push_back(static_cast<QPaintEvent *>(event)->region());
        return false;
    }
    std::vector<QRegion> regions;
};

class SelectionTest : public ViewFixture
{
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        // The pane layout of the main window: message pane, then X and Y.
        const std::array<unsigned, 3> panes {0, 0, 0};
        ASSERT_NE(m_pFrame->CreateStatusBar(panes), nullptr);
        QCoreApplication::processEvents();
    }

    void Press(QPoint p, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(m_pView, Qt::LeftButton, mods, p);
    }
    void Move(QPoint p) { QTest::mouseMove(m_pView, p); }
    void Release(QPoint p, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseRelease(m_pView, Qt::LeftButton, mods, p);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {})
    {
        Press(from, mods);
        Move((from + to) / 2);
        Move(to);
        Release(to, mods);
    }
    std::array<int, 4> Selection() const
    {
        return {m_pView->m_nSelX1, m_pView->m_nSelY1, m_pView->m_nSelX2, m_pView->m_nSelY2};
    }
    QString Pane(int n) const { return m_pFrame->GetStatusBar()->GetPaneText(n); }
    static QRgb Inverse(QRgb c) { return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c)); }
};

TEST_F(SelectionTest, DragsInEitherDirectionStoreTheSameNormalisedRectangle)
{
    Drag(QPoint(100, 300), QPoint(400, 50));
    // Left, bottom, right, top.
    const std::array<int, 4> expected {100, 300, 400, 50};
    EXPECT_EQ(Selection(), expected);
    EXPECT_TRUE(m_pView->m_bZoomPending);
    EXPECT_TRUE(m_pView->m_bSelectionShown);
    EXPECT_FALSE(m_pView->m_bDragging);
    EXPECT_FALSE(TestAccess<CView>::HasCapture(*m_pView));
    EXPECT_TRUE(IsEnabled(ID_ZOOM_IN));
    EXPECT_TRUE(IsEnabled(ID_EDIT_COPY));

    Drag(QPoint(400, 50), QPoint(100, 300));
    EXPECT_EQ(Selection(), expected);
    Drag(QPoint(100, 50), QPoint(400, 300));
    EXPECT_EQ(Selection(), expected);
    EXPECT_EQ(m_pView->BandRect(), QRect(100, 50, 300, 250));

    // Copy takes the selected rectangle, right and bottom edges excluded.
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(300, 250));
}

TEST_F(SelectionTest, AClickWithoutMovementMarksAZoomButShowsNothing)
{
    const QImage before = Grab();
    Press(QPoint(50, 60));
    Release(QPoint(50, 60));
    const std::array<int, 4> point {50, 60, 50, 60};
    EXPECT_EQ(Selection(), point);
    EXPECT_TRUE(m_pView->m_bZoomPending);
    EXPECT_FALSE(m_pView->m_bSelectionShown);
    EXPECT_FALSE(IsEnabled(ID_ZOOM_IN));
    EXPECT_FALSE(IsEnabled(ID_EDIT_COPY));
    EXPECT_TRUE(m_pView->BandRect().isEmpty());
    EXPECT_EQ(Grab(), before);

    // Ctrl on a click zooms nothing either.
    Press(QPoint(50, 60), Qt::ControlModifier);
    Release(QPoint(50, 60), Qt::ControlModifier);
    EXPECT_EQ(m_pView->m_params.m_dMandelXMin, -2.25);
    EXPECT_TRUE(m_pView->m_bZoomPending);
}

TEST_F(SelectionTest, ADraggedRectangleBecomesTheNextWindow)
{
    Drag(QPoint(384, 384), QPoint(128, 128));
    ASSERT_TRUE(Route(ID_ZOOM_IN));
    const FractalParams &p = m_pView->m_params;
    EXPECT_EQ(p.m_dMandelXMin, -1.5);
    EXPECT_EQ(p.m_dMandelXMax, 0.0);
    EXPECT_EQ(p.m_dMandelYMin, -0.75);
    EXPECT_EQ(p.m_dMandelYMax, 0.75);
    EXPECT_FALSE(m_pView->m_bZoomPending);
    EXPECT_TRUE(m_pView->BandRect().isEmpty());
    const Bytes file = Composed(MandelbrotBuffer(-1.5, 0.0, -0.75, 0.75));
    EXPECT_EQ(PictureBits(), Bytes(file.end() - 512 * 512, file.end()));
}

TEST_F(SelectionTest, CtrlReleaseZoomsMandelbrotAndJuliaPicturesOnly)
{
    Drag(QPoint(128, 128), QPoint(384, 384), Qt::ControlModifier);
    EXPECT_EQ(m_pView->m_params.m_dMandelXMin, -1.5);
    EXPECT_EQ(m_pView->m_params.m_dMandelYMax, 0.75);
    EXPECT_FALSE(m_pView->m_bZoomPending);
    EXPECT_FALSE(m_pView->m_bSelectionShown);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(MandelbrotBuffer(-1.5, 0.0, -0.75, 0.75)));

    ASSERT_TRUE(Route(ID_JULIA));
    Drag(QPoint(0, 256), QPoint(256, 512), Qt::ControlModifier);
    EXPECT_EQ(m_pView->m_dJuliaLeft, -1.5);
    EXPECT_EQ(m_pView->m_dJuliaRight, 0.0);
    EXPECT_EQ(m_pView->m_dJuliaBottom, -1.5);
    EXPECT_EQ(m_pView->m_dJuliaTop, 0.0);
    EXPECT_FALSE(m_pView->m_bZoomPending);

    // Over a Martin picture nothing is rendered; the band and the copy command stay.
    ASSERT_TRUE(Route(ID_MARTIN));
    const Bytes martin = ReadFileBytes("temp.bmp");
    Drag(QPoint(100, 100), QPoint(200, 220), Qt::ControlModifier);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), martin);
    EXPECT_TRUE(m_pView->m_bZoomPending);
    EXPECT_TRUE(m_pView->m_bSelectionShown);
    EXPECT_EQ(m_pView->BandRect(), QRect(100, 100, 100, 120));
    EXPECT_FALSE(IsEnabled(ID_ZOOM_IN));
    EXPECT_TRUE(IsEnabled(ID_EDIT_COPY));
    EXPECT_EQ(m_pView->m_dJuliaLeft, -1.5);
}

TEST_F(SelectionTest, AZeroWidthOrZeroHeightSelectionStillZooms)
{
    Drag(QPoint(200, 100), QPoint(200, 300), Qt::ControlModifier);
    const FractalParams &p = m_pView->m_params;
    EXPECT_EQ(p.m_dMandelXMin, p.m_dMandelXMax);
    EXPECT_LT(p.m_dMandelYMin, p.m_dMandelYMax);
    const Bytes bits = PictureBits();
    ASSERT_EQ(bits.size(), 512u * 512u);
    for (std::size_t row = 0; row < 512; ++row)
        for (std::size_t col = 1; col < 512; ++col)
            ASSERT_EQ(bits[row * 512 + col], bits[row * 512]) << row << "," << col;

    // The zoom command does the same with a flat rectangle: every row alike.
    ASSERT_TRUE(Route(ID_MANDELBROT));
    Drag(QPoint(100, 200), QPoint(300, 200));
    EXPECT_TRUE(IsEnabled(ID_ZOOM_IN));
    ASSERT_TRUE(Route(ID_ZOOM_IN));
    EXPECT_EQ(p.m_dMandelYMin, p.m_dMandelYMax);
    const Bytes flat = PictureBits();
    for (std::size_t row = 1; row < 512; ++row)
        ASSERT_TRUE(
            std::equal(flat.begin() + row * 512, flat.begin() + row * 512 + 512, flat.begin()))
            << row;
}

TEST_F(SelectionTest, ZoomingIntoAnOpenedPictureDrawsTheZoomedFractal)
{
    ASSERT_TRUE(OpenQuadrants());
    EXPECT_EQ(m_pView->m_nFractalKind, 1);
    Drag(QPoint(128, 128), QPoint(384, 384));
    ASSERT_TRUE(Route(ID_ZOOM_IN));
    EXPECT_EQ(m_pView->m_dib.m_strFileName, "temp.bmp");
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(MandelbrotBuffer(-1.5, 0.0, -0.75, 0.75)));

    ASSERT_TRUE(Route(ID_JULIA));
    ASSERT_TRUE(OpenQuadrants());
    Drag(QPoint(256, 0), QPoint(512, 256), Qt::ControlModifier);
    EXPECT_EQ(ReadFileBytes("temp.bmp"),
              Composed(JuliaBuffer(m_pDoc->m_dJuliaRe, m_pDoc->m_dJuliaIm, 0.0, 1.5, 0.0, 1.5)));
}

TEST_F(SelectionTest, TheBandInvertsEveryOtherPixelOfItsOutlineUntilThePictureChanges)
{
    ASSERT_TRUE(OpenQuadrants());
    const QImage clean = Grab();
    const QRect band(100, 120, 200, 61); // columns 100..299, rows 120..180
    Press(band.topLeft());
    Move(QPoint(150, 150));
    PaintRecorder paints;
    m_pView->installEventFilter(&paints);
    Move(QPoint(300, 181));
    QCoreApplication::processEvents();
    m_pView->removeEventFilter(&paints);
    ASSERT_EQ(m_pView->BandRect(), band);

    // A move repaints the old and the new outline, not the picture.
    QRegion outlines;
    for (const QRect &r : {QRect(100, 120, 50, 30), band}) {
        outlines += QRect(r.left(), r.top(), r.width(), 1);
        outlines += QRect(r.left(), r.bottom(), r.width(), 1);
        outlines += QRect(r.left(), r.top(), 1, r.height());
        outlines += QRect(r.right(), r.top(), 1, r.height());
    }
    ASSERT_FALSE(paints.regions.empty());
    for (const QRegion &region : paints.regions)
        EXPECT_TRUE((region - outlines).isEmpty()) << region.boundingRect().x();

    const QImage shown = Grab();
    int inverted = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb was = clean.pixel(x, y);
            const QRgb now = shown.pixel(x, y);
            if (now == was)
                continue;
            ++inverted;
            ASSERT_EQ(now, Inverse(was)) << x << "," << y;
            const bool onOutline
                = x == band.left() || x == band.right() || y == band.top() || y == band.bottom();
            ASSERT_TRUE(onOutline && band.contains(x, y)) << x << "," << y;
        }
    }
    // Dots and gaps alternate around the outline, which is 2 * (199 + 60) pixels long.
    EXPECT_EQ(inverted, 199 + 60);
    EXPECT_NE(shown.pixel(100, 120), clean.pixel(100, 120));
    EXPECT_EQ(shown.pixel(101, 120), clean.pixel(101, 120));
    EXPECT_NE(shown.pixel(102, 120), clean.pixel(102, 120));
    EXPECT_NE(shown.pixel(100, 122), clean.pixel(100, 122));
    EXPECT_EQ(shown.pixel(300, 120), clean.pixel(300, 120));
    EXPECT_EQ(shown.pixel(100, 181), clean.pixel(100, 181));

    // The released band stays; the next press takes it away.
    Release(QPoint(300, 181));
    EXPECT_EQ(Grab(), shown);
    Press(QPoint(10, 10));
    EXPECT_EQ(Grab(), clean);
    Move(QPoint(40, 30));
    Release(QPoint(40, 30));
    EXPECT_NE(Grab(), clean);

    // Opening a picture, a new size and rendering paint over it.
    ASSERT_TRUE(OpenQuadrants());
    EXPECT_EQ(Grab(), clean);
    Drag(QPoint(40, 40), QPoint(90, 90));
    SetClientSize(520, 500);
    EXPECT_TRUE(m_pView->BandRect().isEmpty());
    EXPECT_TRUE(m_pView->m_bSelectionShown);
    Drag(QPoint(40, 40), QPoint(90, 90));
    ASSERT_TRUE(Route(ID_WALLPAPER));
    const QImage wallpaper = Grab();
    ASSERT_TRUE(Route(ID_WALLPAPER));
    EXPECT_EQ(Grab(), wallpaper);
}

TEST_F(SelectionTest, TheStatusBarShowsRawPointerPositionsEvenOutsideADraggedView)
{
    Move(QPoint(10, 20));
    EXPECT_EQ(Pane(1), QStringLiteral("X:10"));
    EXPECT_EQ(Pane(2), QStringLiteral("Y:20"));
    const QImage clean = Grab();
    Press(QPoint(50, 40));
    EXPECT_TRUE(TestAccess<CView>::HasCapture(*m_pView));
    // The capture keeps the moves coming once the pointer has left the view.
    m_pView->OnMouseMove(MK_LBUTTON, QPoint(-20, -7));
    EXPECT_EQ(Pane(1), QStringLiteral("X:-20"));
    EXPECT_EQ(Pane(2), QStringLiteral("Y:-7"));
    EXPECT_EQ(m_pView->BandRect(), QRect(-20, -7, 70, 47));
    // Of the outline only its right column (49) and bottom row (39) lie in the view; every
    // other dot of them is inverted, and nothing else changes.
    const QImage shown = Grab();
    ASSERT_EQ(shown.size(), clean.size());
    int right = 0, bottom = 0, elsewhere = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) == clean.pixel(x, y))
                continue;
            if (shown.pixel(x, y) != Inverse(clean.pixel(x, y)))
                ++elsewhere;
            else if (x == 49 && y <= 39)
                ++right;
            else if (y == 39 && x < 49)
                ++bottom;
            else
                ++elsewhere;
        }
    }
    EXPECT_GE(right, 19);
    EXPECT_GE(bottom, 24);
    EXPECT_EQ(elsewhere, 0);
    m_pView->OnLButtonUp(0, QPoint(-20, -7));
    const std::array<int, 4> outside {-20, 40, 50, -7};
    EXPECT_EQ(Selection(), outside);
    EXPECT_FALSE(TestAccess<CView>::HasCapture(*m_pView));
}

TEST_F(SelectionTest, ThePointerIsACrossHairOverMandelbrotAndJuliaPicturesOnly)
{
    m_pView->setCursor(Qt::ArrowCursor);
    ASSERT_TRUE(Route(ID_MARTIN));
    Move(QPoint(30, 30));
    EXPECT_EQ(m_pView->cursor().shape(), Qt::ArrowCursor);
    // A drag shows the cross-hair and gives back the shape it replaced.
    Press(QPoint(30, 30));
    EXPECT_EQ(m_pView->cursor().shape(), Qt::CrossCursor);
    Release(QPoint(60, 60));
    EXPECT_EQ(m_pView->cursor().shape(), Qt::ArrowCursor);

    ASSERT_TRUE(Route(ID_JULIA));
    Move(QPoint(31, 30));
    EXPECT_EQ(m_pView->cursor().shape(), Qt::CrossCursor);
    // Other pictures leave the shape as it was.
    ASSERT_TRUE(Route(ID_WALLPAPER));
    Move(QPoint(32, 30));
    EXPECT_EQ(m_pView->cursor().shape(), Qt::CrossCursor);
    m_pView->setCursor(Qt::ArrowCursor);
    ASSERT_TRUE(Route(ID_MANDELBROT));
    Move(QPoint(33, 30));
    EXPECT_EQ(m_pView->cursor().shape(), Qt::CrossCursor);
}

} // namespace
