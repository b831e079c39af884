#include "platform/widgets/CComboBox.h"

void CComboBox::Attach(QComboBox *pCombo, bool bSorted)
{
    m_pCombo = pCombo;
    m_bSorted = bSorted;
}

int CComboBox::GetCurSel() const
{
    if (!m_pCombo)
        return CB_ERR;
    const int n = m_pCombo->currentIndex();
    return n < 0 ? CB_ERR : n;
}

int CComboBox::SetCurSel(int nIndex)
{
    if (!m_pCombo)
        return CB_ERR;
    if (nIndex < 0 || nIndex >= m_pCombo->count()) {
        m_pCombo->setCurrentIndex(-1);
        m_pCombo->setEditText(QString());
        return CB_ERR;
    }
    m_pCombo->setCurrentIndex(nIndex);
    return nIndex;
}

int CComboBox::AddString(const QString &text)
{
    if (!m_pCombo)
        return CB_ERR;
    // Adding must not pick an entry: the list has no current one until the program sets it.
    const int nCur = m_pCombo->currentIndex();
    const QString strEdit = m_pCombo->currentText();
    int nAt = m_pCombo->count();
    if (m_bSorted) {
        for (int i = 0; i < m_pCombo->count(); ++i) {
            if (CompareListText(text, m_pCombo->itemText(i)) < 0) {
                nAt = i;
                break;
            }
        }
    }
    m_pCombo->insertItem(nAt, text);
    if (nCur < 0) {
        m_pCombo->setCurrentIndex(-1);
        m_pCombo->setEditText(strEdit);
    }
    return nAt;
}

int CComboBox::CompareListText(const QString &a, const QString &b)
{
    auto strip = [](QString s) {
        s.remove(QLatin1Char('-'));
        s.remove(QLatin1Char('\''));
        return s;
    };
    const int n = QString::compare(strip(a), strip(b), Qt::CaseInsensitive);
    if (n != 0)
        return n;
    return QString::compare(a, b, Qt::CaseSensitive);
}
