// The render commands from their ids: caption, kind, the picture that reaches temp.bmp and the
// view, and what each leaves alone.

#include "tests/view/ViewFixture.h"

#include "fractals/Recipes.h"
#include "res/resource.h"
#include "tests/common/WidgetTestAccess.h"

#include <QCoreApplication>
#include <QEvent>
#include <filesystem>

namespace {

const QString kMandelbrotCaption = QStringLiteral("Mandelbrot集--仔细瞧，里面包含很多种Julia集");
const QString kJuliaCaption = QStringLiteral("Julia集--千变万化");

using RenderTest = ViewFixture;

TEST_F(RenderTest, StartsWithTheDefaultMandelbrotPicture)
{
    EXPECT_EQ(Caption(), kMandelbrotCaption);
    EXPECT_EQ(m_pView->m_nFractalKind, 1);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(MandelbrotBuffer(-2.25, 0.75, -1.5, 1.5)));
    EXPECT_EQ(ReadFileBytes("Velorine256.rgb").size(), 1024u);
    EXPECT_EQ(m_pDoc->m_strPalettePath,
              std::filesystem::current_path().string() + "/Velorine256.rgb");
    EXPECT_EQ(m_pView->m_dib.m_strFileName, "temp.bmp");
    EXPECT_EQ(TestAccess<CMenu>::MenuState(*m_pFrame->GetMenu(), ID_ZOOM_DISPLAY) & MF_CHECKED,
              MF_CHECKED);
    EXPECT_FALSE(m_pView->m_bSelectionShown);
    EXPECT_FALSE(IsEnabled(ID_EDIT_COPY));
    EXPECT_FALSE(IsEnabled(ID_ZOOM_IN));
    EXPECT_TRUE(IsEnabled(ID_CTX_COPY));
}

struct RenderCase
{
    int nID;
    const char *caption;
    int nKind;
    std::function<void(FractalParams &, uint8_t *)> generate;
};

TEST_F(RenderTest, EachCommandSetsCaptionKindAndPicture)
{
    const RenderCase cases[] = {
        {ID_JULIA, "Julia集--千变万化", 2,
         [](FractalParams &p, uint8_t *b) {
             const recipe::PlaneArgs &r = recipe::kJuliaPlane;
             p.Julia(b, 512, 512, kDefaultJuliaCX, kDefaultJuliaCY, r.dXMin, r.dXMax, r.dYMin,
                     r.dYMax);
         }},
        {ID_MARTIN, "Martin过程", 4,
         [](FractalParams &p, uint8_t *b) {
             const recipe::MartinArgs &r = recipe::kMartin;
             p.Martin(b, 512, 512, r.dA, r.dB, r.dC, r.nIterations);
         }},
        {ID_MIRA, "Mira过程", 5,
         [](FractalParams &p, uint8_t *b) {
             const recipe::MiraArgs &r = recipe::kMira;
             p.Mira(b, 512, 512, r.dA, r.dB, r.dSX, r.dSY, r.nX1, r.nY1, r.nX2, r.nY2,
                    r.nIterations);
         }},
        {ID_WALLPAPER, "墙纸--也许这不是一个分形", 3,
         [](FractalParams &p, uint8_t *b) {
             const recipe::WallpaperArgs &r = recipe::kWallpaper;
             p.Wallpaper(b, 512, 512, r.nUStart, r.nVStart, r.nSpan);
         }},
        {ID_MANDELBROT, "Mandelbrot集--仔细瞧，里面包含很多种Julia集", 1,
         [](FractalParams &p, uint8_t *b) {
             p.Mandelbrot(b, 512, 512, -2.25, 0.75, -1.5, 1.5, 100.0);
         }},
    };
    for (const RenderCase &c : cases) {
        SCOPED_TRACE(c.caption);
        m_pView->m_bSelectionShown = true;
        ASSERT_TRUE(Route(c.nID));
        EXPECT_EQ(Caption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(m_pView->m_nFractalKind, c.nKind);
        const Buffer expected = Generate(c.generate);
        EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(expected));
        EXPECT_EQ(PictureBits(), Bytes(expected.begin(), expected.end()));
        // Painted before the command returned.
        EXPECT_FALSE(TestAccess<CView>::IsUpdatePending(*m_pView));
        // Only the escape-time renders take the selection's band away.
        EXPECT_EQ(m_pView->m_bSelectionShown, c.nKind != 1 && c.nKind != 2);
    }
}

