#include "dialogs/CMiraDlg.h"

#include "platform/widgets/DataExchange.h"
#include "res/DialogTemplates.h"
#include "res/resource.h"

namespace {

const DialogNotifyEntry<CMiraDlg> kNotifyMap[] = {
    {CBN_SELCHANGE, IDC_MIRA_LIST_ZERO, IDC_MIRA_LIST_ZERO, &CMiraDlg::OnSelChangeZeroB},
    {CBN_SELCHANGE, IDC_MIRA_LIST_NONZERO, IDC_MIRA_LIST_NONZERO, &CMiraDlg::OnSelChangeNonZeroB},
    {BN_CLICKED, IDC_MIRA_ZERO_B, IDC_MIRA_ZERO_B, &CMiraDlg::OnZeroB},
    {BN_CLICKED, IDC_MIRA_NONZERO_B, IDC_MIRA_NONZERO_B, &CMiraDlg::OnNonZeroB},
    {BN_CLICKED, IDC_MIRA_OK, IDC_MIRA_OK, &CMiraDlg::OnOkButton},
    {BN_CLICKED, IDC_MIRA_CANCEL, IDC_MIRA_CANCEL, &CMiraDlg::OnCancelButton},
};

} // namespace

CMiraDlg::CMiraDlg(QWidget *pParent)
    : CDialog(MiraDialogTemplate(), pParent)
    // Rows follow the lists' display order; some records differ from their entry's text.
    , m_presetsZeroB {{{-0.2, 0, 10, 0, -24, -18, 24, 18},
                       {0.3, 0, 2, 0, -6, -5, 6, 5},
                       {0.31, 0, 12, 0, -60, -45, 60, 45},
                       {0.32, 0, 5, 0, -20, -15, 20, 15},
                       {-0.4, 0, 20, 0, -40, -32, 40, 32}}}
    , m_presetsNonZeroB {{{0.01, 0.96, 3, 0, -16, -12, 16, 12},
                          {0.1, 0.99, 3, 0, -12, -9, 12, 9},
                          {-0.25, 0.998, 3, 0, -16, -12, 16, 12},
                          {0.7, 0.9998, 0, 12, -20, -15, 20, 15},
                          {-0.4, 0.99, 4, 0, -16, -12, 16, 12},
                          {-0.48, 0.93, 4, 0, -16, -14, 16, 10}}}
{
}

CMiraDlg::~CMiraDlg() = default;

void CMiraDlg::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MIRA_LIST_NONZERO, m_cbNonZeroB);
    DDX_Control(pDX, IDC_MIRA_LIST_ZERO, m_cbZeroB);
    DDX_Text(pDX, IDC_MIRA_A, m_dA);
    DDX_Text(pDX, IDC_MIRA_B, m_dB);
    DDX_Text(pDX, IDC_MIRA_SX, m_dSX);
    DDX_Text(pDX, IDC_MIRA_SY, m_dSY);
    DDX_Text(pDX, IDC_MIRA_X1, m_nX1);
    DDX_Text(pDX, IDC_MIRA_X2, m_nX2);
    DDX_Text(pDX, IDC_MIRA_Y1, m_nY1);
    DDX_Text(pDX, IDC_MIRA_Y2, m_nY2);
    DDX_Radio(pDX, IDC_MIRA_ZERO_B, m_nBMode);
}

bool CMiraDlg::OnCommand(int nCode, int nID)
{
    return DispatchNotifyTable<CMiraDlg>(this, kNotifyMap, nCode, nID)
        || CDialog::OnCommand(nCode, nID);
}

bool CMiraDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_cbNonZeroB.SetCurSel(2);
    m_cbZeroB.SetCurSel(0);
    m_nBMode = 1;
    LoadRecord(m_presetsNonZeroB[2]);
    UpdateData(false);
    return true;
}

void CMiraDlg::LoadRecord(const MiraPreset &rec)
{
    m_dA = rec.a;
    m_dB = rec.b;
    m_dSX = rec.sx;
    m_dSY = rec.sy;
    m_nX1 = rec.x1;
    m_nY1 = rec.y1;
    m_nX2 = rec.x2;
    m_nY2 = rec.y2;
}

void CMiraDlg::LoadFromList(CComboBox &list, std::span<const MiraPreset> presets)
{
    int nSel = list.GetCurSel();
    if (nSel < 0 || nSel >= static_cast<int>(presets.size())) {
        nSel = 0;
        list.SetCurSel(0);
    }
    LoadRecord(presets[static_cast<size_t>(nSel)]);
    UpdateData(false);
}

void CMiraDlg::OnSelChangeZeroB()
{
    UpdateData(true);
    if (m_nBMode != 0)
        return;
    LoadFromList(m_cbZeroB, m_presetsZeroB);
}

void CMiraDlg::OnSelChangeNonZeroB()
{
    UpdateData(true);
    if (m_nBMode != 1)
        return;
    LoadFromList(m_cbNonZeroB, m_presetsNonZeroB);
}

void CMiraDlg::OnZeroB()
{
    UpdateData(true);
    LoadFromList(m_cbZeroB, m_presetsZeroB);
}

void CMiraDlg::OnNonZeroB()
{
    UpdateData(true);
    LoadFromList(m_cbNonZeroB, m_presetsNonZeroB);
}

void CMiraDlg::OnOkButton()
{
    CDialog::OnOK();
}

void CMiraDlg::OnCancelButton()
{
    CDialog::OnCancel();
}
