#pragma once
// The framework's frame window: menu, accelerators and toolbar built from res/, a status bar
// addressed by pane index, command routing view -> document -> frame -> application, and the
// command-state pass (from QMenu::aboutToShow and, coalesced, when the event queue is about to
// block).

#include "platform/widgets/CmdTarget.h"

#include <QMainWindow>
#include <QString>
#include <map>
#include <vector>

class CView;
class CDocument;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

constexpr unsigned MF_UNCHECKED = 0x0000;
constexpr unsigned MF_CHECKED = 0x0008;
constexpr unsigned MF_ENABLED = 0x0000;
constexpr unsigned MF_GRAYED = 0x0001;
constexpr unsigned MF_BYCOMMAND = 0x0000;

// The menu bar of a frame, addressed by command id.
class CMenu
{
public:
    // Returns the previous state (MF_CHECKED or MF_UNCHECKED), or -1 when no item has nID.
    int CheckMenuItem(int nID, unsigned nCheck);
    int EnableMenuItem(int nID, unsigned nEnable);
    // MF_CHECKED / MF_GRAYED bits of the item, or -1 when no item has nID.
    int GetMenuState(int nID) const;

    void AddAction(int nID, QAction *action);
    std::vector<QAction *> Actions(int nID) const;

private:
    std::multimap<int, QAction *> m_actions;
};

// A status bar whose panes are addressed by index.
class CStatusBar
{
public:
    constexpr static unsigned SBPS_NORMAL = 0x0000;
    constexpr static unsigned SBPS_STRETCH = 0x0800;

    virtual ~CStatusBar() = default;
    virtual int GetCount() const = 0;
    virtual void SetPaneText(int nIndex, const QString &text, bool bUpdate = true) = 0;
    virtual QString GetPaneText(int nIndex) const = 0;
    virtual int GetPaneWidth(int nIndex) const = 0;
    virtual unsigned GetItemID(int nIndex) const = 0;
    virtual bool IsPaneEnabled(int nIndex) const = 0;
};

class CFrameWnd : public QMainWindow, public CCmdTarget
{
    Q_OBJECT
public:
    explicit CFrameWnd(QWidget *parent = nullptr);
    ~CFrameWnd() override;

    // Routes a command; returns false when no target carries it. Runs under AfxGuard.
    bool RouteCommand(int nID);
    // Asks the targets in routing order for nID's state; an id nobody carries is greyed.
    void RouteCommandState(CCmdUI &cmdUI);
    // Sets every menu item's and toolbar button's enabled and checked state.
    void RunCommandStatePass();

    CView *GetActiveView() const { return m_pView; }
    CDocument *GetActiveDocument() const;
    void SetActiveView(CView *pView);

    void SetWindowText(const QString &text) { setWindowTitle(text); }
    QString GetWindowText() const { return windowTitle(); }

    CMenu *GetMenu() { return &m_menu; }
    virtual CStatusBar *GetStatusBar() { return nullptr; }

    // The enlarged display modes (implemented by the main frame).
    virtual void OnFullScreen() {}
    virtual void OnNoMenu() {}
    virtual bool IsFullScreen() const { return false; }

    // The action that carries nID in the menus or toolbar (first one), or null.
    QAction *FindAction(int nID) const;

    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;

protected:
    CMenu m_menu;

private:
    CView *m_pView = nullptr;
};
