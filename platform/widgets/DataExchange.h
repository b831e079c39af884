#pragma once
// Dialog data exchange and validation between a dialog's controls and its members. Saving
// (bSaveAndValidate) reads and checks each field in the order DoDataExchange names them; the
// first bad field shows its message, takes the focus with its text selected and stops the
// exchange (CDataExchange::Fail throws; CDialog::UpdateData catches and returns false).

#include <QString>
#include <cstdint>

class CComboBox;
class CDialog;
class QWidget;

class CDataExchange
{
public:
    CDataExchange(CDialog *pDlgWnd, bool bSaveAndValidate);

    // Records the control for a later Fail and returns it (null when the dialog has no nIDC).
    QWidget *PrepareCtrl(int nIDC);
    QWidget *PrepareEditCtrl(int nIDC);
    // Saving only: focuses the last prepared control (selecting an edit's text) and stops the
    // exchange.
    [[noreturn]] void Fail();

    bool m_bSaveAndValidate;
    CDialog *m_pDlgWnd;
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
};

// Thrown by CDataExchange::Fail, caught by CDialog::UpdateData.
struct CUserException
{
};

void DDX_Text(CDataExchange *pDX, int nIDC, double &value);
void DDX_Text(CDataExchange *pDX, int nIDC, int &value);
void DDX_Text(CDataExchange *pDX, int nIDC, uint32_t &value);
void DDX_Text(CDataExchange *pDX, int nIDC, QString &value);
// Index of the checked button in the radio group that starts at nIDC, -1 when none.
void DDX_Radio(CDataExchange *pDX, int nIDC, int &value);
// Attaches the combo box nIDC to the object (once per building of the controls).
void DDX_Control(CDataExchange *pDX, int nIDC, CComboBox &control);
// Puts the dialog's own widget in place of the template's control nIDC (an owner-drawn
// button): same rectangle, text, tab position and id; the dialog does not own it.
void DDX_Control(CDataExchange *pDX, int nIDC, QWidget &control);
// Range check after DDX_Text of an unsigned field (saving only).
void DDV_MinMaxUInt(CDataExchange *pDX, uint32_t value, uint32_t minVal, uint32_t maxVal);
