#pragma once
// The application's single view: runs the generators, shows the picture held in m_dib
// (stretched to the client area or unscaled), and moves pictures in and out through files and
// the clipboard. Mouse selection and zoom live in CVelorineView_Zoom.cpp, the context menu and
// display modes in CVelorineView_Context.cpp.

#include "dialogs/CJuliaDlg.h"
#include "dialogs/CMartinDlg.h"
#include "dialogs/CMiraDlg.h"
#include "fractals/FractalParams.h"
#include "fractals/Kinds.h"
#include "fractals/Recipes.h"
#include "image/CDib.h"
#include "platform/widgets/CView.h"

#include <QCursor>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CVelorineDoc;
class QMenu;
class QRegion;

// The Julia dialog's hold on the program: it opens at the document's preset, and its OK
// stores the preset and constant in pDoc and then routes the Julia command to pView.
JuliaDlgOwner MakeJuliaDlgOwner(CVelorineDoc *pDoc, CView *pView);

class CVelorineView : public CView
{
    Q_OBJECT
public:
    explicit CVelorineView(QWidget *parent = nullptr);
    ~CVelorineView() override;

    CVelorineDoc *GetDocument() const;

    void OnPrepareDC(CDC *pDC, CPrintInfo *pInfo = nullptr) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC *pDC) override;
    void OnPrint(CDC *pDC, CPrintInfo *pInfo);
    bool OnEraseBkgnd(CDC *pDC) override;
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;

    // Render commands: each sets the caption and kind, generates, composes temp.bmp, loads it
    // and repaints before returning.
    void OnMandelbrot();
    void OnJulia();
    void OnMartin();
    void OnMira();
    void OnWallpaper();
    void OnDla();
    void OnLeaf();
    // The parameter dialogs; the orbit ones render when they end with OK.
    void OnJuliaParams();
    void OnMartinParams();
    void OnMiraParams();
    // Narrow the current window to the released selection when a zoom is pending.
    void RenderMandelbrot();
    void RenderJulia();
    // The picture with a plane window drawn again over its (possibly zoomed) window.
    void RenderPlaneWindow();
    void OnZoomIn();
    void OnUpdateZoomIn(CCmdUI *pCmdUI);
    void OnSelectAll();

    // File, palette, clipboard and print commands.
    void OnFileOpen();
    void OnFileSaveAs();
    void OnFileSave();
    void OnLoadPalette();
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI *pCmdUI);
    void OnPrintImage();

    // Mouse selection and pointer (CVelorineView_Zoom.cpp).
    void OnLButtonDown(unsigned nFlags, QPoint point) override;
    void OnMouseMove(unsigned nFlags, QPoint point) override;
    void OnLButtonUp(unsigned nFlags, QPoint point) override;
    bool OnSetCursor() override;

    // The context menu and the display-mode commands (CVelorineView_Context.cpp).
    bool PreTranslateMessage(const MSG &msg) override;
    void OnZoomDisplay();
    void OnCtxZoomDisplay();
    void OnCtxFullScreen();
    void OnCtxNoMenu();
    void OnUpdateCtxFullScreen(CCmdUI *pCmdUI);
    void OnCtxQuit();
    void OnHelpTopics();

    // Picks a context-menu item instead of running the menu: gets the menu as it would show
    // and its screen point, returns the chosen command id or 0 for none. Null (the default)
    // runs the menu. Lets tests choose without a nested event loop.
    using ContextMenuChooser = std::function<int(QMenu &menu, QPoint screenPoint)>;
    static void SetContextMenuChooser(ContextMenuChooser chooser);

    // Where the rubber band is drawn now, right and bottom exclusive; empty when none shows.
    QRect BandRect() const;

    // Loads a BMP file and repaints; false (and nothing changed, nothing shown) when refused.
    bool OpenPictureFile(const QString &path);
    // What Copy puts on the clipboard: the selected part of the view's drawing, clipped to the
    // client area, white where the picture does not reach; null when there is nothing to copy.
    QImage CopyImage();

    // The plane window a pending zoom gives: the selection mapped through a W x H client area.
    struct PlaneWindow
    {
        double xMin, xMax, yMin, yMax;
    };
    static PlaneWindow ZoomWindow(const PlaneWindow &old, int nSelX1, int nSelY1, int nSelX2,
                                  int nSelY2, double W, double H);

    static constexpr int kPictureSize = recipe::kPictureSize;
    static constexpr std::size_t kBufferSize = std::size_t(kPictureSize) * kPictureSize;

    // The view's state, read and written by the selection handlers and the tests.
    CDib m_dib;
    CMiraDlg m_dlgMira;
    CMartinDlg m_dlgMartin;
    std::optional<QCursor> m_hOldCursor;
    bool m_bSelectionShown = false;
    bool m_bDragging = false;
    FractalParams m_params;
    int m_nFractalKind = 1;
    double m_dJuliaRight = 1.5;
    double m_dJuliaTop = 1.5;
    double m_dJuliaBottom = -1.5;
    double m_dJuliaLeft = -1.5;
    bool m_bZoomPending = false;
    int m_nSelX2 = 0;
    int m_nSelY2 = 0;
    int m_nSelX1 = 0;
    int m_nSelY1 = 0;

private:
    // Ends a drag whose left release the context menu took.
    void EndDragReleasedInMenu();
    void SetMainCaption(const QString &caption);
    // Composes buffer into temp.bmp with the document's palette, loads it and paints at once.
    void ComposeAndShow(CDib &composer, const char *outFile, const std::vector<uint8_t> &buffer);
    // Common road of the orbit, wallpaper and parameter commands.
    template<class Generate>
    void RunPipeline(const QString &caption, kinds::Id kind, Generate &&generate);
    // The Mandelbrot and Julia road: a pending zoom first narrows the window given, then the
    // generator fills the buffer under the wait pointer.
    template<class Generate>
    void RenderEscapeTime(double &xMin, double &xMax, double &yMin, double &yMax,
                          const char *outFile, Generate &&generate);
    void ShowNewPicture();
    bool SaveTo(const std::string &path);
    void SaveFailed(const std::string &path);
    void SetSelectionToPicture();

    // The rubber band is painted over the picture while set; a new picture clears it.
    bool m_bBandShown = false;
    // The corners Select All stored, so Copy knows to convert them back to client coordinates;
    // corners set any other way (a drag) are plain client coordinates.
    std::optional<std::array<int, 4>> m_selectAllCorners;

    // Rubber band painting (CVelorineView_Zoom.cpp).
    void PaintOverlay(QPainter &painter) override;
    // A new size repaints the whole picture, which paints over the band.
    void resizeEvent(QResizeEvent *event) override;
    void ShowBand(const QRect &band);
    void HideBand();
    QRegion BandOutline(const QRect &band) const;
    // The band's rectangle while m_bBandShown: the corners of the last drag move, normalised.
    QRect m_rcBand;
};
