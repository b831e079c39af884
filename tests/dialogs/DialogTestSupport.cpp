#include "tests/dialogs/DialogTestSupport.h"

#include "res/resource.h"
#include "tests/common/SingleDocument.h"
#include "tests/common/WidgetTestAccess.h"

#include <QAbstractButton>
#include <QTest>

void AppFixture::SetUp()
{
    m_pApp = std::make_unique<CWinApp>();
    m_pTemplate = AddSingleDocTemplate<CVelorineDoc, CFrameWnd, RecordingView>(*m_pApp);
    ASSERT_TRUE(m_pTemplate->OpenDocumentFile());
    m_pDoc = static_cast<CVelorineDoc *>(m_pTemplate->GetDocument());
    m_pView = static_cast<RecordingView *>(m_pApp->GetFirstView());
    ASSERT_NE(m_pView, nullptr);
}

void AppFixture::TearDown()
{
    if (m_pTemplate)
        m_pTemplate->CloseAll();
    m_pApp.reset();
}

std::vector<QString> ShownTexts(ScopedTestProviders &providers)
{
    std::vector<QString> texts;
    for (const ShownMessage &m : providers.messages().shown)
        texts.push_back(m.text);
    return texts;
}

QLineEdit *Edit(const CDialog &dlg, int nID)
{
    return qobject_cast<QLineEdit *>(dlg.GetDlgItem(nID));
}

void Type(CDialog &dlg, int nID, const QString &text)
{
    QLineEdit *pEdit = Edit(dlg, nID);
    ASSERT_NE(pEdit, nullptr) << nID;
    pEdit->setFocus();
    pEdit->selectAll();
    QTest::keyClick(pEdit, Qt::Key_Delete);
    QTest::keyClicks(pEdit, text);
}

void Click(CDialog &dlg, int nID)
{
    auto *pButton = qobject_cast<QAbstractButton *>(dlg.GetDlgItem(nID));
    ASSERT_NE(pButton, nullptr) << nID;
    QTest::mouseClick(pButton, Qt::LeftButton);
}

bool IsChecked(const CDialog &dlg, int nID)
{
    auto *pButton = qobject_cast<QAbstractButton *>(dlg.GetDlgItem(nID));
    return pButton && pButton->isChecked();
}

bool HasFocusWithTextSelected(const CDialog &dlg, int nID)
{
    QLineEdit *pEdit = Edit(dlg, nID);
    return pEdit && dlg.focusWidget() == pEdit && pEdit->selectedText() == pEdit->text();
}

void ExpectRefusedOnOk(CDialog &dlg, ScopedTestProviders &providers, const RefusedField &field,
                       int nOkID)
{
    ASSERT_TRUE(dlg.Create());
    const size_t before = providers.messages().shown.size();
    Type(dlg, field.nID, field.text);
    if (nOkID)
        Click(dlg, nOkID);
    else
        QTest::keyClick(Edit(dlg, field.nID), Qt::Key_Return);
    EXPECT_TRUE(TestAccess<CDialog>::IsOpen(dlg)) << field.text;
    const std::vector<QString> shown = ShownTexts(providers);
    ASSERT_EQ(shown.size(), before + 1) << field.text;
    EXPECT_EQ(shown.back(), QString::fromUtf8(field.message));
    EXPECT_TRUE(HasFocusWithTextSelected(dlg, field.nID)) << field.text;
    dlg.DestroyWindow();
}
