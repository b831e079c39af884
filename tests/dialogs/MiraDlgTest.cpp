// The Mira parameter dialog: the two sorted preset lists, the family buttons, resetting at
// each opening, and validation.

#include "dialogs/CMiraDlg.h"
#include "res/resource.h"
#include "tests/common/WidgetTestAccess.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QComboBox>
#include <QTest>

namespace {

const char *const kZeroB[] = {
    "a=-0.2,起始点(10,0),观察区域(-24,-18)~(24,18)", "a=0.3,起始点2,0),观察区域(-6,-4.5)~(6,4.5)",
    "a=0.31,起始点(12,0),观察区域(-60,-45)~(60,45)", "a=0.32,起始点(5,0),观察区域(-20,-15)~(20,15)",
    "a=-0.4,起始点(4,0),观察区域(-24,-18)~(24,18)",
};
const char *const kNonZeroB[] = {
    "a=0.01, b=0.96, 起始点(3,0) 观察区域(-16,-12)~(16,12)",
    "a=0.1, b=0.99, 起始点(3,0) 观察区域(-12,9)~(12,9)",
    "a=-0.25, b=0.998, 起始点(3,0) 观察区域(-16,-12)~(16,12)",
    "a=0.7, b=0.9998, 起始点(0,12) 观察区域(-20,-15)~(20,15)",
    "a=-04, b=0.99, 起始点(4,0) 观察区域(-16,-12)~(16,12)",
    "a=-058, b=0.93, 起始点(4,0) 观察区域(-16,-14)~(16,10)",
};

using Fields = std::vector<QString>;

class MiraDlgTest : public ::testing::Test
{
protected:
    void Open() { ASSERT_TRUE(m_dlg.Create()); }
    void Reopen()
    {
        m_dlg.DestroyWindow();
        Open();
    }
    QComboBox *List(int nID) const { return qobject_cast<QComboBox *>(m_dlg.GetDlgItem(nID)); }
    // Picks entry nIndex the way the user does: a selection in the list.
    void Choose(int nID, int nIndex)
    {
        QComboBox *pList = List(nID);
        pList->setCurrentIndex(nIndex);
        emit pList->activated(nIndex);
    }
    Fields Shown() const
    {
        Fields f;
        for (int nID : {IDC_MIRA_A, IDC_MIRA_B, IDC_MIRA_SX, IDC_MIRA_SY, IDC_MIRA_X1, IDC_MIRA_Y1,
                        IDC_MIRA_X2, IDC_MIRA_Y2})
            f.push_back(m_dlg.GetDlgItemText(nID));
        return f;
    }
    std::vector<QString> Messages() { return ShownTexts(m_providers); }

    ScopedTestProviders m_providers;
    CMiraDlg m_dlg;
};

const Fields kOpening = {"-0.25", "0.998", "3", "0", "-16", "-12", "16", "12"};

TEST_F(MiraDlgTest, ListsShowTheirEntriesInTableOrder)
{
    Open();
    QComboBox *pZero = List(IDC_MIRA_LIST_ZERO);
    QComboBox *pNonZero = List(IDC_MIRA_LIST_NONZERO);
    ASSERT_EQ(pZero->count(), 5);
    ASSERT_EQ(pNonZero->count(), 6);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pZero->itemText(i), QString::fromUtf8(kZeroB[i])) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pNonZero->itemText(i), QString::fromUtf8(kNonZeroB[i])) << i;
}

TEST_F(MiraDlgTest, SortedListOrderIgnoresHyphensAndCase)
{
    EXPECT_LT(CComboBox::CompareListText("a=0.3,x", "a=0.31,x"), 0);
    EXPECT_LT(CComboBox::CompareListText("a=-0.2", "a=0.3"), 0);
    EXPECT_LT(CComboBox::CompareListText("a=0.7", "a=-04"), 0);
    EXPECT_LT(CComboBox::CompareListText("ABC", "abd"), 0);
    EXPECT_EQ(CComboBox::CompareListText("same", "same"), 0);
    EXPECT_NE(CComboBox::CompareListText("co-op", "coop"), 0); // ties fall back to the text
}

