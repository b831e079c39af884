// The render commands: generator -> index buffer -> temp.bmp -> m_dib -> immediate repaint.

#include "view/CVelorineView.h"

#include "fractals/Leaf.h"
#include "platform/Providers.h"
#include "res/resource.h"
#include "view/CVelorineDoc.h"

#include <QGuiApplication>

namespace {

constexpr const char *kWorkingPicture = "temp.bmp";
using recipe::kOrbitIterations;

// The hourglass for the time a generator runs, popped however the command ends.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

const QString kMandelbrotCaption = QStringLiteral("Mandelbrot集--仔细瞧，里面包含很多种Julia集");
const QString kJuliaCaption = QStringLiteral("Julia集--千变万化");

} // namespace

JuliaDlgOwner MakeJuliaDlgOwner(CVelorineDoc *pDoc, CView *pView)
{
    JuliaDlgOwner owner;
    owner.currentPreset = [pDoc] { return pDoc ? pDoc->m_nJuliaPreset : 0; };
    owner.storeAndDraw = [pDoc, pView](int nPreset, double dRe, double dIm) {
        if (pDoc) {
            pDoc->m_nJuliaPreset = nPreset;
            pDoc->m_dJuliaRe = dRe;
            pDoc->m_dJuliaIm = dIm;
        }
        if (pView)
            pView->OnCmdMsg(ID_JULIA, nullptr);
    };
    return owner;
}

void CVelorineView::ShowNewPicture()
{
    m_bBandShown = false;
    Invalidate(true);
    UpdateWindow();
}

void CVelorineView::ComposeAndShow(CDib &composer, const char *outFile,
                                   const std::vector<uint8_t> &buffer)
{
    // A short palette reports itself and leaves temp.bmp empty; Load then refuses it and the
    // old picture is repainted.
    composer.Compose(outFile, GetDocument()->m_strPalettePath.c_str(), buffer.data());
    m_dib.Load(kWorkingPicture);
    ShowNewPicture();
}

template<class Generate>
void CVelorineView::RunPipeline(const QString &caption, kinds::Id kind, Generate &&generate)
{
    SetMainCaption(caption);
    m_nFractalKind = int(kind);
    CDib composer;
    FractalParams params;
    std::vector<uint8_t> buffer(kBufferSize);
    generate(params, buffer.data());
    ComposeAndShow(composer, nullptr, buffer);
}

void CVelorineView::SetSelectionToPicture()
{
    m_nSelX1 = 0;
    m_nSelY1 = 0;
    m_nSelX2 = kPictureSize - 1;
    m_nSelY2 = kPictureSize - 1;
    m_selectAllCorners.reset();
}

void CVelorineView::OnMandelbrot()
{
    SetMainCaption(kMandelbrotCaption);
    m_nFractalKind = int(kinds::Id::Mandelbrot);
    SetSelectionToPicture();
    m_params.Reset(1);
    RenderMandelbrot();
}

void CVelorineView::OnJulia()
{
    SetMainCaption(kJuliaCaption);
    m_dJuliaLeft = recipe::kJuliaPlane.dXMin;
    m_dJuliaRight = recipe::kJuliaPlane.dXMax;
    m_dJuliaBottom = recipe::kJuliaPlane.dYMin;
    m_dJuliaTop = recipe::kJuliaPlane.dYMax;
    m_nFractalKind = int(kinds::Id::Julia);
    SetSelectionToPicture();
    RenderJulia();
    m_bSelectionShown = false;
}

template<class Generate>
void CVelorineView::RenderEscapeTime(double &xMin, double &xMax, double &yMin, double &yMax,
                                     const char *outFile, Generate &&generate)
{
    CDib composer;
    std::vector<uint8_t> buffer;
    {
        WaitCursor wait;
        const QRect rc = GetClientRect();
        // Allocated before the window moves: running out of memory changes nothing.
        buffer.resize(kBufferSize);
        if (m_bZoomPending) {
            const PlaneWindow w = ZoomWindow({xMin, xMax, yMin, yMax}, m_nSelX1, m_nSelY1, m_nSelX2,
                                             m_nSelY2, rc.width(), rc.height());
            xMin = w.xMin;
            xMax = w.xMax;
            yMin = w.yMin;
            yMax = w.yMax;
        }
        generate(buffer.data());
        m_bZoomPending = false;
    }
    ComposeAndShow(composer, outFile, buffer);
    m_bSelectionShown = false;
}

void CVelorineView::RenderMandelbrot()
{
    FractalParams &p = m_params;
    RenderEscapeTime(p.m_dMandelXMin, p.m_dMandelXMax, p.m_dMandelYMin, p.m_dMandelYMax, nullptr,
                     [&p](uint8_t *buffer) {
                         p.Mandelbrot(buffer, kPictureSize, kPictureSize, p.m_dMandelXMin,
                                      p.m_dMandelXMax, p.m_dMandelYMin, p.m_dMandelYMax,
                                      p.m_dMandelBailout);
                     });
}

void CVelorineView::RenderJulia()
{
    const CVelorineDoc *pDoc = GetDocument();
    const double cx = pDoc->m_dJuliaRe;
    const double cy = pDoc->m_dJuliaIm;
    RenderEscapeTime(m_dJuliaLeft, m_dJuliaRight, m_dJuliaBottom, m_dJuliaTop, kWorkingPicture,
                     [&](uint8_t *buffer) {
                         m_params.Julia(buffer, kPictureSize, kPictureSize, cx, cy, m_dJuliaLeft,
                                        m_dJuliaRight, m_dJuliaBottom, m_dJuliaTop);
                     });
}

