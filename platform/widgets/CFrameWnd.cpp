#include "platform/widgets/CFrameWnd.h"

#include "platform/Guard.h"
#include "platform/widgets/CDocument.h"
#include "platform/widgets/CStatusBar.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "platform/widgets/KeyboardLocks.h"
#include "res/ToolBarPictures.h"
#include "res/Resources.h"
#include "res/resource.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusTipEvent>
#include <QToolBar>
#include <array>

namespace {

// True while an open menu has an item under the pointer or the keyboard.
bool IsMenuItemHighlighted()
{
    const auto *menu = qobject_cast<const QMenu *>(QApplication::activePopupWidget());
    return menu && menu->isVisible() && menu->activeAction() != nullptr;
}

// What a user's keys, buttons, wheel and pointer send a widget, tool tips included; the
// window's own events (paint, hide, resize) are not among them.
bool IsInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::ToolTip:
    case QEvent::StatusTip:
    case QEvent::WhatsThis:
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        return true;
    default:
        return false;
    }
}

QString StringPart(int nID, int part)
{
    const char *text = FindStringResource(nID);
    return text ? QString::fromUtf8(text).section(QLatin1Char('\n'), part, part) : QString();
}

const std::array<CommandEntry<CFrameWnd>, 5> kFrameCommands {{
    {ID_VIEW_TOOLBAR, &CFrameWnd::OnViewToolBar, &CFrameWnd::OnUpdateControlBarMenu},
    {ID_VIEW_STATUS_BAR, &CFrameWnd::OnViewStatusBar, &CFrameWnd::OnUpdateControlBarMenu},
    {ID_INDICATOR_CAPS, nullptr, &CFrameWnd::OnUpdateKeyIndicator},
    {ID_INDICATOR_NUM, nullptr, &CFrameWnd::OnUpdateKeyIndicator},
    {ID_INDICATOR_SCRL, nullptr, &CFrameWnd::OnUpdateKeyIndicator},
}};

} // namespace

CFrameWnd::CFrameWnd(QWidget *parent) : QMainWindow(parent)
{
    // Idle work runs once each time the event queue empties after something happened.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::awake, this,
                [this] { m_bIdlePending = true; });
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { OnIdle(); });
    }
}

bool CFrameWnd::LoadFrame(int nIDResource)
{
    bool bCreated = false;
    AfxGuard([&] {
        CREATESTRUCT cs;
        cs.lpszName = StringPart(nIDResource, 0);
        if (!PreCreateWindow(cs))
            return;
        setWindowTitle(cs.lpszName);
        if (cs.cx > 0 && cs.cy > 0) {
            m_sizeInitialOuter = QSize(cs.cx, cs.cy);
            resize(m_sizeInitialOuter);
        }
        BuildMenuBar(nIDResource);
        BuildAccelerators(nIDResource);
        bCreated = OnCreate() != -1;
    });
    return bCreated;
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCT &)
{
    return true;
}

int CFrameWnd::OnCreate()
{
    return 0;
}

void CFrameWnd::BuildMenu(int nIDResource,
                          const std::function<QMenu *(QMenu *parent, const QString &text)> &newMenu,
                          const std::function<QAction *(int nID)> &itemAction)
{
    std::vector<QMenu *> open; // open[level] is the menu that receives items of level + 1
    for (const MenuItemRes &item : FindMenuResource(nIDResource)) {
        open.resize(size_t(item.nLevel));
        QMenu *parent = open.empty() ? nullptr : open.back();
        if (item.bPopup) {
            QMenu *menu = newMenu(parent, QString::fromUtf8(item.pszText));
            if (!menu)
                return;
            open.push_back(menu);
            continue;
        }
        if (!parent)
            continue;
        if (!item.pszText) {
            parent->addSeparator();
            continue;
        }
        QAction *action = itemAction(item.nID);
        action->setText(QString::fromUtf8(item.pszText));
        action->setEnabled(!item.bGrayed);
        parent->addAction(action);
    }
}

void CFrameWnd::BuildMenuBar(int nIDResource)
{
    QMenuBar *bar = menuBar();
    bar->clear();
    BuildMenu(
        nIDResource,
        [this, bar](QMenu *parent, const QString &text) {
            QMenu *menu = parent ? parent->addMenu(text) : bar->addMenu(text);
            connect(menu, &QMenu::aboutToShow, this, [this] { RunCommandStatePass(); });
            return menu;
        },
        [this](int nID) { return CommandAction(nID); });
}

bool CFrameWnd::BuildPopupMenu(QMenu &menu, int nIDResource)
{
    bool bFound = false;
    BuildMenu(
        nIDResource,
        [&](QMenu *parent, const QString &text) -> QMenu * {
            if (parent)
                return parent->addMenu(text);
            if (bFound)
                return nullptr;
            bFound = true;
            menu.setTitle(text);
            return &menu;
        },
        [&menu](int nID) {
            auto *action = new QAction(&menu);
            action->setData(nID);
            return action;
        });
    return bFound;
}

