// The view's Qt events reach the program-named handlers in the framework's order.

#include "platform/widgets/CView.h"
#include "tests/common/TestSupport.h"
#include "tests/common/WidgetTestAccess.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class RecordingView : public CView
{
public:
    RecordingView() { resize(40, 30); }
    void OnInitialUpdate() override { calls.push_back("initial"); }
    bool OnEraseBkgnd(CDC *pDC) override
    {
        calls.push_back("erase");
        pDC->FillSolidRect(GetClientRect(), Qt::blue);
        return true;
    }
    void OnPrepareDC(CDC *pDC, CPrintInfo *) override
    {
        calls.push_back("prepare");
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(1, 1);
        pDC->SetViewportExt(2, 2);
    }
    void OnDraw(CDC *pDC) override
    {
        calls.push_back("draw");
        pDC->FillSolidRect(QRect(0, 0, 5, 5), Qt::red); // 10 x 10 device pixels
    }
    void PaintOverlay(QPainter &painter) override
    {
        calls.push_back("overlay");
        painter.fillRect(QRect(30, 20, 1, 1), Qt::green); // device pixels, no mapping
    }
    bool PreTranslateMessage(const MSG &msg) override
    {
        messages.push_back(msg);
        calls.push_back("pre");
        return msg.message == WM_RBUTTONDOWN && bEatRight;
    }
    void OnLButtonDown(unsigned nFlags, QPoint pt) override
    {
        calls.push_back("ldown");
        flags = nFlags;
        point = pt;
    }
    void OnLButtonUp(unsigned nFlags, QPoint) override
    {
        calls.push_back("lup");
        flags = nFlags;
    }
    void OnRButtonDown(unsigned, QPoint) override { calls.push_back("rdown"); }
    bool OnSetCursor() override
    {
        calls.push_back("cursor");
        return true;
    }
    void OnMouseMove(unsigned nFlags, QPoint pt) override
    {
        calls.push_back("move");
        flags = nFlags;
        point = pt;
    }

    std::vector<std::string> calls;
    std::vector<MSG> messages;
    unsigned flags = 0;
    QPoint point;
    bool bEatRight = false;
};

TEST(ViewForwardingTest, PaintErasesPreparesDrawsThenOverlaysInDevicePixels)
{
    RecordingView view;
    const QImage img = view.grab().toImage();
    EXPECT_EQ(view.calls, (std::vector<std::string> {"erase", "prepare", "draw", "overlay"}));
    EXPECT_EQ(img.pixelColor(9, 9), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(img.pixelColor(30, 20), QColor(Qt::green));
}

TEST(ViewForwardingTest, MouseEventsPassPreTranslationThenTheHandlers)
{
    RecordingView view;
    view.show();
    view.calls.clear();
    QTest::mousePress(&view, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(7, 9));
    EXPECT_EQ(view.calls, (std::vector<std::string> {"pre", "ldown"}));
    EXPECT_EQ(view.flags, MK_LBUTTON | MK_CONTROL | MK_SHIFT);
    EXPECT_EQ(view.point, QPoint(7, 9));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(view.messages[0].pt, QPoint(7, 9));

    view.calls.clear();
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(7, 9));
    EXPECT_EQ(view.calls, (std::vector<std::string> {"pre", "lup"}));
    EXPECT_EQ(view.flags, 0u);

    view.calls.clear();
    view.bEatRight = true;
    QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, QPoint(3, 4));
    EXPECT_EQ(view.calls, (std::vector<std::string> {"pre"}));
    QTest::mouseRelease(&view, Qt::RightButton, Qt::NoModifier, QPoint(3, 4));
    view.bEatRight = false;
    view.calls.clear();
    QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, QPoint(3, 4));
    EXPECT_EQ(view.calls, (std::vector<std::string> {"pre", "rdown"}));
}

TEST(ViewForwardingTest, MoveAsksForTheCursorFirstAndKeepsNegativePositions)
{
    RecordingView view;
    view.show();
    view.calls.clear();
    QMouseEvent move(QEvent::MouseMove, QPointF(-3, 5), view.mapToGlobal(QPointF(-3, 5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    EXPECT_EQ(view.calls, (std::vector<std::string> {"pre", "cursor", "move"}));
    EXPECT_EQ(view.point, QPoint(-3, 5));
    EXPECT_EQ(view.flags, MK_LBUTTON);
    EXPECT_EQ(view.messages.back().pt, QPoint(-3, 5));
    EXPECT_TRUE(view.hasMouseTracking());
}

TEST(ViewForwardingTest, UpdateWindowPaintsOnlyWhenSomethingIsPending)
{
    RecordingView view;
    view.show();
    view.RunInitialUpdate();
    view.RunInitialUpdate();
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "initial"), 1);
    QCoreApplication::processEvents();
    view.calls.clear();
    view.UpdateWindow();
    EXPECT_TRUE(view.calls.empty());
    view.Invalidate();
    EXPECT_TRUE(TestAccess<CView>::IsUpdatePending(view));
    view.UpdateWindow();
    EXPECT_FALSE(TestAccess<CView>::IsUpdatePending(view));
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "draw"), 1);
}

TEST(ViewForwardingTest, CaptureIsTrackedAndReleased)
{
    RecordingView view;
    view.show();
    view.SetCapture();
    EXPECT_TRUE(TestAccess<CView>::HasCapture(view));
    view.ReleaseCapture();
    EXPECT_FALSE(TestAccess<CView>::HasCapture(view));
    view.ReleaseCapture();
    EXPECT_FALSE(TestAccess<CView>::HasCapture(view));
}

} // namespace