void CVelorineView::OnZoomIn()
{
    RenderPlaneWindow();
}

void CVelorineView::RenderPlaneWindow()
{
    if (m_nFractalKind == int(kinds::Id::Mandelbrot))
        RenderMandelbrot();
    else if (m_nFractalKind == int(kinds::Id::Julia))
        RenderJulia();
}

void CVelorineView::OnUpdateZoomIn(CCmdUI *pCmdUI)
{
    pCmdUI->Enable(kinds::HasPlaneWindow(m_nFractalKind) && m_bSelectionShown);
}

void CVelorineView::OnSelectAll()
{
    const QRect rc = GetClientRect();
    // Stored as if they were screen coordinates; Copy converts them back.
    const QPoint p1 = ScreenToClient(QPoint(rc.left(), rc.top()));
    const QPoint p2 = ScreenToClient(QPoint(rc.left() + rc.width(), rc.top() + rc.height()));
    m_nSelX1 = p1.x();
    m_nSelY1 = p1.y();
    m_nSelX2 = p2.x();
    m_nSelY2 = p2.y();
    m_selectAllCorners = std::array<int, 4> {m_nSelX1, m_nSelY1, m_nSelX2, m_nSelY2};
    m_bSelectionShown = true;
}

void CVelorineView::OnMartin()
{
    RunPipeline(QStringLiteral("Martin过程"), kinds::Id::Martin,
                [](FractalParams &p, uint8_t *buffer) {
                    const recipe::MartinArgs &r = recipe::kMartin;
                    p.Martin(buffer, kPictureSize, kPictureSize, r.dA, r.dB, r.dC, r.nIterations);
                });
}

void CVelorineView::OnMira()
{
    RunPipeline(QStringLiteral("Mira过程"), kinds::Id::Mira, [](FractalParams &p, uint8_t *buffer) {
        const recipe::MiraArgs &r = recipe::kMira;
        p.Mira(buffer, kPictureSize, kPictureSize, r.dA, r.dB, r.dSX, r.dSY, r.nX1, r.nY1, r.nX2,
               r.nY2, r.nIterations);
    });
}

void CVelorineView::OnWallpaper()
{
    RunPipeline(QStringLiteral("墙纸--也许这不是一个分形"), kinds::Id::Wallpaper,
                [](FractalParams &p, uint8_t *buffer) {
                    const recipe::WallpaperArgs &r = recipe::kWallpaper;
                    p.Wallpaper(buffer, kPictureSize, kPictureSize, r.nUStart, r.nVStart, r.nSpan);
                });
}

void CVelorineView::OnMartinParams()
{
    if (m_dlgMartin.DoModal() != IDOK)
        return;
    const CMartinDlg &d = m_dlgMartin;
    RunPipeline(QStringLiteral("Martin过程"), kinds::Id::Martin,
                [&d](FractalParams &p, uint8_t *buffer) {
                    p.Martin(buffer, kPictureSize, kPictureSize, d.m_dA, d.m_dB, d.m_dC,
                             static_cast<int>(d.m_nIterations));
                });
}

void CVelorineView::OnMiraParams()
{
    if (m_dlgMira.DoModal() != IDOK)
        return;
    const CMiraDlg &d = m_dlgMira;
    RunPipeline(QStringLiteral("Mira过程"), kinds::Id::Mira,
                [&d](FractalParams &p, uint8_t *buffer) {
                    p.Mira(buffer, kPictureSize, kPictureSize, d.m_dA, d.m_dB, d.m_dSX, d.m_dSY,
                           d.m_nX1, d.m_nY1, d.m_nX2, d.m_nY2, kOrbitIterations);
                });
}

void CVelorineView::OnJuliaParams()
{
    // The dialog draws through the Julia command while it is open; its result changes nothing.
    SetMainCaption(kJuliaCaption);
    CJuliaDlg dlg(MakeJuliaDlgOwner(GetDocument(), this));
    dlg.DoModal();
}

void CVelorineView::OnDla()
{
    const int answer = MessageBox(
        QStringLiteral("扩散置限凝聚的模拟耗时较长，若执行此功能你的计算机可能会有一两分钟没有"
                       "响应，要继续吗？"),
        QStringLiteral("警告"), MB_OKCANCEL | MB_ICONQUESTION);
    if (answer != IDOK)
        return;
    SetMainCaption(QStringLiteral("扩散置限凝聚模型"));
    m_nFractalKind = int(kinds::Id::Dla);
    CDib composer;
    FractalParams params;
    std::vector<uint8_t> buffer(kBufferSize, 0);
    recipe::SeedDla(buffer.data());
    for (const double radius : recipe::kDlaRadii) {
        params.Dla(buffer.data(), kPictureSize, kPictureSize, recipe::kDlaParticles, radius);
        ComposeAndShow(composer, nullptr, buffer);
    }
}

void CVelorineView::OnLeaf()
{
    m_nFractalKind = int(kinds::Id::Leaf);
    // Painted straight into the picture held: no buffer, no temp.bmp, no caption. SetPixel
    // refuses what lies outside a smaller picture.
    Leaf([this](int column, int row, uint32_t colour) { m_dib.SetPixel(column, row, colour); });
    m_bBandShown = false;
    Invalidate(true);
}
