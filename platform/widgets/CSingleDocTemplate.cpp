#include "platform/widgets/CSingleDocTemplate.h"

#include "platform/Guard.h"
#include "platform/Providers.h"
#include "platform/widgets/CDocument.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "res/Resources.h"
#include "res/resource.h"

CSingleDocTemplate::CSingleDocTemplate(int nIDResource, DocFactory doc, FrameFactory frame,
                                       ViewFactory view)
    : m_nIDResource(nIDResource)
    , m_docFactory(std::move(doc))
    , m_frameFactory(std::move(frame))
    , m_viewFactory(std::move(view))
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    CloseAll();
}

bool CSingleDocTemplate::OpenDocumentFile()
{
    bool bCreated = false;
    bool bFailedToCreate = true;
    AfxGuard([&] {
        std::unique_ptr<CDocument> pDoc = m_docFactory();
        std::unique_ptr<CFrameWnd> pFrame = m_frameFactory();
        if (!pFrame->LoadFrame(m_nIDResource))
            return;
        CView *pView = m_viewFactory();
        pView->setParent(pFrame.get());
        pFrame->setCentralWidget(pView);
        pView->SetDocument(pDoc.get());
        pDoc->SetView(pView);
        pFrame->SetActiveView(pView);
        m_pDoc = std::move(pDoc);
        m_pFrame = std::move(pFrame);
        CWinApp *pApp = AfxGetApp();
        if (pApp && !pApp->m_pMainWnd)
            pApp->m_pMainWnd = m_pFrame.get();
        bFailedToCreate = false;
        if (!m_pDoc->OnNewDocument())
            return;
        pView->RunInitialUpdate();
        bCreated = true;
    });
    if (!bCreated) {
        if (bFailedToCreate) {
            const char *text = FindStringResource(AFX_IDP_FAILED_TO_CREATE_DOC);
            AfxMessageBox(QString::fromUtf8(text), MB_OK | MB_ICONEXCLAMATION);
        }
        CloseAll();
    }
    return bCreated;
}

void CSingleDocTemplate::CloseAll()
{
    CWinApp *pApp = AfxGetApp();
    if (pApp && m_pFrame && pApp->m_pMainWnd == m_pFrame.get())
        pApp->m_pMainWnd = nullptr;
    if (m_pDoc)
        m_pDoc->SetView(nullptr);
    m_pFrame.reset();
    m_pDoc.reset();
}
