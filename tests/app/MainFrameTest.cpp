// The main frame: initial size, bars and panes, fly-by prompts, the Ctrl pane and the enlarged
// display modes.

#include "app/CMainFrame.h"
#include "platform/widgets/CStatusBar.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/app/FrameFixture.h"
#include "tests/common/TestSupport.h"
#include "tests/common/WidgetTestAccess.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

class TestFrame : public CMainFrame
{
public:
    bool m_bCtrl = false;

protected:
    bool IsControlKeyDown() const override { return m_bCtrl; }
};

class MainFrameTest : public FrameFixture<TestFrame>
{
protected:
    bool MenuShown() const { return !frame.menuBar()->isHidden(); }
    bool ToolBarShown() const { return !frame.m_wndToolBar->isHidden(); }
    bool StatusBarShown() const { return !frame.m_wndStatusBar->isHidden(); }
};

TEST(MainFrameRulesTest, InitialSizeIsTheScreenOr526By608WhicheverIsSmaller)
{
    EXPECT_EQ(CMainFrame::InitialWindowSize({1920, 1080}), QSize(526, 608));
    EXPECT_EQ(CMainFrame::InitialWindowSize({500, 1080}), QSize(500, 608));
    EXPECT_EQ(CMainFrame::InitialWindowSize({1024, 600}), QSize(526, 600));
    EXPECT_EQ(CMainFrame::InitialWindowSize({320, 240}), QSize(320, 240));
}

TEST(MainFrameRulesTest, EnlargedRectanglesPutTheChosenAreaOnTheScreen)
{
    const RECT w {100, 50, 626, 658};
    const RECT v {104, 120, 622, 630}; // the view inside the window
    const RECT full = CMainFrame::FullScreenRect(w, v, 1024, 768);
    EXPECT_EQ(full, (RECT {-4, -70, 1028, 796}));
    // The view's area moves by the same offset as the window and lands on (0,0)-(1024,768).
    EXPECT_EQ(v.left + (full.left - w.left), 0);
    EXPECT_EQ(v.top + (full.top - w.top), 0);
    EXPECT_EQ(v.right + (full.right - w.right), 1024);
    EXPECT_EQ(v.bottom + (full.bottom - w.bottom), 768);

    const RECT r {104, 90, 622, 654}; // the whole client area
    const RECT noMenu = CMainFrame::NoMenuRect(w, r, 20, 1024, 768);
    EXPECT_EQ(noMenu, (RECT {-4, -40, 1028, 792}));
    EXPECT_EQ(r.bottom + (noMenu.bottom - w.bottom), 768 + 20);
    // A hidden status bar of last known height 0 leaves the client area exactly on screen.
    EXPECT_EQ(CMainFrame::NoMenuRect(w, r, 0, 1024, 768).bottom, 772);
}

TEST_F(MainFrameTest, CreatedWithTitleSizeToolbarAndSevenPanes)
{
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Velorine"));
    EXPECT_FALSE(frame.m_bFullScreen);
    EXPECT_EQ(frame.size(),
              CMainFrame::InitialWindowSize(QGuiApplication::primaryScreen()->size()));

    const QList<QAction *> buttons = frame.m_wndToolBar->actions();
    const int order[] = {57601, 57604, 57634, 32811, 57637, 32771, 32772, 32784,
                         32785, 32786, 32796, 32810, 32817, 57664, 32794, 57602};
    ASSERT_EQ(buttons.size(), 16);
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(order[i]);
        EXPECT_EQ(buttons[i], frame.FindAction(order[i]));
        EXPECT_FALSE(buttons[i]->icon().isNull());
        EXPECT_FALSE(buttons[i]->toolTip().isEmpty());
    }
    EXPECT_EQ(frame.m_wndToolBar->iconSize(), QSize(16, 15));
    EXPECT_EQ(frame.FindAction(ID_FILE_CLOSE)->toolTip(), QStringLiteral("关闭程序"));
    EXPECT_EQ(frame.toolBarArea(frame.m_wndToolBar), Qt::TopToolBarArea);
    EXPECT_EQ(frame.m_wndToolBar->allowedAreas(), Qt::AllToolBarAreas);

    CStatusBar *bar = frame.GetStatusBar();
    ASSERT_EQ(bar, frame.m_wndStatusBar);
    ASSERT_EQ(bar->GetCount(), 7);
    const unsigned ids[] = {0, 101, 101, 59142, 59137, 59138, 59139};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(bar->GetItemID(i), ids[i]);
    EXPECT_EQ(TestAccess<CStatusBar>::PaneWidth(*bar, 1), 70);
    EXPECT_EQ(TestAccess<CStatusBar>::PaneWidth(*bar, 2), 70);
    EXPECT_EQ(bar->GetPaneText(0), QStringLiteral("完成"));
    bar->SetPaneText(1, QStringLiteral("X:-5"));
    EXPECT_EQ(bar->GetPaneText(1), QStringLiteral("X:-5"));
    EXPECT_EQ(bar->GetPaneText(7), QString());
}

