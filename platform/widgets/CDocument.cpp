#include "platform/widgets/CDocument.h"

#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"

#include <array>

namespace {

const std::array<CommandEntry<CDocument>, 1> kDocumentCommands {{
    {ID_FILE_CLOSE, &CDocument::OnFileClose, nullptr},
}};

} // namespace

bool CDocument::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    return DispatchCommandTable<CDocument>(this, kDocumentCommands, nID, pCmdUI);
}

void CDocument::OnFileClose()
{
    // The document is never modified, so nothing asks to be saved; the single document's
    // frame closes with it and the objects are destroyed when the loop has ended.
    if (CFrameWnd *pFrame = AfxGetMainWnd())
        pFrame->close();
}