TEST_F(MiraDlgTest, EveryOpeningStartsFromTheThirdNonZeroEntry)
{
    for (int opening = 0; opening < 2; ++opening) {
        if (opening == 0)
            Open();
        else
            Reopen();
        EXPECT_EQ(Shown(), kOpening) << opening;
        EXPECT_TRUE(IsChecked(m_dlg, IDC_MIRA_NONZERO_B));
        EXPECT_FALSE(IsChecked(m_dlg, IDC_MIRA_ZERO_B));
        EXPECT_EQ(m_dlg.m_cbNonZeroB.GetCurSel(), 2);
        EXPECT_EQ(m_dlg.m_cbZeroB.GetCurSel(), 0);
        EXPECT_EQ(List(IDC_MIRA_LIST_NONZERO)->currentText(), QString::fromUtf8(kNonZeroB[2]));
        EXPECT_EQ(List(IDC_MIRA_LIST_ZERO)->currentText(), QString::fromUtf8(kZeroB[0]));
        // Change everything before the next opening.
        Choose(IDC_MIRA_LIST_NONZERO, 5);
        Click(m_dlg, IDC_MIRA_ZERO_B);
        Choose(IDC_MIRA_LIST_ZERO, 3);
        Type(m_dlg, IDC_MIRA_X1, "99");
        Click(m_dlg, IDC_MIRA_OK);
        EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDOK);
        EXPECT_EQ(m_dlg.m_nX1, 99);
    }
}

TEST_F(MiraDlgTest, EachEntryLoadsItsRecordNotItsText)
{
    Open();
    const std::vector<Fields> nonZero = {{"0.01", "0.96", "3", "0", "-16", "-12", "16", "12"},
                                         {"0.1", "0.99", "3", "0", "-12", "-9", "12", "9"},
                                         kOpening,
                                         {"0.7", "0.9998", "0", "12", "-20", "-15", "20", "15"},
                                         {"-0.4", "0.99", "4", "0", "-16", "-12", "16", "12"},
                                         {"-0.48", "0.93", "4", "0", "-16", "-14", "16", "10"}};
    for (int i = 0; i < 6; ++i) {
        Choose(IDC_MIRA_LIST_NONZERO, i);
        EXPECT_EQ(Shown(), nonZero[i]) << i;
    }
    Click(m_dlg, IDC_MIRA_ZERO_B);
    const std::vector<Fields> zero = {{"-0.2", "0", "10", "0", "-24", "-18", "24", "18"},
                                      {"0.3", "0", "2", "0", "-6", "-5", "6", "5"},
                                      {"0.31", "0", "12", "0", "-60", "-45", "60", "45"},
                                      {"0.32", "0", "5", "0", "-20", "-15", "20", "15"},
                                      {"-0.4", "0", "20", "0", "-40", "-32", "40", "32"}};
    for (int i = 0; i < 5; ++i) {
        Choose(IDC_MIRA_LIST_ZERO, i);
        EXPECT_EQ(Shown(), zero[i]) << i;
        EXPECT_EQ(m_dlg.m_nBMode, 0);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MiraDlgTest, TheListOfTheOtherFamilyChangesNoField)
{
    Open();
    Choose(IDC_MIRA_LIST_ZERO, 3);
    EXPECT_EQ(Shown(), kOpening);
    Click(m_dlg, IDC_MIRA_ZERO_B);
    EXPECT_EQ(Shown(), (Fields {"0.32", "0", "5", "0", "-20", "-15", "20", "15"}));
    Choose(IDC_MIRA_LIST_NONZERO, 0);
    EXPECT_EQ(Shown(), (Fields {"0.32", "0", "5", "0", "-20", "-15", "20", "15"}));
}

TEST_F(MiraDlgTest, EachListKeepsItsPositionWithinOneOpening)
{
    Open();
    Click(m_dlg, IDC_MIRA_ZERO_B); // right after opening: the first b = 0 entry
    EXPECT_EQ(Shown(), (Fields {"-0.2", "0", "10", "0", "-24", "-18", "24", "18"}));
    Choose(IDC_MIRA_LIST_NONZERO, 4);
    Click(m_dlg, IDC_MIRA_NONZERO_B);
    EXPECT_EQ(Shown(), (Fields {"-0.4", "0.99", "4", "0", "-16", "-12", "16", "12"}));
    Click(m_dlg, IDC_MIRA_ZERO_B);
    EXPECT_EQ(Shown()[0], "-0.2");
    EXPECT_EQ(m_dlg.m_cbNonZeroB.GetCurSel(), 4);
}

TEST_F(MiraDlgTest, ClickingTheCheckedButtonReloadsItsEntry)
{
    Open();
    Type(m_dlg, IDC_MIRA_A, "0.5");
    Type(m_dlg, IDC_MIRA_Y2, "7");
    Click(m_dlg, IDC_MIRA_NONZERO_B);
    EXPECT_EQ(Shown(), kOpening);
}

TEST_F(MiraDlgTest, AListWithoutACurrentEntryLoadsItsFirst)
{
    Open();
    m_dlg.m_cbZeroB.SetCurSel(-1);
    Click(m_dlg, IDC_MIRA_ZERO_B);
    EXPECT_EQ(Shown()[0], "-0.2");
    EXPECT_EQ(m_dlg.m_cbZeroB.GetCurSel(), 0);
}

TEST_F(MiraDlgTest, OkTakesTypedValuesAsTheyAre)
{
    Open();
    Type(m_dlg, IDC_MIRA_B, "0");
    Type(m_dlg, IDC_MIRA_X1, "20");
    Type(m_dlg, IDC_MIRA_X2, " -20\t");
    Click(m_dlg, IDC_MIRA_OK);
    EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDOK);
    EXPECT_EQ(m_dlg.m_dB, 0);
    EXPECT_EQ(m_dlg.m_nX1, 20);
    EXPECT_EQ(m_dlg.m_nX2, -20);
    EXPECT_EQ(m_dlg.m_nBMode, 1);
    EXPECT_EQ(m_dlg.m_dA, -0.25);
}

