// Dialogs built from templates: layout in dialog units, radio groups, keys, modal runs and
// controls the dialog's owner puts in place of a template's.

#include "platform/widgets/CDialog.h"
#include "platform/widgets/DataExchange.h"
#include "res/DialogTemplates.h"
#include "tests/common/WidgetTestAccess.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

DialogTemplate SmallTemplate()
{
    DialogTemplate t;
    t.nID = 900;
    t.strCaption = "测试";
    t.strFontName = "MS Sans Serif";
    t.nPointSize = 8;
    t.cx = 200;
    t.cy = 100;
    auto add = [&](int nID, DialogControlKind kind, const char *text, int x, int y, int cx, int cy,
                   unsigned style) {
        t.controls.push_back(DialogControl::Make(nID, kind, text, x, y, cx, cy, style));
    };
    add(10, DialogControlKind::Edit, "", 10, 10, 60, 12, WS_BORDER | WS_TABSTOP);
    add(20, DialogControlKind::AutoRadioButton, "一", 10, 30, 40, 10, WS_GROUP | WS_TABSTOP);
    add(21, DialogControlKind::AutoRadioButton, "二", 10, 42, 40, 10, 0);
    add(30, DialogControlKind::Edit, "", 80, 10, 60, 12, WS_BORDER | WS_TABSTOP);
    add(22, DialogControlKind::AutoRadioButton, "三", 60, 30, 40, 10, 0);
    add(40, DialogControlKind::AutoRadioButton, "甲", 110, 30, 40, 10, WS_GROUP);
    add(41, DialogControlKind::AutoRadioButton, "乙", 110, 42, 40, 10, 0);
    add(50, DialogControlKind::OwnerDrawButton, "链接", 10, 70, 80, 14, WS_TABSTOP);
    add(60, DialogControlKind::PushButton, "确定", 120, 70, 40, 14, WS_TABSTOP);
    return t;
}

class SmallDlg : public CDialog
{
public:
    SmallDlg() : CDialog(SmallTemplate()) { }
    void DoDataExchange(CDataExchange *pDX) override
    {
        DDX_Control(pDX, 50, m_link);
        DDX_Text(pDX, 10, m_nFirst);
        DDX_Radio(pDX, 20, m_nGroup1);
        DDX_Text(pDX, 30, m_strSecond);
        DDX_Radio(pDX, 40, m_nGroup2);
    }
    bool OnCommand(int nCode, int nID) override
    {
        notifications.emplace_back(nCode, nID);
        return nID == 50 || nID == 20;
    }
    int m_nFirst = 3;
    QString m_strSecond = "x";
    int m_nGroup1 = 2;
    int m_nGroup2 = -1;
    QPushButton m_link;
    std::vector<std::pair<int, int>> notifications;
};

TEST(DialogLayout, ControlsSitAtTheirDialogUnitRectangles)
{
    SmallDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const QSize base = CDialog::BaseUnits(TestAccess<CDialog>::Font(dlg));
    EXPECT_GT(base.width(), 3);
    EXPECT_GT(base.height(), 8);
    EXPECT_EQ(dlg.size(), QSize((200 * base.width() + 2) / 4, (100 * base.height() + 4) / 8));
    EXPECT_EQ(dlg.GetDlgItem(30)->geometry(), dlg.MapDialogRect(QRect(80, 10, 60, 12)));
    EXPECT_EQ(dlg.MapDialogRect(QRect(4, 8, 4, 8)),
              QRect(base.width(), base.height(), base.width(), base.height()));
    EXPECT_EQ(dlg.windowTitle(), "测试");
}

TEST(DialogLayout, TemplateFontsMapToInstalledChineseFamiliesAt96Dpi)
{
    EXPECT_EQ(CDialog::TemplateFont(JuliaDialogTemplate()).pixelSize(), 11);
    EXPECT_EQ(CDialog::TemplateFont(MiraDialogTemplate()).pixelSize(), 13);
    for (const char *name : {"Times New Roman", "MS Serif", "MS Sans Serif", "System"}) {
        QFont font(CDialog::MapFontFamily(name));
        font.setPixelSize(12);
        EXPECT_TRUE(QFontMetrics(font).inFont(QChar(0x5206))) << name; // 分
    }
}

