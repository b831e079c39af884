#include "platform/widgets/DataExchange.h"

#include "platform/widgets/CComboBox.h"
#include "platform/widgets/CDialog.h"
#include "platform/widgets/NumberFormat.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

CDataExchange::CDataExchange(CDialog *pDlgWnd, bool bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

QWidget *CDataExchange::PrepareCtrl(int nIDC)
{
    m_idLastControl = nIDC;
    m_bEditLastControl = false;
    return m_pDlgWnd->GetDlgItem(nIDC);
}

QWidget *CDataExchange::PrepareEditCtrl(int nIDC)
{
    QWidget *pWidget = PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    return pWidget;
}

void CDataExchange::Fail()
{
    if (QWidget *pWidget = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
        pWidget->setFocus(Qt::OtherFocusReason);
        if (m_bEditLastControl) {
            if (auto *pEdit = qobject_cast<QLineEdit *>(pWidget))
                pEdit->selectAll();
        }
    }
    throw CUserException();
}

namespace {

// The framework's data-exchange messages.
const char *const kMsgNotANumber = "请键入一个数。";
const char *const kMsgNotAnInteger = "请键入一个整数。";
const char *const kMsgNotAnUnsigned = "“请填入一个正整数。”";
const char *const kMsgIntRange = "“请填入一个在%1和%2之间的整数。”";

QString FormatPlain(auto v)
{
    return QString::number(v);
}

void FailWith(CDataExchange *pDX, const char *message)
{
    AfxMessageBox(QString::fromUtf8(message), MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

// Reads or writes the text of edit nIDC; the parse result decides whether saving succeeds.
template<class T, class Parse, class Format>
void ExchangeNumber(CDataExchange *pDX, int nIDC, T &value, Parse parse, Format format,
                    const char *message)
{
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const auto parsed = parse(pDX->m_pDlgWnd->GetDlgItemText(nIDC));
        if (!parsed)
            FailWith(pDX, message);
        value = *parsed;
    } else {
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, format(value));
    }
}

} // namespace

void DDX_Text(CDataExchange *pDX, int nIDC, double &value)
{
    ExchangeNumber(pDX, nIDC, value, ParseDouble, FormatDouble, kMsgNotANumber);
}

void DDX_Text(CDataExchange *pDX, int nIDC, int &value)
{
    ExchangeNumber(pDX, nIDC, value, ParseInt, FormatPlain<int>, kMsgNotAnInteger);
}

void DDX_Text(CDataExchange *pDX, int nIDC, uint32_t &value)
{
    ExchangeNumber(pDX, nIDC, value, ParseUInt, FormatPlain<uint32_t>, kMsgNotAnUnsigned);
}

void DDX_Text(CDataExchange *pDX, int nIDC, QString &value)
{
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(nIDC);
    else
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, value);
}

void DDX_Radio(CDataExchange *pDX, int nIDC, int &value)
{
    pDX->PrepareCtrl(nIDC);
    const std::vector<int> group = pDX->m_pDlgWnd->RadioGroup(nIDC);
    if (group.empty() || group.front() != nIDC)
        return;
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i) {
            auto *pButton = qobject_cast<QAbstractButton *>(pDX->m_pDlgWnd->GetDlgItem(group[i]));
            if (pButton && pButton->isChecked()) {
                value = static_cast<int>(i);
                break;
            }
        }
    } else {
        const int nCheck = value >= 0 && static_cast<size_t>(value) < group.size()
            ? group[static_cast<size_t>(value)]
            : 0;
        pDX->m_pDlgWnd->CheckRadioButton(group.front(), group.back(), nCheck);
    }
}

void DDX_Control(CDataExchange *pDX, int nIDC, CComboBox &control)
{
    if (auto *pCombo = qobject_cast<QComboBox *>(pDX->PrepareCtrl(nIDC)))
        control.Attach(pCombo);
}

void DDX_Control(CDataExchange *pDX, int nIDC, QWidget &control)
{
    if (pDX->PrepareCtrl(nIDC) != &control)
        pDX->m_pDlgWnd->ReplaceControl(nIDC, control);
}

void DDV_MinMaxUInt(CDataExchange *pDX, uint32_t value, uint32_t minVal, uint32_t maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    AfxMessageBox(QString::fromUtf8(kMsgIntRange).arg(minVal).arg(maxVal),
                  MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}