TEST_F(MiraDlgTest, BadFieldsAreRefusedWithTheirMessage)
{
    const RefusedField cases[] = {
        {IDC_MIRA_A, "a", "请键入一个数。"},
        {IDC_MIRA_SY, "", "请键入一个数。"},
        {IDC_MIRA_X1, "1.5", "请键入一个整数。"},
        {IDC_MIRA_Y2, "12x", "请键入一个整数。"},
        {IDC_MIRA_Y1, "99999999999", "请键入一个整数。"},
    };
    for (const RefusedField &c : cases)
        ExpectRefusedOnOk(m_dlg, m_providers, c, IDC_MIRA_OK);
}

TEST_F(MiraDlgTest, AHandlerGoesOnAfterAFieldFails)
{
    Open();
    Type(m_dlg, IDC_MIRA_A, "0.125");
    Type(m_dlg, IDC_MIRA_SX, "q");
    Click(m_dlg, IDC_MIRA_ZERO_B);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], QString::fromUtf8("请键入一个数。"));
    // a was read before the failure; the radio group was not, so the family stays b != 0.
    EXPECT_EQ(m_dlg.m_nBMode, 1);
    EXPECT_TRUE(IsChecked(m_dlg, IDC_MIRA_NONZERO_B));
    EXPECT_EQ(Shown(), (Fields {"-0.2", "0", "10", "0", "-24", "-18", "24", "18"}));
}

TEST_F(MiraDlgTest, TextTypedIntoAListIsNeverAddedOrRead)
{
    Open();
    QComboBox *pList = List(IDC_MIRA_LIST_NONZERO);
    EXPECT_EQ(pList->insertPolicy(), QComboBox::NoInsert);
    pList->lineEdit()->setFocus();
    pList->lineEdit()->selectAll();
    QTest::keyClicks(pList->lineEdit(), "a=0.01, b=0.96");
    QTest::keyClick(pList->lineEdit(), Qt::Key_Return); // Enter is the dialog's OK
    EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDOK);
    EXPECT_EQ(pList->count(), 6);
    EXPECT_EQ(m_dlg.m_cbNonZeroB.GetCurSel(), 2);
    EXPECT_EQ(m_dlg.m_dA, -0.25);
}

TEST_F(MiraDlgTest, CancelEndsWithCancel)
{
    Open();
    Click(m_dlg, IDC_MIRA_CANCEL);
    EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDCANCEL);
    Reopen();
    QTest::keyClick(Edit(m_dlg, IDC_MIRA_A), Qt::Key_Escape);
    EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDCANCEL);
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(m_dlg));
}

} // namespace