TEST_F(RenderTest, JuliaUsesTheDocumentConstantAndResetsOnlyTheWindow)
{
    m_pDoc->m_dJuliaRe = 0.285;
    m_pDoc->m_dJuliaIm = 0.01;
    m_pView->m_dJuliaLeft = -0.5;
    m_pView->m_dJuliaRight = 0.25;
    ASSERT_TRUE(Route(ID_JULIA));
    EXPECT_EQ(JuliaWindow(), (Window {-1.5, 1.5, -1.5, 1.5}));
    EXPECT_EQ(m_pDoc->m_dJuliaRe, 0.285);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(JuliaBuffer(0.285, 0.01, -1.5, 1.5, -1.5, 1.5)));
}

TEST_F(RenderTest, ZoomNarrowsTheWindowAndTheMandelbrotCommandRestoresIt)
{
    CVelorineView &v = *m_pView;
    SetSelection(128, 384, 384, 128);
    v.m_bZoomPending = true;
    v.m_bSelectionShown = true;
    EXPECT_TRUE(IsEnabled(ID_ZOOM_IN));
    EXPECT_TRUE(IsEnabled(ID_EDIT_COPY));
    ASSERT_TRUE(Route(ID_ZOOM_IN));
    EXPECT_EQ(MandelbrotWindow(), (Window {-1.5, 0.0, -0.75, 0.75}));
    EXPECT_FALSE(v.m_bZoomPending);
    EXPECT_FALSE(v.m_bSelectionShown);
    EXPECT_FALSE(IsEnabled(ID_ZOOM_IN));
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(MandelbrotBuffer(-1.5, 0.0, -0.75, 0.75)));

    // A second zoom narrows the narrowed window.
    v.m_bZoomPending = true;
    ASSERT_TRUE(Route(ID_CTX_ZOOM_IN));
    EXPECT_EQ(v.m_params.m_dMandelXMin, -1.125);
    EXPECT_EQ(v.m_params.m_dMandelXMax, -0.375);

    // Without a pending zoom the zoom command redraws the current window.
    ASSERT_TRUE(Route(ID_ZOOM_IN));
    EXPECT_EQ(v.m_params.m_dMandelXMin, -1.125);

    ASSERT_TRUE(Route(ID_MANDELBROT));
    EXPECT_EQ(MandelbrotWindow(), (Window {-2.25, 0.75, -1.5, 1.5}));
}

TEST_F(RenderTest, ZoomIntoAJuliaPictureMovesTheViewsJuliaWindow)
{
    ASSERT_TRUE(Route(ID_JULIA));
    CVelorineView &v = *m_pView;
    SetSelection(0, 512, 256, 256);
    v.m_bZoomPending = true;
    ASSERT_TRUE(Route(ID_ZOOM_IN));
    EXPECT_EQ(JuliaWindow(), (Window {-1.5, 0.0, -1.5, 0.0}));
    EXPECT_EQ(v.m_params.m_dMandelXMin, -2.25);
    EXPECT_EQ(ReadFileBytes("temp.bmp"),
              Composed(JuliaBuffer(kDefaultJuliaCX, kDefaultJuliaCY, -1.5, 0.0, -1.5, 0.0)));
}

TEST_F(RenderTest, APendingZoomAppliesToTheRectangleTheCommandStores)
{
    CVelorineView &v = *m_pView;
    v.m_bZoomPending = true;
    ASSERT_TRUE(Route(ID_MANDELBROT));
    // Mirrored top to bottom, short by 1/512 at the right and the top.
    EXPECT_EQ(MandelbrotWindow(),
              (Window {-2.25, -2.25 + (511 / 512.0) * 3.0, 1.5, -1.5 + (1 / 512.0) * 3.0}));
    EXPECT_FALSE(v.m_bZoomPending);
    EXPECT_EQ(ReadFileBytes("temp.bmp"),
              Composed(MandelbrotBuffer(-2.25, -2.25 + (511 / 512.0) * 3.0, 1.5,
                                        -1.5 + (1 / 512.0) * 3.0)));
    ASSERT_TRUE(Route(ID_MANDELBROT));
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(MandelbrotBuffer(-2.25, 0.75, -1.5, 1.5)));

    // Another client size maps the same rectangle elsewhere.
    SetClientSize(1022, 256);
    v.m_bZoomPending = true;
    ASSERT_TRUE(Route(ID_JULIA));
    EXPECT_EQ(JuliaWindow(), (Window {-1.5, -1.5 + (511 / 1022.0) * 3.0, 1.5,
                                      -1.5 + ((256 - 511) / 256.0) * 3.0}));
}

