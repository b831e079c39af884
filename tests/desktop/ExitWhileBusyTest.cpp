// Input queued behind a long render: once the main window has closed, nothing queued after the
// close opens a window or keeps the program, and the working files go as on every exit.

#include "tests/desktop/DesktopSession.h"

#include "res/resource.h"

#include <QFile>
#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr int kMartinButton = 7;
constexpr int kAboutButton = 13;
constexpr int kCloseButton = 15;

enum class CloseBy { ExitButton, AltX, CloseBox };
enum class Then { AboutButton, SysInfoMenu };

struct QueuedOrder
{
    const char *name;
    CloseBy close;
    Then then;
};

void PrintTo(const QueuedOrder &order, std::ostream *os)
{
    *os << order.name;
}

class DesktopExitWhileBusy : public ::testing::TestWithParam<QueuedOrder>
{
protected:
    DesktopSession s;
};

TEST_P(DesktopExitWhileBusy, NothingQueuedBehindTheCloseOutlivesIt)
{
    const QueuedOrder order = GetParam();
    const QString hold = s.Root() + QStringLiteral("/hold");
    ASSERT_TRUE(
        s.Start({QStringLiteral("VELORINE_HOLD_AFTER_COMMAND=%1:%2").arg(ID_MARTIN).arg(hold)}));
    const QString main = s.MainWindow();

    // The render runs, then the program holds with the input below queued behind it.
    s.Click(s.ToolBarButton(kMartinButton));
    ASSERT_TRUE(DesktopSession::WaitFor([&] { return QFile::exists(hold); }));
    switch (order.close) {
    case CloseBy::ExitButton:
        s.Click(s.ToolBarButton(kCloseButton));
        break;
    case CloseBy::AltX:
        s.Key(QStringLiteral("alt+x"));
        break;
    case CloseBy::CloseBox:
        ASSERT_TRUE(s.CloseBox(main));
        break;
    }
    if (order.then == Then::AboutButton)
        s.Click(s.ToolBarButton(kAboutButton));
    else
        s.Key(QStringLiteral("alt+h Up Return"));
    ASSERT_TRUE(QFile::remove(hold));

    // Until the program ends, every window it still shows besides the closed main window is
    // one the queued input opened after the close: it must not be there, and closing it must
    // end the program (a menu first, then the dialog its item opened).
    for (int round = 0; round < 3 && s.Running(); ++round) {
        QStringList late;
        DesktopSession::WaitFor([&] {
            if (!s.Running())
                return true;
            late = s.WindowIds();
            late.removeAll(main);
            // A tool tip left from the hover before the close has no title and keeps nothing
            // alive; every window a command opens has one.
            late.removeIf([&](const QString &id) { return s.WindowName(id).isEmpty(); });
            return !late.isEmpty();
        });
        for (const QString &id : late) {
            ADD_FAILURE() << "opened after the close: window " << id.toStdString() << " \""
                          << s.WindowName(id).toStdString() << "\"";
            s.Focus(id);
            s.Key(QStringLiteral("Escape"));
            s.WaitWindowGone(id);
        }
    }
    EXPECT_TRUE(s.WaitExited());
    EXPECT_FALSE(QFile::exists(s.File(QStringLiteral("temp.bmp"))));
    EXPECT_FALSE(QFile::exists(s.File(QStringLiteral("Velorine256.rgb"))));
}

INSTANTIATE_TEST_SUITE_P(
    Orders, DesktopExitWhileBusy,
    ::testing::Values(QueuedOrder {"ExitButtonThenAbout", CloseBy::ExitButton, Then::AboutButton},
                      QueuedOrder {"AltXThenAbout", CloseBy::AltX, Then::AboutButton},
                      QueuedOrder {"CloseBoxThenAbout", CloseBy::CloseBox, Then::AboutButton},
                      QueuedOrder {"CloseBoxThenSysInfo", CloseBy::CloseBox, Then::SysInfoMenu}),
    [](const ::testing::TestParamInfo<QueuedOrder> &param) { return param.param.name; });

} // namespace
