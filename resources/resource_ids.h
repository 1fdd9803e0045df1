// Identifiers shared by the resource script and the code.
#pragma once

#define IDS_DISPLAY_NAME 1
#define IDI_SAVER 128
#define IDC_INVISIBLE 129
#define IDC_SPINNER 132
#define IDC_LIGHT_EDITOR 133
