// The Julia dialog's OK button with the real view: the picture is drawn with the new constant.

#include "dialogs/CJuliaDlg.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/SingleDocument.h"
#include "tests/common/WidgetTestAccess.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "view/CVelorineDoc.h"
#include "view/CVelorineView.h"

#include <QCoreApplication>

namespace {

TEST(JuliaDlgDrawing, CustomZeroConstantDrawsTheFilledUnitDisc)
{
    ScopedTestProviders providers;
    auto pApp = std::make_unique<CWinApp>();
    CSingleDocTemplate *pTmpl = AddSingleDocTemplate<CVelorineDoc, CFrameWnd, CVelorineView>(*pApp);
    ASSERT_TRUE(pTmpl->OpenDocumentFile());
    auto *pView = static_cast<CVelorineView *>(pApp->GetFirstView());
    auto *pDoc = static_cast<CVelorineDoc *>(pApp->GetFirstDocument());
    ASSERT_NE(pView, nullptr);

    {
        CJuliaDlg dlg(MakeJuliaDlgOwner(pDoc, pView));
        ASSERT_TRUE(dlg.Create());
        Click(dlg, IDC_JULIA_PRESET_LAST);
        Click(dlg, IDC_JULIA_OK);
        EXPECT_EQ(TestAccess<CDialog>::Result(dlg), IDOK);
    }
    EXPECT_EQ(pDoc->m_dJuliaRe, 0.0);
    EXPECT_EQ(pDoc->m_dJuliaIm, 0.0);
    EXPECT_EQ(pDoc->m_nJuliaPreset, 15);

    const uint8_t *pBits = pView->m_dib.m_pBits;
    ASSERT_NE(pBits, nullptr);
    const double d = 3.0 / 511;
    int inside = 0;
    for (int j = 0; j < 512; ++j) {
        for (int i = 0; i < 512; ++i) {
            const double x = -1.5 + i * d;
            const double y = -1.5 + j * d;
            if (x * x + y * y < 1) {
                ++inside;
                ASSERT_EQ(pBits[j * 512 + i], 255) << i << ", " << j;
            }
        }
    }
    EXPECT_GT(inside, 80000);
    EXPECT_EQ(pBits[0], 2);
    pTmpl->CloseAll();
}

} // namespace
