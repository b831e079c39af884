// Selecting with the left button: the status-bar position, the rubber band, the released
// selection, the Ctrl-release zoom and the pointer over zoomable pictures.

#include "view/CVelorineView.h"

#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CStatusBar.h"
#include "platform/widgets/CWinApp.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QResizeEvent>
#include <algorithm>

namespace {

// The rectangle a drawing call with these corners covers: from the smaller to the larger
// value, the larger one excluded.
QRect CoveredRect(int x1, int y1, int x2, int y2)
{
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    return QRect(left, top, std::max(x1, x2) - left, std::max(y1, y2) - top);
}

// The band's dots: every other pixel of its one-pixel outline, counted once each, walking
// clockwise from the top-left corner. Only the part inside clip is listed, so a band whose
// corner is dragged far outside the view costs no more than one inside it.
QPolygon BandDots(const QRect &band, const QRect &clip)
{
    QPolygon dots;
    if (band.isEmpty())
        return dots;
    const int left = band.left();
    const int top = band.top();
    const int right = left + band.width() - 1; // the last column covered
    const int bottom = top + band.height() - 1; // the last row covered
    const int w = right - left;
    const int h = bottom - top;
    auto add = [&](int x, int y, int step) {
        if ((step & 1) == 0)
            dots.append(QPoint(x, y));
    };
    const int x0 = std::max(left, clip.left());
    const int x1 = std::min(right, clip.right());
    const int y0 = std::max(top, clip.top());
    const int y1 = std::min(bottom, clip.bottom());
    if (top >= clip.top() && top <= clip.bottom())
        for (int x = x0; x <= x1; ++x)
            add(x, top, x - left);
    if (right >= clip.left() && right <= clip.right())
        for (int y = std::max(y0, top + 1); y <= y1; ++y)
            add(right, y, w + (y - top));
    if (h > 0 && bottom >= clip.top() && bottom <= clip.bottom())
        for (int x = std::min(x1, right - 1); x >= x0; --x)
            add(x, bottom, w + h + (right - x));
    if (w > 0 && left >= clip.left() && left <= clip.right())
        for (int y = std::min(y1, bottom - 1); y >= std::max(y0, top + 1); --y)
            add(left, y, 2 * w + h + (bottom - y));
    return dots;
}

void ShowPointerPosition(QPoint point)
{
    CFrameWnd *pMain = AfxGetMainWnd();
    CStatusBar *pBar = pMain ? pMain->GetStatusBar() : nullptr;
    if (!pBar)
        return;
    pBar->SetPaneText(1, QStringLiteral("X:%1").arg(point.x()));
    pBar->SetPaneText(2, QStringLiteral("Y:%1").arg(point.y()));
}

} // namespace

CVelorineView::PlaneWindow CVelorineView::ZoomWindow(const PlaneWindow &old, int nSelX1, int nSelY1,
                                                     int nSelX2, int nSelY2, double W, double H)
{
    // No client area to map through (a window shrunk to nothing): dividing by it would leave
    // infinite or NaN corners, so the window stays.
    if (!(W > 0) || !(H > 0))
        return old;
    // Screen y runs down, the imaginary axis up: hence H - y.
    const double dx = old.xMax - old.xMin;
    const double dy = old.yMax - old.yMin;
    return PlaneWindow {old.xMin + (nSelX1 / W) * dx, old.xMin + (nSelX2 / W) * dx,
                        old.yMin + ((H - nSelY1) / H) * dy, old.yMin + ((H - nSelY2) / H) * dy};
}

QRect CVelorineView::BandRect() const
{
    return m_bBandShown ? m_rcBand : QRect();
}

QRegion CVelorineView::BandOutline(const QRect &band) const
{
    if (band.isEmpty())
        return QRegion();
    const int l = band.left();
    const int t = band.top();
    const int r = l + band.width() - 1;
    const int b = t + band.height() - 1;
    QRegion outline;
    outline += QRect(QPoint(l, t), QPoint(r, t));
    outline += QRect(QPoint(l, b), QPoint(r, b));
    outline += QRect(QPoint(l, t), QPoint(l, b));
    outline += QRect(QPoint(r, t), QPoint(r, b));
    return outline & GetClientRect();
}

void CVelorineView::ShowBand(const QRect &band)
{
    // Only the two outlines are repainted, so a drag answers at once over a large picture.
    QRegion dirty = BandOutline(BandRect());
    m_rcBand = band;
    m_bBandShown = true;
    dirty += BandOutline(band);
    if (!dirty.isEmpty())
        update(dirty);
}

void CVelorineView::HideBand()
{
    const QRegion dirty = BandOutline(BandRect());
    m_bBandShown = false;
    m_rcBand = QRect();
    if (!dirty.isEmpty())
        update(dirty);
}

void CVelorineView::PaintOverlay(QPainter &painter)
{
    if (!m_bBandShown)
        return;
    const QPolygon dots = BandDots(m_rcBand, GetClientRect());
    if (dots.isEmpty())
        return;
    // Inverting: the pen's colour does not show, and drawing twice restores the picture.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::red, 0));
    painter.drawPoints(dots);
    painter.restore();
}

void CVelorineView::resizeEvent(QResizeEvent *event)
{
    if (event->oldSize() != event->size()) {
        m_bBandShown = false;
        m_rcBand = QRect();
    }
    CView::resizeEvent(event);
}

void CVelorineView::OnLButtonDown(unsigned, QPoint point)
{
    // Whatever band is still on screen goes with the new press.
    if (m_bBandShown)
        HideBand();
    SetCapture();
    m_hOldCursor = cursor();
    setCursor(Qt::CrossCursor);
    m_bDragging = true;
    m_bSelectionShown = false;
    m_nSelX1 = m_nSelX2 = point.x();
    m_nSelY1 = m_nSelY2 = point.y();
}

void CVelorineView::OnMouseMove(unsigned nFlags, QPoint point)
{
    ShowPointerPosition(point);
    if (!m_bDragging || nFlags == 0)
        return;
    m_nSelX2 = point.x();
    m_nSelY2 = point.y();
    ShowBand(CoveredRect(m_nSelX2, m_nSelY2, m_nSelX1, m_nSelY1));
    m_bSelectionShown = true;
}

void CVelorineView::OnLButtonUp(unsigned nFlags, QPoint point)
{
    if (m_hOldCursor)
        setCursor(*m_hOldCursor);
    ReleaseCapture();

    const int anchorX = m_nSelX1;
    const int anchorY = m_nSelY1;
    m_nSelX1 = std::min(anchorX, point.x());
    m_nSelX2 = std::max(anchorX, point.x());
    m_nSelY2 = std::min(anchorY, point.y());
    m_nSelY1 = std::max(anchorY, point.y());
    m_selectAllCorners.reset();
    m_bZoomPending = true;
    const bool bPoint = m_nSelX1 == m_nSelX2 && m_nSelY1 == m_nSelY2;
    if (bPoint)
        m_bSelectionShown = false;

    if (!m_bDragging)
        return;
    m_bDragging = false;
    if ((nFlags & MK_CONTROL) && !bPoint)
        RenderPlaneWindow();
}

bool CVelorineView::OnSetCursor()
{
    // Over other pictures the pointer keeps whatever shape it had.
    if (kinds::HasPlaneWindow(m_nFractalKind))
        setCursor(Qt::CrossCursor);
    return true;
}