TEST_F(MainFrameTest, FlyByPromptsInTheMessagePane)
{
    Show();
    QWidget *button = frame.m_wndToolBar->widgetForAction(frame.FindAction(ID_MANDELBROT));
    ASSERT_NE(button, nullptr);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(frame.GetStatusBar()->GetPaneText(0), QStringLiteral("生成Mandelbrot分形"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(frame.GetStatusBar()->GetPaneText(0), QStringLiteral("完成"));
    // What a menu does for its highlighted item.
    frame.FindAction(ID_VIEW_TOOLBAR)->showStatusText(frame.menuBar());
    EXPECT_EQ(frame.GetStatusBar()->GetPaneText(0), QStringLiteral("显示或隐藏工具栏"));
}

TEST_F(MainFrameTest, CtrlPaneFollowsTheKeyAtTheNextPass)
{
    CStatusBar *bar = frame.GetStatusBar();
    frame.RunCommandStatePass();
    EXPECT_FALSE(TestAccess<CStatusBar>::IsPaneEnabled(*bar, 3));
    EXPECT_EQ(bar->GetPaneText(3), QString());
    frame.m_bCtrl = true;
    EXPECT_EQ(bar->GetPaneText(3), QString());
    frame.RunCommandStatePass();
    EXPECT_TRUE(TestAccess<CStatusBar>::IsPaneEnabled(*bar, 3));
    EXPECT_EQ(bar->GetPaneText(3), QStringLiteral("Ctrl键"));
    frame.m_bCtrl = false;
    frame.RunCommandStatePass();
    EXPECT_EQ(bar->GetPaneText(3), QString());
    // The offscreen platform cannot tell the lock lights: those panes stay blank.
    for (int i = 4; i < 7; ++i)
        EXPECT_EQ(bar->GetPaneText(i), QString());
}

TEST_F(MainFrameTest, BarCommandsShowHideAndCheck)
{
    Show();
    frame.RunCommandStatePass();
    EXPECT_TRUE(frame.FindAction(ID_VIEW_TOOLBAR)->isChecked());
    EXPECT_TRUE(frame.FindAction(ID_VIEW_STATUS_BAR)->isChecked());
    frame.FindAction(ID_VIEW_TOOLBAR)->trigger();
    frame.RunCommandStatePass();
    EXPECT_FALSE(ToolBarShown());
    EXPECT_FALSE(frame.FindAction(ID_VIEW_TOOLBAR)->isChecked());
    frame.FindAction(ID_VIEW_STATUS_BAR)->trigger();
    frame.RunCommandStatePass();
    EXPECT_FALSE(StatusBarShown());
    EXPECT_FALSE(frame.FindAction(ID_VIEW_STATUS_BAR)->isChecked());
    frame.FindAction(ID_VIEW_TOOLBAR)->trigger();
    frame.FindAction(ID_VIEW_STATUS_BAR)->trigger();
    frame.RunCommandStatePass();
    EXPECT_TRUE(ToolBarShown());
    EXPECT_TRUE(StatusBarShown());
    EXPECT_TRUE(frame.FindAction(ID_VIEW_TOOLBAR)->isChecked());
    EXPECT_TRUE(frame.FindAction(ID_VIEW_STATUS_BAR)->isChecked());
    // Commands nobody carries stay grey; the mode items carry no check marks.
    EXPECT_FALSE(frame.FindAction(ID_EDIT_BACK)->isEnabled());
    EXPECT_FALSE(frame.FindAction(ID_RES_512)->isEnabled());
    EXPECT_TRUE(frame.FindAction(ID_FULL_SCREEN)->isEnabled());
    EXPECT_FALSE(frame.FindAction(ID_FULL_SCREEN)->isChecked());
}

TEST_F(MainFrameTest, EscAndCtrlFEnterAndLeaveTheModes)
{
    Show();
    const QRect before = frame.geometry();
    using Mode = CMainFrame::DisplayMode;

    QTest::keyClick(&frame, Qt::Key_Escape);
    EXPECT_EQ(frame.GetDisplayMode(), Mode::FullScreen);
    EXPECT_TRUE(frame.IsFullScreen());
    EXPECT_TRUE(frame.isFullScreen());
    EXPECT_FALSE(MenuShown());
    EXPECT_FALSE(ToolBarShown());
    EXPECT_FALSE(StatusBarShown());
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.geometry(), frame.screen()->geometry());

    // Esc works with the menu bar out of sight.
    QTest::keyClick(&frame, Qt::Key_Escape);
    EXPECT_EQ(frame.GetDisplayMode(), Mode::Normal);
    EXPECT_FALSE(frame.m_bFullScreen);
    EXPECT_FALSE(frame.isFullScreen());
    EXPECT_TRUE(MenuShown());
    EXPECT_TRUE(ToolBarShown());
    EXPECT_TRUE(StatusBarShown());
    EXPECT_EQ(frame.geometry(), before);

    QTest::keyClick(&frame, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(frame.GetDisplayMode(), Mode::ToolbarFullScreen);
    EXPECT_TRUE(frame.isFullScreen());
    EXPECT_FALSE(MenuShown());
    EXPECT_TRUE(ToolBarShown());
    EXPECT_FALSE(StatusBarShown());
    QTest::keyClick(&frame, Qt::Key_Escape);
    EXPECT_EQ(frame.GetDisplayMode(), Mode::Normal);
    EXPECT_TRUE(MenuShown());
    EXPECT_TRUE(StatusBarShown());

    // Either command leaves whichever mode is on.
    QTest::keyClick(&frame, Qt::Key_Escape);
    QTest::keyClick(&frame, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(frame.GetDisplayMode(), Mode::Normal);
    frame.OnNoMenu();
    frame.OnFullScreen();
    EXPECT_EQ(frame.GetDisplayMode(), Mode::Normal);
    EXPECT_EQ(frame.geometry(), before);
}

TEST_F(MainFrameTest, LeavingRestoresMaximisedStateAndHiddenBars)
{
    Show();
    frame.FindAction(ID_VIEW_STATUS_BAR)->trigger();
    frame.showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(frame.isMaximized());

    frame.OnNoMenu();
    EXPECT_TRUE(frame.isFullScreen());
    EXPECT_TRUE(ToolBarShown());
    frame.OnNoMenu();
    EXPECT_TRUE(frame.isMaximized());
    EXPECT_FALSE(frame.isFullScreen());
    EXPECT_TRUE(MenuShown());
    EXPECT_TRUE(ToolBarShown());
    EXPECT_FALSE(StatusBarShown());
}

TEST_F(MainFrameTest, AHiddenStatusBarStillCountsInTheNoMenuRectangle)
{
    Show();
    const int statusHeight = frame.m_wndStatusBar->height();
    ASSERT_GT(statusHeight, 0);
    const QSize screen = frame.screen()->geometry().size();
    // Tall enough for the client area to fill the screen with the status bar below it.
    const int height
        = frame.frameGeometry().height() - frame.height() + screen.height() + statusHeight;

    frame.OnNoMenu();
    EXPECT_EQ(frame.m_rcFullScreen.Height(), height);
    const RECT shown = frame.m_rcFullScreen;
    frame.OnNoMenu();

    frame.FindAction(ID_VIEW_STATUS_BAR)->trigger();
    ASSERT_FALSE(StatusBarShown());
    frame.OnNoMenu();
    EXPECT_EQ(frame.m_rcFullScreen, shown);
    frame.OnNoMenu();
}

} // namespace
