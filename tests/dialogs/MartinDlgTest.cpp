// The Martin parameter dialog: presets, validation, and members kept between openings.

#include "dialogs/CMartinDlg.h"
#include "res/resource.h"
#include "tests/common/WidgetTestAccess.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <QTest>

namespace {

class MartinDlgTest : public ::testing::Test
{
protected:
    void Open() { ASSERT_TRUE(m_dlg.Create()); }
    void Reopen()
    {
        m_dlg.DestroyWindow();
        Open();
    }
    QString Text(int nID) const { return m_dlg.GetDlgItemText(nID); }
    std::vector<QString> Fields() const
    {
        return {Text(IDC_MARTIN_A), Text(IDC_MARTIN_B), Text(IDC_MARTIN_C), Text(IDC_MARTIN_ITER)};
    }
    std::vector<QString> Messages() { return ShownTexts(m_providers); }

    ScopedTestProviders m_providers;
    CMartinDlg m_dlg;
};

TEST_F(MartinDlgTest, FirstOpeningShowsTheInitialTriple)
{
    Open();
    EXPECT_EQ(Fields(), (std::vector<QString> {"68", "75", "83", "600000"}));
    EXPECT_TRUE(IsChecked(m_dlg, 1038));
    EXPECT_EQ(TestAccess<CDialog>::CheckedRadioButton(m_dlg, 1034, 1046), 1038);
}

TEST_F(MartinDlgTest, EachPresetLoadsItsTableTripleAndKeepsTheIterations)
{
    Open();
    Type(m_dlg, IDC_MARTIN_ITER, "5000");
    const std::vector<std::vector<QString>> expected = {
        {"45", "2", "-300"},  {"68", "75", "83"},   {"0.4", "170", "0"},   {"-1000", "0.1", "-10"},
        {"90", "30", "10"},   {"10", "-10", "100"}, {"-200", "-4", "-80"}, {"-137", "17", "4"},
        {"10", "100", "-10"}, {"-137", "17", "4"}};
    for (int pos = 0; pos < 10; ++pos) {
        Click(m_dlg, CMartinDlg::PresetButtonID(pos));
        EXPECT_EQ(
            Fields(),
            (std::vector<QString> {expected[pos][0], expected[pos][1], expected[pos][2], "5000"}))
            << pos;
        EXPECT_EQ(m_dlg.m_nPreset, pos);
        EXPECT_TRUE(IsChecked(m_dlg, CMartinDlg::PresetButtonID(pos)));
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MartinDlgTest, IterationsOutsideTheRangeAreRefusedOnOk)
{
    const char *const range = "“请填入一个在1000和10000000之间的整数。”";
    for (const char *bad : {"999", "10000001", "0"})
        ExpectRefusedOnOk(m_dlg, m_providers, {IDC_MARTIN_ITER, bad, range}, IDC_MARTIN_OK);
    for (const char *good : {"1000", "10000000", " 2500 "}) {
        Open();
        Type(m_dlg, IDC_MARTIN_ITER, good);
        Click(m_dlg, IDC_MARTIN_OK);
        EXPECT_FALSE(TestAccess<CDialog>::IsOpen(m_dlg)) << good;
        EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDOK);
        EXPECT_EQ(m_dlg.m_nIterations, QString(good).trimmed().toUInt());
        m_dlg.DestroyWindow();
    }
}

TEST_F(MartinDlgTest, BadFieldsShowTheirMessageAndTakeTheFocus)
{
    const RefusedField cases[] = {
        {IDC_MARTIN_A, "", "请键入一个数。"},
        {IDC_MARTIN_B, "7b", "请键入一个数。"},
        {IDC_MARTIN_C, "1e", "请键入一个数。"},
        {IDC_MARTIN_ITER, "-5000", "“请填入一个正整数。”"},
        {IDC_MARTIN_ITER, "5000.0", "“请填入一个正整数。”"},
    };
    for (const RefusedField &c : cases)
        ExpectRefusedOnOk(m_dlg, m_providers, c, 0); // 0: Enter, the dialog's OK
}

TEST_F(MartinDlgTest, ClosingKeepsWhatWasLastReadForTheNextOpening)
{
    Open();
    Click(m_dlg, 1041); // (90,30,10)
    m_dlg.close(); // the close box
    EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDCANCEL);
    EXPECT_EQ(m_dlg.m_dA, 90);
    Reopen();
    EXPECT_EQ(Fields(), (std::vector<QString> {"90", "30", "10", "600000"}));
    EXPECT_TRUE(IsChecked(m_dlg, 1041));

    QTest::keyClick(&m_dlg, Qt::Key_Escape);
    EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDCANCEL);
    EXPECT_EQ(m_dlg.m_nPreset, 4);
}

TEST_F(MartinDlgTest, TypedCoefficientsAfterAPresetKeepItsButtonAndReachTheMembers)
{
    Open();
    Click(m_dlg, 1042);
    Type(m_dlg, IDC_MARTIN_A, "1.25");
    Type(m_dlg, IDC_MARTIN_C, "-3e2");
    EXPECT_TRUE(IsChecked(m_dlg, 1042));
    Click(m_dlg, IDC_MARTIN_OK);
    EXPECT_EQ(TestAccess<CDialog>::Result(m_dlg), IDOK);
    EXPECT_EQ(m_dlg.m_dA, 1.25);
    EXPECT_EQ(m_dlg.m_dB, -10);
    EXPECT_EQ(m_dlg.m_dC, -300);
    EXPECT_EQ(m_dlg.m_nPreset, 5);
}

TEST_F(MartinDlgTest, APresetClickWithABadFieldStillLoadsThePresetLastRead)
{
    Open();
    Type(m_dlg, IDC_MARTIN_B, "x");
    Click(m_dlg, 1045);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], QString::fromUtf8("请键入一个数。"));
    // The reading stopped at b, so the radio group was not read: the old preset is loaded.
    EXPECT_EQ(m_dlg.m_nPreset, 1);
    EXPECT_EQ(Fields(), (std::vector<QString> {"68", "75", "83", "600000"}));
    EXPECT_TRUE(IsChecked(m_dlg, 1038));
}

TEST_F(MartinDlgTest, DoModalReturnsOkOnlyWhenEveryFieldIsValid)
{
    const auto previous = CDialog::SetModalHook([](CDialog &dlg) {
        Type(dlg, IDC_MARTIN_ITER, "20000");
        Click(dlg, IDC_MARTIN_OK);
    });
    EXPECT_EQ(m_dlg.DoModal(), IDOK);
    EXPECT_EQ(m_dlg.m_nIterations, 20000u);
    EXPECT_EQ(m_dlg.GetDlgItem(IDC_MARTIN_A), nullptr); // the controls are gone

    CDialog::SetModalHook([](CDialog &dlg) {
        Type(dlg, IDC_MARTIN_ITER, "10");
        Click(dlg, IDC_MARTIN_OK); // refused: the dialog stays open, then the test closes it
    });
    EXPECT_EQ(m_dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(m_dlg.m_nIterations, 10u); // read before the range check refused it
    CDialog::SetModalHook(previous);
}

} // namespace
