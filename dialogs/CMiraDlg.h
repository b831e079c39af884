#pragma once
// The Mira parameter dialog: a preset from one of two families (b = 0 and b != 0), each with
// its own list, or typed coefficients, start point and window. Every opening starts afresh.

#include "platform/widgets/CComboBox.h"
#include "platform/widgets/CDialog.h"

#include <array>
#include <span>

struct MiraPreset
{
    double a;
    double b;
    double sx;
    double sy;
    int x1;
    int y1;
    int x2;
    int y2;
};

class CMiraDlg : public CDialog
{
    Q_OBJECT
public:
    explicit CMiraDlg(QWidget *pParent = nullptr);
    ~CMiraDlg() override;

    void OnSelChangeZeroB();
    void OnSelChangeNonZeroB();
    void OnZeroB();
    void OnNonZeroB();
    void OnOkButton();
    void OnCancelButton();

    // By the position of the entry in list 1049 and list 1048.
    std::array<MiraPreset, 5> m_presetsZeroB;
    std::array<MiraPreset, 6> m_presetsNonZeroB;
    CComboBox m_cbNonZeroB;
    CComboBox m_cbZeroB;
    double m_dA = 0;
    double m_dB = 0;
    double m_dSX = 0;
    double m_dSY = 0;
    int m_nX1 = 0;
    int m_nX2 = 0;
    int m_nY1 = 0;
    int m_nY2 = 0;
    int m_nBMode = -1;

    bool OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnCommand(int nCode, int nID) override;

private:
    void LoadRecord(const MiraPreset &rec);
    // Loads the entry of the family's list at its current position (its first one when the
    // list has none) and shows it.
    void LoadFromList(CComboBox &list, std::span<const MiraPreset> presets);
};
