#include "res/Resources.h"
#include "res/resource.h"

#include <array>

namespace {

struct StringRes
{
    int nID;
    const char *pszText;
};

// Menu prompts carry their tool tip after the line break.
constexpr std::array kStrings {
    StringRes {IDR_MAINFRAME, "Velorine\nVelorine\n\n\nVelorine.Document\nVelorine Document"},
    StringRes {ID_MANDELBROT, "生成Mandelbrot分形\nMandelbrot分形"},
    StringRes {ID_JULIA, "生成Julia分形\nJulia分形/参数可选择"},
    StringRes {ID_CLEAR, "清除画面\n画面清除"},
    StringRes {ID_LOAD_PALETTE, "载入自定义256色调色板\n载入自定义调色板"},
    StringRes {ID_MARTIN, "利用Barry Martin的公式从一个初始点来生成分形\nMartin过程分形"},
    StringRes {ID_MIRA,
               "根据Gumowski和Mira研究高能粒子的轨迹混沌提出的迭代公式生成分形\nMira过程分形"},
    StringRes {ID_WALLPAPER, "我自己随便弄的，试试看象不象墙纸？\n墙纸"},
    StringRes {ID_HELP_TOPICS, "帮助主题\n帮助主题"},
    StringRes {ID_DLA, "扩散置限凝聚(DLA)过程\n模拟扩散置限凝聚(DLA)过程"},
    StringRes {ID_LEAF, "模拟树叶\n模拟树叶"},
    StringRes {ID_ZOOM_IN, "放大选中区域/请先选择一块区域\n放大分形图象"},
    StringRes {ID_SELECT_ALL, "选择整个客户区\n全选"},
    StringRes {ID_SYSINFO, "系统信息\n系统信息"},
    StringRes {ID_PRINT_IMAGE, "打印当前图象"},
    StringRes {ID_FILE_NEW, "建立新文档\n新建"},
    StringRes {ID_FILE_OPEN, "打开一个现有的BMP文档\n打开BMP文件"},
    StringRes {ID_FILE_CLOSE, "退出Velorine\n关闭程序"},
    StringRes {ID_FILE_SAVE, "保存活动文档\n保存"},
    StringRes {ID_FILE_SAVE_AS, "将活动文档以一个新文件名保存\n另存为"},
    StringRes {ID_FILE_PRINT_SETUP, "改变打印机及打印选项\n页面设置"},
    StringRes {ID_FILE_PRINT, "打印活动文档\n打印"},
    StringRes {ID_FILE_PRINT_PREVIEW, "显示整页\n打印预览"},
    StringRes {ID_EDIT_COPY, "复制被选对象并将其置于剪贴板上\n复制"},
    StringRes {ID_EDIT_BACK, "回到上一层\n回到上一层"},
    StringRes {ID_EDIT_UNDO, "撤消最后一步操作\n撤消"},
    StringRes {ID_APP_ABOUT, "关于Velorine\n关于"},
    StringRes {ID_APP_EXIT, "退出应用程序；提示保存文档\n退出"},
    StringRes {ID_VIEW_TOOLBAR, "显示或隐藏工具栏\n显隐工具栏"},
    StringRes {ID_VIEW_STATUS_BAR, "显示或隐藏状态栏\n显隐状态栏"},
    StringRes {ID_INDICATOR_CAPS, "大写"},
    StringRes {ID_INDICATOR_NUM, "数字"},
    StringRes {ID_INDICATOR_SCRL, "滚动"},
    StringRes {ID_INDICATOR_CTRL, "Ctrl键"},
    StringRes {AFX_IDS_APP_TITLE, "Velorine"},
    StringRes {AFX_IDS_IDLEMESSAGE, "完成"},
    StringRes {AFX_IDP_FAILED_TO_CREATE_DOC, "建立空文档失败。"},
};

} // namespace

const char *FindStringResource(int nID)
{
    for (const StringRes &s : kStrings) {
        if (s.nID == nID)
            return s.pszText;
    }
    return nullptr;
}
