// Files through the real file dialog, the X clipboard, a second copy and the About links.

#include "tests/desktop/DesktopSession.h"

#include "res/AboutTemplates.h"
#include "res/resource.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kOpenButton = 0;
constexpr int kMandelbrotButton = 5;
constexpr int kAboutButton = 13;

class DesktopFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(s.Start()); }

    // Types path into the file dialog titled caption and accepts it.
    void ChooseFile(const QString &caption, const QString &path, const QString &shot = {})
    {
        const QString dlg = s.WaitWindow(caption);
        ASSERT_FALSE(dlg.isEmpty());
        if (!shot.isEmpty())
            s.Shot(shot);
        s.Type(path);
        s.Key(QStringLiteral("Return"));
        ASSERT_TRUE(s.WaitWindowGone(dlg));
    }

    DesktopSession s;
};

TEST_F(DesktopFiles, SaveAsOpenAndLoadPaletteThroughTheFileDialog)
{
    const QString saved = QDir(s.Root()).filePath(QStringLiteral("saved.bmp"));
    s.Key(QStringLiteral("alt+f"));
    s.Key(QStringLiteral("a"));
    ChooseFile(QStringLiteral("另存为"), saved, QStringLiteral("file-dialog"));
    ASSERT_TRUE(s.WaitFor([&] { return QFile(saved).size() == s.TempBmp().size(); }));
    QFile savedFile(saved);
    ASSERT_TRUE(savedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(savedFile.readAll(), s.TempBmp());

    // A picture of one colour, opened, fills the view.
    QImage red(64, 64, QImage::Format_Indexed8);
    red.setColorTable({qRgb(255, 0, 0)});
    red.fill(0);
    const QString redPath = QDir(s.Root()).filePath(QStringLiteral("red.bmp"));
    ASSERT_TRUE(red.save(redPath, "BMP"));
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
    s.Key(QStringLiteral("alt+o"));
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
    s.Key(QStringLiteral("ctrl+a"));
    s.Key(QStringLiteral("alt+e"));
    s.Key(QStringLiteral("c"));
    QImage copied;
    ASSERT_TRUE(s.WaitFor([&] {
        copied = s.ClipboardPng();
        return !copied.isNull();
    }));
    const QImage screen = s.Grab().copy(s.ViewRect());
    EXPECT_EQ(copied.size(), screen.size());
    int nDiffering = 0;
    for (int y = 0; y < std::min(copied.height(), screen.height()); ++y)
        for (int x = 0; x < std::min(copied.width(), screen.width()); ++x)
            nDiffering += qRgb(qRed(copied.pixel(x, y)), qGreen(copied.pixel(x, y)),
                               qBlue(copied.pixel(x, y)))
                != qRgb(qRed(screen.pixel(x, y)), qGreen(screen.pixel(x, y)),
                        qBlue(screen.pixel(x, y)));
    EXPECT_EQ(nDiffering, 0);
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

TEST_F(DesktopFiles, AboutLinksOpenOnceForAClickAndOnceForADoubleClick)
{
    s.Click(s.ToolBarButton(kAboutButton));
    const QString dlg = s.WaitWindow(QStringLiteral("关于Velorine"));
    ASSERT_FALSE(dlg.isEmpty());
    const DialogTemplate &templ = AboutDialogTemplate();
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

} // namespace
