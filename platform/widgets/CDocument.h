#pragma once
// The framework's document base: a command target owned by the application's template.

#include "platform/widgets/CArchive.h"
#include "platform/widgets/CmdTarget.h"

class CView;

class CDocument : public CCmdTarget
{
public:
    CDocument() = default;
    ~CDocument() override = default;
    CDocument(const CDocument &) = delete;
    CDocument &operator=(const CDocument &) = delete;

    virtual bool OnNewDocument() { return true; }
    virtual void Serialize(CArchive &) { }
    // The framework's document commands: close (57602) closes the document and with it the
    // main window.
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;
    void OnFileClose();

    // The first (and only) view, set by the template when it creates the view.
    CView *GetFirstView() const { return m_pView; }
    void SetView(CView *pView) { m_pView = pView; }

private:
    CView *m_pView = nullptr;
};
