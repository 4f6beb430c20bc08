/* Uiassets: the resource library of the product line.
 *
 * Strings, menus, dialog templates, icons and cursors of the programs by numeric id (texts in
 * Japanese).  Callers load the module "Uiassets.dll" and use the platform's resource functions on
 * it, or link it and use the helpers below, which work on this module.  The ids below are those
 * the suite names; more are added as programs need them. */
#ifndef UIASSETS_H
#define UIASSETS_H

/* Strings */
#define UIA_IDS_SHORTCUT_NAME 2         /* name of the program's shortcuts */
#define UIA_IDS_TIP_OFF 4               /* tray tip while pop-up lookups are off (2 while on) */
#define UIA_IDS_CAPTION_MAIN 101        /* caption of the programs' message boxes */
#define UIA_IDS_TRAY_FIRST 1001         /* 1001-1024 texts of the tray menu rows */
#define UIA_IDS_TIP_CONTROL_BAR 2457
#define UIA_IDS_CAPTION_STUDY 103
#define UIA_IDS_CAPTION_OPTIONS 105
#define UIA_IDS_CAPTION_WORDS 109
#define UIA_IDS_NEW_DICTIONARIES 424    /* the new-dictionary question at start-up */
#define UIA_IDS_LAYER_FIRST 2001        /* 2001-2005 layers 1 to 5, 2006 all */
#define UIA_IDS_FONTSIZE_FIRST 2007     /* 2007-2011 font sizes, largest first */
#define UIA_IDS_SEARCHMODE_FIRST 2107   /* 2107-2110 search modes 1 to 4 */
#define UIA_IDS_SEARCHMODE_SIMILAR 2111 /* search mode 0 */
#define UIA_IDS_CAPTURE_KEY_FIRST 1207  /* 1207-1211 line modes of a capture key */
#define UIA_IDS_DELETE_ENTRY 2435
#define UIA_IDS_NO_CANDIDATE 2436       /* the pop-up's text when nothing was found */
#define UIA_IDS_GRAPH_MONTH_OLDER 2466
#define UIA_IDS_GRAPH_WEEK_NEWER 2467
#define UIA_IDS_GRAPH_WEEK_OLDER 2468
#define UIA_IDS_GRAPH_LASTDAY 2469      /* format: year, month, day */
#define UIA_IDS_GRAPH_COUNTS 2470       /* format: pop-up, search and other counts */
#define UIA_IDS_GRAPH_MONTH_NEWER 2471
#define UIA_IDS_SEND_FAILED 5800
#define UIA_IDS_SEND_FAILED_CAPTION 5801

/* Menus */
#define UIA_IDM_STUDY_MANAGER 107 /* study-list manager: file, list, view, tools, help */
#define UIA_IDM_STUDY_VIEWER 108  /* study-list viewer: file, edit, word, help */

/* Dialogs and their controls */
#define UIA_IDD_USAGE_GRAPH 901
#define UIA_IDC_GRAPH_CLOSE 1293
#define UIA_IDC_GRAPH_SUMMARY 1416
#define UIA_IDC_GRAPH_PLOT 1438
#define UIA_IDC_GRAPH_OLDER 1439
#define UIA_IDC_GRAPH_NEWER 1440
#define UIA_IDC_GRAPH_LASTDAY 1441
#define UIA_IDC_GRAPH_WEEK 1442
#define UIA_IDC_GRAPH_MONTH 1443

#ifndef RC_INVOKED
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The resource module, or null when it cannot be found. */
HMODULE WINAPI Uiassets_GetModule(void);
/* Copies string id into buf (cap bytes, terminated); its length, 0 when there is none. */
int WINAPI Uiassets_LoadString(UINT id, char *buf, int cap);
/* Formats string id with the arguments (printf conventions) into out (cap bytes, terminated); the
 * length written, 0 when the string is missing.  Called with the C convention. */
int __cdecl Uiassets_FormatString(char *out, int cap, UINT id, ...);
/* Message box with string textId as text and string captionId as caption (0: none); the platform's
 * answer.  UIASSETS_MESSAGEBOX_ANSWER in the environment (a number, such as 6 or 7) answers without
 * showing anything, for unattended runs. */
int WINAPI Uiassets_MessageBox(HWND owner, UINT textId, UINT captionId, UINT style);
/* Menu id (the caller destroys it), icon id at the system's large size, cursor id; null when missing. */
HMENU WINAPI Uiassets_LoadMenu(UINT id);
HICON WINAPI Uiassets_LoadIcon(UINT id);
HCURSOR WINAPI Uiassets_LoadCursor(UINT id);
/* Icon id at the large and at the small size (shared icons, not to be destroyed); 1 when both exist. */
int WINAPI Uiassets_GetIcons(UINT id, HICON *large, HICON *small);

#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

#endif /* UIASSETS_H */
