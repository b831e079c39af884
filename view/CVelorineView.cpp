#include "view/CVelorineView.h"

#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "view/CVelorineDoc.h"

#include <QColor>

namespace {

// One logical unit is 1/96 inch on every device.
constexpr int kWindowExtX = 526;
constexpr int kWindowExtY = 608;
constexpr int kReferenceDpi = 96;

const QColor kBackground(204, 204, 255);

using Entry = CommandEntry<CVelorineView>;
using V = CVelorineView;

const Entry kCommands[] = {
    {ID_MANDELBROT, &V::OnMandelbrot, nullptr},
    {ID_JULIA, &V::OnJulia, nullptr},
    {ID_MARTIN, &V::OnMartin, nullptr},
    {ID_MIRA, &V::OnMira, nullptr},
    {ID_WALLPAPER, &V::OnWallpaper, nullptr},
    {ID_DLA, &V::OnDla, nullptr},
    {ID_LEAF, &V::OnLeaf, nullptr},
    {ID_JULIA_PARAMS, &V::OnJuliaParams, nullptr},
    {ID_JULIA_PARAMS_HIDDEN, &V::OnJuliaParams, nullptr},
    {ID_MARTIN_PARAMS, &V::OnMartinParams, nullptr},
    {ID_MIRA_PARAMS, &V::OnMiraParams, nullptr},
    {ID_ZOOM_IN, &V::OnZoomIn, &V::OnUpdateZoomIn},
    {ID_CTX_ZOOM_IN, &V::OnZoomIn, nullptr},
    {ID_SELECT_ALL, &V::OnSelectAll, nullptr},
    {ID_CTX_SELECT_ALL, &V::OnSelectAll, nullptr},
    {ID_FILE_OPEN, &V::OnFileOpen, nullptr},
    {ID_FILE_SAVE_AS, &V::OnFileSaveAs, nullptr},
    {ID_FILE_SAVE, &V::OnFileSave, nullptr},
    {ID_PALETTE, &V::OnLoadPalette, nullptr},
    {ID_EDIT_COPY, &V::OnEditCopy, &V::OnUpdateEditCopy},
    {ID_CTX_COPY, &V::OnEditCopy, nullptr},
    {ID_PRINT_IMAGE, &V::OnPrintImage, nullptr},
    {ID_ZOOM_DISPLAY, &V::OnZoomDisplay, nullptr},
    {ID_CTX_ZOOM_DISPLAY, &V::OnCtxZoomDisplay, nullptr},
    {ID_CTX_FULL_SCREEN, &V::OnCtxFullScreen, &V::OnUpdateCtxFullScreen},
    {ID_CTX_NO_MENU, &V::OnCtxNoMenu, &V::OnUpdateCtxFullScreen},
    {ID_CTX_QUIT, &V::OnCtxQuit, nullptr},
    {ID_HELP_TOPICS, &V::OnHelpTopics, nullptr},
};

} // namespace

CVelorineView::CVelorineView(QWidget *parent)
    : CView(parent), m_dlgMira(nullptr), m_dlgMartin(nullptr)
{
}

CVelorineView::~CVelorineView() = default;

CVelorineDoc *CVelorineView::GetDocument() const
{
    return static_cast<CVelorineDoc *>(CView::GetDocument());
}

bool CVelorineView::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    return DispatchCommandTable<CVelorineView>(this, kCommands, nID, pCmdUI);
}

void CVelorineView::OnPrepareDC(CDC *pDC, CPrintInfo *pInfo)
{
    CView::OnPrepareDC(pDC, pInfo);
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(kWindowExtX, kWindowExtY);
    pDC->SetViewportExt(kWindowExtX * pDC->GetDeviceCaps(LOGPIXELSX) / kReferenceDpi,
                        kWindowExtY * pDC->GetDeviceCaps(LOGPIXELSY) / kReferenceDpi);
}

void CVelorineView::OnDraw(CDC *pDC)
{
    const QRect rc = GetClientRect();
    const int W = rc.width();
    const int H = rc.height();
    m_dib.RealizePalette(pDC);
    const CVelorineDoc *pDoc = GetDocument();
    if (pDoc && pDoc->m_bZoomDisplay)
        m_dib.DrawStretched(pDC, 0, 0, W, H);
    else
        m_dib.DrawClipped(pDC, 0, 0, W, H);
}

bool CVelorineView::OnEraseBkgnd(CDC *pDC)
{
    pDC->FillSolidRect(GetClientRect(), kBackground);
    return true;
}

void CVelorineView::OnPrint(CDC *pDC, CPrintInfo *)
{
    OnDraw(pDC);
}

void CVelorineView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    const CVelorineDoc *pDoc = GetDocument();
    CFrameWnd *pMain = AfxGetMainWnd();
    if (pDoc && pDoc->m_bZoomDisplay && pMain)
        pMain->GetMenu()->CheckMenuItem(ID_ZOOM_DISPLAY, MF_CHECKED | MF_BYCOMMAND);
    OnMandelbrot();
}

void CVelorineView::SetMainCaption(const QString &caption)
{
    if (CFrameWnd *pMain = AfxGetMainWnd())
        pMain->SetWindowText(caption);
}

void CVelorineView::OnPrintImage()
{
    // Printing is offered in the menu but not built: the command does nothing.
}
