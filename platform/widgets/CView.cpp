#include "platform/widgets/CView.h"

#include "platform/Guard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>

namespace {

MSG MakeMessage(unsigned message, unsigned flags, QPoint pt)
{
    MSG msg;
    msg.message = message;
    msg.wParam = flags;
    msg.pt = pt;
    return msg;
}

// Modifier and button state in MK_ flags for a Qt event.
unsigned MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    unsigned flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (mods & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

} // namespace

CView::CView(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CView::OnPrepareDC(CDC *, CPrintInfo *) { }

bool CView::OnEraseBkgnd(CDC *pDC)
{
    pDC->FillSolidRect(GetClientRect(), palette().color(QPalette::Window));
    return true;
}

bool CView::PreTranslateMessage(const MSG &)
{
    return false;
}

void CView::OnLButtonDown(unsigned, QPoint) { }
void CView::OnLButtonUp(unsigned, QPoint) { }
void CView::OnMouseMove(unsigned, QPoint) { }
void CView::OnRButtonDown(unsigned, QPoint) { }

bool CView::OnSetCursor()
{
    return false;
}

void CView::PaintOverlay(QPainter &) { }

void CView::Invalidate(bool)
{
    m_bUpdatePending = true;
    update();
}

void CView::UpdateWindow()
{
    if (m_bUpdatePending)
        repaint();
}

void CView::SetCapture()
{
    m_bCapture = true;
    if (isVisible())
        grabMouse();
}

void CView::ReleaseCapture()
{
    if (m_bCapture && QWidget::mouseGrabber() == this)
        releaseMouse();
    m_bCapture = false;
}

void CView::RunInitialUpdate()
{
    if (m_bInitialUpdateDone)
        return;
    m_bInitialUpdateDone = true;
    AfxGuard([this] { OnInitialUpdate(); });
}

void CView::paintEvent(QPaintEvent *)
{
    m_bUpdatePending = false;
    QPainter painter(this);
    AfxGuard([&] {
        {
            CDC dc(&painter, this);
            OnEraseBkgnd(&dc);
        }
        painter.save();
        {
            CDC dc(&painter, this);
            OnPrepareDC(&dc);
            OnDraw(&dc);
        }
        painter.restore();
        PaintOverlay(painter);
    });
}

void CView::ForwardButton(const QMouseEvent &event, unsigned message,
                          void (CView::*pfnHandler)(unsigned, QPoint))
{
    const QPoint pt = event.position().toPoint();
    const unsigned flags = MouseFlags(event.buttons(), event.modifiers());
    AfxGuard([&] {
        if (!PreTranslateMessage(MakeMessage(message, flags, pt)) && pfnHandler)
            (this->*pfnHandler)(flags, pt);
    });
}

void CView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        ForwardButton(*event, WM_LBUTTONDOWN, &CView::OnLButtonDown);
    else if (event->button() == Qt::RightButton)
        ForwardButton(*event, WM_RBUTTONDOWN, &CView::OnRButtonDown);
}

void CView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        ForwardButton(*event, WM_LBUTTONUP, &CView::OnLButtonUp);
    else if (event->button() == Qt::RightButton)
        ForwardButton(*event, WM_RBUTTONUP, nullptr); // seen by PreTranslateMessage only
}

void CView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pt = event->position().toPoint();
    const unsigned flags = MouseFlags(event->buttons(), event->modifiers());
    AfxGuard([&] {
        if (PreTranslateMessage(MakeMessage(WM_MOUSEMOVE, flags, pt)))
            return;
        OnSetCursor();
        OnMouseMove(flags, pt);
    });
}

void CView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    RunInitialUpdate();
}
