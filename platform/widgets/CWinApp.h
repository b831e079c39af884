#pragma once
// The framework's application object.

#include "platform/widgets/CSingleDocTemplate.h"
#include "platform/widgets/CmdTarget.h"

#include <QString>
#include <memory>

class CDocument;
class CFrameWnd;
class CView;

class CWinApp : public CCmdTarget
{
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp &) = delete;
    CWinApp &operator=(const CWinApp &) = delete;

    virtual bool InitInstance() { return true; }
    // Runs the message loop; returns the exit code.
    virtual int Run();

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> pTemplate);
    CDocument *GetFirstDocument() const;
    CView *GetFirstView() const;

    // The framework's application commands: new document (57600) and exit (57665).
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;
    void OnFileNew();
    // Closes the main window, which ends the message loop; the objects go with the
    // application object.
    void OnAppExit();
    // The main window has closed for good: the message loop ends as soon as no window of the
    // program is left, whatever was still queued or opened after the close.
    void OnMainWindowClosed();

    // The settings branch: organisation strKey, application name from the title.
    void SetRegistryKey(const QString &strKey);
    // The framework's standard settings: no recent-file list is kept, and the print-preview
    // page count is read by nothing here.
    void LoadStdProfileSettings(unsigned /*nMaxMRU*/ = 4) { }
    // Creates the first document and its windows; false when that failed.
    bool ProcessShellCommand();

    CFrameWnd *m_pMainWnd = nullptr;

private:
    class LastWindowWatch;
    template<class> friend struct TestAccess; // what tests read beyond the program
    std::unique_ptr<CSingleDocTemplate> m_pTemplate;
    std::unique_ptr<LastWindowWatch> m_pLastWindowWatch;
    bool m_bRunning = false;
};

CWinApp *AfxGetApp();
CFrameWnd *AfxGetMainWnd();
