#include "res/AboutTemplates.h"

#include "res/resource.h"

namespace {

using K = DialogControlKind;

// Both dialogs: the modal frame with caption and system menu, in the template's 8-point font.
DialogTemplate Frame(int nID, const char *caption, int x, int y, int cx, int cy)
{
    DialogTemplate t;
    t.nID = nID;
    t.strCaption = caption;
    t.strFontName = "MS Sans Serif";
    t.nPointSize = 8;
    t.x = x;
    t.y = y;
    t.cx = cx;
    t.cy = cy;
    return t;
}

DialogControl Item(int nID, K kind, const char *text, int x, int y, int cx, int cy,
                   unsigned nStyle = 0)
{
    return {nID, kind, text, x, y, cx, cy, nStyle, {}, kind == K::Icon ? IDR_MAINFRAME : 0};
}

DialogTemplate MakeAbout()
{
    DialogTemplate t = Frame(IDD_ABOUTBOX, "关于Velorine", 0, 0, 257, 135);
    t.controls = {
        Item(IDC_STATIC, K::Label, "Velorine  May2000 0.9a版", 21, 11, 118, 15, SS_NOPREFIX),
        Item(IDC_STATIC, K::Label, "这是一个用于生成分形的软件。", 22, 27, 207, 12),
        Item(IDC_STATIC, K::Label,
             "本软件为自由软件，可以任意复制和分发；分发时请保持软件完整并附上本说明，不得收取费用"
             "。",
             21, 42, 223, 27),
        Item(IDC_STATIC, K::Label, "欢迎报告Bug和提出改进意见 。", 21, 69, 117, 15),
        Item(IDC_STATIC, K::Label, "感谢测试组的三位成员给予的技术支持！", 22, 85, 191, 10),
        Item(IDC_STATIC, K::Icon, "", 215, 70, 20, 20),
        Item(IDC_LINK_MAIL, K::OwnerDrawButton, "作者:Velorine 开发组", 161, 9, 82, 15, WS_TABSTOP),
        Item(IDC_LINK_HOME, K::OwnerDrawButton, "欢迎访问Velorine--分形主页", 76, 106, 98, 14,
             WS_TABSTOP),
    };
    return t;
}

DialogTemplate MakeSysInfo()
{
    DialogTemplate t = Frame(IDD_SYSINFO, "系统信息", 50, 50, 254, 186);
    t.controls = {
        Item(IDC_STATIC, K::Label, "Velorine     0.9a 版", 48, 14, 107, 8),
        Item(IDC_STATIC, K::Icon, "", 166, 15, 21, 23),
        Item(IDC_STATIC, K::Label, "Velorine 开发组 编制", 45, 31, 114, 9),
        Item(IDC_STATIC, K::Label, "版权所有 (C) 2000 Velorine 开发组", 48, 45, 172, 8),
        Item(IDC_STATIC, K::BlackRect, "", 27, 61, 187, 2),
    };
    struct Row
    {
        const char *label;
        int nID;
        const char *placeholder;
    };
    static const Row rows[] = {
        {"物理内存:", IDC_SYS_PHYS_MEM, "(Physical mem)"},
        {"可用物理内存:", IDC_SYS_AVAIL_MEM, "(Avail mem)"},
        {"可用虚拟内存:", IDC_SYS_VIRT_MEM, "(Avail virtual mem)"},
        {"CPU 类型:", IDC_SYS_CPU, "(CPU)"},
        {"操作系统:", IDC_SYS_OS, "(OS)"},
        {"Windows 版本:", IDC_SYS_VERSION, "(Version)"},
        {"操作系统启动盘总空间:", IDC_SYS_DISK_TOTAL, "(Disk space)"},
        {"操作系统启动盘空闲空间:", IDC_SYS_DISK_FREE, "(Free space)"},
    };
    int y = 72;
    for (const Row &row : rows) {
        t.controls.push_back(Item(IDC_STATIC, K::Label, row.label, 29, y, 107, 10, SS_RIGHT));
        t.controls.push_back(Item(row.nID, K::Label, row.placeholder, 142, y, 70, 10));
        y += 12;
    }
    t.controls.push_back(Item(IDC_STATIC, K::Label, "         硬盘序列号:", 56, 168, 80, 11));
    t.controls.push_back(Item(IDC_SYS_SERIAL, K::Label, "(Hardisk Serials)", 141, 168, 85, 11));
    return t;
}

} // namespace

const DialogTemplate &AboutDialogTemplate()
{
    static const DialogTemplate t = MakeAbout();
    return t;
}

const DialogTemplate &SysInfoDialogTemplate()
{
    static const DialogTemplate t = MakeSysInfo();
    return t;
}
