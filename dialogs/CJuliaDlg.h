#pragma once
// The Julia parameter dialog: sixteen preset constants or one typed in; its OK button stores
// the constant and the preset in the document and draws the Julia set while it is open.

#include "platform/widgets/CDialog.h"

#include <QString>
#include <array>
#include <span>

struct JuliaPreset
{
    double dRe;
    double dIm;
};

class CJuliaDlg : public CDialog
{
    Q_OBJECT
public:
    explicit CJuliaDlg(QWidget *pParent = nullptr);
    ~CJuliaDlg() override;

    // The constants behind buttons 1004 + index.
    static std::array<JuliaPreset, 16> Presets();

    // A click on any of the buttons 1004 .. 1019.
    void OnPreset();
    // Button 1002: stores and draws, then the framework's OK.
    void OnOkButton();

    QString m_strCX;
    QString m_strCY;
    int m_nPreset = -1;

    bool OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnCommand(int nCode, int nID) override;
};
