// The About dialog's two links with the real pointer: what a click opens, and how they look.

#include "tests/desktop/DesktopSession.h"

#include "res/AboutTemplates.h"
#include "res/resource.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kAboutButton = 13;

class DesktopAbout : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(s.Start()); }

    QString OpenAbout()
    {
        s.Click(s.ToolBarButton(kAboutButton));
        return s.WaitWindow(QStringLiteral("关于Velorine"));
    }
    // The highlighted look: text and underline in pure blue.
    bool ShowsBlue(const QRect &rc) const
    {
        const QImage screen = s.Grab();
        for (int y = rc.top(); y <= rc.bottom(); ++y)
            for (int x = rc.left(); x <= rc.right(); ++x) {
                const QRgb c = screen.pixel(x, y);
                if (qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60)
                    return true;
            }
        return false;
    }
    bool WaitBlue(const QRect &rc, bool bBlue)
    {
        return s.WaitFor([&] { return ShowsBlue(rc) == bBlue; });
    }

    DesktopSession s;
    const DialogTemplate &templ = AboutDialogTemplate();
};

TEST_F(DesktopAbout, AboutLinksOpenOnceForAClickAndOnceForADoubleClick)
{
    const QString dlg = OpenAbout();
    ASSERT_FALSE(dlg.isEmpty());
    const QPoint home = s.DialogItem(dlg, templ, IDC_LINK_HOME);
    const QPoint mail = s.DialogItem(dlg, templ, IDC_LINK_MAIL);
    const int n = int(s.Opened().size());

    s.MouseMove(home);
    s.Shot(QStringLiteral("about-hover"));
    s.Click(home);
    ASSERT_TRUE(s.WaitOpenedCount(n + 1));
    s.DoubleClick(mail);
    ASSERT_TRUE(s.WaitOpenedCount(n + 2));
    // A third, single click: had the double click opened twice, its line would come first.
    s.Click(home);
    ASSERT_TRUE(s.WaitOpenedCount(n + 3));
    const QStringList opened = s.Opened().mid(n);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], opened[2]);
    EXPECT_NE(opened[0], opened[1]);
    EXPECT_TRUE(s.WindowIds().contains(dlg));

    // A click on the pink surface closes the dialog.
    s.Click(s.WindowGeometry(dlg).topLeft() + QPoint(10, 10));
    EXPECT_TRUE(s.WaitWindowGone(dlg));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopAbout, AClosedDialogLeavesNoHighlightToTheNextOne)
{
    QString dlg = OpenAbout();
    ASSERT_FALSE(dlg.isEmpty());
    const QRect home = s.DialogItemRect(dlg, templ, IDC_LINK_HOME);
    const QRect mail = s.DialogItemRect(dlg, templ, IDC_LINK_MAIL);
    s.MouseMove(home.center());
    ASSERT_TRUE(WaitBlue(home, true));
    s.Shot(QStringLiteral("about-link-highlighted"));
    // Closed with the pointer still on the link: its highlight is still on.
    s.Key(QStringLiteral("Escape"));
    ASSERT_TRUE(s.WaitWindowGone(dlg));

    dlg = OpenAbout();
    ASSERT_FALSE(dlg.isEmpty());
    EXPECT_FALSE(ShowsBlue(home));
    s.MouseMove(home.center());
    EXPECT_TRUE(WaitBlue(home, true));
    // Within the dialog one link at a time is highlighted.
    s.MouseMove(mail.center());
    EXPECT_TRUE(WaitBlue(mail, true));
    EXPECT_TRUE(WaitBlue(home, false));
    s.Click(s.WindowGeometry(dlg).topLeft() + QPoint(10, 10));
    EXPECT_TRUE(s.WaitWindowGone(dlg));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopAbout, LinksSitOnTheSystemButtonFaceNotOnTheDialogsPink)
{
    // The style here paints window and button faces in one grey, which the status bar shows.
    const QRgb face = s.Pixel(QPoint(s.ViewRect().left() + 150, s.ViewRect().bottom() + 10));
    const QString dlg = OpenAbout();
    ASSERT_FALSE(dlg.isEmpty());
    // The face with two off red and green, as the button's own colour rule gives.
    const QColor expected(qRed(face) - 2, qGreen(face) - 2, qBlue(face));
    std::vector<QPoint> corners;
    for (int nID : {IDC_LINK_HOME, IDC_LINK_MAIL}) {
        const QRect rc = s.DialogItemRect(dlg, templ, nID).adjusted(2, 2, -2, -2);
        corners.insert(corners.end(),
                       {rc.topLeft(), rc.topRight(), rc.bottomLeft(), rc.bottomRight()});
    }
    // Polled: the dialog may still be taking its first paint.
    QImage screen;
    const auto painted = [&] {
        screen = s.Grab();
        return std::all_of(corners.begin(), corners.end(),
                           [&](QPoint p) { return QColor(screen.pixel(p)) == expected; });
    };
    EXPECT_TRUE(s.WaitFor(painted));
    for (const QPoint p : corners)
        EXPECT_EQ(QColor(screen.pixel(p)).name().toStdString(), expected.name().toStdString())
            << "at " << p.x() << "," << p.y();
    // Not the dialog's own pink with the rule applied.
    EXPECT_NE(QColor(screen.pixel(s.WindowGeometry(dlg).topLeft() + QPoint(10, 10))), face);
    s.Shot(QStringLiteral("about"));
    s.Key(QStringLiteral("Escape"));
    EXPECT_TRUE(s.WaitWindowGone(dlg));
    EXPECT_TRUE(s.Exit());
}

} // namespace
