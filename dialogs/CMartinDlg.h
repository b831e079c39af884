#pragma once
// The Martin parameter dialog: ten preset coefficient triples or typed coefficients and an
// iteration count. The view keeps one for its whole life, so the values stay between uses.

#include "fractals/Recipes.h"
#include "platform/widgets/CDialog.h"

#include <array>
#include <cstdint>

struct MartinPreset
{
    double a;
    double b;
    double c;
};

class CMartinDlg : public CDialog
{
    Q_OBJECT
public:
    explicit CMartinDlg(QWidget *pParent = nullptr);
    ~CMartinDlg() override;

    // The triples behind the ten radio buttons, by position in the group.
    static std::array<MartinPreset, 10> Presets();
    // Radio button ids by position: 1034, then 1038 .. 1046.
    static int PresetButtonID(int nPosition);

    // A click on any of the ten radio buttons.
    void OnPreset();
    // Button 1037: the framework's OK.
    void OnOkButton();

    double m_dA = 68.0;
    double m_dB = 75.0;
    double m_dC = 83.0;
    uint32_t m_nIterations = recipe::kOrbitIterations;
    int m_nPreset = 1;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnCommand(int nCode, int nID) override;
};