void CFrameWnd::BuildAccelerators(int nIDResource)
{
    // On the window itself, so the keys work while the menu bar is hidden.
    m_keypadAccels.clear();
    for (const AccelRes &accel : FindAcceleratorResource(nIDResource)) {
        const QKeyCombination key = QKeyCombination::fromCombined(accel.nKey);
        if (key.keyboardModifiers() & Qt::KeypadModifier) {
            m_keypadAccels.emplace_back(key, accel.nID);
            continue;
        }
        auto *action = new QAction(this);
        action->setShortcut(QKeySequence(key));
        action->setShortcutContext(Qt::WindowShortcut);
        const int nID = accel.nID;
        connect(action, &QAction::triggered, this, [this, nID] { RouteEnabledCommand(nID); });
        addAction(action);
    }
    if (!m_keypadAccels.empty())
        qApp->installEventFilter(this);
}

bool CFrameWnd::OnKeypadAccelerator(const QKeyEvent &event)
{
    // Only the keypad's key counts: the main row's + and * carry no KeypadModifier.
    const QKeyCombination pressed(event.modifiers(), Qt::Key(event.key()));
    for (const auto &[key, nID] : m_keypadAccels) {
        if (key == pressed) {
            RouteEnabledCommand(nID);
            return true;
        }
    }
    return false;
}

QAction *CFrameWnd::CommandAction(int nID)
{
    if (auto it = m_actions.find(nID); it != m_actions.end())
        return it->second;
    auto *action = new QAction(this);
    action->setStatusTip(StringPart(nID, 0));
    const QString tip = StringPart(nID, 1);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    connect(action, &QAction::triggered, this, [this, nID] { RouteCommand(nID); });
    m_actions.emplace(nID, action);
    return action;
}

bool CFrameWnd::LoadToolBar(QToolBar *bar, int nIDResource)
{
    const std::span<const int> buttons = FindToolBarResource(nIDResource);
    if (!bar || buttons.empty())
        return false;
    bar->setObjectName(QStringLiteral("ToolBar%1").arg(nIDResource));
    bar->setIconSize(ToolBarPictureSize());
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int nID : buttons) {
        const QIcon icon = ToolBarPicture(nID);
        if (icon.isNull())
            return false;
        QAction *action = CommandAction(nID);
        action->setIcon(icon);
        // Menu items show text only.
        action->setIconVisibleInMenu(false);
        if (action->text().isEmpty())
            action->setText(StringPart(nID, 1));
        bar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, bar);
    m_controlBars[AFX_IDW_TOOLBAR] = bar;
    return true;
}

CStatusBar *CFrameWnd::CreateStatusBar(std::span<const unsigned> indicators)
{
    auto *bar = new CStatusBar(this);
    if (!bar->SetIndicators(indicators)) {
        delete bar;
        return nullptr;
    }
    setStatusBar(bar);
    m_pStatusBar = bar;
    m_controlBars[AFX_IDW_STATUS_BAR] = bar;
    SetMessageText(QString());
    return bar;
}

QWidget *CFrameWnd::GetControlBar(int nID) const
{
    const auto it = m_controlBars.find(nID);
    return it == m_controlBars.end() ? nullptr : it->second;
}

void CFrameWnd::ShowControlBar(int nID, bool bShow)
{
    if (QWidget *bar = GetControlBar(nID))
        bar->setVisible(bShow);
}

void CFrameWnd::SetMessageText(const QString &text)
{
    if (!m_pStatusBar || m_pStatusBar->GetCount() == 0)
        return;
    const QString shown = text.isEmpty() ? StringPart(AFX_IDS_IDLEMESSAGE, 0) : text;
    if (m_pStatusBar->GetPaneText(0) != shown)
        m_pStatusBar->SetPaneText(0, shown, false);
}

CDocument *CFrameWnd::GetActiveDocument() const
{
    return m_pView ? m_pView->GetDocument() : nullptr;
}

void CFrameWnd::SetActiveView(CView *pView)
{
    m_pView = pView;
}

QAction *CFrameWnd::FindAction(int nID) const
{
    const auto it = m_actions.find(nID);
    return it == m_actions.end() ? nullptr : it->second;
}

bool CFrameWnd::RouteToTargets(int nID, CCmdUI *pCmdUI)
{
    CDocument *pDoc = GetActiveDocument();
    CWinApp *pApp = AfxGetApp();
    return (m_pView && m_pView->OnCmdMsg(nID, pCmdUI)) || (pDoc && pDoc->OnCmdMsg(nID, pCmdUI))
        || OnCmdMsg(nID, pCmdUI) || (pApp && pApp->OnCmdMsg(nID, pCmdUI));
}

