#pragma once
// The Julia parameter dialog: sixteen preset constants or one typed in; its OK button hands
// the constant and the preset to its owner, which stores them and draws while it is open.

#include "platform/widgets/CDialog.h"

#include <QString>
#include <array>
#include <functional>
#include <span>

struct JuliaPreset
{
    double dRe;
    double dIm;
};

// What the dialog reads from its owner at each opening, and what its OK button does there.
struct JuliaDlgOwner
{
    std::function<int()> currentPreset; // unset: the first preset
    std::function<void(int nPreset, double dRe, double dIm)> storeAndDraw; // unset: nothing
};

class CJuliaDlg : public CDialog
{
    Q_OBJECT
public:
    explicit CJuliaDlg(JuliaDlgOwner owner = {}, QWidget *pParent = nullptr);
    ~CJuliaDlg() override;

    // The constants behind buttons 1004 + index.
    static std::array<JuliaPreset, 16> Presets();

    // A click on any of the buttons 1004 .. 1019.
    void OnPreset();
    // Button 1002: the owner stores and draws, then the framework's OK.
    void OnOkButton();

    QString m_strCX;
    QString m_strCY;
    int m_nPreset = -1;

    bool OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnCommand(int nCode, int nID) override;

private:
    JuliaDlgOwner m_owner;
};
