// The right-button menu and the commands that change how the window and the picture are shown:
// zoom display, the frame's two enlarged modes, leaving at once and the help file.

#include "view/CVelorineView.h"

#include "platform/Providers.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "view/CVelorineDoc.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>

namespace {

CVelorineView::ContextMenuChooser &Chooser()
{
    static CVelorineView::ContextMenuChooser s_chooser;
    return s_chooser;
}

int RunMenu(QMenu &menu, QPoint screenPoint)
{
    if (const CVelorineView::ContextMenuChooser &choose = Chooser())
        return choose(menu, screenPoint);
    const QAction *chosen = menu.exec(screenPoint);
    return chosen ? chosen->data().toInt() : 0;
}

} // namespace

void CVelorineView::SetContextMenuChooser(ContextMenuChooser chooser)
{
    Chooser() = std::move(chooser);
}

bool CVelorineView::PreTranslateMessage(const MSG &msg)
{
    if (msg.message == WM_RBUTTONDOWN) {
        const QPoint screenPoint = ClientToScreen(msg.pt);
        int nChosen = 0;
        {
            QMenu menu(this);
            if (CFrameWnd::BuildPopupMenu(menu, IDR_CONTEXTMENU)) {
                if (CFrameWnd *pMain = AfxGetMainWnd())
                    pMain->RunCommandStatePass(menu);
                nChosen = RunMenu(menu, screenPoint);
            }
        }
        EndDragReleasedInMenu();
        // Handled once the menu has closed, before the press itself goes on.
        if (nChosen != 0) {
            if (CFrameWnd *pMain = AfxGetMainWnd())
                pMain->RouteCommand(nChosen);
            else
                OnCmdMsg(nChosen, nullptr);
        }
    }
    return CView::PreTranslateMessage(msg);
}

void CVelorineView::EndDragReleasedInMenu()
{
    // A left button let go while the menu was open was the menu's: the view never saw the
    // release and would keep the mouse, swallowing the next click anywhere in the window.
    if (!m_bDragging || (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    OnLButtonUp(0, QPoint(m_nSelX2, m_nSelY2));
}

void CVelorineView::OnZoomDisplay()
{
    CVelorineDoc *pDoc = GetDocument();
    if (!pDoc)
        return;
    pDoc->m_bZoomDisplay = !pDoc->m_bZoomDisplay;
    // The picture takes its new form at the next repaint; nothing is invalidated here.
    if (CFrameWnd *pMain = AfxGetMainWnd())
        pMain->GetMenu()->CheckMenuItem(
            ID_ZOOM_DISPLAY, (pDoc->m_bZoomDisplay ? MF_CHECKED : MF_UNCHECKED) | MF_BYCOMMAND);
}

void CVelorineView::OnCtxZoomDisplay()
{
    OnZoomDisplay();
    UpdateWindow();
}

void CVelorineView::OnCtxFullScreen()
{
    if (CFrameWnd *pMain = AfxGetMainWnd())
        pMain->OnFullScreen();
}

void CVelorineView::OnCtxNoMenu()
{
    if (CFrameWnd *pMain = AfxGetMainWnd())
        pMain->OnNoMenu();
}

void CVelorineView::OnUpdateCtxFullScreen(CCmdUI *pCmdUI)
{
    const CFrameWnd *pMain = AfxGetMainWnd();
    pCmdUI->Enable(true);
    pCmdUI->SetCheck(pMain && pMain->IsFullScreen() ? 1 : 0);
}

void CVelorineView::OnCtxQuit()
{
    // Ends the event loop without closing the window: the document is not asked anything and
    // leaves the working files where they are.
    CVelorineDoc::KeepWorkingFiles(true);
    QCoreApplication::exit(0);
}

void CVelorineView::OnHelpTopics()
{
    // A missing help file, or nothing able to show it, is passed over without a word.
    ShellExecuteOpen(QStringLiteral("VELORINE.HLP"));
}
