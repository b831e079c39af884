// The parameter commands: their dialogs open modally, OK renders with the dialog's values and
// any other ending changes nothing.

#include "tests/view/ViewFixture.h"

#include "fractals/Recipes.h"
#include "platform/widgets/CDialog.h"

namespace {

class ParameterTest : public ViewFixture
{
protected:
    void TearDown() override
    {
        CDialog::SetModalHook(nullptr);
        ViewFixture::TearDown();
    }
    // Answers the next dialog with a click on button nID; records the caption shown meanwhile.
    void AnswerWith(int nID)
    {
        CDialog::SetModalHook([this, nID](CDialog &dlg) {
            m_captionWhileOpen = Caption();
            ++m_nOpened;
            dlg.SendNotify(BN_CLICKED, nID);
        });
    }
    QString m_captionWhileOpen;
    int m_nOpened = 0;
};

TEST_F(ParameterTest, MartinParametersRenderWithTheDialogsValuesOnOk)
{
    CMartinDlg &dlg = m_pView->m_dlgMartin;
    dlg.m_dA = 5.0;
    dlg.m_dB = 3.0;
    dlg.m_dC = -1.0;
    dlg.m_nIterations = 200000;
    AnswerWith(IDC_MARTIN_OK);
    ASSERT_TRUE(Route(ID_MARTIN_PARAMS));
    EXPECT_EQ(m_nOpened, 1);
    EXPECT_EQ(Caption(), QStringLiteral("Martin过程"));
    EXPECT_EQ(m_pView->m_nFractalKind, 4);
    const Buffer expected = Generate([&](FractalParams &p, uint8_t *b) {
        p.Martin(b, 512, 512, dlg.m_dA, dlg.m_dB, dlg.m_dC, int(dlg.m_nIterations));
    });
    EXPECT_EQ(dlg.m_dA, 5.0);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(expected));
    EXPECT_EQ(PictureBits(), Bytes(expected.begin(), expected.end()));
}

TEST_F(ParameterTest, MiraParametersRenderTheDialogsPresetWithTheFixedIterations)
{
    AnswerWith(IDC_MIRA_OK);
    ASSERT_TRUE(Route(ID_MIRA_PARAMS));
    EXPECT_EQ(Caption(), QStringLiteral("Mira过程"));
    EXPECT_EQ(m_pView->m_nFractalKind, 5);
    const CMiraDlg &d = m_pView->m_dlgMira;
    const Buffer expected = Generate([&](FractalParams &p, uint8_t *b) {
        p.Mira(b, 512, 512, d.m_dA, d.m_dB, d.m_dSX, d.m_dSY, d.m_nX1, d.m_nY1, d.m_nX2, d.m_nY2,
               recipe::kOrbitIterations);
    });
    EXPECT_EQ(ReadFileBytes("temp.bmp"), Composed(expected));
}

TEST_F(ParameterTest, CancelledDialogsChangeNothing)
{
    const Bytes file = ReadFileBytes("temp.bmp");
    const Bytes picture = PictureBits();
    AnswerWith(IDCANCEL);
    ASSERT_TRUE(Route(ID_MARTIN_PARAMS));
    AnswerWith(IDC_MIRA_CANCEL);
    ASSERT_TRUE(Route(ID_MIRA_PARAMS));
    EXPECT_EQ(m_nOpened, 2);
    EXPECT_EQ(Caption(), QStringLiteral("Mandelbrot集--仔细瞧，里面包含很多种Julia集"));
    EXPECT_EQ(m_pView->m_nFractalKind, 1);
    EXPECT_EQ(ReadFileBytes("temp.bmp"), file);
    EXPECT_EQ(PictureBits(), picture);
}

TEST_F(ParameterTest, JuliaParametersSetTheCaptionBeforeTheDialogOpens)
{
    for (int nID : {ID_JULIA_PARAMS, ID_JULIA_PARAMS_HIDDEN}) {
        ASSERT_TRUE(Route(ID_WALLPAPER));
        m_captionWhileOpen.clear();
        AnswerWith(IDC_JULIA_CANCEL);
        ASSERT_TRUE(Route(nID));
        EXPECT_EQ(m_captionWhileOpen, QStringLiteral("Julia集--千变万化"));
        EXPECT_EQ(Caption(), QStringLiteral("Julia集--千变万化"));
        // Cancelled: nothing drawn.
        EXPECT_EQ(m_pView->m_nFractalKind, 3);
    }
}

} // namespace
