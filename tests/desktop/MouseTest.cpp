// Selection, zoom and the context menu with the real mouse, and right clicks on the bars.

#include "tests/desktop/DesktopSession.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr int kZoomButton = 3;
constexpr int kJuliaButton = 6;

class DesktopMouse : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(s.Start()); }

    // Opens the context menu with a right press at a view point; true once it shows.
    bool OpenContextMenu(QPoint at)
    {
        const qsizetype n = s.WindowIds().size();
        s.ClickView(at, 3);
        return s.WaitFor([&] { return s.WindowIds().size() > n; });
    }

    DesktopSession s;
};

TEST_F(DesktopMouse, ToolBarZoomCtrlReleaseAndAPlainClick)
{
    // A click selects a point: nothing to zoom into.
    const QByteArray first = s.TempBmp();
    s.ClickView(QPoint(200, 200));
    s.Click(s.ToolBarButton(kZoomButton));
    ASSERT_TRUE(s.Sync());
    EXPECT_EQ(s.TempBmp(), first);

    s.DragView(QPoint(120, 120), QPoint(320, 300));
    s.Click(s.ToolBarButton(kZoomButton));
    ASSERT_TRUE(s.WaitTempBmpChange(first));
    EXPECT_TRUE(s.MainTitle().startsWith(QStringLiteral("Mandelbrot")));

    // Ctrl held at the release zooms at once.
    const QByteArray zoomed = s.TempBmp();
    s.DragView(QPoint(100, 100), QPoint(250, 250), true);
    EXPECT_TRUE(s.WaitTempBmpChange(zoomed));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopMouse, DragThatTheContextMenuInterruptsLetsGoOfTheMouse)
{
    const QByteArray first = s.TempBmp();
    s.MouseMove(s.ViewToScreen(QPoint(100, 100)));
    s.MouseDown(1);
    s.MouseMove(s.ViewToScreen(QPoint(180, 180)));
    s.MouseMove(s.ViewToScreen(QPoint(250, 250)));
    const qsizetype n = s.WindowIds().size();
    s.MouseDown(3);
    ASSERT_TRUE(s.WaitFor([&] { return s.WindowIds().size() > n; }));
    s.MouseUp(3);
    // The left button goes up while the menu is open: the menu gets its release.
    s.MouseUp(1);
    s.Key(QStringLiteral("Escape"));
    ASSERT_TRUE(s.WaitFor([&] { return s.WindowIds().size() == n; }));
    // The drag is over and its rectangle is the selection: the toolbar's zoom gets the click
    // (a view still holding the mouse would take it as a new press) and zooms.
    s.Click(s.ToolBarButton(kZoomButton));
    ASSERT_TRUE(s.WaitTempBmpChange(first));
    EXPECT_TRUE(s.MainTitle().startsWith(QStringLiteral("Mandelbrot")));
    // Nothing holds the mouse afterwards either.
    s.Click(s.ToolBarButton(kJuliaButton));
    EXPECT_TRUE(s.WaitFor([&] { return s.MainTitle().startsWith(QStringLiteral("Julia")); }));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopMouse, RightClicksOnTheToolBarAndMenuBarOpenNothing)
{
    const qsizetype n = s.WindowIds().size();
    const int x = s.ViewRect().right() - 40;
    // One at a time: a second click would close a popup the first had opened. An open popup
    // takes the keyboard, so F1 would not get through either.
    for (const QPoint at : {QPoint(x, s.ViewRect().top() - 15), QPoint(x, 8)}) {
        s.Click(at, 3);
        ASSERT_TRUE(s.Sync()) << "a popup took the keyboard after the click at " << at.x() << ","
                              << at.y() << ": " << s.WindowIds().size() << " windows, not " << n;
        EXPECT_EQ(s.WindowIds().size(), n) << at.x() << "," << at.y();
    }
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopMouse, ContextMenuByKeyboardAndItsQuitKeepsTheWorkingFiles)
{
    // Up from no item wraps to the last: quit, zoom display, full screen with toolbar, full
    // screen.
    ASSERT_TRUE(OpenContextMenu(QPoint(200, 200)));
    s.Key(QStringLiteral("Up Up Up Up Return"));
    ASSERT_TRUE(s.WaitFor([&] { return !s.MenuBarOnScreen(); }));
    s.Key(QStringLiteral("Escape"));
    ASSERT_TRUE(s.WaitFor([&] { return s.MenuBarOnScreen(); }));

    ASSERT_TRUE(OpenContextMenu(QPoint(200, 200)));
    s.Key(QStringLiteral("Up Return"));
    EXPECT_TRUE(s.WaitExited());
    EXPECT_TRUE(QFile::exists(s.File(QStringLiteral("temp.bmp"))));
    EXPECT_TRUE(QFile::exists(s.File(QStringLiteral("Velorine256.rgb"))));
}

} // namespace
