#pragma once
// The menu bar of a frame, addressed by command id: a view on the frame's own actions.

class CFrameWnd;
class QAction;

constexpr unsigned MF_UNCHECKED = 0x0000;
constexpr unsigned MF_CHECKED = 0x0008;
constexpr unsigned MF_GRAYED = 0x0001;
constexpr unsigned MF_BYCOMMAND = 0x0000;

class CMenu
{
public:
    explicit CMenu(const CFrameWnd &frame) : m_frame(frame) { }

    // Returns the previous state (MF_CHECKED or MF_UNCHECKED), or -1 when no item has nID.
    int CheckMenuItem(int nID, unsigned nCheck);

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    // The action of nID when it stands in a menu, else null.
    QAction *MenuAction(int nID) const;

    const CFrameWnd &m_frame;
};

// Checks or unchecks an action as a menu shows it: a check mark only on a checked item (an
// unchecked checkable action would draw an empty box in some styles). Never re-runs the command.
void SetActionChecked(QAction *action, bool bChecked);
