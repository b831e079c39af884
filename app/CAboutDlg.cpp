#include "app/CAboutDlg.h"

#include "platform/Guard.h"
#include "platform/widgets/DataExchange.h"
#include "res/AboutTemplates.h"
#include "res/Resources.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <array>

namespace {

const std::array<DialogNotifyEntry<CAboutDlg>, 2> kAboutNotify {{
    {BN_CLICKED, IDC_LINK_MAIL, IDC_LINK_MAIL, &CAboutDlg::OnAuthor},
    {BN_CLICKED, IDC_LINK_HOME, IDC_LINK_HOME, &CAboutDlg::OnHomePage},
}};

void ColourWidget(QWidget &widget, const QBrush &brush)
{
    QPalette pal = widget.palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base})
        pal.setBrush(role, brush);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        pal.setColor(QPalette::Active, role, Qt::black);
        pal.setColor(QPalette::Inactive, role, Qt::black);
    }
    widget.setPalette(pal);
}

} // namespace

void ApplyControlColours(CDialog &dlg, const QBrush &brush)
{
    ColourWidget(dlg, brush);
    dlg.setAutoFillBackground(true);
    for (QWidget *pChild : dlg.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        // The rule keeps its own black.
        if (pChild->autoFillBackground())
            continue;
        ColourWidget(*pChild, brush);
    }
}

QIcon LoadProgramIcon()
{
    InitResourcePictures();
    QIcon icon;
    for (const char *name : {"velorine-16.png", "velorine-32.png", "velorine-48.png"}) {
        const QString path = QStringLiteral(":/icons/") + QLatin1String(name);
        if (QFile::exists(path))
            icon.addFile(path);
    }
    return icon.isNull() ? QApplication::windowIcon() : icon;
}

CAboutDlg::CAboutDlg(QWidget *pParentWnd) : CDialog(AboutDialogTemplate(), pParentWnd) { }

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LINK_HOME, m_btnHomePage);
    DDX_Control(pDX, IDC_LINK_MAIL, m_btnAuthor);
}

bool CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CLinkButton::ResetHighlight();
    m_brush = QBrush(kInfoDialogColour);
    ApplyControlColours(*this, m_brush);
    return true;
}

bool CAboutDlg::OnCommand(int nCode, int nID)
{
    return DispatchNotifyTable<CAboutDlg>(this, kAboutNotify, nCode, nID);
}

void CAboutDlg::OnLButtonUp(Qt::KeyboardModifiers, const QPoint &)
{
    OnOK();
}

void CAboutDlg::OnAuthor()
{
    // A missing mail program is the desktop's to report.
    ShellExecuteOpen(QString::fromLatin1(kAuthorMailAddress));
}

void CAboutDlg::OnHomePage()
{
    ShellExecuteOpen(QString::fromLatin1(kHomePageAddress));
}
