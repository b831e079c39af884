#pragma once
// The framework's frame window: menu, accelerators and toolbar built from res/, a status bar
// addressed by pane index, command routing view -> document -> frame -> application, and the
// command-state pass (from QMenu::aboutToShow and, coalesced, when the event queue is about to
// block).

#include "platform/widgets/CMenu.h"
#include "platform/widgets/CREATESTRUCT.h"
#include "platform/widgets/CmdTarget.h"
#include "res/resource.h"

#include <QKeyCombination>
#include <QMainWindow>
#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <span>
#include <utility>
#include <vector>

class CView;
class CDocument;
class CStatusBar;
class QAction;
class QKeyEvent;
class QMenu;
class QToolBar;

class CFrameWnd : public QMainWindow, public CCmdTarget
{
    Q_OBJECT
public:
    explicit CFrameWnd(QWidget *parent = nullptr);

    // Builds the window: PreCreateWindow, the menu bar and accelerators of nIDResource, then
    // OnCreate. False when either hook refuses (the window is then unusable).
    bool LoadFrame(int nIDResource);
    virtual bool PreCreateWindow(CREATESTRUCT &cs);
    // 0 on success, -1 on failure.
    virtual int OnCreate();

    // The one action that stands for nID in menus and toolbar, created on first use with its
    // prompt and tool tip from the string table.
    QAction *CommandAction(int nID);
    // Fills bar with the buttons of toolbar resource nID and docks it at the top.
    bool LoadToolBar(QToolBar *bar, int nIDResource);
    // Creates the status bar with one pane per indicator id (0 for a separator pane).
    CStatusBar *CreateStatusBar(std::span<const unsigned> indicators);
    // The toolbar (59392) or status bar (59393), or null.
    QWidget *GetControlBar(int nID) const;
    void ShowControlBar(int nID, bool bShow);

    // Runs nID only when the command-state rules leave it enabled (what accelerators do).
    bool RouteEnabledCommand(int nID);
    // Shows text in the status bar's message pane; an empty text shows the idle message.
    void SetMessageText(const QString &text);

    // Routes a command; returns false when no target carries it, or once the window has closed.
    // Runs under AfxGuard.
    bool RouteCommand(int nID);
    // Asks the targets in routing order for nID's state; an id nobody carries is greyed.
    // Returns whether some target carries the id.
    bool RouteCommandState(CCmdUI &cmdUI);
    // Sets every menu item's and toolbar button's enabled and checked state.
    void RunCommandStatePass();

    // Fills menu with the items of the first popup of menu resource nIDResource, titled as
    // that popup. Each item is an action of its own with its command id as data(); choosing
    // it runs nothing. False when the resource has no such popup.
    static bool BuildPopupMenu(QMenu &menu, int nIDResource);
    // The command-state pass over the items of a menu BuildPopupMenu made.
    void RunCommandStatePass(QMenu &menu);

    CView *GetActiveView() const { return m_pView; }
    CDocument *GetActiveDocument() const;
    void SetActiveView(CView *pView);

    void SetWindowText(const QString &text) { setWindowTitle(text); }

    CMenu *GetMenu() { return &m_menu; }
    // The status bar made by CreateStatusBar, or null.
    CStatusBar *GetStatusBar() const { return m_pStatusBar; }

    // The enlarged display modes (implemented by the main frame).
    virtual void OnFullScreen() { }
    virtual void OnNoMenu() { }
    virtual bool IsFullScreen() const { return false; }

    // The action that carries nID in the menus or toolbar (first one), or null.
    QAction *FindAction(int nID) const;

    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;

    // The framework's bar commands and key indicators. A bar's command id is the bar's own id.
    void OnViewToolBar() { OnBarCheck(AFX_IDW_TOOLBAR); }
    void OnViewStatusBar() { OnBarCheck(AFX_IDW_STATUS_BAR); }
    void OnBarCheck(int nID);
    void OnUpdateControlBarMenu(CCmdUI *pCmdUI);
    void OnUpdateKeyIndicator(CCmdUI *pCmdUI);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The frame has no menu of its own for toggling its bars.
    QMenu *createPopupMenu() override { return nullptr; }
    void showEvent(QShowEvent *event) override;
    // A close that is accepted is final: input still queued for this window is dropped, no
    // command runs any more, and the main window tells the application, which ends the program
    // once no window of it is left.
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildMenuBar(int nIDResource);
    // Builds the menus of resource nIDResource: newMenu(parent, text) makes the menu of each
    // popup (parent null for the first level; a null result ends the building), itemAction(nID)
    // the action of each command item.
    static void BuildMenu(int nIDResource,
                          const std::function<QMenu *(QMenu *parent, const QString &text)> &newMenu,
                          const std::function<QAction *(int nID)> &itemAction);
    // Offers nID to view, document, frame and application in turn; true when one carries it.
    bool RouteToTargets(int nID, CCmdUI *pCmdUI);
    void UpdateActionState(int nID, QAction *action);
    void BuildAccelerators(int nIDResource);
    void OnIdle();
    bool OnKeypadAccelerator(const QKeyEvent &event);

    CView *m_pView = nullptr;
    QSize m_sizeInitialOuter;
    bool m_bShownOnce = false;
    std::map<int, QAction *> m_actions;
    CMenu m_menu {*this};
    // Keypad accelerators, matched by hand: Qt's shortcut map never matches KeypadModifier.
    std::vector<std::pair<QKeyCombination, int>> m_keypadAccels;
    std::map<int, QWidget *> m_controlBars;
    CStatusBar *m_pStatusBar = nullptr;
    bool m_bIdlePending = true;
    bool m_bInStatePass = false;
    bool m_bClosed = false;
};
