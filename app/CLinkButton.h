#pragma once
// A push button that looks and behaves like a link: flat text while the pointer is elsewhere,
// blue underlined text in a raised frame and a hand pointer while it is over the button, a
// sunken frame while pressed. The pointer is followed by a short repeating timer rather than
// by leave notifications; the click reaches the dialog as any button's click.

#include <QCursor>
#include <QFont>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>

class QPainter;

// Owner-draw item state bits.
constexpr unsigned ODS_SELECTED = 0x0001;
constexpr unsigned ODS_DISABLED = 0x0004;

class CLinkButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CLinkButton(QWidget *pParent = nullptr);
    ~CLinkButton() override;

    // Cursor resource 140: the hand with its index finger raised, hot spot on the finger tip.
    static QCursor LoadHandCursor();
    // The button's background for a given button face colour; the face is the application
    // palette's button colour.
    static QColor BackgroundColor(const QColor &face);

    // Where the pointer is, in screen coordinates; tests put their own source in. Null
    // restores the real pointer. Returns the previous source.
    using PointerSource = std::function<QPoint()>;
    static PointerSource SetPointerSource(PointerSource source);

    // The program's handlers; Qt's events forward to them.
    void OnMouseMove();
    bool OnSetCursor();
    void OnTimer(int nIDEvent);
    void OnLButtonDown();
    void OnLButtonUp();
    void OnEraseBkgnd(QPainter &painter);
    void DrawItem(QPainter &painter, const QRect &rcItem, unsigned nItemState);

    bool IsHover() const { return m_bHover; }
    bool IsPressed() const { return m_bPressed; }
    bool IsTrackingTimerActive() const { return m_timer.isActive(); }
    static bool IsHighlightShown() { return s_bHighlightShown; }
    // A dialog starting: no link of it is highlighted yet, whatever a closed dialog left.
    static void ResetHighlight();
    // How many times the button asked to be redrawn whole.
    int InvalidateCount() const { return m_nInvalidates; }
    bool HasUnderlinedFont() const { return m_font.has_value(); }

    static constexpr int kTrackingTimerId = 1;
    static constexpr int kTrackingPeriodMs = 10;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void Invalidate();
    void MakeUnderlinedFont();
    unsigned ItemState() const;

    std::optional<QFont> m_font;
    QCursor m_hCursor;
    bool m_bPressed = false;
    bool m_bHover = false;
    // The second press of a double click is not a click: its release opens nothing.
    bool m_bDoubleClickPress = false;

    QTimer m_timer;
    int m_nInvalidates = 0;

    // A redraw into the hover look has been asked for and not yet undone; one flag for every
    // link button, as only one can be under the pointer.
    static bool s_bHighlightShown;
};
