#pragma once

// The program's own resource, command and control ids. wx refuses menu ids from 0x7fff up,
// so command ids are translated to wx ids in one place (platform/command_ids.h).

// Resources of the main frame: menu, accelerators, title string, icon.
constexpr int IDR_MAINFRAME = 128;
constexpr int AFX_IDS_APP_TITLE = 57344;

// Commands of menu 128.
constexpr int ID_SETTINGS_LM = 32775;
constexpr int ID_SETTINGS_RESOLUTION = 32776;
constexpr int ID_SETTINGS_COLOR = 32777;
constexpr int ID_SETTINGS_VIEWPOINT = 32778;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;

// Standard commands that only the accelerator table names; nothing handles them.
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;

// Messages: a dialog's integer field that fails the integer rule, settings whose surface cannot
// be built, and a window system that gives the view no GL context.
constexpr int AFX_IDP_PARSE_INT = 61712;
constexpr int IDP_SURFACE_TOO_LARGE = 61800;
constexpr int IDP_NO_OPENGL = 61801;

// The child window that fills the frame.
constexpr int AFX_IDW_PANE_FIRST = 59648;

// Dialog templates.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_DEGREE_ORDER = 101;
constexpr int IDD_RESOLUTION = 102;
constexpr int IDD_COLOR_SCHEME = 130;
constexpr int IDD_VIEWPOINT = 131;

// Controls.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_STATIC = 65535;
constexpr int IDC_EDIT_L = 1001;
constexpr int IDC_EDIT_M = 1002;
constexpr int IDC_EDIT_THETA = 1003;
constexpr int IDC_EDIT_PHI = 1004;
constexpr int IDC_RADIO_RED_BLUE = 1005;
constexpr int IDC_RADIO_YELLOW_CYAN = 1006;
constexpr int IDC_RADIO_GREEN_PURPLE = 1007;
constexpr int IDC_RADIO_GREY = 1008;
constexpr int IDC_RADIO_PASTEL = 1009;
constexpr int IDC_RADIO_WHITE_BLACK = 1011;
constexpr int IDC_RADIO_BLACK = 1012;
constexpr int IDC_EDIT_FROM_X = 1013;
constexpr int IDC_EDIT_FROM_Y = 1014;
constexpr int IDC_EDIT_FROM_Z = 1015;
constexpr int IDC_EDIT_TO_X = 1016;
constexpr int IDC_EDIT_TO_Y = 1017;
constexpr int IDC_EDIT_TO_Z = 1018;
