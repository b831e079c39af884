// Menu 128 and the accelerators as the frame builds them from the resource tables.

#include "platform/widgets/CFrameWnd.h"
#include "res/Resources.h"
#include "res/resource.h"
#include "tests/common/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Expected
{
    int nLevel; // 0 popup of the bar, 1 its item, 2 item of a sub-menu
    const char *text; // null: separator
    int nID; // 0: popup
    bool bGrayed;
};

const std::vector<Expected> kExpected {
    {0, "文件(&F)", 0, false},
    {1, "打开BMP文件(&O)", 57601, true},
    {1, "另存为(&A)...", 57604, false},
    {1, "打印", 32818, false},
    {1, nullptr, 0, false},
    {1, "载入调色板...", 32783, true},
    {1, nullptr, 0, false},
    {1, "退出\tAlt+X", 57665, false},
    {0, "编辑(&E)", 0, false},
    {1, "撤消(&U)\tCtrl+Z", 57643, true},
    {1, nullptr, 0, false},
    {1, "全选\tCtrl+A", 32813, false},
    {1, "复制(&C)\tCtrl+C", 57634, true},
    {1, "放大\tZoom In", 32811, false},
    {1, "缩小\tZoom Out", 32812, false},
    {1, nullptr, 0, false},
    {1, "清除\tSpace", 32773, false},
    {0, "分形(&R)", 0, false},
    {1, "Mandelbrot集", 32771, false},
    {1, "Julia集", 32772, false},
    {1, nullptr, 0, false},
    {1, "Martin过程", 32784, false},
    {1, "Mira过程", 32785, false},
    {1, "墙纸:-)", 32786, false},
    {1, "扩散置限凝聚(DLA)", 32796, false},
    {1, "模拟树叶", 32810, false},
    {0, "参数(&P)", 0, false},
    {1, "Julia分形参数->", 32805, false},
    {1, "Martin过程参数->", 32821, false},
    {1, "Mira  过程参数->", 32822, false},
    {0, "选项(&O)", 0, false},
    {1, "图象分辨率", 0, false},
    {2, "256*256", 32775, false},
    {2, "512*512", 32776, false},
    {2, "1024*1024", 32777, false},
    {1, "图象颜色数", 0, false},
    {2, "黑白", 32778, false},
    {2, "256色", 32779, false},
    {2, "2048色", 32780, false},
    {1, nullptr, 0, false},
    {1, "调色板...", 32781, false},
    {0, "查看(&V)", 0, false},
    {1, "工具栏(&T)", 59392, false},
    {1, "状态栏(&S)", 59393, false},
    {1, nullptr, 0, false},
    {1, "缩放显示\tNum'*'", 32801, false},
    {1, "全屏显示\tEsc", 32802, false},
    {1, "无菜单显示\tCtrl+F", 32804, false},
    {0, "帮助(&H)", 0, false},
    {1, "帮助主题", 32794, false},
    {1, nullptr, 0, false},
    {1, "关于Velorine(&A)", 57664, false},
    {1, "系统信息", 32817, false},
};

struct Walked
{
    int nLevel;
    QAction *action;
};

void Walk(const QList<QAction *> &actions, int level, std::vector<Walked> &out)
{
    for (QAction *a : actions) {
        out.push_back({level, a});
        if (a->menu())
            Walk(a->menu()->actions(), level + 1, out);
    }
}

// Records every command the frame is asked to run; carries every id.
class RecordingFrame : public CFrameWnd
{
public:
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override
    {
        if (pCmdUI)
            pCmdUI->Enable(true);
        else
            routed.push_back(nID);
        return true;
    }
    std::vector<int> routed;
};

