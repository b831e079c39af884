#pragma once
// A frame, document and view made by the single-document template, as at start-up, with the
// view's client area set to a chosen size.

#include "fractals/FractalParams.h"
#include "image/CDib.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/TestSupport.h"
#include "view/CVelorineDoc.h"
#include "view/CVelorineView.h"

#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

using Bytes = std::vector<unsigned char>;
using Buffer = std::vector<uint8_t>;

class ViewFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Fixes the view's client area and shows the frame.
    void SetClientSize(int w, int h);
    bool Route(int nID) { return m_pFrame->RouteCommand(nID); }
    // Enabled state of nID after a command-state query through the routing.
    bool IsEnabled(int nID);
    QString Caption() const { return m_pFrame->windowTitle(); }
    // The selection as a drag leaves it: (nX1, nY1) where it began, (nX2, nY2) where it ended.
    void SetSelection(int nX1, int nY1, int nX2, int nY2);
    // The plane windows as {left, right, bottom, top}: the Mandelbrot one in the view's
    // generator parameters, the Julia one in the view.
    using Window = std::array<double, 4>;
    Window MandelbrotWindow() const;
    Window JuliaWindow() const;

    // The bytes Compose writes for buffer with the document's current palette.
    Bytes Composed(const Buffer &buffer);
    static Buffer Generate(const std::function<void(FractalParams &, uint8_t *)> &gen);
    static Buffer MandelbrotBuffer(double xMin, double xMax, double yMin, double yMax);
    static Buffer JuliaBuffer(double cx, double cy, double xMin, double xMax, double yMin,
                              double yMax);
    // Writes QuadrantBmp() to quad.bmp and opens it in the view; false when that failed.
    bool OpenQuadrants();
    // The pixel array the view's picture holds, 512 x 512 bytes.
    Bytes PictureBits() const;
    // What the view shows, as a paint event draws it.
    QImage Grab();

    ScopedTestProviders m_providers;
    std::unique_ptr<CWinApp> m_pApp;
    CSingleDocTemplate *m_pTemplate = nullptr;
    CFrameWnd *m_pFrame = nullptr;
    CVelorineView *m_pView = nullptr;
    CVelorineDoc *m_pDoc = nullptr;
};

// A 512 x 512 8-bit BMP whose four quadrants have palette indices 1 (bottom-left),
// 2 (bottom-right), 3 (top-left) and 4 (top-right), with distinct colours.
Bytes QuadrantBmp();
QRgb QuadrantColour(int index);

struct PixelAt
{
    int x;
    int y;
    QRgb rgb;
};
// Expects each listed pixel of img; a failure names the point.
void ExpectPixels(const QImage &img, std::initializer_list<PixelAt> expected);
