#include "app/CMainFrame.h"

#include "platform/widgets/CStatusBar.h"
#include "platform/widgets/CView.h"
#include "res/resource.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <algorithm>
#include <array>

namespace {

constexpr int kInitialWidth = 526;
constexpr int kInitialHeight = 608;
constexpr int kPointerPaneWidth = 70;

constexpr std::array<unsigned, 7> kIndicators {
    0, // message pane
    0, // pointer X, re-set below
    0, // pointer Y, re-set below
    ID_INDICATOR_CTRL,
    ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,
    ID_INDICATOR_SCRL,
};

const std::array<CommandEntry<CMainFrame>, 5> kMainFrameCommands {{
    {ID_FULL_SCREEN, &CMainFrame::OnFullScreen, nullptr},
    {ID_NO_MENU, &CMainFrame::OnNoMenu, nullptr},
    {ID_INDICATOR_CTRL, nullptr, &CMainFrame::OnUpdateKeyCtrl},
    {ID_CTX_FULL_SCREEN, nullptr, &CMainFrame::OnUpdateFullScreenItem},
    {ID_CTX_NO_MENU, nullptr, &CMainFrame::OnUpdateFullScreenItem},
}};

RECT ToRect(const QRect &r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect ToQRect(const RECT &r)
{
    return {r.left, r.top, r.Width(), r.Height()};
}

} // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

QSize CMainFrame::InitialWindowSize(QSize screen)
{
    return {std::min(screen.width(), kInitialWidth), std::min(screen.height(), kInitialHeight)};
}

RECT CMainFrame::FullScreenRect(const RECT &w, const RECT &v, int cxScreen, int cyScreen)
{
    return {w.left - v.left, w.top - v.top, w.right - v.right + cxScreen,
            w.bottom - v.bottom + cyScreen};
}

RECT CMainFrame::NoMenuRect(const RECT &w, const RECT &r, int cyStatusBar, int cxScreen,
                            int cyScreen)
{
    return {w.left - r.left, w.top - r.top, w.right - r.right + cxScreen,
            w.bottom - r.bottom + cyScreen + cyStatusBar};
}

QSize CMainFrame::ScreenSize() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(kInitialWidth, kInitialHeight);
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT &cs)
{
    const QSize size = InitialWindowSize(ScreenSize());
    cs.cx = size.width();
    cs.cy = size.height();
    cs.lpszName = QStringLiteral("Velorine");
    m_bFullScreen = false;
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate()
{
    if (CFrameWnd::OnCreate() == -1)
        return -1;
    m_wndToolBar = new QToolBar(QStringLiteral("工具栏"), this);
    if (!LoadToolBar(m_wndToolBar, IDR_MAINFRAME))
        return -1;
    m_wndStatusBar = CreateStatusBar(kIndicators);
    if (!m_wndStatusBar)
        return -1;
    m_wndStatusBar->SetPaneInfo(1, ID_PANE_POINTER, kPointerPaneWidth);
    m_wndStatusBar->SetPaneInfo(2, ID_PANE_POINTER, kPointerPaneWidth);
    return 0;
}

bool CMainFrame::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    return DispatchCommandTable<CMainFrame>(this, kMainFrameCommands, nID, pCmdUI)
        || CFrameWnd::OnCmdMsg(nID, pCmdUI);
}

bool CMainFrame::IsControlKeyDown() const
{
    return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0;
}

void CMainFrame::OnUpdateKeyCtrl(CCmdUI *pCmdUI)
{
    pCmdUI->Enable(IsControlKeyDown());
}

void CMainFrame::OnUpdateFullScreenItem(CCmdUI *pCmdUI)
{
    pCmdUI->Enable(true);
    pCmdUI->SetCheck(m_bFullScreen ? 1 : 0);
}

void CMainFrame::OnFullScreen()
{
    if (m_bFullScreen)
        LeaveMode();
    else
        EnterMode(DisplayMode::FullScreen);
}

void CMainFrame::OnNoMenu()
{
    if (m_bFullScreen)
        LeaveMode();
    else
        EnterMode(DisplayMode::ToolbarFullScreen);
}

WINDOWPLACEMENT CMainFrame::GetWindowPlacement() const
{
    WINDOWPLACEMENT wp;
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    wp.rcNormalPosition = ToRect(normal.isValid() ? normal : geometry());
    wp.bMaximized = isMaximized();
    wp.bMenuBar = !menuBar()->isHidden();
    wp.bToolBar = m_wndToolBar && !m_wndToolBar->isHidden();
    wp.bStatusBar = m_wndStatusBar && !m_wndStatusBar->isHidden();
    return wp;
}

void CMainFrame::SetWindowPlacement(const WINDOWPLACEMENT &wp)
{
    menuBar()->setVisible(wp.bMenuBar);
    ShowControlBar(AFX_IDW_TOOLBAR, wp.bToolBar);
    ShowControlBar(AFX_IDW_STATUS_BAR, wp.bStatusBar);
    setWindowState(windowState() & ~(Qt::WindowFullScreen | Qt::WindowMaximized));
    setGeometry(ToQRect(wp.rcNormalPosition));
    if (wp.bMaximized)
        showMaximized();
    else
        showNormal();
}

void CMainFrame::EnterMode(DisplayMode mode)
{
    m_wpPrev = GetWindowPlacement();
    const QSize screenSize = ScreenSize();
    const RECT w = ToRect(frameGeometry());
    if (mode == DisplayMode::FullScreen) {
        const CView *view = GetActiveView();
        const QRect area = view ? QRect(view->mapToGlobal(QPoint(0, 0)), view->size())
                                : QRect(mapToGlobal(QPoint(0, 0)), size());
        m_rcFullScreen = FullScreenRect(w, ToRect(area), screenSize.width(), screenSize.height());
    } else {
        const RECT r = ToRect(QRect(mapToGlobal(QPoint(0, 0)), size()));
        const int cyStatusBar = m_wndStatusBar ? m_wndStatusBar->height() : 0;
        m_rcFullScreen = NoMenuRect(w, r, cyStatusBar, screenSize.width(), screenSize.height());
    }
    m_bFullScreen = true;
    m_mode = mode;
    // The window covers the whole screen with only the chosen parts in it; a floating toolbar
    // is a window of its own and stays where it is.
    menuBar()->hide();
    ShowControlBar(AFX_IDW_STATUS_BAR, false);
    if (mode == DisplayMode::FullScreen && m_wndToolBar && !m_wndToolBar->isFloating())
        ShowControlBar(AFX_IDW_TOOLBAR, false);
    showFullScreen();
}

void CMainFrame::LeaveMode()
{
    m_bFullScreen = false;
    m_mode = DisplayMode::Normal;
    SetWindowPlacement(m_wpPrev);
}
