// The accelerators and menus by their real keys, as the X server sends them.

#include "tests/desktop/DesktopSession.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// The view's own background, where the unscaled picture does not reach.
constexpr QRgb kViewBackground = 0xffccccff;

// Stretched, the picture reaches the view's right edge; unscaled (512 pixels wide) it does
// not, so a point near that edge shows the picture or the view's background.
class DesktopKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(s.Start());
        m_ptEdge = s.ViewToScreen(QPoint(s.ViewRect().width() - 3, 10));
        m_rgbStretched = s.Pixel(m_ptEdge);
    }

    // Full screen and back: the view is repainted, as after being uncovered.
    void Repaint()
    {
        s.Key(QStringLiteral("Escape"));
        ASSERT_TRUE(s.WaitFor([&] { return !s.MenuBarOnScreen(); }));
        s.Key(QStringLiteral("Escape"));
        ASSERT_TRUE(s.WaitFor([&] { return s.MenuBarOnScreen(); }));
    }

    // Repaints, then tells the stretched picture from the unscaled one by the edge pixel.
    bool ShowsStretched()
    {
        Repaint();
        QRgb now = 0;
        s.WaitFor([&] {
            now = s.Pixel(m_ptEdge);
            return now == m_rgbStretched || now == kViewBackground;
        });
        return now == m_rgbStretched;
    }

    // A zoom into a fresh selection by key; true when temp.bmp was rewritten.
    bool ZoomByKey(const QString &key)
    {
        s.DragView(QPoint(100, 100), QPoint(300, 260));
        const QByteArray before = s.TempBmp();
        s.RawKey(key);
        return s.WaitTempBmpChange(before);
    }

    DesktopSession s;
    QPoint m_ptEdge;
    QRgb m_rgbStretched = 0;
};

TEST_F(DesktopKeys, KeypadZoomWorksWithNumLockOffAndOnAndNeedsASelection)
{
    // Greyed without a selection: nothing happens.
    const QByteArray first = s.TempBmp();
    s.RawKey(QStringLiteral("KP_Add"));
    ASSERT_TRUE(s.Sync());
    EXPECT_EQ(s.TempBmp(), first);

    EXPECT_TRUE(ZoomByKey(QStringLiteral("KP_Add")));
    s.RawKey(QStringLiteral("Num_Lock"));
    EXPECT_TRUE(ZoomByKey(QStringLiteral("KP_Add")));
    s.RawKey(QStringLiteral("Num_Lock"));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopKeys, MainRowPlusAndStarAreNotTheKeypads)
{
    s.DragView(QPoint(100, 100), QPoint(300, 260));
    const QByteArray before = s.TempBmp();
    s.Key(QStringLiteral("shift+equal shift+8"));
    ASSERT_TRUE(s.Sync());
    EXPECT_EQ(s.TempBmp(), before);
    EXPECT_TRUE(ShowsStretched());
    // The selection is still pending: the keypad's plus zooms it.
    s.RawKey(QStringLiteral("KP_Add"));
    EXPECT_TRUE(s.WaitTempBmpChange(before));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopKeys, ZoomDisplayByKeypadStarWithNumLockOffAndOnAndByCtrlS)
{
    s.RawKey(QStringLiteral("KP_Multiply"));
    EXPECT_FALSE(ShowsStretched());
    s.RawKey(QStringLiteral("Num_Lock"));
    s.RawKey(QStringLiteral("KP_Multiply"));
    EXPECT_TRUE(ShowsStretched());
    s.RawKey(QStringLiteral("Num_Lock"));
    s.Key(QStringLiteral("ctrl+s"));
    EXPECT_FALSE(ShowsStretched());
    s.Key(QStringLiteral("ctrl+s"));
    EXPECT_TRUE(ShowsStretched());
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopKeys, FullScreenModesHelpSelectAllAndExit)
{
    // The row between the menu bar and the view: toolbar in the normal window, the picture
    // once the menu bar is off screen.
    const QPoint toolRow(s.ViewRect().right() - 3, s.ViewRect().top() - 10);
    // Esc: only the view is on screen.
    s.Key(QStringLiteral("Escape"));
    ASSERT_TRUE(s.WaitFor([&] { return !s.MenuBarOnScreen(); }));
    EXPECT_FALSE(DesktopSession::IsGrey(s.Pixel(toolRow)));
    // Ctrl+F leaves whichever mode is on.
    s.Key(QStringLiteral("ctrl+f"));
    ASSERT_TRUE(s.WaitFor([&] { return s.MenuBarOnScreen(); }));
    EXPECT_TRUE(DesktopSession::IsGrey(s.Pixel(toolRow)));
    // Ctrl+F: the toolbar stays at the top of the screen, the menu bar is gone.
    s.Key(QStringLiteral("ctrl+f"));
    ASSERT_TRUE(s.WaitFor([&] { return !DesktopSession::IsGrey(s.Pixel(toolRow)); }));
    EXPECT_TRUE(DesktopSession::IsGrey(s.Pixel(QPoint(toolRow.x(), 10))));
    s.Key(QStringLiteral("Escape"));
    ASSERT_TRUE(s.WaitFor([&] { return DesktopSession::IsGrey(s.Pixel(toolRow)); }));

    // F1 asks the shell for the help file.
    ASSERT_TRUE(s.Sync());
    EXPECT_TRUE(s.Opened().constLast().endsWith(QLatin1String("VELORINE.HLP")));

    // Ctrl+A selects the whole view, which Copy then puts on the clipboard.
    const QImage copied = s.SelectAllAndCopy();
    EXPECT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), s.ViewRect().size());

    // Alt+X closes the window: the working files go with it.
    EXPECT_TRUE(s.Exit());
    EXPECT_FALSE(QFile::exists(s.File(QStringLiteral("temp.bmp"))));
    EXPECT_FALSE(QFile::exists(s.File(QStringLiteral("Velorine256.rgb"))));
}

} // namespace
