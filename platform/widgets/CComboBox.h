#pragma once
// The framework's combo-box object: a non-owning handle on a dialog's combo box, attached by
// DDX_Control. Positions are those of the list as shown (sorted lists keep their order).

#include <QComboBox>
#include <QPointer>
#include <QString>

constexpr int CB_ERR = -1;

class CComboBox
{
public:
    CComboBox() = default;
    CComboBox(const CComboBox &) = delete;
    CComboBox &operator=(const CComboBox &) = delete;

    void Attach(QComboBox *pCombo) { m_pCombo = pCombo; }

    // Position of the current entry, CB_ERR when none.
    int GetCurSel() const;
    // Selects nIndex (-1 clears the selection); returns nIndex or CB_ERR when out of range.
    int SetCurSel(int nIndex);

    // The order of a sorted list: case-insensitive, hyphens disregarded, then the plain text.
    static int CompareListText(const QString &a, const QString &b);

private:
    QPointer<QComboBox> m_pCombo; // null once the dialog's controls are gone
};
