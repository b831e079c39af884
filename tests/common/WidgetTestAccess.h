#pragma once
// TestAccess for the framework's window classes (see TestAccess.h).

#include "platform/widgets/CDialog.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CMenu.h"
#include "platform/widgets/CStatusBar.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "platform/widgets/SingleInstance.h"
#include "tests/common/TestAccess.h"

#include <QAbstractButton>
#include <QAction>
#include <QFont>
#include <QLabel>

template<> struct TestAccess<CDialog>
{
    // True between building the controls and EndDialog.
    static bool IsOpen(const CDialog &dlg) { return dlg.m_bOpen; }
    // The result given to the last EndDialog (0 before any).
    static int Result(const CDialog &dlg) { return dlg.m_nResult; }
    static QFont Font(const CDialog &dlg) { return dlg.m_font; }
    // Id of the checked button among nIDFirst..nIDLast, 0 when none.
    static int CheckedRadioButton(const CDialog &dlg, int nIDFirst, int nIDLast)
    {
        for (int nID = nIDFirst; nID <= nIDLast; ++nID) {
            const auto *pButton = qobject_cast<const QAbstractButton *>(dlg.GetDlgItem(nID));
            if (pButton && pButton->isChecked())
                return nID;
        }
        return 0;
    }
};

template<> struct TestAccess<CMenu>
{
    // MF_CHECKED / MF_GRAYED bits of the item, or -1 when no item has nID.
    static int MenuState(const CMenu &menu, int nID)
    {
        const QAction *action = menu.MenuAction(nID);
        if (!action)
            return -1;
        return int((action->isChecked() ? MF_CHECKED : 0u)
                   | (action->isEnabled() ? 0u : MF_GRAYED));
    }
};

template<> struct TestAccess<CStatusBar>
{
    static int PaneWidth(const CStatusBar &bar, int nIndex)
    {
        if (!bar.ValidIndex(nIndex))
            return 0;
        const QLabel *label = bar.m_panes[size_t(nIndex)].pLabel;
        return label->minimumWidth() == label->maximumWidth() ? label->minimumWidth()
                                                              : label->width();
    }
    static bool IsPaneEnabled(const CStatusBar &bar, int nIndex)
    {
        return bar.ValidIndex(nIndex) && bar.m_panes[size_t(nIndex)].bEnabled;
    }
};

template<> struct TestAccess<CView>
{
    static bool HasCapture(const CView &view) { return view.m_bCapture; }
    static bool IsUpdatePending(const CView &view) { return view.m_bUpdatePending; }
};

template<> struct TestAccess<CWinApp>
{
    static CSingleDocTemplate *DocTemplate(const CWinApp &app) { return app.m_pTemplate.get(); }
};

template<> struct TestAccess<CSingleDocTemplate>
{
    static CFrameWnd *Frame(const CSingleDocTemplate &t) { return t.m_pFrame.get(); }
};

template<> struct TestAccess<CSingleInstance>
{
    static bool IsHeld(const CSingleInstance &marker) { return marker.m_fd >= 0; }
};
