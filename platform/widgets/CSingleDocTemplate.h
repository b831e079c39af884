#pragma once

#include <functional>
#include <memory>

class CDocument;
class CFrameWnd;
class CView;

// Creates document, frame and view together, each by its factory (which always makes one); the
// frame owns the view widget.
class CSingleDocTemplate
{
public:
    using DocFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;
    using ViewFactory = std::function<CView *()>; // parented to the frame by the template

    CSingleDocTemplate(int nIDResource, DocFactory doc, FrameFactory frame, ViewFactory view);
    ~CSingleDocTemplate();

    // Creates the document, frame and view, runs OnNewDocument and the view's first update.
    // Returns false (after the framework's message) when any of them fails.
    bool OpenDocumentFile();
    // Destroys frame (with its view) and document, in that order.
    void CloseAll();

    CDocument *GetDocument() const { return m_pDoc.get(); }

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    int m_nIDResource;
    DocFactory m_docFactory;
    FrameFactory m_frameFactory;
    ViewFactory m_viewFactory;
    std::unique_ptr<CDocument> m_pDoc;
    std::unique_ptr<CFrameWnd> m_pFrame;
};
