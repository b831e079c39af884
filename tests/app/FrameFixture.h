#pragma once
// A main frame built from the program's resources around a view that draws nothing, with the
// test providers and an application object, for tests of the frame's bars, menus and panes.

#include "app/CMainFrame.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/TestSupport.h"

#include <QApplication>
#include <gtest/gtest.h>

class BlankView : public CView
{
public:
    void OnDraw(CDC *) override { }
};

template<class Frame = CMainFrame> class FrameFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
        auto *view = new BlankView;
        view->setParent(&frame);
        frame.setCentralWidget(view);
        frame.SetActiveView(view);
    }
    // Shows the frame as the active window and lets it settle.
    void Show()
    {
        frame.show();
        QApplication::setActiveWindow(&frame);
        QCoreApplication::processEvents();
    }

    ScopedTestProviders providers;
    CWinApp app;
    Frame frame;
};
