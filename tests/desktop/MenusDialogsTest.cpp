// The menus by their mnemonics and the three parameter dialogs, by keyboard and mouse.

#include "tests/desktop/DesktopSession.h"

#include "res/DialogTemplates.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

class DesktopMenus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(s.Start());
        m_nWindows = s.WindowIds().size();
    }

    bool PopupShows()
    {
        return s.WaitFor([&] { return s.WindowIds().size() > m_nWindows; });
    }
    // A click on the status bar closes whatever menu is open.
    bool CloseMenu()
    {
        s.Click(QPoint(s.ViewRect().center().x(), s.ViewRect().bottom() + 10));
        return s.WaitFor([&] { return s.WindowIds().size() == m_nWindows; });
    }

    // Parameters menu item n (0 Julia, 1 Martin, 2 Mira) by keyboard; the dialog's window.
    QString OpenParameters(int n, const QString &caption)
    {
        if (!s.OpenMenu(QStringLiteral("alt+p")))
            return {};
        for (int i = 0; i < n; ++i)
            s.Key(QStringLiteral("Down"));
        s.Key(QStringLiteral("Return"));
        return s.WaitWindow(caption);
    }

    // Closes dialog win with keys or a click and checks nothing was drawn.
    void ClosesWithoutDrawing(const QString &win, const std::function<void()> &close)
    {
        const QByteArray before = s.TempBmp();
        close();
        ASSERT_TRUE(s.WaitWindowGone(win));
        ASSERT_TRUE(s.Sync());
        EXPECT_EQ(s.TempBmp(), before);
    }

    // Enter is the dialog's OK: it closes and the picture is drawn under its title.
    void DrawsOnEnter(const QString &win, const QString &title)
    {
        ASSERT_FALSE(win.isEmpty());
        const QByteArray before = s.TempBmp();
        s.Key(QStringLiteral("Return"));
        EXPECT_TRUE(s.WaitWindowGone(win));
        EXPECT_TRUE(s.WaitTempBmpChange(before));
        EXPECT_TRUE(s.WaitMainTitle(title));
    }

    // The inside of the status bar's first pane shows one colour: no text in it.
    bool FirstPaneBlank() const
    {
        const QRect pane(s.ViewRect().left() + 5, s.ViewRect().bottom() + 7, 150, 10);
        const QImage screen = s.Grab();
        for (int y = pane.top(); y <= pane.bottom(); ++y)
            for (int x = pane.left(); x <= pane.right(); ++x)
                if (screen.pixel(x, y) != screen.pixel(pane.topLeft()))
                    return false;
        return true;
    }
    bool WaitFirstPaneBlank(bool bBlank)
    {
        return s.WaitFor([&] { return FirstPaneBlank() == bBlank; });
    }

    DesktopSession s;
    qsizetype m_nWindows = 0;
};

