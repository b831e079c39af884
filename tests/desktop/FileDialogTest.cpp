// The real file dialog: where each kind starts, and Qt's own texts in it.

#include "tests/desktop/DesktopSession.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr int kOpenButton = 0;
constexpr int kMandelbrotButton = 5;

// A palette file of 256 entries of one colour: the bytes a picture composed with it carries.
QByteArray WritePalette(const QString &path, char r, char g, char b)
{
    QByteArray palette;
    for (int i = 0; i < 256; ++i) {
        palette += r;
        palette += g;
        palette += b;
        palette += '\0';
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(palette) != palette.size())
        return {};
    return palette;
}

class DesktopFileDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QDir root(s.Root());
        ASSERT_TRUE(root.mkpath(QStringLiteral("home/Pictures")));
        m_strPictures = root.filePath(QStringLiteral("home/Pictures"));
    }

    // Opens a dialog (caption) with open(), types name into it and accepts it.
    void Choose(const std::function<void()> &open, const QString &caption, const QString &name)
    {
        const qsizetype nBefore = s.WindowIds().size();
        open();
        const QString dlg = s.WaitWindow(caption);
        ASSERT_FALSE(dlg.isEmpty()) << caption.toStdString();
        s.Type(name);
        s.Key(QStringLiteral("Return"));
        ASSERT_TRUE(s.WaitWindowGone(dlg));
        // The name's completion list can outlive the dialog's window for a moment; a click
        // meanwhile would only close it.
        ASSERT_TRUE(s.WaitFor([&] { return s.WindowIds().size() == nBefore; }));
    }
    void OpenPicture(const QString &name)
    {
        Choose([this] { s.Click(s.ToolBarButton(kOpenButton)); }, QStringLiteral("打开"), name);
    }
    void LoadPalette(const QString &name)
    {
        // Options > Palette, the menu's last item.
        Choose(
            [this] {
                ASSERT_TRUE(s.OpenMenu(QStringLiteral("alt+o")));
                s.Key(QStringLiteral("Up Return"));
            },
            QStringLiteral("打开"), name);
    }
    bool ViewShows(QRgb colour)
    {
        return s.WaitFor([&] { return s.Pixel(s.ViewRect().center()) == colour; });
    }
    // A render: the palette temp.bmp then carries.
    QByteArray RenderedPalette()
    {
        const QByteArray before = s.TempBmp();
        s.Click(s.ToolBarButton(kMandelbrotButton));
        return s.WaitTempBmpChange(before) ? s.TempBmp().mid(54, 1024) : QByteArray();
    }

    DesktopSession s;
    QString m_strPictures;
};

TEST_F(DesktopFileDialog, EachKindStartsInItsOwnFolderAndNeverInTheWorkingFolder)
{
    // The same names in the working folder, in other colours: a dialog opened there would
    // pick these.
    const QDir root(s.Root());
    ASSERT_TRUE(root.mkpath(QStringLiteral("mine")) && root.mkpath(QStringLiteral("palettes")));
    const QString mine = root.filePath(QStringLiteral("mine"));
    ASSERT_TRUE(
        DesktopSession::WritePicture(m_strPictures + QStringLiteral("/blue.bmp"), qRgb(0, 0, 255)));
    ASSERT_TRUE(DesktopSession::WritePicture(mine + QStringLiteral("/red.bmp"), qRgb(255, 0, 0)));
    ASSERT_TRUE(DesktopSession::WritePicture(mine + QStringLiteral("/blue.bmp"), qRgb(0, 255, 0)));
    const QByteArray inPictures
        = WritePalette(m_strPictures + QStringLiteral("/p.rgb"), '\x10', '\x80', '\xf0');
    const QByteArray inPalettes
        = WritePalette(root.filePath(QStringLiteral("palettes/q.rgb")), '\x20', '\x40', '\x60');
    const QByteArray inPalettes2
        = WritePalette(root.filePath(QStringLiteral("palettes/p.rgb")), '\x30', '\x50', '\x70');
    ASSERT_FALSE(inPictures.isEmpty() || inPalettes.isEmpty() || inPalettes2.isEmpty());
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(
        DesktopSession::WritePicture(s.File(QStringLiteral("blue.bmp")), qRgb(255, 255, 0)));
    ASSERT_TRUE(DesktopSession::WritePicture(s.File(QStringLiteral("red.bmp")), qRgb(255, 255, 0)));
    ASSERT_FALSE(WritePalette(s.File(QStringLiteral("p.rgb")), 1, 2, 3).isEmpty());

    // The first Open starts in the Pictures folder: a bare name is found there.
    OpenPicture(QStringLiteral("blue.bmp"));
    EXPECT_TRUE(ViewShows(qRgb(0, 0, 255)));
    // A picture chosen elsewhere moves Open and Save As there.
    OpenPicture(QDir(mine).filePath(QStringLiteral("red.bmp")));
    EXPECT_TRUE(ViewShows(qRgb(255, 0, 0)));
    Choose(
        [this] {
            ASSERT_TRUE(s.OpenMenu(QStringLiteral("alt+f")));
            s.Key(QStringLiteral("a"));
        },
        QStringLiteral("另存为"), QStringLiteral("copy.bmp"));
    EXPECT_TRUE(s.WaitFor([&] { return QFile::exists(mine + QStringLiteral("/copy.bmp")); }));
    EXPECT_FALSE(QFile::exists(s.File(QStringLiteral("copy.bmp"))));
    EXPECT_FALSE(QFile::exists(m_strPictures + QStringLiteral("/copy.bmp")));

    // Load Palette keeps a folder of its own: the first time, the Pictures folder.
    LoadPalette(QStringLiteral("p.rgb"));
    EXPECT_EQ(RenderedPalette(), inPictures);
    LoadPalette(root.filePath(QStringLiteral("palettes/q.rgb")));
    EXPECT_EQ(RenderedPalette(), inPalettes);
    LoadPalette(QStringLiteral("p.rgb"));
    EXPECT_EQ(RenderedPalette(), inPalettes2);
    // Open did not follow the palettes.
    OpenPicture(QStringLiteral("blue.bmp"));
    EXPECT_TRUE(ViewShows(qRgb(0, 255, 0)));
    EXPECT_TRUE(s.Exit());
}

TEST_F(DesktopFileDialog, QtsOwnTextsAreChinese)
{
    ASSERT_TRUE(s.Start());
    s.Click(s.ToolBarButton(kOpenButton));
    const QString dlg = s.WaitWindow(QStringLiteral("打开"));
    ASSERT_FALSE(dlg.isEmpty());
    s.Shot(QStringLiteral("file-dialog-open"));
    // The dialog's new-folder button, third of the tool buttons right of the folder box, makes
    // a folder under Qt's own name for it in the folder shown.
    const QRect rc = s.WindowGeometry(dlg);
    s.Click(QPoint(rc.right() - 78, rc.top() + 22));
    QStringList made;
    ASSERT_TRUE(s.WaitFor([&] {
        made = QDir(m_strPictures).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        return !made.isEmpty();
    }));
    EXPECT_EQ(made.join(QLatin1Char('|')).toStdString(),
              QStringLiteral("新建文件夹").toStdString());
    s.Shot(QStringLiteral("file-dialog-new-folder"));
    // Esc ends the name's editing, the next one closes the dialog.
    s.Key(QStringLiteral("Escape"));
    s.Key(QStringLiteral("Escape"));
    EXPECT_TRUE(s.WaitWindowGone(dlg));
    EXPECT_TRUE(s.Exit());
}

} // namespace
