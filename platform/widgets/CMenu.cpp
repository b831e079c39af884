#include "platform/widgets/CMenu.h"

#include "platform/widgets/CFrameWnd.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <algorithm>

void SetActionChecked(QAction *action, bool bChecked)
{
    const QSignalBlocker blocker(action);
    if (bChecked) {
        action->setCheckable(true);
        action->setChecked(true);
    } else {
        action->setChecked(false);
        action->setCheckable(false);
    }
}

QAction *CMenu::MenuAction(int nID) const
{
    QAction *action = m_frame.FindAction(nID);
    if (!action)
        return nullptr;
    const QList<QObject *> shownIn = action->associatedObjects();
    const bool bInMenu = std::any_of(shownIn.begin(), shownIn.end(),
                                     [](QObject *p) { return qobject_cast<QMenu *>(p); });
    return bInMenu ? action : nullptr;
}

int CMenu::CheckMenuItem(int nID, unsigned nCheck)
{
    QAction *action = MenuAction(nID);
    if (!action)
        return -1;
    const int previous = action->isChecked() ? int(MF_CHECKED) : int(MF_UNCHECKED);
    SetActionChecked(action, (nCheck & MF_CHECKED) != 0);
    return previous;
}