TEST(MenuResourceTest, MainMenuHasEveryItemInOrderWithItsStateAndPrompt)
{
    CFrameWnd frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    std::vector<Walked> walked;
    Walk(frame.menuBar()->actions(), 0, walked);
    ASSERT_EQ(walked.size(), kExpected.size());
    for (size_t i = 0; i < walked.size(); ++i) {
        SCOPED_TRACE(i);
        const Expected &e = kExpected[i];
        QAction *a = walked[i].action;
        EXPECT_EQ(walked[i].nLevel, e.nLevel);
        if (!e.text) {
            EXPECT_TRUE(a->isSeparator());
            continue;
        }
        EXPECT_EQ(a->text(), QString::fromUtf8(e.text));
        EXPECT_EQ(a->menu() != nullptr, e.nID == 0);
        if (e.nID == 0)
            continue;
        EXPECT_EQ(frame.FindAction(e.nID), a);
        EXPECT_EQ(a->isEnabled(), !e.bGrayed);
        EXPECT_FALSE(a->isChecked());
        // No shortcut on the item itself: the text after the tab is a label only.
        EXPECT_TRUE(a->shortcut().isEmpty());
        const char *str = FindStringResource(e.nID);
        const QString prompt
            = str ? QString::fromUtf8(str).section(QLatin1Char('\n'), 0, 0) : QString();
        EXPECT_EQ(a->statusTip(), prompt);
    }
}

TEST(MenuResourceTest, PromptsAndToolTipsSplitAtTheLineBreak)
{
    CFrameWnd frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    EXPECT_EQ(frame.FindAction(ID_ZOOM_IN)->statusTip(),
              QStringLiteral("放大选中区域/请先选择一块区域"));
    EXPECT_EQ(frame.FindAction(ID_ZOOM_IN)->toolTip(), QStringLiteral("放大分形图象"));
    EXPECT_EQ(frame.FindAction(ID_PRINT_IMAGE)->statusTip(), QStringLiteral("打印当前图象"));
    // Items without a prompt string show none.
    EXPECT_TRUE(frame.FindAction(ID_PALETTE)->statusTip().isEmpty());
    EXPECT_STREQ(FindStringResource(AFX_IDS_IDLEMESSAGE), "完成");
    EXPECT_STREQ(FindStringResource(ID_INDICATOR_CTRL), "Ctrl键");
}

TEST(MenuResourceTest, AcceleratorsRouteTheirCommandsWithTheMenuBarHidden)
{
    ScopedTestProviders providers;
    RecordingFrame frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    frame.menuBar()->hide();
    frame.show();
    QApplication::setActiveWindow(&frame);
    struct Key
    {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int nID;
    };
    const Key keys[] = {
        {Qt::Key_F, Qt::ControlModifier, ID_NO_MENU},
        {Qt::Key_S, Qt::ControlModifier, ID_ZOOM_DISPLAY},
        {Qt::Key_Plus, Qt::KeypadModifier, ID_ZOOM_IN},
        {Qt::Key_Escape, Qt::NoModifier, ID_FULL_SCREEN},
        {Qt::Key_F1, Qt::NoModifier, ID_HELP_TOPICS},
        {Qt::Key_Asterisk, Qt::KeypadModifier, ID_ZOOM_DISPLAY},
        {Qt::Key_X, Qt::AltModifier, ID_APP_EXIT},
        {Qt::Key_A, Qt::ControlModifier, ID_SELECT_ALL},
    };
    for (const Key &k : keys) {
        SCOPED_TRACE(k.nID);
        frame.routed.clear();
        QTest::keyClick(&frame, k.key, k.mods);
        EXPECT_EQ(frame.routed, std::vector<int> {k.nID});
    }
    // The main keyboard's plus and star are not the keypad's; Ctrl+C carries nothing.
    frame.routed.clear();
    QTest::keyClick(&frame, Qt::Key_Plus, Qt::NoModifier);
    QTest::keyClick(&frame, Qt::Key_Asterisk, Qt::NoModifier);
    QTest::keyClick(&frame, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(frame.routed.empty());
}

TEST(MenuResourceTest, ContextMenuTable)
{
    const auto items = FindMenuResource(IDR_CONTEXTMENU);
    ASSERT_EQ(items.size(), 10u);
    EXPECT_TRUE(items[0].bPopup);
    EXPECT_STREQ(items[0].pszText, "右键菜单");
    const int ids[] = {32816, 32814, 32815, 0, 32806, 32807, 32808, 0, 32809};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(items[i + 1].nID, ids[i]);
        EXPECT_EQ(items[i + 1].pszText == nullptr, ids[i] == 0);
        EXPECT_FALSE(items[i + 1].bGrayed);
    }
    EXPECT_STREQ(items[9].pszText, "退出Velorine!\tAlt+X");
}

} // namespace