TEST_F(RenderTest, AZoomWithoutAClientAreaKeepsTheWindow)
{
    CVelorineView &v = *m_pView;
    for (const QSize size : {QSize(0, 300), QSize(300, 0), QSize(0, 0)}) {
        SetClientSize(size.width(), size.height());
        SetSelection(10, 150, 200, 20);
        v.m_bZoomPending = true;
        ASSERT_TRUE(Route(ID_MANDELBROT));
        EXPECT_EQ(MandelbrotWindow(), (Window {-2.25, 0.75, -1.5, 1.5}));
        EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(MandelbrotBuffer(-2.25, 0.75, -1.5, 1.5)));

        ASSERT_TRUE(Route(ID_JULIA));
        v.m_bZoomPending = true;
        ASSERT_TRUE(Route(ID_ZOOM_IN));
        EXPECT_EQ(JuliaWindow(), (Window {-1.5, 1.5, -1.5, 1.5}));
        EXPECT_EQ(ReadFileBytes("temp.bmp"),
                  Composed(JuliaBuffer(kDefaultJuliaCX, kDefaultJuliaCY, -1.5, 1.5, -1.5, 1.5)));
        ASSERT_TRUE(Route(ID_MANDELBROT));
    }
    const CVelorineView::PlaneWindow old {-2.0, 1.0, -1.0, 1.0};
    const CVelorineView::PlaneWindow w = CVelorineView::ZoomWindow(old, 1, 2, 3, 4, 0.0, 512.0);
    EXPECT_EQ(w.xMin, -2.0);
    EXPECT_EQ(w.xMax, 1.0);
    EXPECT_EQ(w.yMin, -1.0);
    EXPECT_EQ(w.yMax, 1.0);
}

TEST_F(RenderTest, OtherCommandsLeaveTheWindowsAndAPendingZoomAlone)
{
    CVelorineView &v = *m_pView;
    v.m_params.m_dMandelXMin = -1.0;
    v.m_dJuliaLeft = -0.75;
    SetSelection(128, 384, 384, 128);
    v.m_bZoomPending = true;
    for (int nID : {ID_MARTIN, ID_MIRA, ID_WALLPAPER, ID_LEAF}) {
        ASSERT_TRUE(Route(nID));
        EXPECT_EQ(v.m_params.m_dMandelXMin, -1.0);
        EXPECT_EQ(v.m_params.m_dMandelXMax, 0.75);
        EXPECT_EQ(v.m_dJuliaLeft, -0.75);
        EXPECT_TRUE(v.m_bZoomPending);
        EXPECT_EQ(v.m_nSelX1, 128);
        EXPECT_EQ(v.m_nSelY1, 384);
    }
    // Not a Mandelbrot or Julia picture: the zoom command does nothing.
    v.m_bSelectionShown = true;
    EXPECT_FALSE(IsEnabled(ID_ZOOM_IN));
    const Bytes before = PictureBits();
    ASSERT_TRUE(Route(ID_ZOOM_IN));
    EXPECT_EQ(PictureBits(), before);

    v.RenderMandelbrot();
    EXPECT_EQ(v.m_params.m_dMandelXMin, -1.0 + 0.25 * 1.75);
    EXPECT_EQ(v.m_params.m_dMandelXMax, -1.0 + 0.75 * 1.75);
    EXPECT_FALSE(v.m_bZoomPending);
}

