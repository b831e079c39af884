#include "app/CSysInfoDlg.h"

#include "app/CAboutDlg.h"
#include "platform/Guard.h"
#include "res/AboutTemplates.h"

#include <QMouseEvent>

CSysInfoDlg::CSysInfoDlg(QWidget *pParentWnd)
    : CDialog(SysInfoDialogTemplate(), pParentWnd), m_readRecords(ReadSysInfoRecords)
{
}

CSysInfoDlg::~CSysInfoDlg() = default;

bool CSysInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brush = QBrush(kInfoDialogColour);
    ApplyControlColours(*this, m_brush);
    setWindowIcon(LoadProgramIcon());

    const SysInfoTexts texts = FormatSysInfo(m_readRecords());
    SetDlgItemText(IDC_SYS_PHYS_MEM, texts.strTotalPhys);
    SetDlgItemText(IDC_SYS_AVAIL_MEM, texts.strAvailPhys);
    SetDlgItemText(IDC_SYS_VIRT_MEM, texts.strAvailVirtual);
    SetDlgItemText(IDC_SYS_CPU, texts.strCpu);
    if (texts.strOs)
        SetDlgItemText(IDC_SYS_OS, *texts.strOs);
    if (texts.strVersion)
        SetDlgItemText(IDC_SYS_VERSION, *texts.strVersion);
    if (texts.strDiskTotal)
        SetDlgItemText(IDC_SYS_DISK_TOTAL, *texts.strDiskTotal);
    if (texts.strDiskFree)
        SetDlgItemText(IDC_SYS_DISK_FREE, *texts.strDiskFree);
    SetDlgItemText(IDC_SYS_SERIAL, texts.strSerial);
    return true;
}

void CSysInfoDlg::OnLButtonUp(Qt::KeyboardModifiers, const QPoint &)
{
    OnCancel();
}
