// Command routing view -> document -> frame -> application, and the command-state pass.

#include "platform/Exceptions.h"
#include "platform/widgets/CDocument.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/common/WidgetTestAccess.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

constexpr int ID_SHARED = 40001; // carried by view and frame
constexpr int ID_DOC_ONLY = 40002;
constexpr int ID_APP_ONLY = 40003;
constexpr int ID_NOBODY = 40004;
constexpr int ID_RULE_OFF = 40005; // view: handler, rule disables
constexpr int ID_CHECKED = 40006; // frame: rule checks

class FakeView : public CView
{
public:
    void OnDraw(CDC *) override { }
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override
    {
        return DispatchCommandTable<FakeView>(this, kTable, nID, pCmdUI);
    }
    void OnShared() { g_calls.push_back("view"); }
    void OnRuleOff() { g_calls.push_back("view-off"); }
    void OnUpdateRuleOff(CCmdUI *pCmdUI) { pCmdUI->Enable(false); }
    static constexpr std::array<CommandEntry<FakeView>, 2> kTable {{
        {ID_SHARED, &FakeView::OnShared, nullptr},
        {ID_RULE_OFF, &FakeView::OnRuleOff, &FakeView::OnUpdateRuleOff},
    }};
};

class FakeDoc : public CDocument
{
public:
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override
    {
        return DispatchCommandTable<FakeDoc>(this, kTable, nID, pCmdUI)
            || CDocument::OnCmdMsg(nID, pCmdUI);
    }
    void OnDocOnly() { g_calls.push_back("doc"); }
    static constexpr std::array<CommandEntry<FakeDoc>, 1> kTable {{
        {ID_DOC_ONLY, &FakeDoc::OnDocOnly, nullptr},
    }};
};

class FakeFrame : public CFrameWnd
{
public:
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override
    {
        return DispatchCommandTable<FakeFrame>(this, kTable, nID, pCmdUI)
            || CFrameWnd::OnCmdMsg(nID, pCmdUI);
    }
    void OnShared() { g_calls.push_back("frame"); }
    void OnChecked() { g_calls.push_back("frame-checked"); }
    void OnUpdateChecked(CCmdUI *pCmdUI) { pCmdUI->SetCheck(m_nCheck); }
    int m_nCheck = 1;
    static constexpr std::array<CommandEntry<FakeFrame>, 2> kTable {{
        {ID_SHARED, &FakeFrame::OnShared, nullptr},
        {ID_CHECKED, &FakeFrame::OnChecked, &FakeFrame::OnUpdateChecked},
    }};
};

class FakeApp : public CWinApp
{
public:
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override
    {
        return DispatchCommandTable<FakeApp>(this, kTable, nID, pCmdUI)
            || CWinApp::OnCmdMsg(nID, pCmdUI);
    }
    void OnAppOnly() { g_calls.push_back("app"); }
    static constexpr std::array<CommandEntry<FakeApp>, 2> kTable {{
        {ID_APP_ONLY, &FakeApp::OnAppOnly, nullptr},
        {ID_SHARED, &FakeApp::OnAppOnly, nullptr},
    }};
};

class CommandRoutingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        view->setParent(&frame);
        frame.SetActiveView(view);
        view->SetDocument(&doc);
        for (int id : {ID_SHARED, ID_DOC_ONLY, ID_APP_ONLY, ID_NOBODY, ID_RULE_OFF, ID_CHECKED})
            frame.CommandAction(id);
    }
    ScopedTestProviders providers;
    FakeApp app;
    FakeDoc doc;
    FakeFrame frame;
    FakeView *view = new FakeView; // owned by the frame
};

TEST_F(CommandRoutingTest, FirstTargetInRoutingOrderHandlesTheCommand)
{
    EXPECT_TRUE(frame.RouteCommand(ID_SHARED));
    EXPECT_TRUE(frame.RouteCommand(ID_DOC_ONLY));
    EXPECT_TRUE(frame.RouteCommand(ID_APP_ONLY));
    EXPECT_FALSE(frame.RouteCommand(ID_NOBODY));
    EXPECT_EQ(g_calls, (std::vector<std::string> {"view", "doc", "app"}));
}

TEST_F(CommandRoutingTest, ActionTriggerRoutesItsCommand)
{
    frame.CommandAction(ID_DOC_ONLY)->trigger();
    EXPECT_EQ(g_calls, (std::vector<std::string> {"doc"}));
}

