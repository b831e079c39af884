#include "app/CAboutDlg.h"
#include "app/CVelorineApp.h"
#include "res/AboutTemplates.h"
#include "tests/common/TestSupport.h"
#include "tests/common/WidgetTestAccess.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

class AboutDialog : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dlg.Create(true)); }
    QWidget *Item(int nID) { return dlg.GetDlgItem(nID); }

    ScopedTestProviders providers;
    CAboutDlg dlg;
};

TEST_F(AboutDialog, BuiltFromItsTemplateOnPink)
{
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("关于Velorine"));
    EXPECT_EQ(Item(IDC_LINK_MAIL), &dlg.AuthorLink());
    EXPECT_EQ(Item(IDC_LINK_HOME), &dlg.HomePageLink());
    EXPECT_TRUE(dlg.AuthorLink().text().startsWith(QStringLiteral("作者:")));
    EXPECT_TRUE(dlg.HomePageLink().text().endsWith(QStringLiteral("--分形主页")));
    EXPECT_FALSE(dlg.AuthorLink().autoDefault());
    EXPECT_FALSE(dlg.HomePageLink().autoDefault());

    QStringList texts;
    for (QLabel *pLabel : dlg.findChildren<QLabel *>())
        texts << pLabel->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Velorine  May2000 0.9a版")));
    EXPECT_TRUE(texts.contains(QStringLiteral("这是一个用于生成分形的软件。")));
    EXPECT_TRUE(texts.contains(QStringLiteral("欢迎报告Bug和提出改进意见 。")));

    const QImage image = dlg.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 204, 255));
    EXPECT_EQ(image.pixelColor(image.width() - 3, image.height() - 3), QColor(255, 204, 255));
}

TEST_F(AboutDialog, LinksOpenTheirAddressesAndLeaveItOpen)
{
    QTest::mouseClick(&dlg.AuthorLink(), Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_EQ(providers.shell().opened.size(), 1u);
    EXPECT_EQ(providers.shell().opened[0], QString::fromLatin1(kAuthorMailAddress));
    EXPECT_TRUE(providers.shell().opened[0].startsWith(QStringLiteral("mailto:")));
    EXPECT_TRUE(TestAccess<CDialog>::IsOpen(dlg));

    QTest::mouseClick(&dlg.HomePageLink(), Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_EQ(providers.shell().opened.size(), 2u);
    EXPECT_EQ(providers.shell().opened[1], QString::fromLatin1(kHomePageAddress));
    EXPECT_TRUE(TestAccess<CDialog>::IsOpen(dlg));
}

TEST_F(AboutDialog, ReleaseOnItsSurfaceClosesAsOk)
{
    QTest::mousePress(&dlg, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(TestAccess<CDialog>::IsOpen(dlg));
    QTest::mouseRelease(&dlg, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(dlg));
    EXPECT_EQ(TestAccess<CDialog>::Result(dlg), IDOK);
    EXPECT_TRUE(providers.shell().opened.empty());
}

TEST_F(AboutDialog, ReleaseOnStaticTextClosesToo)
{
    QLabel *pLabel = nullptr;
    for (QLabel *p : dlg.findChildren<QLabel *>()) {
        if (p->text() == QStringLiteral("这是一个用于生成分形的软件。"))
            pLabel = p;
    }
    ASSERT_NE(pLabel, nullptr);
    QTest::mouseClick(pLabel, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(dlg));
    EXPECT_EQ(TestAccess<CDialog>::Result(dlg), IDOK);
}

TEST_F(AboutDialog, RightButtonLeavesItOpen)
{
    QTest::mouseClick(&dlg, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(TestAccess<CDialog>::IsOpen(dlg));
}

TEST_F(AboutDialog, EnterOnAFocusedLinkClosesWithoutOpeningIt)
{
    dlg.AuthorLink().setFocus();
    QTest::keyClick(&dlg.AuthorLink(), Qt::Key_Return);
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(dlg));
    EXPECT_EQ(TestAccess<CDialog>::Result(dlg), IDOK);
    EXPECT_TRUE(providers.shell().opened.empty());
}

TEST_F(AboutDialog, EscapeClosesAsCancelWithoutOpeningALink)
{
    dlg.HomePageLink().setFocus();
    QTest::keyClick(&dlg.HomePageLink(), Qt::Key_Escape);
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(dlg));
    EXPECT_EQ(TestAccess<CDialog>::Result(dlg), IDCANCEL);
    EXPECT_TRUE(providers.shell().opened.empty());
}

TEST(AppHelpCommands, AboutAndSysInfoRunModallyAndAreEnabled)
{
    ScopedTestProviders providers;
    CVelorineApp app;
    QStringList captions;
    const CDialog::ModalHook previous
        = CDialog::SetModalHook([&](CDialog &dlg) { captions << dlg.windowTitle(); });
    for (int nID : {ID_APP_ABOUT, ID_SYSINFO}) {
        CCmdUI state(nID);
        EXPECT_TRUE(app.OnCmdMsg(nID, &state));
        EXPECT_TRUE(state.m_bEnabled);
        EXPECT_TRUE(app.OnCmdMsg(nID, nullptr));
    }
    CDialog::SetModalHook(previous);
    EXPECT_EQ(captions, QStringList({QStringLiteral("关于Velorine"), QStringLiteral("系统信息")}));
}

namespace {

bool ShowsBlue(CLinkButton &button)
{
    const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == QColor(0, 0, 255))
                return true;
        }
    }
    return false;
}

} // namespace

// A dialog closed while a link was highlighted leaves no highlight to the next one.
TEST(AboutDialogLinks, EveryOpeningStartsWithNoLinkHighlighted)
{
    ScopedTestProviders providers;
    QPoint pointer;
    const CLinkButton::PointerSource previous
        = CLinkButton::SetPointerSource([&pointer] { return pointer; });
    for (int opening = 0; opening < 2; ++opening) {
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create(true));
        EXPECT_FALSE(CLinkButton::IsHighlightShown());
        CLinkButton &link = dlg.HomePageLink();
        pointer = link.mapToGlobal(QPoint(4, 4));
        link.OnMouseMove();
        link.OnTimer(CLinkButton::kTrackingTimerId);
        EXPECT_TRUE(link.IsHover());
        EXPECT_EQ(link.InvalidateCount(), 1) << "opening " << opening;
        EXPECT_TRUE(ShowsBlue(link)) << "opening " << opening;

        // Within one dialog the flag is shared: the other link, entered while it is still
        // set, asks for no redraw of its own.
        CLinkButton &other = dlg.AuthorLink();
        pointer = other.mapToGlobal(QPoint(4, 4));
        other.OnTimer(CLinkButton::kTrackingTimerId);
        EXPECT_EQ(other.InvalidateCount(), 0);

        pointer = link.mapToGlobal(QPoint(4, 4));
        EXPECT_TRUE(CLinkButton::IsHighlightShown());
        dlg.EndDialog(IDOK);
    }
    CLinkButton::SetPointerSource(previous);
}
