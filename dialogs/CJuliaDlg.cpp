#include "dialogs/CJuliaDlg.h"

#include "platform/widgets/DataExchange.h"
#include "platform/widgets/NumberFormat.h"
#include "res/DialogTemplates.h"
#include "res/resource.h"

#include <utility>

namespace {

const DialogNotifyEntry<CJuliaDlg> kNotifyMap[] = {
    {BN_CLICKED, IDC_JULIA_OK, IDC_JULIA_OK, &CJuliaDlg::OnOkButton},
    {BN_CLICKED, IDC_JULIA_CANCEL, IDC_JULIA_CANCEL, &CJuliaDlg::OnCancel},
    {BN_CLICKED, IDC_JULIA_PRESET0, IDC_JULIA_PRESET_LAST, &CJuliaDlg::OnPreset},
    // A double-click on the first preset ends the dialog like Enter: nothing stored or drawn.
    {BN_DOUBLECLICKED, IDC_JULIA_PRESET0, IDC_JULIA_PRESET0, &CJuliaDlg::OnOK},
};

} // namespace

CJuliaDlg::CJuliaDlg(JuliaDlgOwner owner, QWidget *pParent)
    : CDialog(JuliaDialogTemplate(), pParent), m_owner(std::move(owner))
{
}

CJuliaDlg::~CJuliaDlg() = default;

std::array<JuliaPreset, 16> CJuliaDlg::Presets()
{
    // Index 4 is +0.097 although its button reads -.097.
    return {{{-0.745, 0.049},
             {-0.744, 0.097},
             {-0.736, 0.097},
             {-0.756, 0.097},
             {-0.743, 0.097},
             {-0.74543, 0.11301},
             {-0.766227, 0.09699},
             {-0.9, 0.12},
             {-0.745429, 0.113008},
             {-1.03, -0.92},
             {0.32, 0.043},
             {0.308, 0.46},
             {-1.33, 0.043},
             {-0.16, 1.32},
             {-1.8, -1.67},
             {0.0, 0.0}}};
}

void CJuliaDlg::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_JULIA_CX, m_strCX);
    DDX_Text(pDX, IDC_JULIA_CY, m_strCY);
    DDX_Radio(pDX, IDC_JULIA_PRESET0, m_nPreset);
}

bool CJuliaDlg::OnCommand(int nCode, int nID)
{
    return DispatchNotifyTable<CJuliaDlg>(this, kNotifyMap, nCode, nID)
        || CDialog::OnCommand(nCode, nID);
}

bool CJuliaDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const int nPreset = m_owner.currentPreset ? m_owner.currentPreset() : 0;
    CheckRadioButton(IDC_JULIA_PRESET0, IDC_JULIA_PRESET_LAST, IDC_JULIA_PRESET0 + nPreset);
    OnPreset();
    return true;
}

void CJuliaDlg::OnPreset()
{
    UpdateData(true);
    if (m_nPreset < 0 || m_nPreset > 15) {
        AfxMessageBox(QStringLiteral("Error!"), MB_OK);
        return;
    }
    const JuliaPreset preset = Presets()[static_cast<size_t>(m_nPreset)];
    m_strCX = FormatJuliaNumber(preset.dRe);
    m_strCY = FormatJuliaNumber(preset.dIm);
    UpdateData(false);
}

void CJuliaDlg::OnOkButton()
{
    Invalidate(false);
    UpdateData(true);
    const QString strCX = GetDlgItemText(IDC_JULIA_CX);
    const QString strCY = GetDlgItemText(IDC_JULIA_CY);
    // The picture is drawn while the dialog is still on screen.
    if (m_owner.storeAndDraw)
        m_owner.storeAndDraw(m_nPreset, ReadLeadingDouble(strCX), ReadLeadingDouble(strCY));
    CDialog::OnOK();
}
