// Resource ids of the library's own dialogs, icons and controls (basekit_ui.rc and the sources).
#ifndef BASEKIT_UI_RES_H
#define BASEKIT_UI_RES_H
#define IDD_YESNO 102
#define IDD_COLOR_PALETTE 107
#define IDD_COLOR_PICKER 120
#define IDD_MESSAGE 121
#define IDI_DROP_ARROW 104
#define IDC_MSG_PICTURE 1001
#define IDC_MSG_TEXT 1002
#define IDC_PICK_SEPARATOR 1016
#define IDC_PICK_OTHER 1026
#define IDC_PICK_FIRST16 1054
#define IDC_PALETTE_FIRST 2001

#endif