TEST_F(RenderTest, DlaAsksFirstAndCancelChangesNothing)
{
    ASSERT_TRUE(Route(ID_MARTIN));
    const Bytes before = ReadFileBytes("temp.bmp");
    m_providers.messages().answers = {IDCANCEL};
    ASSERT_TRUE(Route(ID_DLA));
    ASSERT_EQ(m_providers.messages().shown.size(), 1u);
    const ShownMessage &q = m_providers.messages().shown[0];
    EXPECT_EQ(q.caption, QStringLiteral("警告"));
    EXPECT_EQ(q.flags, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(q.text,
              QStringLiteral("扩散置限凝聚的模拟耗时较长，若执行此功能你的计算机可能会有一两分钟没"
                             "有响应，要继续吗？"));
    EXPECT_EQ(Caption(), QStringLiteral("Martin过程"));
    EXPECT_EQ(m_pView->m_nFractalKind, 4);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), before);
}

// Counts paints of the view and records the number of cluster pixels at each.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(CVelorineView *pView) : m_pView(pView)
    {
        pView->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && m_pView->m_dib.m_pBits) {
            const uint8_t *bits = m_pView->m_dib.m_pBits;
            int n = 0;
            for (int i = 0; i < 512 * 512; ++i)
                n += bits[i] == 255;
            occupied.push_back(n);
            // Particles may stick next to the block in any pass, so only the block itself is
            // certain.
            bool block = true;
            constexpr int first = recipe::kDlaSeedFirst;
            constexpr int last = first + recipe::kDlaSeedSide - 1;
            for (int r = first; r <= last; ++r) {
                for (int c = first; c <= last; ++c)
                    block = block && bits[r * 512 + c] == 255;
            }
            seedShown.push_back(block);
        }
        return false;
    }
    CVelorineView *m_pView;
    std::vector<int> occupied;
    std::vector<bool> seedShown;
};

TEST_F(RenderTest, DlaPaintsFiveGrowingStagesFromTheSeedBlock)
{
    m_providers.messages().answers = {IDOK};
    PaintRecorder paints(m_pView);
    ASSERT_TRUE(Route(ID_DLA));
    EXPECT_EQ(Caption(), QStringLiteral("扩散置限凝聚模型"));
    EXPECT_EQ(m_pView->m_nFractalKind, 8);
    ASSERT_EQ(paints.occupied.size(), recipe::kDlaRadii.size());
    EXPECT_TRUE(paints.seedShown[0]);
    // Each stage adds at most its particles to the 16 seed pixels.
    constexpr int particles = recipe::kDlaParticles;
    EXPECT_GT(paints.occupied[0], 16);
    EXPECT_LE(paints.occupied[0], 16 + particles);
    for (std::size_t i = 1; i < paints.occupied.size(); ++i) {
        EXPECT_GT(paints.occupied[i], paints.occupied[i - 1]);
        EXPECT_LE(paints.occupied[i], paints.occupied[i - 1] + particles);
    }
    EXPECT_EQ(ReadFileBytes("temp.bmp").size(), 263222u);
}

TEST_F(RenderTest, LeafPaintsIntoThePictureAndKeepsCaptionAndWorkingFile)
{
    ASSERT_TRUE(Route(ID_WALLPAPER));
    const Bytes file = ReadFileBytes("temp.bmp");
    ASSERT_TRUE(Route(ID_LEAF));
    EXPECT_EQ(Caption(), QStringLiteral("墙纸--也许这不是一个分形"));
    EXPECT_EQ(m_pView->m_nFractalKind, 7);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), file);
    // Shown at the next paint, not before the command returns.
    EXPECT_TRUE(TestAccess<CView>::IsUpdatePending(*m_pView));
    int leaf = 0, other = 0;
    for (unsigned char b : PictureBits()) {
        leaf += b == 21;
        other += b != 21 && b != 255;
    }
    EXPECT_GT(leaf, 1000);
    EXPECT_EQ(other, 0);
}

TEST_F(RenderTest, LeafOnASmallOpenedPictureStaysInsideIt)
{
    // A 4 x 4 8-bit picture.
    Bytes b(14 + 40 + 1024 + 16, 0);
    b[0] = 'B';
    b[1] = 'M';
    b[14] = 40;
    b[18] = 4;
    b[22] = 4;
    b[26] = 1;
    b[28] = 8;
    WriteFileBytes("small.bmp", b);
    ASSERT_TRUE(m_pView->OpenPictureFile(QStringLiteral("small.bmp")));
    ASSERT_TRUE(Route(ID_LEAF));
    const uint8_t *bits = m_pView->m_dib.m_pBits;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bits[i], 255);
}

} // namespace
