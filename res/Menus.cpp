#include "res/Resources.h"
#include "res/resource.h"

#include <QKeyCombination>
#include <array>

namespace {

constexpr MenuItemRes Popup(int level, const char *text)
{
    return {level, true, 0, text, false};
}
constexpr MenuItemRes Item(int level, int id, const char *text, bool grayed = false)
{
    return {level, false, id, text, grayed};
}
constexpr MenuItemRes Separator(int level)
{
    return {level, false, 0, nullptr, false};
}

constexpr std::array kMainMenu {
    Popup(0, "文件(&F)"),
    Item(1, ID_FILE_OPEN, "打开BMP文件(&O)", true),
    Item(1, ID_FILE_SAVE_AS, "另存为(&A)..."),
    Item(1, ID_PRINT_IMAGE, "打印"),
    Separator(1),
    Item(1, ID_LOAD_PALETTE, "载入调色板...", true),
    Separator(1),
    Item(1, ID_APP_EXIT, "退出\tAlt+X"),
    Popup(0, "编辑(&E)"),
    Item(1, ID_EDIT_UNDO, "撤消(&U)\tCtrl+Z", true),
    Separator(1),
    Item(1, ID_SELECT_ALL, "全选\tCtrl+A"),
    Item(1, ID_EDIT_COPY, "复制(&C)\tCtrl+C", true),
    Item(1, ID_ZOOM_IN, "放大\tZoom In"),
    Item(1, ID_ZOOM_OUT, "缩小\tZoom Out"),
    Separator(1),
    Item(1, ID_CLEAR, "清除\tSpace"),
    Popup(0, "分形(&R)"),
    Item(1, ID_MANDELBROT, "Mandelbrot集"),
    Item(1, ID_JULIA, "Julia集"),
    Separator(1),
    Item(1, ID_MARTIN, "Martin过程"),
    Item(1, ID_MIRA, "Mira过程"),
    Item(1, ID_WALLPAPER, "墙纸:-)"),
    Item(1, ID_DLA, "扩散置限凝聚(DLA)"),
    Item(1, ID_LEAF, "模拟树叶"),
    Popup(0, "参数(&P)"),
    Item(1, ID_JULIA_PARAMS, "Julia分形参数->"),
    Item(1, ID_MARTIN_PARAMS, "Martin过程参数->"),
    Item(1, ID_MIRA_PARAMS, "Mira  过程参数->"),
    Popup(0, "选项(&O)"),
    Popup(1, "图象分辨率"),
    Item(2, ID_RES_256, "256*256"),
    Item(2, ID_RES_512, "512*512"),
    Item(2, ID_RES_1024, "1024*1024"),
    Popup(1, "图象颜色数"),
    Item(2, ID_COLORS_2, "黑白"),
    Item(2, ID_COLORS_256, "256色"),
    Item(2, ID_COLORS_2048, "2048色"),
    Separator(1),
    Item(1, ID_PALETTE, "调色板..."),
    Popup(0, "查看(&V)"),
    Item(1, ID_VIEW_TOOLBAR, "工具栏(&T)"),
    Item(1, ID_VIEW_STATUS_BAR, "状态栏(&S)"),
    Separator(1),
    Item(1, ID_ZOOM_DISPLAY, "缩放显示\tNum'*'"),
    Item(1, ID_FULL_SCREEN, "全屏显示\tEsc"),
    Item(1, ID_NO_MENU, "无菜单显示\tCtrl+F"),
    Popup(0, "帮助(&H)"),
    Item(1, ID_HELP_TOPICS, "帮助主题"),
    Separator(1),
    Item(1, ID_APP_ABOUT, "关于Velorine(&A)"),
    Item(1, ID_SYSINFO, "系统信息"),
};

constexpr std::array kContextMenu {
    Popup(0, "右键菜单"),
    Item(1, ID_CTX_ZOOM_IN, "放大所选区域\tNum'+'"),
    Item(1, ID_CTX_SELECT_ALL, "全选\tCtrl+A"),
    Item(1, ID_CTX_COPY, "复制\tCtrl+C"),
    Separator(1),
    Item(1, ID_CTX_FULL_SCREEN, "全屏\tESC"),
    Item(1, ID_CTX_NO_MENU, "有工具条的全屏\tCtrl+F"),
    Item(1, ID_CTX_ZOOM_DISPLAY, "缩放显示\tNum'*'"),
    Separator(1),
    Item(1, ID_CTX_QUIT, "退出Velorine!\tAlt+X"),
};

constexpr int Key(QKeyCombination k)
{
    return k.toCombined();
}

const std::array kMainAccelerators {
    AccelRes {Key(Qt::CTRL | Qt::Key_F), ID_NO_MENU},
    AccelRes {Key(Qt::CTRL | Qt::Key_S), ID_ZOOM_DISPLAY},
    AccelRes {Key(Qt::KeypadModifier | Qt::Key_Plus), ID_ZOOM_IN},
    AccelRes {Key(QKeyCombination(Qt::Key_Escape)), ID_FULL_SCREEN},
    AccelRes {Key(QKeyCombination(Qt::Key_F1)), ID_HELP_TOPICS},
    AccelRes {Key(Qt::KeypadModifier | Qt::Key_Asterisk), ID_ZOOM_DISPLAY},
    AccelRes {Key(Qt::ALT | Qt::Key_X), ID_APP_EXIT},
    AccelRes {Key(Qt::CTRL | Qt::Key_A), ID_SELECT_ALL},
};

constexpr std::array kMainToolBar {
    ID_FILE_OPEN, ID_FILE_SAVE_AS, ID_EDIT_COPY,   ID_ZOOM_IN,    ID_EDIT_BACK, ID_MANDELBROT,
    ID_JULIA,     ID_MARTIN,       ID_MIRA,        ID_WALLPAPER,  ID_DLA,       ID_LEAF,
    ID_SYSINFO,   ID_APP_ABOUT,    ID_HELP_TOPICS, ID_FILE_CLOSE,
};

} // namespace

std::span<const MenuItemRes> FindMenuResource(int nID)
{
    if (nID == IDR_MAINFRAME)
        return kMainMenu;
    if (nID == IDR_CONTEXTMENU)
        return kContextMenu;
    return {};
}

std::span<const AccelRes> FindAcceleratorResource(int nID)
{
    if (nID == IDR_MAINFRAME)
        return kMainAccelerators;
    return {};
}

std::span<const int> FindToolBarResource(int nID)
{
    if (nID == IDR_MAINFRAME)
        return kMainToolBar;
    return {};
}
