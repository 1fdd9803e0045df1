// Identifiers shared by the resource script and the code.
#pragma once

#define IDS_DISPLAY_NAME 1
#define IDI_SAVER 128
#define IDC_INVISIBLE 129
#define IDC_SPINNER 132
#define IDC_LIGHT_EDITOR 133

// Dialog templates.
#define IDD_SAVER_DIALOG 102
#define IDD_SAVE_PRESET 135
#define IDD_EXPORT_PRESET 136
#define IDD_DELETE_PRESET 138

// Controls of the configuration dialog.
#define IDC_PRESET_NAME 1000
#define IDC_PRESET_LIST 1003
#define IDC_PREVIEW_AREA 1006
#define IDC_PHONG 1008
#define IDC_SIZE1 1011
#define IDC_AMBIENT 1012
#define IDC_MIRROR 1013
#define IDC_SIZE2 1015
#define IDC_LIGHT_ANGLE 1016
#define IDC_SAVE 1017
#define IDC_DELETE 1018
#define IDC_COLOR0 1019  // colour button of slot i: 1019 + 2i
#define IDC_SWITCH0 1020 // "on" box of slot i: 1020 + 2i
#define IDC_RESET_COLORS 1033
#define IDC_EXPORT 1034
#define IDC_IMPORT 1035
#define IDC_BOUND 1036
#define IDC_SPHERE 1037
#define IDC_TORUS 1038
#define IDC_RESET_RENDER 1042
#define IDC_ROUND_PLUS 1043
#define IDC_RADIAL_PLUS 1044
#define IDC_RADIAL_MINUS 1045
#define IDC_ROUND_MINUS 1046
#define IDC_HELP_BUTTON 1047
#define IDC_ROUND_SPINNER 1048
#define IDC_RADIAL_SPINNER 1049
#define IDC_RANDOMLY 1069

// Controls of the export dialog.
#define IDC_BROWSE 1059
#define IDC_EXPORT_FILE 1061
