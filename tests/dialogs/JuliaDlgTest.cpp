// The Julia parameter dialog: presets, storing the constant in the document and drawing while
// the dialog is open, and the ways out that store nothing.

#include "dialogs/CJuliaDlg.h"
#include "res/resource.h"
#include "tests/common/WidgetTestAccess.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "view/CVelorineView.h"

#include <QPushButton>
#include <QTest>

namespace {

class JuliaDlgTest : public AppFixture
{
protected:
    void Open() { ASSERT_TRUE(m_pDlg->Create()); }
    std::pair<QString, QString> Fields() const
    {
        return {m_pDlg->GetDlgItemText(IDC_JULIA_CX), m_pDlg->GetDlgItemText(IDC_JULIA_CY)};
    }
    void ExpectDocumentUntouched()
    {
        EXPECT_EQ(m_pDoc->m_dJuliaRe, m_dRe);
        EXPECT_EQ(m_pDoc->m_dJuliaIm, m_dIm);
        EXPECT_EQ(m_pDoc->m_nJuliaPreset, m_nPreset);
        EXPECT_TRUE(m_pView->commands.empty());
    }
    void SetUp() override
    {
        AppFixture::SetUp();
        m_dRe = m_pDoc->m_dJuliaRe;
        m_dIm = m_pDoc->m_dJuliaIm;
        m_nPreset = m_pDoc->m_nJuliaPreset;
        m_pDlg = std::make_unique<CJuliaDlg>(MakeJuliaDlgOwner(m_pDoc, m_pView));
    }
    void TearDown() override
    {
        m_pDlg.reset();
        AppFixture::TearDown();
    }

    std::unique_ptr<CJuliaDlg> m_pDlg;
    double m_dRe = 0;
    double m_dIm = 0;
    int m_nPreset = 0;
};

TEST_F(JuliaDlgTest, FirstOpeningChecksTheFirstPreset)
{
    Open();
    EXPECT_TRUE(IsChecked(*m_pDlg, IDC_JULIA_PRESET0));
    EXPECT_EQ(Fields(), std::make_pair(QString("-0.745"), QString("4.9e-002")));
    EXPECT_EQ(m_pDlg->m_nPreset, 0);
    EXPECT_TRUE(HasFocusWithTextSelected(*m_pDlg, IDC_JULIA_CX));
}

TEST_F(JuliaDlgTest, EveryPresetFillsItsConstant)
{
    const std::pair<const char *, const char *> expected[16]
        = {{"-0.745", "4.9e-002"},      {"-0.744", "9.7e-002"},
           {"-0.736", "9.7e-002"},      {"-0.756", "9.7e-002"},
           {"-0.743", "9.7e-002"},      {"-0.74543", "0.11301"},
           {"-0.766227", "9.699e-002"}, {"-0.9", "0.12"},
           {"-0.745429", "0.113008"},   {"-1.03", "-0.92"},
           {"0.32", "4.3e-002"},        {"0.308", "0.46"},
           {"-1.33", "4.3e-002"},       {"-0.16", "1.32"},
           {"-1.8", "-1.67"},           {"0.", "0."}};
    Open();
    for (int i = 0; i < 16; ++i) {
        Click(*m_pDlg, IDC_JULIA_PRESET0 + i);
        EXPECT_EQ(Fields(), std::make_pair(QString(expected[i].first), QString(expected[i].second)))
            << i;
        EXPECT_EQ(m_pDlg->m_nPreset, i);
    }
    EXPECT_TRUE(Messages().empty());
    ExpectDocumentUntouched();
}

TEST_F(JuliaDlgTest, OkStoresTheTypedConstantAndPresetAndDrawsWhileOpen)
{
    bool bOpenWhileDrawing = false;
    m_pView->onCommand = [&](int) { bOpenWhileDrawing = TestAccess<CDialog>::IsOpen(*m_pDlg); };
    Open();
    Click(*m_pDlg, 1008);
    EXPECT_EQ(Fields(), std::make_pair(QString("-0.743"), QString("9.7e-002")));
    Type(*m_pDlg, IDC_JULIA_CX, "0.285");
    Type(*m_pDlg, IDC_JULIA_CY, " 0.01xyz");
    Click(*m_pDlg, IDC_JULIA_OK);
    EXPECT_EQ(m_pDoc->m_dJuliaRe, 0.285);
    EXPECT_EQ(m_pDoc->m_dJuliaIm, 0.01);
    EXPECT_EQ(m_pDoc->m_nJuliaPreset, 4);
    EXPECT_EQ(m_pView->commands, std::vector<int> {ID_JULIA});
    EXPECT_TRUE(bOpenWhileDrawing);
    EXPECT_EQ(TestAccess<CDialog>::Result(*m_pDlg), IDOK);

    // The next opening remembers the button, not the typed text.
    m_pDlg->DestroyWindow();
    Open();
    EXPECT_TRUE(IsChecked(*m_pDlg, 1008));
    EXPECT_EQ(Fields(), std::make_pair(QString("-0.743"), QString("9.7e-002")));
}

TEST_F(JuliaDlgTest, TextThatIsNotANumberStoresZero)
{
    Open();
    Click(*m_pDlg, IDC_JULIA_PRESET_LAST);
    Type(*m_pDlg, IDC_JULIA_CX, "abc");
    Click(*m_pDlg, IDC_JULIA_OK);
    EXPECT_EQ(m_pDoc->m_dJuliaRe, 0.0);
    EXPECT_EQ(m_pDoc->m_dJuliaIm, 0.0);
    EXPECT_EQ(m_pDoc->m_nJuliaPreset, 15);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(JuliaDlgTest, EnterAndADoubleClickOnTheFirstButtonStoreAndDrawNothing)
{
    Open();
    Click(*m_pDlg, 1010);
    Type(*m_pDlg, IDC_JULIA_CX, "0.3");
    QTest::keyClick(Edit(*m_pDlg, IDC_JULIA_CX), Qt::Key_Return);
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(*m_pDlg));
    EXPECT_EQ(TestAccess<CDialog>::Result(*m_pDlg), IDOK);
    EXPECT_EQ(m_pDlg->m_strCX, "0.3");
    ExpectDocumentUntouched();

    m_pDlg->DestroyWindow();
    Open();
    QTest::mouseDClick(m_pDlg->GetDlgItem(IDC_JULIA_PRESET0), Qt::LeftButton);
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(*m_pDlg));
    EXPECT_EQ(TestAccess<CDialog>::Result(*m_pDlg), IDOK);
    ExpectDocumentUntouched();
}

