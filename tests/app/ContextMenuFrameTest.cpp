// The context menu over the real main frame: its full-screen items carry the frame's state and
// switch the frame's enlarged modes.

#include "app/CMainFrame.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/SingleDocument.h"
#include "tests/common/TestSupport.h"
#include "tests/common/WidgetTestAccess.h"
#include "view/CVelorineDoc.h"
#include "view/CVelorineView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>
#include <map>

namespace {

class ContextMenuFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = std::make_unique<CWinApp>();
        m_pTemplate = AddSingleDocTemplate<CVelorineDoc, CMainFrame, CVelorineView>(*m_pApp);
        m_pFrame = OpenAndShow<CMainFrame>(*m_pTemplate);
        ASSERT_NE(m_pFrame, nullptr);
        m_pView = static_cast<CVelorineView *>(m_pFrame->GetActiveView());
        CVelorineView::SetContextMenuChooser([this](QMenu &menu, QPoint) {
            m_checked.clear();
            for (const QAction *a : menu.actions())
                if (!a->isSeparator())
                    m_checked[a->data().toInt()] = a->isChecked();
            return m_nChoice;
        });
    }
    void TearDown() override
    {
        CVelorineView::SetContextMenuChooser(nullptr);
        m_pTemplate->CloseAll();
        m_pApp.reset();
    }
    void Choose(int nID)
    {
        m_nChoice = nID;
        QTest::mouseClick(m_pView, Qt::RightButton, {}, QPoint(30, 30));
        QCoreApplication::processEvents();
    }

    ScopedTestProviders m_providers;
    std::unique_ptr<CWinApp> m_pApp;
    CSingleDocTemplate *m_pTemplate = nullptr;
    CMainFrame *m_pFrame = nullptr;
    CVelorineView *m_pView = nullptr;
    int m_nChoice = 0;
    std::map<int, bool> m_checked;
};

TEST_F(ContextMenuFrameTest, FullScreenItemsAreCheckedWhileEnlargedAndEitherOneLeaves)
{
    Choose(0);
    EXPECT_FALSE(m_checked.at(ID_CTX_FULL_SCREEN));
    EXPECT_FALSE(m_checked.at(ID_CTX_NO_MENU));

    Choose(ID_CTX_NO_MENU);
    EXPECT_EQ(m_pFrame->GetDisplayMode(), CMainFrame::DisplayMode::ToolbarFullScreen);
    EXPECT_TRUE(m_pFrame->m_bFullScreen);
    Choose(0);
    EXPECT_TRUE(m_checked.at(ID_CTX_FULL_SCREEN));
    EXPECT_TRUE(m_checked.at(ID_CTX_NO_MENU));
    EXPECT_FALSE(m_checked.at(ID_CTX_ZOOM_DISPLAY));

    // The plain full-screen item leaves the toolbar form too.
    Choose(ID_CTX_FULL_SCREEN);
    EXPECT_EQ(m_pFrame->GetDisplayMode(), CMainFrame::DisplayMode::Normal);
    EXPECT_FALSE(m_pFrame->m_bFullScreen);

    Choose(ID_CTX_FULL_SCREEN);
    EXPECT_EQ(m_pFrame->GetDisplayMode(), CMainFrame::DisplayMode::FullScreen);
    Choose(ID_CTX_NO_MENU);
    EXPECT_EQ(m_pFrame->GetDisplayMode(), CMainFrame::DisplayMode::Normal);
    Choose(0);
    EXPECT_FALSE(m_checked.at(ID_CTX_FULL_SCREEN));
}

} // namespace
