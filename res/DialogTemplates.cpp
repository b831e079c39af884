#include "res/DialogTemplates.h"

#include "res/resource.h"

namespace {

using K = DialogControlKind;

constexpr unsigned kEdit = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr unsigned kCombo = CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP;

DialogControl Control(int nID, K kind, const char *text, int x, int y, int cx, int cy,
                      unsigned nStyle = 0)
{
    return DialogControl::Make(nID, kind, text, x, y, cx, cy, nStyle);
}

DialogTemplate MakeJulia()
{
    DialogTemplate t;
    t.nID = IDD_JULIA;
    t.strCaption = "设置Julia分形的参数";
    t.strFontName = "Times New Roman";
    t.nPointSize = 8;
    t.cx = 322;
    t.cy = 157;
    t.controls = {
        Control(IDC_JULIA_CX, K::Edit, "", 37, 86, 98, 12, kEdit),
        Control(IDC_JULIA_CY, K::Edit, "", 176, 86, 98, 12, kEdit),
        Control(IDC_JULIA_OK, K::PushButton, "确定", 108, 120, 50, 14, WS_TABSTOP),
        Control(IDC_JULIA_CANCEL, K::PushButton, "取消", 171, 120, 50, 14, WS_TABSTOP),
    };
    struct Radio
    {
        const char *text;
        int x, y, cx;
    };
    static const Radio radios[16] = {
        {"(-.745,.049)", 19, 17, 58},        {"(-.744,.097)", 20, 30, 58},
        {"(-.736,.097)", 19, 47, 58},        {"(-.756,.097)", 20, 63, 58},
        {"(-.743,-.097)", 80, 18, 58},       {"(-.74543,.11301)", 80, 31, 70},
        {"(-0.766227,.096990)", 80, 46, 82}, {"(-.9,.12)", 81, 62, 58},
        {"(-.745429,.113008)", 161, 20, 78}, {"(-1.0300,-0.9200)", 162, 32, 73},
        {"(.320,.043)", 161, 46, 58},        {"(.3080,.46)", 162, 63, 58},
        {"(-1.330,.043)", 250, 19, 58},      {"(-.16,1.32)", 250, 32, 58},
        {"(-1.8,-1.67)", 250, 46, 58},       {"自定义：", 252, 62, 58},
    };
    for (int i = 0; i < 16; ++i) {
        const Radio &r = radios[i];
        t.controls.push_back(Control(IDC_JULIA_PRESET0 + i, K::AutoRadioButton, r.text, r.x, r.y,
                                     r.cx, 10, i == 0 ? WS_GROUP | WS_TABSTOP : 0));
    }
    t.controls.push_back(Control(IDC_STATIC, K::GroupBox,
                                 "可以选择一个建议参数，也可以自己输入CX,CY的值", 7, 7, 308, 112,
                                 WS_GROUP));
    t.controls.push_back(Control(IDC_STATIC, K::Label,
                                 "注意：CX和CY（实部与虚部）的绝对值都必须小于2，否则必然发散。",
                                 20, 105, 288, 11));
    t.controls.push_back(Control(
        IDC_STATIC, K::Label,
        "生成分形图的时间依机器速度而定，用我们的算法通常不会超过一到两秒，按确定后请等待...", 7,
        140, 308, 10));
    t.controls.push_back(Control(IDC_STATIC, K::Label, "CX", 21, 87, 14, 14));
    t.controls.push_back(Control(IDC_STATIC, K::Label, "CY", 163, 86, 14, 10));
    return t;
}

DialogTemplate MakeMartin()
{
    DialogTemplate t;
    t.nID = IDD_MARTIN;
    t.strCaption = "设置Martin分形的参数";
    t.strFontName = "System";
    t.nPointSize = 10;
    t.cx = 170;
    t.cy = 126;
    t.controls = {
        Control(IDC_MARTIN_PRESET0, K::AutoRadioButton, "(45,2,-300)", 17, 3, 51, 10,
                WS_GROUP | WS_TABSTOP),
        Control(1038, K::AutoRadioButton, "(68,75,83)", 18, 16, 48, 10),
        Control(1039, K::AutoRadioButton, "(0.4,170,0)", 16, 27, 50, 10),
        Control(1040, K::AutoRadioButton, "(-1000,0.1,-10)", 17, 39, 62, 10),
        Control(1041, K::AutoRadioButton, "(90,30,10)", 96, 1, 48, 10),
        Control(1042, K::AutoRadioButton, "(10,10,100)", 97, 14, 52, 10),
        Control(1043, K::AutoRadioButton, "(-200,-4,-80)", 96, 25, 54, 10),
        Control(1044, K::AutoRadioButton, "(-137,17,4)", 96, 39, 50, 10),
        Control(1045, K::AutoRadioButton, "(10,100,-10)", 96, 51, 54, 10),
        Control(1046, K::AutoRadioButton, "(-137,17,4)", 97, 62, 50, 10),
        Control(IDC_MARTIN_A, K::Edit, "", 28, 55, 44, 12, kEdit),
        Control(IDC_MARTIN_B, K::Edit, "", 29, 72, 44, 12, kEdit),
        Control(IDC_MARTIN_C, K::Edit, "", 29, 89, 44, 12, kEdit),
        Control(IDC_MARTIN_ITER, K::Edit, "", 96, 88, 44, 12, kEdit),
        Control(IDC_MARTIN_OK, K::PushButton, "确定", 58, 112, 42, 11, WS_TABSTOP),
        Control(IDC_STATIC, K::Label, "     a", 4, 55, 20, 12, WS_GROUP),
        Control(IDC_STATIC, K::Label, "     b", 4, 72, 22, 12),
        Control(IDC_STATIC, K::Label, "    c", 6, 89, 20, 11),
        Control(IDC_STATIC, K::Label, "迭代次数", 96, 77, 52, 9),
    };
    return t;
}

DialogTemplate MakeMira()
{
    DialogTemplate t;
    t.nID = IDD_MIRA;
    t.strCaption = "设置Mira过程的参数";
    t.strFontName = "MS Serif";
    t.nPointSize = 10;
    t.cx = 258;
    t.cy = 135;
    DialogControl zeroB
        = Control(IDC_MIRA_LIST_ZERO, K::DropDownCombo, "", 47, 25, 191, 79, kCombo | WS_GROUP);
    zeroB.items = {
        "a=-0.4,起始点(4,0),观察区域(-24,-18)~(24,18)",
        "a=0.31,起始点(12,0),观察区域(-60,-45)~(60,45)",
        "a=0.32,起始点(5,0),观察区域(-20,-15)~(20,15)",
        "a=-0.2,起始点(10,0),观察区域(-24,-18)~(24,18)",
        "a=0.3,起始点2,0),观察区域(-6,-4.5)~(6,4.5)",
    };
    DialogControl nonZeroB
        = Control(IDC_MIRA_LIST_NONZERO, K::DropDownCombo, "", 48, 50, 190, 68, kCombo);
    nonZeroB.items = {
        "a=0.7, b=0.9998, 起始点(0,12) 观察区域(-20,-15)~(20,15)",
        "a=0.1, b=0.99, 起始点(3,0) 观察区域(-12,9)~(12,9)",
        "a=0.01, b=0.96, 起始点(3,0) 观察区域(-16,-12)~(16,12)",
        "a=-0.25, b=0.998, 起始点(3,0) 观察区域(-16,-12)~(16,12)",
        "a=-04, b=0.99, 起始点(4,0) 观察区域(-16,-12)~(16,12)",
        "a=-058, b=0.93, 起始点(4,0) 观察区域(-16,-14)~(16,10)",
    };
    t.controls = {
        Control(IDC_MIRA_ZERO_B, K::AutoRadioButton, "b =0", 15, 24, 33, 12, WS_GROUP | WS_TABSTOP),
        Control(IDC_MIRA_NONZERO_B, K::AutoRadioButton, "b!=0", 16, 49, 26, 13),
        zeroB,
        nonZeroB,
        Control(IDC_MIRA_OK, K::PushButton, "确定", 78, 114, 42, 10, WS_TABSTOP),
        Control(IDC_MIRA_CANCEL, K::PushButton, "取消", 151, 115, 42, 10, WS_TABSTOP),
        Control(IDC_MIRA_A, K::Edit, "", 74, 79, 27, 12, kEdit),
        Control(IDC_MIRA_B, K::Edit, "", 114, 78, 27, 12, kEdit),
        Control(IDC_MIRA_SX, K::Edit, "", 152, 78, 27, 12, kEdit),
        Control(IDC_MIRA_SY, K::Edit, "", 192, 78, 27, 12, kEdit),
        Control(IDC_MIRA_X1, K::Edit, "", 73, 93, 27, 12, kEdit),
        Control(IDC_MIRA_Y1, K::Edit, "", 114, 95, 27, 12, kEdit),
        Control(IDC_MIRA_X2, K::Edit, "", 154, 95, 27, 12, kEdit),
        Control(IDC_MIRA_Y2, K::Edit, "", 193, 94, 27, 12, kEdit),
        Control(IDC_STATIC, K::Label, "(a,b) 和起始点(sx,sy)", 6, 78, 63, 14),
        Control(IDC_STATIC, K::Label, "观察区域\n(x1,y1)~(x2,y2)", 17, 92, 50, 21),
    };
    return t;
}

} // namespace

const DialogTemplate &JuliaDialogTemplate()
{
    static const DialogTemplate t = MakeJulia();
    return t;
}

const DialogTemplate &MartinDialogTemplate()
{
    static const DialogTemplate t = MakeMartin();
    return t;
}

const DialogTemplate &MiraDialogTemplate()
{
    static const DialogTemplate t = MakeMira();
    return t;
}
