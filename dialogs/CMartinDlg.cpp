#include "dialogs/CMartinDlg.h"

#include "platform/widgets/DataExchange.h"
#include "res/DialogTemplates.h"
#include "res/resource.h"

namespace {

constexpr int kLastPresetButton = 1046;

const DialogNotifyEntry<CMartinDlg> kNotifyMap[] = {
    {BN_CLICKED, IDC_MARTIN_PRESET0, IDC_MARTIN_PRESET0, &CMartinDlg::OnPreset},
    {BN_CLICKED, IDC_MARTIN_OK + 1, kLastPresetButton, &CMartinDlg::OnPreset},
    {BN_CLICKED, IDC_MARTIN_OK, IDC_MARTIN_OK, &CMartinDlg::OnOkButton},
};

} // namespace

CMartinDlg::CMartinDlg(QWidget *pParent) : CDialog(MartinDialogTemplate(), pParent) { }

CMartinDlg::~CMartinDlg() = default;

std::array<MartinPreset, 10> CMartinDlg::Presets()
{
    // Position 5 loads b = -10 although its button reads "(10,10,100)".
    return {{{45, 2, -300},
             {68, 75, 83},
             {0.4, 170, 0},
             {-1000, 0.1, -10},
             {90, 30, 10},
             {10, -10, 100},
             {-200, -4, -80},
             {-137, 17, 4},
             {10, 100, -10},
             {-137, 17, 4}}};
}

int CMartinDlg::PresetButtonID(int nPosition)
{
    return nPosition == 0 ? IDC_MARTIN_PRESET0 : IDC_MARTIN_OK + nPosition;
}

void CMartinDlg::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_MARTIN_A, m_dA);
    DDX_Text(pDX, IDC_MARTIN_B, m_dB);
    DDX_Text(pDX, IDC_MARTIN_C, m_dC);
    DDX_Text(pDX, IDC_MARTIN_ITER, m_nIterations);
    DDV_MinMaxUInt(pDX, m_nIterations, 1000, 10000000);
    DDX_Radio(pDX, IDC_MARTIN_PRESET0, m_nPreset);
}

bool CMartinDlg::OnCommand(int nCode, int nID)
{
    return DispatchNotifyTable<CMartinDlg>(this, kNotifyMap, nCode, nID)
        || CDialog::OnCommand(nCode, nID);
}

void CMartinDlg::OnPreset()
{
    UpdateData(true); // a bad field shows its message; the preset is loaded regardless
    if (m_nPreset == -1)
        m_nPreset = 0;
    const auto presets = Presets();
    if (m_nPreset < 0 || m_nPreset >= static_cast<int>(presets.size()))
        return;
    const MartinPreset &p = presets[static_cast<size_t>(m_nPreset)];
    m_dA = p.a;
    m_dB = p.b;
    m_dC = p.c;
    UpdateData(false);
}

void CMartinDlg::OnOkButton()
{
    CDialog::OnOK();
}
