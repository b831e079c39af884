#include "platform/widgets/CWinApp.h"

#include "platform/Providers.h"
#include "platform/widgets/CDocument.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CView.h"
#include "res/Resources.h"
#include "res/resource.h"

#include <QApplication>
#include <array>

namespace {

CWinApp *g_pApp = nullptr;

const std::array<CommandEntry<CWinApp>, 2> kAppCommands {{
    {ID_FILE_NEW, &CWinApp::OnFileNew, nullptr},
    {ID_APP_EXIT, &CWinApp::OnAppExit, nullptr},
}};

} // namespace

CWinApp *AfxGetApp()
{
    return g_pApp;
}

CFrameWnd *AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    // Frame and view go first, then the document; m_pMainWnd must not dangle meanwhile.
    if (m_pTemplate)
        m_pTemplate->CloseAll();
    m_pMainWnd = nullptr;
    m_pTemplate.reset();
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::Run()
{
    return QApplication::exec();
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> pTemplate)
{
    m_pTemplate = std::move(pTemplate);
}

CDocument *CWinApp::GetFirstDocument() const
{
    return m_pTemplate ? m_pTemplate->GetDocument() : nullptr;
}

CView *CWinApp::GetFirstView() const
{
    CDocument *pDoc = GetFirstDocument();
    return pDoc ? pDoc->GetFirstView() : nullptr;
}

bool CWinApp::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    return DispatchCommandTable<CWinApp>(this, kAppCommands, nID, pCmdUI);
}

void CWinApp::OnFileNew()
{
    // A single document lives as long as the program: only the first request creates it.
    if (m_pTemplate && !m_pTemplate->GetDocument())
        m_pTemplate->OpenDocumentFile();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->close();
}

void CWinApp::SetRegistryKey(const QString &strKey)
{
    QCoreApplication::setOrganizationName(strKey);
    const char *title = FindStringResource(AFX_IDS_APP_TITLE);
    QCoreApplication::setApplicationName(QString::fromUtf8(title ? title : kAppTitle));
}

bool CWinApp::ProcessShellCommand()
{
    OnCmdMsg(ID_FILE_NEW, nullptr);
    return GetFirstDocument() != nullptr && m_pMainWnd != nullptr;
}