TEST_F(JuliaDlgTest, CancelButtonEscapeAndCloseBoxLeaveTheDocument)
{
    for (int way = 0; way < 3; ++way) {
        Open();
        Click(*m_pDlg, 1012);
        if (way == 0)
            Click(*m_pDlg, IDC_JULIA_CANCEL);
        else if (way == 1)
            QTest::keyClick(Edit(*m_pDlg, IDC_JULIA_CY), Qt::Key_Escape);
        else
            m_pDlg->close();
        EXPECT_FALSE(TestAccess<CDialog>::IsOpen(*m_pDlg)) << way;
        EXPECT_EQ(TestAccess<CDialog>::Result(*m_pDlg), IDCANCEL) << way;
        ExpectDocumentUntouched();
        m_pDlg->DestroyWindow();
    }
}

TEST_F(JuliaDlgTest, AStoredPresetOutsideTheTableShowsErrorAndKeepsTheFields)
{
    m_pDoc->m_nJuliaPreset = 16;
    Open();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Error!");
    EXPECT_EQ(m_providers.messages().shown[0].caption, "Velorine");
    EXPECT_EQ(Fields(), std::make_pair(QString(), QString()));
    EXPECT_EQ(m_pDlg->m_nPreset, -1);
}

TEST_F(JuliaDlgTest, PushButtonsNeverTakeEnter)
{
    Open();
    for (int nID : {IDC_JULIA_OK, IDC_JULIA_CANCEL}) {
        auto *pButton = qobject_cast<QPushButton *>(m_pDlg->GetDlgItem(nID));
        ASSERT_NE(pButton, nullptr);
        EXPECT_FALSE(pButton->autoDefault());
        EXPECT_FALSE(pButton->isDefault());
    }
    // Enter with the focus on the OK button is still the dialog's OK, not a click on it.
    m_pDlg->GetDlgItem(IDC_JULIA_OK)->setFocus();
    QTest::keyClick(m_pDlg->GetDlgItem(IDC_JULIA_OK), Qt::Key_Return);
    EXPECT_EQ(TestAccess<CDialog>::Result(*m_pDlg), IDOK);
    ExpectDocumentUntouched();
}

} // namespace