TEST_F(CommandRoutingTest, StatePassGreysUncarriedCommandsAndAppliesRules)
{
    frame.RunCommandStatePass();
    EXPECT_TRUE(frame.CommandAction(ID_SHARED)->isEnabled());
    EXPECT_TRUE(frame.CommandAction(ID_APP_ONLY)->isEnabled());
    EXPECT_FALSE(frame.CommandAction(ID_NOBODY)->isEnabled());
    EXPECT_FALSE(frame.CommandAction(ID_RULE_OFF)->isEnabled());
    EXPECT_TRUE(frame.CommandAction(ID_CHECKED)->isChecked());

    CCmdUI ui(ID_NOBODY);
    EXPECT_FALSE(frame.RouteCommandState(ui));
    EXPECT_FALSE(ui.m_bEnabled);
}

TEST_F(CommandRoutingTest, CheckingNeverRunsTheCommand)
{
    QAction *action = frame.CommandAction(ID_CHECKED);
    int toggles = 0;
    QObject::connect(action, &QAction::toggled, [&] { ++toggles; });
    frame.RunCommandStatePass();
    frame.m_nCheck = 0;
    frame.RunCommandStatePass();
    EXPECT_FALSE(action->isChecked());
    EXPECT_EQ(toggles, 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(CommandRoutingTest, AcceleratorPathSkipsDisabledCommands)
{
    EXPECT_FALSE(frame.RouteEnabledCommand(ID_RULE_OFF));
    EXPECT_FALSE(frame.RouteEnabledCommand(ID_NOBODY));
    EXPECT_TRUE(frame.RouteEnabledCommand(ID_SHARED));
    EXPECT_EQ(g_calls, (std::vector<std::string> {"view"}));
}

class ThrowingView : public FakeView
{
public:
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override
    {
        if (nID == ID_SHARED && !pCmdUI)
            throw CMemoryException();
        return FakeView::OnCmdMsg(nID, pCmdUI);
    }
};

TEST(CommandGuardTest, ExceptionInAHandlerIsReportedAndGoesNoFurther)
{
    ScopedTestProviders providers;
    CFrameWnd frame;
    auto *view = new ThrowingView;
    view->setParent(&frame);
    frame.SetActiveView(view);
    EXPECT_FALSE(frame.RouteCommand(ID_SHARED));
    ASSERT_EQ(providers.messages().shown.size(), 1u);
    EXPECT_EQ(providers.messages().shown[0].text, QStringLiteral("内存不足。"));
}

TEST(CommandMenuTest, CheckByCommandReportsPreviousState)
{
    CFrameWnd frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    CMenu *menu = frame.GetMenu();
    EXPECT_EQ(TestAccess<CMenu>::MenuState(*menu, ID_ZOOM_DISPLAY), int(MF_UNCHECKED));
    EXPECT_EQ(menu->CheckMenuItem(ID_ZOOM_DISPLAY, MF_CHECKED | MF_BYCOMMAND), int(MF_UNCHECKED));
    EXPECT_EQ(menu->CheckMenuItem(ID_ZOOM_DISPLAY, MF_UNCHECKED), int(MF_CHECKED));
    EXPECT_EQ(TestAccess<CMenu>::MenuState(*menu, ID_ZOOM_DISPLAY), int(MF_UNCHECKED));
    EXPECT_EQ(TestAccess<CMenu>::MenuState(*menu, ID_FILE_OPEN), int(MF_GRAYED));
    frame.FindAction(ID_FILE_OPEN)->setEnabled(true);
    EXPECT_EQ(TestAccess<CMenu>::MenuState(*menu, ID_FILE_OPEN), 0);
    EXPECT_EQ(menu->CheckMenuItem(12345, MF_CHECKED), -1);
    EXPECT_EQ(TestAccess<CMenu>::MenuState(*menu, 12345), -1);
    // A toolbar button that has no menu item is not the menu's.
    QToolBar bar;
    ASSERT_TRUE(frame.LoadToolBar(&bar, IDR_MAINFRAME));
    EXPECT_EQ(TestAccess<CMenu>::MenuState(*menu, ID_EDIT_BACK), -1);
    EXPECT_EQ(menu->CheckMenuItem(ID_EDIT_BACK, MF_CHECKED), -1);
}

} // namespace
