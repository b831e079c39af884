#pragma once
// Dialog templates as data: the frame, the font and every control with its id, kind, text, style
// and rectangle in dialog units. The dialog framework builds its widgets from one of these.
// Plain types only, so the tables need no widget code.

#include <string>
#include <vector>

// Window and control style bits, numbered as the original platform numbers them.
constexpr unsigned WS_TABSTOP = 0x00010000;
constexpr unsigned WS_GROUP = 0x00020000;
constexpr unsigned WS_SYSMENU = 0x00080000;
constexpr unsigned WS_VSCROLL = 0x00200000;
constexpr unsigned WS_BORDER = 0x00800000;
constexpr unsigned WS_CAPTION = 0x00C00000;
constexpr unsigned WS_POPUP = 0x80000000;
constexpr unsigned DS_MODALFRAME = 0x0080;
constexpr unsigned DS_CENTER = 0x0800;
constexpr unsigned SS_LEFT = 0x0000;
constexpr unsigned SS_CENTER = 0x0001;
constexpr unsigned SS_RIGHT = 0x0002;
constexpr unsigned SS_ALIGNMASK = 0x0003;
constexpr unsigned SS_NOPREFIX = 0x0080;
constexpr unsigned ES_AUTOHSCROLL = 0x0080;
constexpr unsigned CBS_DROPDOWN = 0x0002;
constexpr unsigned CBS_SORT = 0x0100;

// The id of controls the program never addresses.
constexpr int IDC_STATIC = -1;

enum class DialogControlKind {
    PushButton,
    AutoRadioButton,
    GroupBox,
    Label, // static text, aligned by SS_LEFT / SS_CENTER / SS_RIGHT
    Edit,
    DropDownCombo, // editable combo box; the rectangle's height includes the dropped list
    OwnerDrawButton, // a placeholder the dialog's own control object replaces (DDX_Control)
    Icon, // static icon; nResource names the icon
    BlackRect, // a filled black rectangle (a rule)
};

struct DialogControl
{
    int nID = IDC_STATIC;
    DialogControlKind kind = DialogControlKind::Label;
    std::string strText; // UTF-8; "\n" breaks a label's lines
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    unsigned nStyle = 0; // WS_GROUP, WS_TABSTOP, SS_..., ES_..., CBS_...
    std::vector<std::string> items; // combo box entries, in the order they are added
    int nResource = 0; // icon id for DialogControlKind::Icon

    static DialogControl Make(int nID, DialogControlKind kind, const char *text, int x, int y,
                              int cx, int cy, unsigned nStyle = 0)
    {
        DialogControl c;
        c.nID = nID;
        c.kind = kind;
        c.strText = text;
        c.x = x;
        c.y = y;
        c.cx = cx;
        c.cy = cy;
        c.nStyle = nStyle;
        return c;
    }
};

struct DialogTemplate
{
    int nID = 0;
    std::string strCaption; // UTF-8
    std::string strFontName; // the font named by the template ("MS Serif", "System", ...)
    int nPointSize = 8;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units; x, y matter only without DS_CENTER
    unsigned nStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    std::vector<DialogControl> controls; // in tab order
};
