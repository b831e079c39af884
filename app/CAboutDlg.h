#pragma once
// The About box: name, version, distribution terms and two links, one to the author's e-mail
// address and one to the fractal home page. A click on its surface closes it.

#include "app/CLinkButton.h"
#include "platform/widgets/CDialog.h"

#include <QBrush>
#include <QColor>

// Both information dialogs paint their surface and every control in this colour.
inline const QColor kInfoDialogColour(255, 204, 255);

// Every control of dlg, and dlg itself, on brush with black text.
void ApplyControlColours(CDialog &dlg, const QBrush &brush);
// Icon 128, the program's icon.
QIcon LoadProgramIcon();

class CAboutDlg : public CDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *pParentWnd = nullptr);
    ~CAboutDlg() override;

    bool OnInitDialog() override;
    void OnLButtonUp(Qt::KeyboardModifiers nFlags, const QPoint &point) override;
    void OnAuthor();
    void OnHomePage();

    CLinkButton &AuthorLink() { return m_btnAuthor; }
    CLinkButton &HomePageLink() { return m_btnHomePage; }

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnCommand(int nCode, int nID) override;

private:
    CLinkButton m_btnHomePage;
    CLinkButton m_btnAuthor;
    QBrush m_brush;
};
