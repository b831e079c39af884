#include "app/CLinkButton.h"

#include "platform/Guard.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <utility>

// Outside any namespace: the resource compiler's registration function lives there.
static void RegisterCursors()
{
    Q_INIT_RESOURCE(cursors);
}

namespace {

CLinkButton::PointerSource &PointerSourceSlot()
{
    static CLinkButton::PointerSource source;
    return source;
}

QPoint CursorPos()
{
    const CLinkButton::PointerSource &source = PointerSourceSlot();
    return source ? source() : QCursor::pos();
}

// Left and top edges inside, right and bottom edges outside.
bool PtInRect(const QRect &rc, const QPoint &pt)
{
    return pt.x() >= rc.left() && pt.x() < rc.left() + rc.width() && pt.y() >= rc.top()
        && pt.y() < rc.top() + rc.height();
}

// A one-pixel frame: top and left edges in one colour, right and bottom in the other.
void Draw3dRect(QPainter &painter, const QRect &rc, const QColor &topLeft,
                const QColor &bottomRight)
{
    const int l = rc.left(), t = rc.top(), r = rc.left() + rc.width() - 1,
              b = rc.top() + rc.height() - 1;
    painter.fillRect(QRect(l, t, rc.width() - 1, 1), topLeft);
    painter.fillRect(QRect(l, t, 1, rc.height() - 1), topLeft);
    painter.fillRect(QRect(r, t, 1, rc.height()), bottomRight);
    painter.fillRect(QRect(l, b, rc.width(), 1), bottomRight);
}

constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextSingleLine;

} // namespace

bool CLinkButton::s_bHighlightShown = false;

CLinkButton::CLinkButton(QWidget *pParent) : QPushButton(pParent), m_hCursor(LoadHandCursor())
{
    // Enter belongs to the dialog; a link never becomes its default button.
    setAutoDefault(false);
    setDefault(false);
    setFlat(true);
    setMouseTracking(true);
    m_timer.setInterval(kTrackingPeriodMs);
    connect(&m_timer, &QTimer::timeout, this,
            [this] { AfxGuard([this] { OnTimer(kTrackingTimerId); }); });
}

CLinkButton::~CLinkButton() = default;

QCursor CLinkButton::LoadHandCursor()
{
    static const bool registered = (RegisterCursors(), true);
    (void)registered;
    const QPixmap pixmap(QStringLiteral(":/cursors/hand140.xpm"));
    if (pixmap.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(pixmap, 7, 0);
}

QColor CLinkButton::BackgroundColor(const QColor &face)
{
    int r = face.red(), g = face.green(), b = face.blue();
    if (r > 1)
        r -= 2;
    if (g > 1)
        g -= 2;
    if (r < 3 && g < 3 && b < 253)
        b += 2;
    return QColor(r, g, b);
}

void CLinkButton::ResetHighlight()
{
    s_bHighlightShown = false;
}

CLinkButton::PointerSource CLinkButton::SetPointerSource(PointerSource source)
{
    PointerSource old = std::move(PointerSourceSlot());
    PointerSourceSlot() = std::move(source);
    return old;
}

void CLinkButton::Invalidate()
{
    ++m_nInvalidates;
    update();
}

unsigned CLinkButton::ItemState() const
{
    unsigned nState = 0;
    if (isDown())
        nState |= ODS_SELECTED;
    if (!isEnabled())
        nState |= ODS_DISABLED;
    return nState;
}

void CLinkButton::OnMouseMove()
{
    m_timer.start();
}

bool CLinkButton::OnSetCursor()
{
    if (m_bHover) {
        setCursor(m_hCursor);
        return true;
    }
    unsetCursor();
    return false;
}

void CLinkButton::OnTimer(int)
{
    const QPoint pt = CursorPos();
    const QRect rcWindow(mapToGlobal(QPoint(0, 0)), size());
    if (m_bPressed) {
        m_timer.stop();
        if (s_bHighlightShown)
            Invalidate();
        s_bHighlightShown = false;
        return;
    }
    if (!PtInRect(rcWindow, pt)) {
        m_bHover = false;
        m_timer.stop();
        if (s_bHighlightShown)
            Invalidate();
        s_bHighlightShown = false;
        OnSetCursor();
        return;
    }
    m_bHover = true;
    if (!s_bHighlightShown) {
        s_bHighlightShown = true;
        Invalidate();
    }
    OnSetCursor();
}

void CLinkButton::OnLButtonDown()
{
    m_bPressed = true;
}

void CLinkButton::OnLButtonUp()
{
    m_bPressed = false;
    if (m_bHover) {
        m_bHover = false;
        Invalidate();
        OnSetCursor();
    }
}

void CLinkButton::OnEraseBkgnd(QPainter &painter)
{
    // The system's button face, not the dialog's own colour the button sits on.
    painter.fillRect(rect(), BackgroundColor(QApplication::palette().color(QPalette::Button)));
}

void CLinkButton::MakeUnderlinedFont()
{
    QFont font = this->font();
    font.setUnderline(true);
    m_font = font;
}

void CLinkButton::DrawItem(QPainter &painter, const QRect &rcItem, unsigned nItemState)
{
    painter.setBackgroundMode(Qt::TransparentMode);
    const QString caption = text();
    if (nItemState & ODS_DISABLED) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(rcItem.adjusted(2, 2, 0, 0), kCaptionFlags, caption);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(rcItem, kCaptionFlags, caption);
        return;
    }
    if (m_bHover) {
        const QColor highlight = palette().color(QPalette::Light);
        const QColor shadow = palette().color(QPalette::Dark);
        if (nItemState & ODS_SELECTED)
            Draw3dRect(painter, rcItem, shadow, highlight);
        else
            Draw3dRect(painter, rcItem, highlight, shadow);
        painter.setPen(QColor(0, 0, 255));
        if (!m_font)
            MakeUnderlinedFont();
        const QFont previous = painter.font();
        painter.setFont(*m_font);
        painter.drawText(rcItem, kCaptionFlags, caption);
        painter.setFont(previous);
        return;
    }
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(rcItem, kCaptionFlags, caption);
}

void CLinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    AfxGuard([&] {
        OnEraseBkgnd(painter);
        DrawItem(painter, rect(), ItemState());
    });
}

void CLinkButton::mouseMoveEvent(QMouseEvent *event)
{
    AfxGuard([this] {
        OnMouseMove();
        OnSetCursor();
    });
    QPushButton::mouseMoveEvent(event);
}

void CLinkButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        AfxGuard([this] { OnLButtonDown(); });
    QPushButton::mousePressEvent(event);
}

void CLinkButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        AfxGuard([this] { OnLButtonUp(); });
    if (std::exchange(m_bDoubleClickPress, false) && event->button() == Qt::LeftButton) {
        // Kept here: passed on, the release would reach the dialog as a click on its surface.
        setDown(false);
        event->accept();
        return;
    }
    QPushButton::mouseReleaseEvent(event);
}

void CLinkButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Pressed and drawn sunken like any press, but its release makes no second click.
    if (event->button() != Qt::LeftButton) {
        QPushButton::mouseDoubleClickEvent(event);
        return;
    }
    AfxGuard([this] { OnLButtonDown(); });
    m_bDoubleClickPress = true;
    setDown(true);
    event->accept();
}