bool CFrameWnd::RouteCommand(int nID)
{
    if (m_bClosed)
        return false;
    bool bHandled = false;
    AfxGuard([&] { bHandled = RouteToTargets(nID, nullptr); });
    return bHandled;
}

bool CFrameWnd::RouteCommandState(CCmdUI &cmdUI)
{
    const bool bCarried = RouteToTargets(cmdUI.m_nID, &cmdUI);
    if (!bCarried)
        cmdUI.Enable(false);
    return bCarried;
}

bool CFrameWnd::RouteEnabledCommand(int nID)
{
    bool bEnabled = false;
    AfxGuard([&] {
        CCmdUI cmdUI(nID);
        const bool bCarried = RouteCommandState(cmdUI);
        bEnabled = bCarried && (!cmdUI.m_bEnableChanged || cmdUI.m_bEnabled);
    });
    return bEnabled && RouteCommand(nID);
}

void CFrameWnd::RunCommandStatePass()
{
    if (m_bInStatePass)
        return;
    m_bInStatePass = true;
    AfxGuard([this] {
        for (const auto &[nID, action] : m_actions)
            UpdateActionState(nID, action);
        if (!m_pStatusBar)
            return;
        // Panes without a rule keep their state.
        for (int i = 0; i < m_pStatusBar->GetCount(); ++i) {
            if (!m_pStatusBar->IsIndicatorPane(i))
                continue;
            CCmdUI cmdUI(int(m_pStatusBar->GetItemID(i)));
            if (RouteCommandState(cmdUI) && cmdUI.m_bEnableChanged)
                m_pStatusBar->SetPaneEnabled(i, cmdUI.m_bEnabled);
        }
    });
    m_bInStatePass = false;
}

void CFrameWnd::RunCommandStatePass(QMenu &menu)
{
    for (QAction *action : menu.actions()) {
        if (!action->isSeparator())
            UpdateActionState(action->data().toInt(), action);
    }
}

void CFrameWnd::UpdateActionState(int nID, QAction *action)
{
    CCmdUI cmdUI(nID);
    RouteCommandState(cmdUI);
    if (cmdUI.m_bEnableChanged && action->isEnabled() != cmdUI.m_bEnabled)
        action->setEnabled(cmdUI.m_bEnabled);
    if (cmdUI.m_bCheckChanged && action->isChecked() != (cmdUI.m_nCheck != 0))
        SetActionChecked(action, cmdUI.m_nCheck != 0);
}

void CFrameWnd::OnIdle()
{
    if (!m_bIdlePending)
        return;
    m_bIdlePending = false;
    RunCommandStatePass();
}

bool CFrameWnd::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    return DispatchCommandTable<CFrameWnd>(this, kFrameCommands, nID, pCmdUI);
}

void CFrameWnd::OnBarCheck(int nID)
{
    if (QWidget *bar = GetControlBar(nID))
        ShowControlBar(nID, bar->isHidden());
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI *pCmdUI)
{
    QWidget *bar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(bar != nullptr);
    pCmdUI->SetCheck(bar && !bar->isHidden() ? 1 : 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI *pCmdUI)
{
    pCmdUI->Enable(QueryLockIndicator(pCmdUI->m_nID).value_or(false));
}

bool CFrameWnd::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        // Qt sends an empty tip both for an item without a prompt and for no item at all;
        // only the latter shows the idle message.
        if (tip.isEmpty() && IsMenuItemHighlighted()) {
            if (m_pStatusBar && m_pStatusBar->GetCount() > 0)
                m_pStatusBar->SetPaneText(0, QString(), false);
        } else {
            SetMessageText(tip);
        }
        return true;
    }
    return QMainWindow::event(event);
}

bool CFrameWnd::eventFilter(QObject *watched, QEvent *event)
{
    // Input that was queued before the close reaches nothing of the closed window.
    if (m_bClosed && IsInputEvent(event->type()) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this)
        return true;
    // Keys typed anywhere in this window (not in a dialog or popup over it) reach the keypad
    // accelerators first, as the menu-bar shortcuts would.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this
        && OnKeypadAccelerator(*static_cast<QKeyEvent *>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void CFrameWnd::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_bShownOnce || event->spontaneous())
        return;
    m_bShownOnce = true;
    // The initial size is meant as the outer size; the decorations are known once shown.
    if (m_sizeInitialOuter.isValid() && !isMaximized() && !isFullScreen()) {
        const QSize decorations = frameGeometry().size() - size();
        if (!decorations.isNull())
            resize(m_sizeInitialOuter - decorations);
    }
}

void CFrameWnd::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (!event->isAccepted() || m_bClosed)
        return;
    m_bClosed = true;
    qApp->installEventFilter(this);
    if (CWinApp *pApp = AfxGetApp(); pApp && pApp->m_pMainWnd == this)
        pApp->OnMainWindowClosed();
}
