// The single-document template: what it creates, in which order, and how it fails.

#include "platform/widgets/CDocument.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/common/WidgetTestAccess.h"

#include <QMenuBar>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;

class TrackedDoc : public CDocument
{
public:
    ~TrackedDoc() override { g_events.push_back("~doc"); }
    bool OnNewDocument() override
    {
        g_events.push_back("new");
        return bAccept;
    }
    static inline bool bAccept = true;
};

class TrackedView : public CView
{
public:
    ~TrackedView() override { g_events.push_back("~view"); }
    void OnInitialUpdate() override
    {
        g_events.push_back(AfxGetMainWnd() && GetDocument() ? "initial" : "initial-unwired");
        AfxGetMainWnd()->SetWindowText(QStringLiteral("drawn"));
    }
    void OnDraw(CDC *) override { }
};

class RefusingFrame : public CFrameWnd
{
public:
    int OnCreate() override { return -1; }
};

class DocTemplateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_events.clear();
        TrackedDoc::bAccept = true;
    }
    std::unique_ptr<CSingleDocTemplate> MakeTemplate(bool bFrameFails)
    {
        return std::make_unique<CSingleDocTemplate>(
            IDR_MAINFRAME, [] { return std::make_unique<TrackedDoc>(); },
            [bFrameFails]() -> std::unique_ptr<CFrameWnd> {
                if (bFrameFails)
                    return std::make_unique<RefusingFrame>();
                return std::make_unique<CFrameWnd>();
            },
            [] { return new TrackedView; });
    }
    ScopedTestProviders providers;
};

TEST_F(DocTemplateTest, CreatesAllThreeWiredBeforeTheFirstUpdate)
{
    CWinApp app;
    app.AddDocTemplate(MakeTemplate(false));
    ASSERT_TRUE(app.ProcessShellCommand());
    EXPECT_EQ(g_events, (std::vector<std::string> {"new", "initial"}));
    CFrameWnd *frame = AfxGetMainWnd();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("drawn"));
    EXPECT_EQ(frame->centralWidget(), app.GetFirstView());
    EXPECT_EQ(frame->GetActiveDocument(), app.GetFirstDocument());
    EXPECT_EQ(app.GetFirstDocument()->GetFirstView(), app.GetFirstView());
    EXPECT_FALSE(frame->menuBar()->actions().isEmpty());
    // A second new-document request keeps the single document.
    app.OnFileNew();
    EXPECT_EQ(g_events.size(), 2u);
    g_events.clear();
    TestAccess<CWinApp>::DocTemplate(app)->CloseAll();
    EXPECT_EQ(g_events, (std::vector<std::string> {"~view", "~doc"}));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST_F(DocTemplateTest, FrameThatCannotBeCreatedReportsTheFrameworkMessage)
{
    CWinApp app;
    app.AddDocTemplate(MakeTemplate(true));
    EXPECT_FALSE(app.ProcessShellCommand());
    ASSERT_EQ(providers.messages().shown.size(), 1u);
    EXPECT_EQ(providers.messages().shown[0].text, QStringLiteral("建立空文档失败。"));
    EXPECT_EQ(providers.messages().shown[0].caption, QStringLiteral("Velorine"));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(app.GetFirstDocument(), nullptr);
}

TEST_F(DocTemplateTest, RefusedNewDocumentEndsSilently)
{
    TrackedDoc::bAccept = false;
    CWinApp app;
    app.AddDocTemplate(MakeTemplate(false));
    EXPECT_FALSE(app.ProcessShellCommand());
    EXPECT_TRUE(providers.messages().shown.empty());
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST_F(DocTemplateTest, ExitAndCloseCommandsCloseTheMainWindow)
{
    for (int nID : {ID_APP_EXIT, ID_FILE_CLOSE}) {
        SCOPED_TRACE(nID);
        CWinApp app;
        app.AddDocTemplate(MakeTemplate(false));
        ASSERT_TRUE(app.ProcessShellCommand());
        CFrameWnd *frame = AfxGetMainWnd();
        frame->show();
        CCmdUI ui(nID);
        EXPECT_TRUE(frame->RouteCommandState(ui));
        EXPECT_TRUE(frame->RouteCommand(nID));
        EXPECT_FALSE(frame->isVisible());
    }
}

} // namespace
