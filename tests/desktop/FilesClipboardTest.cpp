// Files through the real file dialog, the X clipboard and a second copy.

#include "tests/desktop/DesktopSession.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kOpenButton = 0;
constexpr int kMandelbrotButton = 5;

// Pixels that differ in colour between two images, over the area they share.
int Differing(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            n += (a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff);
    return n;
}

class DesktopFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(s.Start()); }

    // Types path into the file dialog titled caption and accepts it.
    void ChooseFile(const QString &caption, const QString &path, const QString &shot = {})
    {
        const QString dlg = s.WaitWindow(caption);
        ASSERT_FALSE(dlg.isEmpty());
        const qsizetype nBefore = s.WindowIds().size() - 1;
        if (!shot.isEmpty())
            s.Shot(shot);
        s.Type(path);
        s.Key(QStringLiteral("Return"));
        ASSERT_TRUE(s.WaitWindowGone(dlg));
        // The name's completion list can outlive the dialog's window for a moment.
        ASSERT_TRUE(s.WaitFor([&] { return s.WindowIds().size() == nBefore; }));
    }

    DesktopSession s;
};

TEST_F(DesktopFiles, SaveAsOpenAndLoadPaletteThroughTheFileDialog)
{
    const QString saved = QDir(s.Root()).filePath(QStringLiteral("saved.bmp"));
    ASSERT_TRUE(s.OpenMenu(QStringLiteral("alt+f")));
    s.Key(QStringLiteral("a"));
    ChooseFile(QStringLiteral("另存为"), saved, QStringLiteral("file-dialog"));
    ASSERT_TRUE(s.WaitFor([&] { return QFile(saved).size() == s.TempBmp().size(); }));
    QFile savedFile(saved);
    ASSERT_TRUE(savedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(savedFile.readAll(), s.TempBmp());

    // A picture of one colour, opened, fills the view.
    const QString redPath = QDir(s.Root()).filePath(QStringLiteral("red.bmp"));
    ASSERT_TRUE(DesktopSession::WritePicture(redPath, qRgb(255, 0, 0)));
    s.Click(s.ToolBarButton(kOpenButton));
    ChooseFile(QStringLiteral("打开"), redPath);
    EXPECT_TRUE(s.WaitFor([&] { return s.Pixel(s.ViewRect().center()) == qRgb(255, 0, 0); }));

    // Options > Palette (the menu's last item), then a render composes with that palette.
    QByteArray palette;
    for (int i = 0; i < 256; ++i)
        palette += QByteArray::fromRawData("\x10\x80\xf0\x00", 4);
    const QString palettePath = QDir(s.Root()).filePath(QStringLiteral("mine.rgb"));
    QFile paletteFile(palettePath);
    ASSERT_TRUE(paletteFile.open(QIODevice::WriteOnly));
    paletteFile.write(palette);
    paletteFile.close();
    ASSERT_TRUE(s.OpenMenu(QStringLiteral("alt+o")));
    s.Key(QStringLiteral("Up Return"));
    ChooseFile(QStringLiteral("打开"), palettePath);
    const QByteArray before = s.TempBmp();
    s.Click(s.ToolBarButton(kMandelbrotButton));
    ASSERT_TRUE(s.WaitTempBmpChange(before));
    EXPECT_EQ(s.TempBmp().mid(54, 1024), palette);
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopFiles, CopyGivesAnotherClientTheViewPixelForPixel)
{
    const QImage copied = s.SelectAllAndCopy();
    ASSERT_FALSE(copied.isNull());
    const QImage screen = s.Grab().copy(s.ViewRect());
    EXPECT_EQ(copied.size(), screen.size());
    EXPECT_EQ(Differing(copied, screen), 0);
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopFiles, SelectAllThenFullScreenThenCopyTakesTheClientAreaAsItIsNow)
{
    s.Key(QStringLiteral("ctrl+a"));
    // Esc: the view alone fills the window, its top now where the menu bar was. (With no window
    // manager the window keeps its size; one would give it the screen.)
    s.Key(QStringLiteral("Escape"));
    ASSERT_TRUE(s.WaitFor([&] { return !s.MenuBarOnScreen(); }));
    const QRect area = s.WindowGeometry(s.MainWindow());
    ASSERT_NE(area.size(), s.ViewRect().size());
    // Copy from the context menu, its third item: the menu bar is off screen.
    const qsizetype n = s.WindowIds().size();
    s.Click(area.center(), 3);
    ASSERT_TRUE(s.WaitFor([&] { return s.WindowIds().size() > n; }));
    s.Key(QStringLiteral("Down Down Down Return"));
    QImage copied;
    ASSERT_TRUE(s.WaitFor([&] {
        copied = s.ClipboardPng();
        return !copied.isNull();
    }));
    EXPECT_EQ(copied.size(), area.size());
    // Polled: the screen may still be taking the repaint where the menu was.
    QImage screen;
    EXPECT_TRUE(s.WaitFor([&] {
        screen = s.Grab().copy(area);
        return Differing(copied, screen) == 0;
    })) << Differing(copied, screen)
        << " pixels differ";
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopFiles, SecondCopyIsRefusedWithItsMessageAndTheFirstLivesOn)
{
    std::unique_ptr<QProcess> second = s.StartAnother();
    const QString box = s.WaitWindow(QStringLiteral("Velorine"), 20000, second->processId());
    ASSERT_FALSE(box.isEmpty());
    s.Shot(QStringLiteral("second-copy"));
    s.Key(QStringLiteral("Return"));
    EXPECT_TRUE(s.CheckOtherExit(*second, 1));

    // The message itself, as the box shows it, from a third copy told to print its boxes.
    std::unique_ptr<QProcess> third = s.StartAnother({QStringLiteral("VELORINE_MESSAGES=print")});
    EXPECT_TRUE(s.CheckOtherExit(*third, 2));
    EXPECT_TRUE(s.OtherStderr(2).contains(QStringLiteral("已经有Velorine!正在运行")));

    // The first copy still answers and draws.
    s.Focus(s.MainWindow());
    ASSERT_TRUE(s.Sync());
    const QByteArray before = s.TempBmp();
    s.Click(s.ToolBarButton(6));
    EXPECT_TRUE(s.WaitTempBmpChange(before));
    EXPECT_TRUE(s.Exit());
}

} // namespace
