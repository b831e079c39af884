#pragma once
// The program's single top-level window: menu, a flat dockable toolbar, a seven-pane status bar
// and the two enlarged display modes (the view alone, or the view with the toolbar, covering
// the whole screen).

#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/WINDOWPLACEMENT.h"

#include <QSize>

class CStatusBar;
class QToolBar;

class CMainFrame : public CFrameWnd
{
    Q_OBJECT
public:
    enum class DisplayMode {
        Normal,
        FullScreen,
        ToolbarFullScreen,
    };

    CMainFrame();
    ~CMainFrame() override;

    bool PreCreateWindow(CREATESTRUCT &cs) override;
    int OnCreate() override;

    void OnFullScreen() override;
    void OnNoMenu() override;
    bool IsFullScreen() const override { return m_bFullScreen; }
    DisplayMode GetDisplayMode() const { return m_mode; }

    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;
    void OnUpdateKeyCtrl(CCmdUI *pCmdUI);
    void OnUpdateFullScreenItem(CCmdUI *pCmdUI);

    QToolBar *GetToolBar() const { return m_wndToolBar; }

    // The initial outer size on a screen of the given size.
    static QSize InitialWindowSize(QSize screen);
    // The window rectangle that puts the view's area v exactly on the screen, from the window
    // rectangle w, both in screen coordinates.
    static RECT FullScreenRect(const RECT &w, const RECT &v, int cxScreen, int cyScreen);
    // The window rectangle that puts the client area r on the screen with the status bar of
    // height cyStatusBar just below it.
    static RECT NoMenuRect(const RECT &w, const RECT &r, int cyStatusBar, int cxScreen,
                           int cyScreen);

    RECT m_rcFullScreen;
    WINDOWPLACEMENT m_wpPrev;
    bool m_bFullScreen = false;
    CStatusBar *m_wndStatusBar = nullptr;
    QToolBar *m_wndToolBar = nullptr;

protected:
    // Whether a Ctrl key is held now.
    virtual bool IsControlKeyDown() const;

private:
    void EnterMode(DisplayMode mode);
    void LeaveMode();
    WINDOWPLACEMENT GetWindowPlacement() const;
    void SetWindowPlacement(const WINDOWPLACEMENT &wp);
    QSize ScreenSize() const;

    DisplayMode m_mode = DisplayMode::Normal;
};