TEST(DialogLayout, EveryTemplateTextFitsItsControl)
{
    for (const DialogTemplate *pTmpl :
         {&JuliaDialogTemplate(), &MartinDialogTemplate(), &MiraDialogTemplate()}) {
        CDialog dlg(*pTmpl);
        ASSERT_TRUE(dlg.Create());
        for (QObject *pChild : dlg.children()) {
            auto *pWidget = qobject_cast<QWidget *>(pChild);
            if (!pWidget)
                continue;
            const QRect rc = pWidget->geometry();
            // A label's or radio button's font is shrunk until its text fits (down to 9 px), so
            // fitting proves little alone: no text may need more than one pixel less than the
            // dialog's own font.
            if (qobject_cast<QLabel *>(pWidget) || qobject_cast<QRadioButton *>(pWidget)) {
                EXPECT_GE(pWidget->font().pixelSize(), dlg.font().pixelSize() - 1)
                    << pTmpl->nID << " " << pWidget->property("text").toString().toStdString();
            }
            if (auto *pLabel = qobject_cast<QLabel *>(pWidget)) {
                EXPECT_LE(pLabel->heightForWidth(rc.width()), rc.height())
                    << pTmpl->nID << " " << pLabel->text().toStdString();
                EXPECT_LE(pLabel->minimumSizeHint().width(), rc.width())
                    << pTmpl->nID << " " << pLabel->text().toStdString();
            } else if (auto *pRadio = qobject_cast<QRadioButton *>(pWidget)) {
                EXPECT_LE(CDialog::RadioTextWidth(*pRadio), rc.width())
                    << pTmpl->nID << " " << pRadio->text().toStdString();
            } else if (auto *pButton = qobject_cast<QPushButton *>(pWidget)) {
                EXPECT_LE(pButton->fontMetrics().horizontalAdvance(pButton->text()) + 4,
                          rc.width());
                EXPECT_LE(pButton->fontMetrics().height(), rc.height());
            }
        }
    }
}

TEST(DialogExchange, RadioGroupsFollowTheTemplatesGroupStarts)
{
    SmallDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.RadioGroup(21), (std::vector<int> {20, 21, 22}));
    EXPECT_EQ(dlg.RadioGroup(41), (std::vector<int> {40, 41}));
    EXPECT_TRUE(IsChecked(dlg, 22)); // m_nGroup1 = 2
    EXPECT_EQ(TestAccess<CDialog>::CheckedRadioButton(dlg, 40, 41), 0);
    Click(dlg, 41);
    Click(dlg, 20);
    EXPECT_TRUE(IsChecked(dlg, 41)); // the groups are independent
    EXPECT_FALSE(IsChecked(dlg, 22));
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nGroup1, 0);
    EXPECT_EQ(dlg.m_nGroup2, 1);
    dlg.CheckRadioButton(40, 41, 0);
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nGroup2, -1);
}

TEST(DialogExchange, AFailedFieldStopsTheExchangeThere)
{
    ScopedTestProviders providers;
    SmallDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItemText(10), "3");
    Type(dlg, 10, "4x");
    Type(dlg, 30, "changed");
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strSecond, "x");
    EXPECT_TRUE(HasFocusWithTextSelected(dlg, 10));
    ASSERT_EQ(providers.messages().shown.size(), 1u);
    EXPECT_EQ(providers.messages().shown[0].caption, "Velorine");
    Type(dlg, 10, "-4");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nFirst, -4);
    EXPECT_EQ(dlg.m_strSecond, "changed");
}

TEST(DialogControls, AnAttachedControlTakesThePlaceholdersPlaceAndNotifications)
{
    SmallDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItem(50), &dlg.m_link);
    EXPECT_EQ(dlg.m_link.geometry(), dlg.MapDialogRect(QRect(10, 70, 80, 14)));
    EXPECT_EQ(dlg.m_link.text(), "链接");
    QTest::mouseClick(&dlg.m_link, Qt::LeftButton);
    EXPECT_EQ(dlg.notifications.back(), std::make_pair(BN_CLICKED, 50));
    dlg.DestroyWindow();
    ASSERT_TRUE(dlg.Create()); // a second opening attaches it again, with one connection
    dlg.notifications.clear();
    QTest::mouseClick(&dlg.m_link, Qt::LeftButton);
    EXPECT_EQ(dlg.notifications.size(), 1u);
}

TEST(DialogControls, DoubleClickOnARadioButtonNotifies)
{
    SmallDlg dlg;
    ASSERT_TRUE(dlg.Create());
    QTest::mouseDClick(dlg.GetDlgItem(20), Qt::LeftButton);
    EXPECT_NE(std::find(dlg.notifications.begin(), dlg.notifications.end(),
                        std::make_pair(BN_DOUBLECLICKED, 20)),
              dlg.notifications.end());
}

TEST(DialogModal, EnterEscapeAndTheHookEndTheModalLoop)
{
    SmallDlg dlg;
    auto previous = CDialog::SetModalHook(
        [](CDialog &d) { QTest::keyClick(d.GetDlgItem(10), Qt::Key_Return); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetDlgItem(10), nullptr);

    CDialog::SetModalHook([](CDialog &d) { QTest::keyClick(d.GetDlgItem(30), Qt::Key_Escape); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    CDialog::SetModalHook([](CDialog &) {}); // left open: cancelled, never blocks
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    CDialog::SetModalHook(previous);
}

} // namespace
