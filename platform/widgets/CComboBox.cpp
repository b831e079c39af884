#include "platform/widgets/CComboBox.h"

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