TEST_F(DesktopMenus, EachMenuByItsMnemonicAnItemByItsLetterAndAGreyedItem)
{
    for (const char *key : {"alt+f", "alt+e", "alt+r", "alt+p", "alt+o", "alt+v", "alt+h"}) {
        SCOPED_TRACE(key);
        s.Key(QString::fromLatin1(key));
        EXPECT_TRUE(PopupShows());
        EXPECT_TRUE(CloseMenu());
    }
    // Undo is greyed: its letter leaves the menu open and does nothing.
    s.Key(QStringLiteral("alt+e"));
    ASSERT_TRUE(PopupShows());
    s.Key(QStringLiteral("u"));
    EXPECT_TRUE(CloseMenu());

    // About by its letter.
    s.Key(QStringLiteral("alt+h"));
    s.Key(QStringLiteral("a"));
    const QString about = s.WaitWindow(QStringLiteral("关于Velorine"));
    ASSERT_FALSE(about.isEmpty());
    s.Key(QStringLiteral("Escape"));
    EXPECT_TRUE(s.WaitWindowGone(about));
    ASSERT_TRUE(s.Sync());
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopMenus, AHighlightedItemWithoutAPromptEmptiesTheFirstPane)
{
    // Idle: the pane says it is ready.
    ASSERT_TRUE(WaitFirstPaneBlank(false));
    // The View menu opens on its first item, the toolbar's, which has a prompt.
    s.Key(QStringLiteral("alt+v"));
    ASSERT_TRUE(PopupShows());
    EXPECT_TRUE(WaitFirstPaneBlank(false));
    // Up wraps to the last, the menu-less display, which has none.
    s.Key(QStringLiteral("Up"));
    EXPECT_TRUE(WaitFirstPaneBlank(true));
    EXPECT_TRUE(CloseMenu());
    EXPECT_TRUE(WaitFirstPaneBlank(false));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopMenus, JuliaDrawsFromItsButtonAndEnterEscapeAndCancelDrawNothing)
{
    const DialogTemplate &templ = JuliaDialogTemplate();
    QString dlg = OpenParameters(0, QStringLiteral("设置Julia分形的参数"));
    ASSERT_FALSE(dlg.isEmpty());
    EXPECT_TRUE(s.MainTitle().startsWith(QStringLiteral("Julia")));
    // The custom preset (0, 0), drawn by the OK button while the dialog is open.
    const QByteArray mandelbrot = s.TempBmp();
    s.Click(s.DialogItem(dlg, templ, IDC_JULIA_PRESET0 + 15));
    s.Click(s.DialogItem(dlg, templ, IDC_JULIA_OK));
    ASSERT_TRUE(s.WaitTempBmpChange(mandelbrot));
    ASSERT_TRUE(s.WaitWindowGone(dlg));
    const QByteArray disc = s.TempBmp();

    // Enter closes without storing another preset or drawing.
    dlg = OpenParameters(0, QStringLiteral("设置Julia分形的参数"));
    ASSERT_FALSE(dlg.isEmpty());
    s.Click(s.DialogItem(dlg, templ, IDC_JULIA_PRESET0 + 4));
    ClosesWithoutDrawing(dlg, [&] { s.Key(QStringLiteral("Return")); });
    dlg = OpenParameters(0, QStringLiteral("设置Julia分形的参数"));
    ClosesWithoutDrawing(dlg, [&] { s.Key(QStringLiteral("Escape")); });
    dlg = OpenParameters(0, QStringLiteral("设置Julia分形的参数"));
    ClosesWithoutDrawing(dlg, [&] { s.Click(s.DialogItem(dlg, templ, IDC_JULIA_CANCEL)); });

    // The Julia command still draws the stored constant.
    s.Click(s.ToolBarButton(5));
    ASSERT_TRUE(s.WaitTempBmpChange(disc));
    s.Click(s.ToolBarButton(6));
    EXPECT_TRUE(s.WaitFor([&] { return s.TempBmp() == disc; }));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopMenus, MartinAndMiraDrawOnEnterAndNotOnEscapeOrCancel)
{
    QString dlg = OpenParameters(1, QStringLiteral("设置Martin分形的参数"));
    ASSERT_FALSE(dlg.isEmpty());
    ClosesWithoutDrawing(dlg, [&] { s.Key(QStringLiteral("Escape")); });
    DrawsOnEnter(OpenParameters(1, QStringLiteral("设置Martin分形的参数")),
                 QStringLiteral("Martin"));

    const DialogTemplate &mira = MiraDialogTemplate();
    dlg = OpenParameters(2, QStringLiteral("设置Mira过程的参数"));
    ASSERT_FALSE(dlg.isEmpty());
    ClosesWithoutDrawing(dlg, [&] { s.Key(QStringLiteral("Escape")); });
    dlg = OpenParameters(2, QStringLiteral("设置Mira过程的参数"));
    ClosesWithoutDrawing(dlg, [&] { s.Click(s.DialogItem(dlg, mira, IDC_MIRA_CANCEL)); });
    DrawsOnEnter(OpenParameters(2, QStringLiteral("设置Mira过程的参数")), QStringLiteral("Mira"));
    EXPECT_TRUE(s.Exit());
}

} // namespace
