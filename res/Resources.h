#pragma once
// The program's resource tables as data: menus, accelerators, the toolbar's buttons and the
// string table. Texts are UTF-8.

#include <span>

class QIcon;

// One line of a menu resource, flattened: a popup opens a level, its items follow one level
// deeper, up to the next entry at the popup's own level or above.
struct MenuItemRes
{
    int nLevel; // 0: a popup of the menu bar; 1: its items; 2: items of a sub-menu
    bool bPopup; // opens a sub-menu (no id)
    int nID; // 0 for popups and separators
    const char *pszText; // null for a separator
    bool bGrayed; // greyed in the resource
};

// Each key is a Qt key combination in its combined int form (QKeyCombination::toCombined).
struct AccelRes
{
    int nKey;
    int nID;
};

// Empty when the id names no such resource.
std::span<const MenuItemRes> FindMenuResource(int nID);
std::span<const AccelRes> FindAcceleratorResource(int nID);
std::span<const int> FindToolBarResource(int nID);
// The string of nID, or null when the table has none.
const char *FindStringResource(int nID);

// Registers the compiled-in pictures (toolbar, icon); call once before using them.
void InitResourcePictures();
// The program's icon with every size res/icons holds, 16 to 256 pixels, so each size a window
// shows at 1x, 2x or 3x is made from a picture at least that large, never smoothed up.
QIcon ProgramIcon();
