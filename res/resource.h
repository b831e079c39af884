#pragma once
// Command, resource and control identifiers.

// Resources
constexpr int IDR_MAINFRAME = 128;      // menu, accelerators, toolbar, icon, document string
constexpr int IDR_CONTEXTMENU = 133;    // the view's right-button menu
constexpr int IDC_HAND_CURSOR = 140;    // the hyperlink button's pointer
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_SYSINFO = 107;
constexpr int IDD_JULIA = 131;
constexpr int IDD_MARTIN = 144;
constexpr int IDD_MIRA = 145;

// The program's own commands
constexpr int ID_MANDELBROT = 32771;
constexpr int ID_JULIA = 32772;
constexpr int ID_CLEAR = 32773;
constexpr int ID_RES_256 = 32775;
constexpr int ID_RES_512 = 32776;
constexpr int ID_RES_1024 = 32777;
constexpr int ID_COLORS_2 = 32778;
constexpr int ID_COLORS_256 = 32779;
constexpr int ID_COLORS_2048 = 32780;
constexpr int ID_PALETTE = 32781;
constexpr int ID_JULIA_PARAMS_HIDDEN = 32782;
constexpr int ID_LOAD_PALETTE = 32783;
constexpr int ID_MARTIN = 32784;
constexpr int ID_MIRA = 32785;
constexpr int ID_WALLPAPER = 32786;
constexpr int ID_HELP_TOPICS = 32794;
constexpr int ID_DLA = 32796;
constexpr int ID_ZOOM_DISPLAY = 32801;
constexpr int ID_FULL_SCREEN = 32802;
constexpr int ID_NO_MENU = 32804;
constexpr int ID_JULIA_PARAMS = 32805;
constexpr int ID_CTX_FULL_SCREEN = 32806;
constexpr int ID_CTX_NO_MENU = 32807;
constexpr int ID_CTX_ZOOM_DISPLAY = 32808;
constexpr int ID_CTX_QUIT = 32809;
constexpr int ID_LEAF = 32810;
constexpr int ID_ZOOM_IN = 32811;
constexpr int ID_ZOOM_OUT = 32812;
constexpr int ID_SELECT_ALL = 32813;
constexpr int ID_CTX_SELECT_ALL = 32814;
constexpr int ID_CTX_COPY = 32815;
constexpr int ID_CTX_ZOOM_IN = 32816;
constexpr int ID_SYSINFO = 32817;
constexpr int ID_PRINT_IMAGE = 32818;
constexpr int ID_MARTIN_PARAMS = 32821;
constexpr int ID_MIRA_PARAMS = 32822;

// The framework's commands
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_BACK = 57637;   // toolbar "回到上一层"; no handler
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;

// Status-bar indicators and the application title string
constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;
constexpr int ID_INDICATOR_CTRL = 59142;
constexpr int ID_PANE_POINTER = 101;
constexpr int AFX_IDS_APP_TITLE = 57344;
constexpr int AFX_IDS_IDLEMESSAGE = 57345;

// Bar and view window identifiers
constexpr int AFX_IDW_TOOLBAR = 59392;
constexpr int AFX_IDW_STATUS_BAR = 59393;
constexpr int AFX_IDW_PANE_FIRST = 59648;

// Julia dialog (template 131)
constexpr int IDC_JULIA_CX = 1000;
constexpr int IDC_JULIA_CY = 1001;
constexpr int IDC_JULIA_OK = 1002;
constexpr int IDC_JULIA_CANCEL = 1003;
constexpr int IDC_JULIA_PRESET0 = 1004;   // 1004 .. 1019
constexpr int IDC_JULIA_PRESET_LAST = 1019;

// Martin dialog (template 144)
constexpr int IDC_MARTIN_A = 1030;
constexpr int IDC_MARTIN_B = 1031;
constexpr int IDC_MARTIN_C = 1032;
constexpr int IDC_MARTIN_ITER = 1033;
constexpr int IDC_MARTIN_PRESET0 = 1034;  // then 1038 .. 1046
constexpr int IDC_MARTIN_OK = 1037;

// Mira dialog (template 145)
constexpr int IDC_MIRA_LIST_NONZERO = 1048;
constexpr int IDC_MIRA_LIST_ZERO = 1049;
constexpr int IDC_MIRA_ZERO_B = 1050;
constexpr int IDC_MIRA_NONZERO_B = 1051;
constexpr int IDC_MIRA_OK = 1054;
constexpr int IDC_MIRA_CANCEL = 1055;
constexpr int IDC_MIRA_A = 1057;
constexpr int IDC_MIRA_B = 1058;
constexpr int IDC_MIRA_SX = 1059;
constexpr int IDC_MIRA_SY = 1060;
constexpr int IDC_MIRA_X1 = 1061;
constexpr int IDC_MIRA_Y1 = 1062;
constexpr int IDC_MIRA_X2 = 1063;
constexpr int IDC_MIRA_Y2 = 1064;

// About (template 100) and System Information (template 107)
constexpr int IDC_LINK_MAIL = 1025;
constexpr int IDC_LINK_HOME = 1026;
constexpr int IDC_SYS_AVAIL_MEM = 101;
constexpr int IDC_SYS_PHYS_MEM = 102;
constexpr int IDC_SYS_VIRT_MEM = 103;
constexpr int IDC_SYS_CPU = 104;
constexpr int IDC_SYS_OS = 105;
constexpr int IDC_SYS_VERSION = 106;
constexpr int IDC_SYS_DISK_TOTAL = 1016;
constexpr int IDC_SYS_DISK_FREE = 1017;
constexpr int IDC_SYS_SERIAL = 1029;

// The framework's own message strings
constexpr int AFX_IDP_FAILED_TO_CREATE_DOC = 61700;
