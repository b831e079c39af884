#include "platform/widgets/CWinApp.h"

#include "platform/Providers.h"
#include "platform/widgets/CDocument.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CView.h"
#include "res/Resources.h"
#include "res/resource.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <array>

namespace {

CWinApp *g_pApp = nullptr;

const std::array<CommandEntry<CWinApp>, 2> kAppCommands {{
    {ID_FILE_NEW, &CWinApp::OnFileNew, nullptr},
    {ID_APP_EXIT, &CWinApp::OnAppExit, nullptr},
}};

// A window that keeps the program running, as Qt counts them for quitting on the last window
// closed: shown, its own top-level window (not a popup, tool tip or a dialog owned by another).
bool KeepsProgram(const QWidget *w)
{
    const Qt::WindowType type = w->windowType();
    return w->isVisible() && !w->parentWidget() && w->testAttribute(Qt::WA_QuitOnClose)
        && type != Qt::Popup && type != Qt::ToolTip;
}

} // namespace

// Qt quits on its own when the last window closes, but only then: a window opened by input
// queued behind the main window's close cancels that quit, and a dialog that ends by hiding
// is no close. This watch ends the loop once no window is left, however the last one went.
class CWinApp::LastWindowWatch : public QObject
{
public:
    LastWindowWatch()
    {
        qApp->installEventFilter(this);
        EndLaterIfNoWindow();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow())
            EndLaterIfNoWindow();
        return QObject::eventFilter(watched, event);
    }

private:
    // Queued, so a window being hidden or shown right now has settled when it is counted.
    void EndLaterIfNoWindow()
    {
        QMetaObject::invokeMethod(
            this,
            [] {
                const QWidgetList windows = QApplication::topLevelWidgets();
                if (std::none_of(windows.begin(), windows.end(), KeepsProgram))
                    QCoreApplication::exit(0);
            },
            Qt::QueuedConnection);
    }
};

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
    m_bRunning = true;
    const int result = QApplication::exec();
    m_bRunning = false;
    m_pLastWindowWatch.reset();
    return result;
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

void CWinApp::OnMainWindowClosed()
{
    // Outside the loop (tests driving a frame by hand) there is nothing to end.
    if (m_bRunning && !m_pLastWindowWatch)
        m_pLastWindowWatch = std::make_unique<LastWindowWatch>();
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
