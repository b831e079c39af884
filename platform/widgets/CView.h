#pragma once
// The framework's plain view: a widget whose Qt events forward to the program-named handlers
// (paintEvent -> OnEraseBkgnd, OnPrepareDC, OnDraw; mousePressEvent -> PreTranslateMessage,
// then OnLButtonDown ...). Every entry goes through AfxGuard.

#include "platform/CDC.h"
#include "platform/widgets/CPrintInfo.h"
#include "platform/widgets/CmdTarget.h"
#include "platform/widgets/MSG.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

class CDocument;
class QPainter;

// Mouse-message flags, as the original platform numbers them.
constexpr unsigned MK_LBUTTON = 0x0001;
constexpr unsigned MK_SHIFT = 0x0004;
constexpr unsigned MK_CONTROL = 0x0008;

class CView : public QWidget, public CCmdTarget
{
    Q_OBJECT
public:
    explicit CView(QWidget *parent = nullptr);

    CDocument *GetDocument() const { return m_pDocument; }
    void SetDocument(CDocument *pDoc) { m_pDocument = pDoc; }

    virtual void OnInitialUpdate() { }
    virtual void OnDraw(CDC *pDC) = 0;
    virtual void OnPrepareDC(CDC *pDC, CPrintInfo *pInfo = nullptr);
    virtual bool OnEraseBkgnd(CDC *pDC);
    // Returns true when the message was consumed and must not be dispatched further.
    virtual bool PreTranslateMessage(const MSG &msg);

    virtual void OnLButtonDown(unsigned nFlags, QPoint point);
    virtual void OnLButtonUp(unsigned nFlags, QPoint point);
    virtual void OnMouseMove(unsigned nFlags, QPoint point);
    virtual void OnRButtonDown(unsigned nFlags, QPoint point);
    // Pointer-shape request on every move over the view; returns true when handled.
    virtual bool OnSetCursor();

    bool OnCmdMsg(int, CCmdUI *) override { return false; }

    // The original platform's window calls.
    QRect GetClientRect() const { return rect(); }
    QPoint ClientToScreen(QPoint p) const { return mapToGlobal(p); }
    QPoint ScreenToClient(QPoint p) const { return mapFromGlobal(p); }
    void Invalidate(bool bErase = true);
    // Paints at once when an invalidation is pending.
    void UpdateWindow();
    void SetCapture();
    void ReleaseCapture();

protected:
    // Drawn after OnDraw in the same paint pass, in device pixels (the rubber band).
    virtual void PaintOverlay(QPainter &painter);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    // PreTranslateMessage, then the handler (if any) unless the message was consumed.
    void ForwardButton(const QMouseEvent &event, unsigned message,
                       void (CView::*pfnHandler)(unsigned, QPoint));

    CDocument *m_pDocument = nullptr;
    bool m_bUpdatePending = false;
    bool m_bCapture = false;
    bool m_bInitialUpdateDone = false;

public:
    // The template runs OnInitialUpdate once, before the frame is first shown.
    void RunInitialUpdate();
};
