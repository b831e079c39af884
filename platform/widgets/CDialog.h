#pragma once
// The framework's modal dialog on Qt: a QDialog whose controls are built from a template at
// each opening (and destroyed when it ends), data exchange through UpdateData, the control
// notifications dispatched by a per-class table, Enter -> OnOK, Esc and the close box ->
// OnCancel. Construction builds no control, so a dialog object may live as long as its owner
// and keep its members between openings.

#include "platform/Providers.h"
#include "res/DialogTemplate.h"

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <span>
#include <vector>

class CDataExchange;
class QButtonGroup;
class QRadioButton;

// Control notification codes, as the original platform numbers them.
constexpr int BN_CLICKED = 0;
constexpr int BN_DOUBLECLICKED = 5;
constexpr int CBN_SELCHANGE = 1;

class CDialog;

// One row of a dialog's notification table: nCode from any control nFirst..nLast runs pfn.
template<class T> struct DialogNotifyEntry
{
    int nCode;
    int nFirst;
    int nLast;
    void (T::*pfn)();
};

// Looks the notification up in a class's table; true when a handler ran.
template<class T>
bool DispatchNotifyTable(T *self, std::span<const DialogNotifyEntry<T>> table, int nCode, int nID)
{
    for (const DialogNotifyEntry<T> &e : table) {
        if (e.nCode == nCode && nID >= e.nFirst && nID <= e.nLast) {
            (self->*e.pfn)();
            return true;
        }
    }
    return false;
}

class CDialog : public QDialog
{
    Q_OBJECT
public:
    // pParentWnd only places the dialog (centred on it, stacked above it); the dialog is never
    // its Qt child, so a dialog may be a member of any object. Null: the main window.
    explicit CDialog(const DialogTemplate &tmpl, QWidget *pParentWnd = nullptr);
    ~CDialog() override;

    // Builds the controls, runs OnInitDialog and the modal loop; returns IDOK or IDCANCEL
    // (-1 when the dialog could not be built). The controls are gone when it returns.
    virtual int DoModal();
    // Builds the controls, runs OnInitDialog and shows the dialog without a modal loop (tests,
    // screenshots). EndDialog hides it and records the result; DestroyWindow drops the
    // controls. Returns false when OnInitDialog was abandoned.
    bool Create(bool bShow = true);
    void DestroyWindow();
    void EndDialog(int nResult);

    QWidget *GetDlgItem(int nID) const;
    // The text of an edit field or a static text.
    void SetDlgItemText(int nID, const QString &text);
    QString GetDlgItemText(int nID) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    // The radio buttons of the group that holds nID, in template order (empty if none).
    std::vector<int> RadioGroup(int nID) const;

    // Runs DoDataExchange; false when a field failed (its message has been shown).
    bool UpdateData(bool bSaveAndValidate = true);
    void Invalidate(bool bErase = true);

    // Runs the handler of a control notification under AfxGuard; true when one ran. A click
    // on IDOK / IDCANCEL without a handler runs OnOK / OnCancel.
    bool SendNotify(int nCode, int nID);

    // Dialog units of this dialog's font to pixels.
    QRect MapDialogRect(const QRect &rcDialogUnits) const;
    // The installed family that stands in for a template's font name.
    static QString MapFontFamily(const std::string &strTemplateFont);
    // The font a template names, at 96 dots per inch.
    static QFont TemplateFont(const DialogTemplate &tmpl);
    // Horizontal and vertical base units of a font: the average width of "a".."z" "A".."Z"
    // and the line height. A dialog unit is baseX/4 wide and baseY/8 high.
    static QSize BaseUnits(const QFont &font);
    // The width a radio button needs for its indicator and text.
    static int RadioTextWidth(const QRadioButton &radio);

    // Called inside DoModal's loop once the dialog is shown; a dialog still open when it
    // returns is cancelled, so a test never blocks. Returns the previous hook.
    using ModalHook = std::function<void(CDialog &)>;
    static ModalHook SetModalHook(ModalHook hook);

    // The framework's initialisation: UpdateData(false). True leaves the focus to the
    // framework (the first tab stop).
    virtual bool OnInitDialog();
    // UpdateData(true), then EndDialog(IDOK) when every field was valid.
    virtual void OnOK();
    virtual void OnCancel();
    // A left-button release on the dialog's own surface; the base does nothing.
    virtual void OnLButtonUp(Qt::KeyboardModifiers nFlags, const QPoint &point);

protected:
    virtual void DoDataExchange(CDataExchange *pDX);
    // The class's notification table (see DispatchNotifyTable); the base handles none.
    virtual bool OnCommand(int nCode, int nID);

    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void reject() override;
    void accept() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    friend void DDX_Control(CDataExchange *pDX, int nIDC, QWidget &control);
    void BuildControls();
    QWidget *BuildControl(const DialogControl &ctl);
    // Builds the controls and runs OnInitDialog; false when that was abandoned. The focus goes
    // to the first tab stop unless OnInitDialog placed it or ended the dialog.
    bool OpenControls();
    void PlaceWindow();
    void ReplaceControl(int nID, QWidget &control);
    void ConnectButton(QWidget *pWidget, int nID);
    void FocusFirstTabStop();

    DialogTemplate m_template;
    QWidget *m_pParentWnd;
    QFont m_font;
    QSize m_baseUnits;
    std::map<int, QWidget *> m_controls; // by id, template controls and attached ones
    std::vector<QWidget *> m_ownedControls; // built from the template, deleted at the end
    std::vector<QPointer<QWidget>> m_attachedControls; // the dialog's own, never deleted here
    std::vector<QButtonGroup *> m_buttonGroups; // each radio group's, by control id
    bool m_bOpen = false; // between building the controls and EndDialog
    bool m_bModal = false;
    int m_nResult = 0;
};
