// The first status pane while a menu item is highlighted: the item's prompt, empty for an item
// without one, and the idle message only when no item is highlighted.

#include "app/CMainFrame.h"
#include "platform/widgets/CStatusBar.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/app/FrameFixture.h"
#include "tests/common/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MenuPromptTest : public FrameFixture<>
{
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        if (!HasFatalFailure())
            Show();
    }
    void TearDown() override
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    }
    QString Pane() { return frame.GetStatusBar()->GetPaneText(0); }
    // Opens the menu bar's menu with this title, as a click on it does.
    QMenu *OpenMenu(const QString &title)
    {
        for (QAction *top : frame.menuBar()->actions()) {
            if (top->text() == title) {
                frame.menuBar()->setActiveAction(top);
                QCoreApplication::processEvents();
                return top->menu();
            }
        }
        return nullptr;
    }
};

TEST_F(MenuPromptTest, AnItemWithoutAPromptShowsAnEmptyPane)
{
    EXPECT_EQ(Pane(), QStringLiteral("完成"));
    QMenu *view = OpenMenu(QStringLiteral("查看(&V)"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());

    view->setActiveAction(frame.FindAction(ID_VIEW_TOOLBAR));
    EXPECT_EQ(Pane(), QStringLiteral("显示或隐藏工具栏"));
    view->setActiveAction(frame.FindAction(ID_NO_MENU));
    EXPECT_EQ(Pane(), QString());
    view->setActiveAction(frame.FindAction(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(Pane(), QStringLiteral("显示或隐藏状态栏"));
    view->setActiveAction(frame.FindAction(ID_FULL_SCREEN));
    EXPECT_EQ(Pane(), QString());

    // The menu closed: nothing is highlighted, so the idle message is back.
    view->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(Pane(), QStringLiteral("完成"));
}

TEST_F(MenuPromptTest, AnEmptyTipWithNoMenuOpenIsTheIdleMessage)
{
    QStatusTipEvent prompt(QStringLiteral("生成Mandelbrot分形"));
    QCoreApplication::sendEvent(&frame, &prompt);
    EXPECT_EQ(Pane(), QStringLiteral("生成Mandelbrot分形"));
    QStatusTipEvent none {QString()};
    QCoreApplication::sendEvent(&frame, &none);
    EXPECT_EQ(Pane(), QStringLiteral("完成"));
}

} // namespace
