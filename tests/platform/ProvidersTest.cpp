// The window program's file-dialog filter, default extension and shell-open decisions.

#include "platform/widgets/WidgetProviders.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void Write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(FileDialogTest, FrameworkFilterBecomesQtFilters)
{
    EXPECT_EQ(FileDialogFilters(QStringLiteral("BMP Files(*.BMP)|*.BMP||")),
              QStringList {QStringLiteral("BMP Files(*.BMP) (*.BMP)")});
    EXPECT_EQ(FileDialogFilters(QStringLiteral("A|*.a;*.b|All|*.*||")),
              (QStringList {QStringLiteral("A (*.a *.b)"), QStringLiteral("All (*.*)")}));
    EXPECT_TRUE(FileDialogFilters(QString()).isEmpty());
    EXPECT_TRUE(FileDialogFilters(QStringLiteral("Broken")).isEmpty());
}

TEST(FileDialogTest, DefaultExtensionOnlyWhenTheNameHasNone)
{
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/d/pic"), QStringLiteral(".bmp")),
              QStringLiteral("/d/pic.bmp"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/d/pic"), QStringLiteral("bmp")),
              QStringLiteral("/d/pic.bmp"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/d/pic.BMP"), QStringLiteral(".bmp")),
              QStringLiteral("/d/pic.BMP"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/d.x/pic"), QStringLiteral("bmp")),
              QStringLiteral("/d.x/pic.bmp"));
    EXPECT_EQ(WithDefaultExtension(QStringLiteral("/d/pic"), QString()), QStringLiteral("/d/pic"));
    EXPECT_TRUE(WithDefaultExtension(QString(), QStringLiteral("bmp")).isEmpty());
}

TEST(MessageBoxPlacementTest, BoxIsMovedWhollyOntoTheScreen)
{
    const QRect screen(0, 0, 1024, 768);
    const struct
    {
        QRect box;
        QPoint topLeft;
    } cases[] = {
        {{-150, 300, 400, 150}, {0, 300}}, // main window at the left edge
        {{800, 700, 400, 150}, {624, 618}}, // past the right and bottom edges
        {{100, -40, 400, 150}, {100, 0}}, // above the top
        {{300, 300, 400, 150}, {300, 300}}, // already on the screen: unmoved
        {{-50, -50, 2000, 900}, {0, 0}}, // larger than the screen: its corner on it
    };
    for (const auto &c : cases) {
        const QRect placed = KeptOnScreen(c.box, screen);
        EXPECT_EQ(placed.topLeft(), c.topLeft) << c.box.x() << "," << c.box.y();
        EXPECT_EQ(placed.size(), c.box.size());
    }
    // A second screen to the right: the box stays on that one, not the first.
    EXPECT_EQ(KeptOnScreen({1000, 10, 400, 150}, {1024, 0, 1280, 1024}).topLeft(),
              QPoint(1024, 10));
}

TEST(ShellOpenTest, HtmlUnderAnotherNameOpensAsAnHtmlCopy)
{
    EXPECT_TRUE(LooksLikeHtml("  <!DOCTYPE html><html>"));
    EXPECT_TRUE(LooksLikeHtml("\xef\xbb\xbf<HTML lang=zh>"));
    EXPECT_FALSE(LooksLikeHtml("?_\x03\x00 binary help"));
    EXPECT_FALSE(LooksLikeHtml(""));

    const QString copyDir = QDir::current().filePath(QStringLiteral("runtime"));
    Write(QStringLiteral("VELORINE.HLP"), "<!DOCTYPE html>\n<html><body>帮助</body></html>");
    const QUrl url = ShellOpenUrl(QStringLiteral("VELORINE.HLP"), copyDir);
    ASSERT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile(), QDir(copyDir).filePath(QStringLiteral("VELORINE.html")));
    QFile copy(url.toLocalFile());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copy.readAll().contains("帮助"));

    // Opening again replaces the copy with the current contents.
    Write(QStringLiteral("VELORINE.HLP"), "<html>new</html>");
    ShellOpenUrl(QStringLiteral("VELORINE.HLP"), copyDir);
    QFile again(url.toLocalFile());
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray("<html>new</html>"));
}

TEST(ShellOpenTest, OtherTargets)
{
    const QString copyDir = QDir::current().filePath(QStringLiteral("runtime-other"));
    EXPECT_FALSE(ShellOpenUrl(QStringLiteral("missing.hlp"), copyDir).isValid());
    Write(QStringLiteral("page.html"), "<html></html>");
    EXPECT_EQ(ShellOpenUrl(QStringLiteral("page.html"), copyDir),
              QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("page.html"))));
    Write(QStringLiteral("old.hlp"), "?_\x03\x00");
    EXPECT_EQ(ShellOpenUrl(QStringLiteral("old.hlp"), copyDir),
              QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("old.hlp"))));
    EXPECT_EQ(ShellOpenUrl(QStringLiteral("mailto:someone@example.org"), copyDir),
              QUrl(QStringLiteral("mailto:someone@example.org")));
    EXPECT_EQ(ShellOpenUrl(QStringLiteral("http://example.org/"), copyDir),
              QUrl(QStringLiteral("http://example.org/")));
    EXPECT_FALSE(QDir(copyDir).exists());
}

} // namespace
