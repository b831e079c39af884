#pragma once
// The menu bar of a frame, addressed by command id: a view on the frame's own actions.

#include <map>

class QAction;

constexpr unsigned MF_UNCHECKED = 0x0000;
constexpr unsigned MF_CHECKED = 0x0008;
constexpr unsigned MF_GRAYED = 0x0001;
constexpr unsigned MF_BYCOMMAND = 0x0000;

class CMenu
{
public:
    // actions: the frame's one action per command id; it outlives the menu.
    explicit CMenu(const std::map<int, QAction *> &actions) : m_actions(actions) { }

    // Returns the previous state (MF_CHECKED or MF_UNCHECKED), or -1 when no item has nID.
    int CheckMenuItem(int nID, unsigned nCheck);
    // MF_CHECKED / MF_GRAYED bits of the item, or -1 when no item has nID.
    int GetMenuState(int nID) const;

private:
    // The action of nID when it stands in a menu, else null.
    QAction *MenuAction(int nID) const;

    const std::map<int, QAction *> &m_actions;
};

// Checks or unchecks an action as a menu shows it: a check mark only on a checked item (an
// unchecked checkable action would draw an empty box in some styles). Never re-runs the command.
void SetActionChecked(QAction *action, bool bChecked);
