/* Uiassets: the resource library of the product line.
 *
 * Strings, menus, accelerator tables, dialog templates, icons, cursors and bitmaps of the suite's
 * programs by numeric id.  Every text exists in Japanese and in English under the same id; the
 * platform's loader picks the thread's user-interface language (Japanese texts come back from the
 * ANSI calls in code page 932).  Callers load the module "Uiassets.dll" and use the platform's
 * resource calls on it (LoadStringA, LoadMenuA, LoadAcceleratorsA, DialogBoxParamA,
 * CreateDialogParamA, ExtractIconExA with the negative icon id, LoadImageA), or link it and use
 * the helpers at the end, which work on this module.  Every icon holds a 16 x 16 and a 32 x 32
 * image; icon 1 is taken with LoadImageA, since ExtractIconExA reads -1 as a request to count.
 *
 * The ids below are grouped by the program or library that loads them, each with what it is for.
 * Numbers are fixed by their callers; one number may name a string, a menu and a dialog at once
 * (resource types do not share numbers).  Controls whose id is marked "(run time)" are not in the
 * template: the dialog's owner creates them at that place.  Templates name the window classes of
 * the suite's own controls (VLDBLISTCLASS, PPLINE); the library that shows such a template
 * registers those classes first.
 *
 * The upgrade program, the dictionary finder and the study-list program carry a few resources of
 * their own (their ids clash with the shared ones); they live in outside/Uiassets/rc/upgrade.rc,
 * rc/lexfinder_own.rc and rc/drillbook_own.rc, which those programs' resource scripts include
 * (UIA_UPGRADE_*, UIA_FINDER_* and UIA_STUDY_IDA_PROGRAM). */
#ifndef UIASSETS_H
#define UIASSETS_H

/* ---- Shared by several programs ---------------------------------------------------------------- */
#define UIA_IDS_SHORTCUT_NAME 2         /* name of the shortcuts; tray tip while pop-up lookups are on */
#define UIA_IDS_TIP_OFF 4               /* tray tip while pop-up lookups are off */
#define UIA_IDS_CAPTION_MAIN 101        /* caption of message boxes; search window title */
#define UIA_IDS_LAYER_FIRST 2001        /* 2001-2005 layers 1 to 5, 2006 all (option pages) */
#define UIA_IDS_FONTSIZE_FIRST 2007     /* 2007-2011 font sizes, largest first (option pages, word editor) */
#define UIA_IDS_SEARCHMODE_FIRST 2107   /* 2107-2110 search modes 1 to 4 (search window, language pages) */
#define UIA_IDS_SEARCHMODE_SIMILAR 2111 /* search mode 0 */
#define UIA_IDS_CAPTURE_KEY_FIRST 1207  /* 1207-1211 line modes of a capture key (capture page) */
#define UIA_IDS_DEFAULT_DIC 307         /* first item of the dictionary menus (Widgetry) */
#define UIA_IDS_WEB_LOOKUP 2455         /* web-lookup button of the dictionary bar */
#define UIA_IDS_HELP_BUTTON 10016       /* help button of the dictionary bar */

/* Commands of the menus, tool bars and accelerator tables.  The string of the same number is the
 * command's name, shown as its tool tip (pop-up viewer, search window, study list). */
#define UIA_CMD_SEND_TEXT 1100
#define UIA_CMD_HELP_CONTENTS 1155
#define UIA_CMD_HELP_START 1278
#define UIA_CMD_HELP_USAGE 1279
#define UIA_CMD_HELP_FAQ 1280
#define UIA_CMD_HELP_SUPPORT 1281
#define UIA_CMD_NEW 5001          /* new study list; new search window */
#define UIA_CMD_OPEN 5002
#define UIA_CMD_SAVE 5003
#define UIA_CMD_RENAME 5004
#define UIA_CMD_CLOSE 5005
#define UIA_CMD_PRINT 5006
#define UIA_CMD_DELETE_LIST 5007
#define UIA_CMD_CONDITIONS 5107
#define UIA_CMD_SEARCH 5108
#define UIA_CMD_CUT 5201
#define UIA_CMD_COPY 5202
#define UIA_CMD_PASTE 5203
#define UIA_CMD_UNDO 5204
#define UIA_CMD_CLEAR 5205
#define UIA_CMD_SELECT_ALL 5206
#define UIA_CMD_BACK 5301         /* 5301-5305 back by 1 to 5 */
#define UIA_CMD_FORWARD 5306      /* 5306-5310 forward by 1 to 5 */
#define UIA_CMD_EARLIER 5311      /* earlier entries of the index */
#define UIA_CMD_LATER 5312        /* later entries of the index */
#define UIA_CMD_NEW_WORD 5401
#define UIA_CMD_EDIT_WORD 5402
#define UIA_CMD_DELETE_WORD 5403
#define UIA_CMD_PRONOUNCE 5404
#define UIA_CMD_LANGUAGE_MANAGER 5405
#define UIA_CMD_OPTIONS 5406
#define UIA_CMD_ADD_TO_LIST 5407
#define UIA_CMD_ORDER_DIALOG 5501
#define UIA_CMD_HELP_WINDOW 5602
#define UIA_CMD_SIZE_FIRST 5721   /* 5721-5725 character size 5 (largest) down to 1 */
#define UIA_CMD_BOLD 5731
#define UIA_CMD_ITALIC 5732
#define UIA_CMD_UNDERLINE 5733
#define UIA_CMD_VIEW_LARGE 5741
#define UIA_CMD_VIEW_SMALL 5742
#define UIA_CMD_VIEW_LIST 5743
#define UIA_CMD_VIEW_DETAILS 5744
#define UIA_CMD_SORT_NAME 5751
#define UIA_CMD_SORT_DATE 5753
#define UIA_CMD_AUTO_ARRANGE 5756
#define UIA_CMD_IMPORT 5768       /* its string is also the title of the open-file dialog */
#define UIA_CMD_EXPORT 5769       /* its string is also the title of the save-file dialog */
#define UIA_CMD_PIN 10000
#define UIA_CMD_CANDIDATES 10001
#define UIA_CMD_TO_SEARCH 10007
#define UIA_CMD_TO_STUDY_LIST 10008
#define UIA_CMD_TO_TRANSLATION 10018
#define UIA_CMD_NEXT_VIEW 10067
#define UIA_CMD_MAKE_ACTIVE 10088
#define UIA_CMD_TYPING_DRILL 10090
#define UIA_CMD_CHARSET_WESTERN 11197
#define UIA_CMD_CHARSET_JAPANESE 11198
#define UIA_CMD_FOCUS_HEADWORD 40063
#define UIA_CMD_FOCUS_READING 40064
#define UIA_CMD_FOCUS_SAVE 40065
#define UIA_CMD_FOCUS_CLOSE 40066

#define UIA_IDB_TOOLBAR 1000            /* 16 x 16 tool-bar images (index 0 to 74) */

/* ---- Widgetry: dictionary list, dictionary bar, data list, order and send-text dialogs -------- */
#define UIA_IDS_DICLIST_COLUMN_FIRST 2200 /* 2200-2206 column titles of the dictionary list */
#define UIA_IDS_DICLIST_LANGUAGE 2323     /* format: a language without name (its code) */
#define UIA_IDS_DATALIST_HEADWORD 10080   /* data-list column titles */
#define UIA_IDS_DATALIST_DICTIONARY 10081
#define UIA_IDS_DATALIST_DATE 10082
#define UIA_IDS_SEND_FAILED 5800          /* send-text dialog: the viewer did not take the text */
#define UIA_IDS_SEND_FAILED_CAPTION 5801
/* Dictionary-list images, taken by ExtractIconExA with the negative id: */
#define UIA_IDI_SLOT_FIRST 119          /* 119-123 slot marks 1 to 5, 124-128 the same for a marked dictionary */
#define UIA_IDI_DIC 129                 /* dictionary; closed book of a contents tree */
#define UIA_IDI_DIC_NUMBERED 130        /* dictionary with a number; open book of a contents tree */
#define UIA_IDI_DIC_REMOTE 131          /* remote dictionary (137 numbered) */
#define UIA_IDI_DIC_REMOTE_USER 132     /* remote user dictionary (138 numbered) */
#define UIA_IDI_DIC_USER 133            /* user dictionary (139 numbered) */
#define UIA_IDI_MARK_DEFAULT 134        /* overlay merged on the default dictionary (140 numbered) */
#define UIA_IDI_MARK_BAD 135            /* overlay merged on an unreadable dictionary (136 numbered) */
#define UIA_IDI_DIC_DRIVER 192          /* dictionary served by an outside library (193 numbered) */
#define UIA_IDI_DIC_BOOK 189            /* book (188 numbered) */
#define UIA_IDI_GROUP 1201              /* group (1202 numbered) */
#define UIA_IDI_DATALIST_FOLDED 175
#define UIA_IDI_DATALIST_OPEN 176
#define UIA_IDB_DATALIST_DOT 4          /* 8 x 8 dot of the tree lines */
#define UIA_IDI_ORDER_UP 195
#define UIA_IDI_ORDER_DOWN 196

#define UIA_IDD_DIC_ORDER 701           /* modeless, sizable; the owner lays the controls out */
#define UIA_IDC_ORDER_LIST 1252         /* VLDBLISTCLASS */
#define UIA_IDC_ORDER_LABEL 1207
#define UIA_IDC_ORDER_UP 1337           /* icon button */
#define UIA_IDC_ORDER_DOWN 1336         /* icon button */
#define UIA_IDC_ORDER_CLOSE 5005
#define UIA_IDC_ORDER_CHOOSE 5108
#define UIA_IDC_ORDER_STATUS 1049       /* status bar */

#define UIA_IDD_SEND_TEXT 900           /* modeless; Close is IDCANCEL */
#define UIA_IDC_SEND_EDIT 1472          /* PPLINE */
#define UIA_IDC_SEND_BUTTON 1473        /* default button */
#define UIA_IDC_SEND_FLAG1 1474         /* flag 1: add to the text shown */
#define UIA_IDC_SEND_FLAG2 1475         /* flag 2: end with a line break */
#define UIA_IDC_SEND_FLAG4 1476         /* flag 4: show the end of the text */

/* ---- Vocabank: word commands and entry editor ------------------------------------------------- */
#define UIA_IDS_CAPTION_WORDS 109       /* editor title; caption of its messages */
#define UIA_IDS_DELETE_ENTRY 2435       /* question before a word is deleted */
#define UIA_IDS_WORD_SAVE_FAILED 2420
#define UIA_IDS_WORD_NO_HEADWORD 2422
#define UIA_IDS_WORD_FILE_NAME 2425     /* attached-files column titles */
#define UIA_IDS_WORD_FILE_PATH 2426
#define UIA_IDS_WORD_HEADWORD 2427      /* labels and buttons of the editor window */
#define UIA_IDS_WORD_READING 2428
#define UIA_IDS_WORD_SAVE 2429
#define UIA_IDS_WORD_CLOSE 2430
#define UIA_IDM_WORD_EDITOR 109         /* file, edit, view, tools, format, help */
#define UIA_WORD_EDITOR_FORMAT_MENU 4   /* submenu: sizes, styles, charsets */
#define UIA_IDA_WORD_EDITOR 107
#define UIA_IDI_WORD_EDITOR 7

/* ---- Bubblepane: pop-up viewers ---------------------------------------------------------------- */
#define UIA_IDS_MATCH_FIRST 2113        /* 2113-2117 status line by match class */
#define UIA_IDS_NO_CANDIDATE 2436       /* the viewer's text when nothing was found */
#define UIA_IDI_POPUP 1                 /* also the resident program's tray icon while on */
#define UIA_IDI_PIN 4
#define UIA_IDI_PINNED 183
#define UIA_IDI_CANDIDATES 8
#define UIA_IDI_PRONOUNCE 9
#define UIA_IDI_EARLIER 6
#define UIA_IDI_LATER 5
#define UIA_IDI_SEARCH 50               /* also the search station's window icon */
#define UIA_IDI_STUDY_LIST 54           /* also the study-list windows' icon */
#define UIA_IDI_ADD_TO_LIST 186
#define UIA_IDI_OPTIONS 55              /* also the option sheet's icon */
#define UIA_IDI_DIC_MENU 200
#define UIA_IDB_GRIP 101                /* grip bar pattern */

/* ---- Chartpane: usage graph -------------------------------------------------------------------- */
#define UIA_IDS_GRAPH_MONTH_OLDER 2466
#define UIA_IDS_GRAPH_WEEK_NEWER 2467
#define UIA_IDS_GRAPH_WEEK_OLDER 2468
#define UIA_IDS_GRAPH_LASTDAY 2469      /* format: year, month, day */
#define UIA_IDS_GRAPH_COUNTS 2470       /* format: pop-up, search and other counts */
#define UIA_IDS_GRAPH_MONTH_NEWER 2471
#define UIA_IDD_USAGE_GRAPH 901
#define UIA_IDC_GRAPH_CLOSE 1293
#define UIA_IDC_GRAPH_SUMMARY 1416
#define UIA_IDC_GRAPH_PLOT 1438
#define UIA_IDC_GRAPH_OLDER 1439
#define UIA_IDC_GRAPH_NEWER 1440
#define UIA_IDC_GRAPH_LASTDAY 1441
#define UIA_IDC_GRAPH_WEEK 1442
#define UIA_IDC_GRAPH_MONTH 1443

/* ---- Prefpane: option sheets, pages and dialogs ------------------------------------------------ */
#define UIA_IDS_CAPTION_OPTIONS 105     /* main option sheet */
#define UIA_IDS_PAGE_STARTUP 212        /* page titles of the main sheet */
#define UIA_IDS_PAGE_CAPTURE 216
#define UIA_IDS_PAGE_HOTKEYS 213
#define UIA_IDS_PAGE_POPUP 10014
#define UIA_IDS_PAGE_CANDIDATES 1217
#define UIA_IDS_PAGE_RESTRICTION 219
#define UIA_IDS_PAGE_CONTROL_BAR 112
#define UIA_IDS_CANCEL_CHANGES 1072     /* question when a changed sheet is cancelled */
#define UIA_IDS_LANG_CAPTION 1061       /* format: the language's name */
#define UIA_IDS_PAGE_LANG_FONTS 1062
#define UIA_IDS_PAGE_LANG_FIRST 1063    /* 1063-1067 pop-up, keyboard, typing, trigger key, clipboard */
#define UIA_IDS_DISPSTYLE_FIRST 2404    /* 2404-2416 parts of an entry (display-style list) */
#define UIA_IDS_LINK_BUTTON_EDIT 2451   /* link dialog when editing: button 1416 and caption */
#define UIA_IDS_LINK_CAPTION_EDIT 2452
#define UIA_IDS_LINK_NO_NAME 2453
#define UIA_IDS_LINK_NO_ADDRESS 2454
#define UIA_IDI_POPUPPOS_FIRST 168      /* 168-173 pictures of the pop-up positions */

/* View options, on the pop-up page and the three window dialogs. */
#define UIA_IDC_VIEW_FONTSIZE 1053      /* combo */
#define UIA_IDC_VIEW_COLOR 1054         /* owner-drawn colour button */
#define UIA_IDC_VIEW_BY_LAYER 1055      /* radio */
#define UIA_IDC_VIEW_BY_STYLE 1057      /* radio */
#define UIA_IDC_VIEW_STYLES 1058        /* multiple-selection list */
#define UIA_IDC_VIEW_RICHTEXT 1059
#define UIA_IDC_VIEW_NO_LINEFEED 1060
#define UIA_IDC_VIEW_NO_LAYER 1061
#define UIA_IDC_VIEW_LAYER 1062         /* combo */

#define UIA_IDD_OPT_STARTUP 201
#define UIA_IDC_ST_QUICKLAUNCH 1003
#define UIA_IDC_ST_DESKTOP 1004
#define UIA_IDC_ST_LARGEICON 1005
#define UIA_IDC_ST_TOOLTIP 1006
#define UIA_IDC_ST_STARTUP 1007
#define UIA_IDC_ST_SAVE_LAST 1008
#define UIA_IDC_ST_TRANSSET 1009        /* combo */
#define UIA_IDC_ST_CONTROLBAR 1014
#define UIA_IDC_ST_TRANSLATE 1015
#define UIA_IDC_ST_STUDY 1017
#define UIA_IDC_ST_SPEECH 1018
#define UIA_IDC_ST_AUDIO 1019
#define UIA_IDC_ST_POINTER 1063
#define UIA_IDC_ST_HOTKEY 1064
#define UIA_IDC_ST_CLIPBOARD 1066
#define UIA_IDC_ST_SEARCH 1100
#define UIA_IDC_ST_KEYBOARD 1334
#define UIA_IDC_ST_QUIT_GRAPH 1444

#define UIA_IDD_OPT_HOTKEYS 202         /* hot-key controls */
#define UIA_IDC_HK_USE 1021
#define UIA_IDC_HK_MENU 1022
#define UIA_IDC_HK_PAUSE_MOUSE 1012
#define UIA_IDC_HK_PAUSE_KEYBOARD 1011
#define UIA_IDC_HK_PAUSE_HOTKEY 1010
#define UIA_IDC_HK_TRIGGER 1064
#define UIA_IDC_HK_PAUSE_CLIPBOARD 1013
#define UIA_IDC_HK_SEARCH 1032
#define UIA_IDC_HK_TRANSLATE 1015
#define UIA_IDC_HK_SETUP 1020
#define UIA_IDC_HK_STUDY 1106
#define UIA_IDC_HK_EXIT 5005

#define UIA_IDD_OPT_CAPTURE 203
#define UIA_IDC_CP_MOUSE_TIMER 1024     /* trackbar; 1025 its value */
#define UIA_IDC_CP_MOUSE_TIMER_TEXT 1025
#define UIA_IDC_CP_KEY_TIMER 1026       /* trackbar; 1027 its value */
#define UIA_IDC_CP_KEY_TIMER_TEXT 1027
#define UIA_IDC_CP_INTELLIWORD 1028
#define UIA_IDC_CP_SPELLCHECK 1029
#define UIA_IDC_CP_HOTKEY_POPUP 1031    /* radio: trigger-key lookups in the pop-up */
#define UIA_IDC_CP_HOTKEY_SEARCH 1032   /* radio: in the search station */
#define UIA_IDC_CP_CLIP_SEARCH 1034     /* radio: clipboard lookups in the search station */
#define UIA_IDC_CP_CLIP_TRANSLATE 1035  /* radio: in the translation window */
#define UIA_IDC_CP_POS_FIRST 1036       /* 1036-1041 radios of the pop-up positions 0 to 5 */
#define UIA_IDC_CP_LISTMODE 1042
#define UIA_IDC_CP_NO_EMPTY 1043
#define UIA_IDC_CP_UPPER 1044           /* edit; 1045 its spin */
#define UIA_IDC_CP_UPPER_SPIN 1045
#define UIA_IDC_CP_TO_SEARCH 1046
#define UIA_IDC_CP_LOWER 1047           /* edit; 1048 its spin */
#define UIA_IDC_CP_LOWER_SPIN 1048
#define UIA_IDC_CP_KEY_NONE 1101        /* combos of the line modes */
#define UIA_IDC_CP_KEY_SHIFT 1102
#define UIA_IDC_CP_KEY_CTRL 1103
#define UIA_IDC_CP_KEY_SHIFTCTRL 1104

#define UIA_IDD_OPT_CANDIDATES 204
#define UIA_IDC_CL_PERFECT 1067         /* 1067-1070 owner-drawn colour buttons */
#define UIA_IDC_CL_GOOD 1068
#define UIA_IDC_CL_AVERAGE 1069
#define UIA_IDC_CL_BAD 1070
#define UIA_IDC_CL_SORT0 1079           /* radios of the sort order 0 to 3 */
#define UIA_IDC_CL_SORT1 1072
#define UIA_IDC_CL_SORT2 1073
#define UIA_IDC_CL_SORT3 1074
#define UIA_IDC_CL_HOVER_LIST 1417      /* radio: the list opens under the mouse */
#define UIA_IDC_CL_CLICK_LIST 1418      /* radio: the list opens on a click */

#define UIA_IDD_OPT_POPUP 210           /* with the view options */
#define UIA_IDC_PP_PLAIN 1047           /* radio: no skin */
#define UIA_IDC_PP_TOOLBAR 1048
#define UIA_IDC_PP_STATUSBAR 1049
#define UIA_IDC_PP_SKINNED 1050         /* radio: a skin */
#define UIA_IDC_PP_SKINS 1051           /* list */
#define UIA_IDC_PP_PREVIEW 1052         /* owner-drawn */
#define UIA_IDC_PP_FIXED 1399
#define UIA_IDC_PP_FIXED_SIZE 1431

#define UIA_IDD_OPT_RESTRICTION 214
#define UIA_IDC_RS_MENU 1022
#define UIA_IDC_RS_LISTBOX 1373
#define UIA_IDC_RS_DIALOGBOX 1375
#define UIA_IDC_RS_AREAS 1376
#define UIA_IDC_RS_APPLICATIONS 1377
#define UIA_IDC_RS_BUTTON 1414
#define UIA_IDC_RS_LIST 1252            /* owner-drawn multiple-selection list */

#define UIA_IDD_OPT_CONTROL_BAR 215
#define UIA_IDC_CB_STANDARD 1423        /* radio */
#define UIA_IDC_CB_CUSTOM 1425          /* radio */
#define UIA_IDC_CB_MODE_ALL 1420        /* radio, mode 1 */
#define UIA_IDC_CB_MODE_MAIN 1421       /* radio, mode 0 */
#define UIA_IDC_CB_LARGE 1445           /* radio */
#define UIA_IDC_CB_SMALL 1446           /* radio */
/* Check boxes of the buttons, bits 0x1 to 0x2000 in order: */
#define UIA_CONTROL_BAR_BUTTONS {1339, 1340, 1341, 1342, 1018, 1353, 1344, 1345, 1346, 1347, 1348, 1349, 1351, 1352}

#define UIA_IDD_OPT_SEARCH_WINDOW 211   /* with the view options */
#define UIA_IDD_OPT_STUDY_WINDOW 213    /* with the view options */
#define UIA_IDC_WO_MAXDATA 1147         /* edit; 1148 its spin */
#define UIA_IDC_WO_MAXDATA_SPIN 1148
#define UIA_IDC_WO_LINKS 1433           /* combo of the web links */
#define UIA_IDC_WO_LINK_ADD 1365
#define UIA_IDC_WO_LINK_EDIT 1108
#define UIA_IDC_WO_LINK_DELETE 1432
#define UIA_IDC_WO_HELP 1155
#define UIA_IDD_OPT_TRANSLATION_WINDOW 212 /* with the view options */
#define UIA_IDC_TW_SOUND 1335
#define UIA_IDC_TW_MAXDATA 1072         /* edit; 1091 its spin */
#define UIA_IDC_TW_MAXDATA_SPIN 1091
#define UIA_IDC_TW_ALL_WORDS 1436

#define UIA_IDD_WEB_LINK 431
#define UIA_IDC_LINK_NAME 1206
#define UIA_IDC_LINK_ADDRESS 1434
#define UIA_IDC_LINK_OK 1416            /* the dialog's OK button (text 2451 when editing) */

/* Language sheet: search pages 205 (pop-up), 206 (keyboard, typing, trigger key), 207 (clipboard)
 * and the fonts page 209. */
#define UIA_IDD_OPT_LANG_POPUP 205
#define UIA_IDD_OPT_LANG_SEARCH 206
#define UIA_IDD_OPT_LANG_CLIPBOARD 207
#define UIA_IDD_OPT_LANG_FONTS 209
#define UIA_IDC_LG_OFF 1095             /* word 0 radios */
#define UIA_IDC_LG_ON 1092
#define UIA_IDC_LG_ON2 1073
#define UIA_IDC_LG_ON3 1074
#define UIA_IDC_LG_MODE 1078            /* word 1 combo */
#define UIA_IDC_LG_FORMS0 1081          /* word 2 radios: 0, 16, 32 */
#define UIA_IDC_LG_FORMS16 1080
#define UIA_IDC_LG_FORMS32 1079
#define UIA_IDC_LG_BEFORE 1082          /* words 3 to 5 edits (0 to 10), spins 1084, 1085, 1087 */
#define UIA_IDC_LG_AFTER 1083
#define UIA_IDC_LG_PHRASE 1086
#define UIA_IDC_LG_BEFORE_SPIN 1084
#define UIA_IDC_LG_AFTER_SPIN 1085
#define UIA_IDC_LG_PHRASE_SPIN 1087
#define UIA_IDC_LG_MAX 1072             /* word 6 (205, 207) or 5 (206) edit (0 to 20), spin 1091 */
#define UIA_IDC_LG_MAX_SPIN 1091
#define UIA_IDC_LG_BOTH 1090            /* words 7 and 8 radios */
#define UIA_IDC_LG_WORDS 1088
#define UIA_IDC_LG_PHRASES 1089
#define UIA_IDC_LG_CASE 1094            /* words 9 to 12 check boxes */
#define UIA_IDC_LG_ACCENTS 1093
#define UIA_IDC_LG_HYPHEN 1018
#define UIA_IDC_LG_SIMILAR 1357
#define UIA_IDC_LG_HEAD_FONT 1099       /* fonts page: combos and the colour button */
#define UIA_IDC_LG_TEXT_FONT 1098
#define UIA_IDC_LG_COLOR 1097

/* ---- Velomira: resident program ---------------------------------------------------------------- */
#define UIA_IDS_NEW_DICTIONARIES 424    /* the new-dictionary question at start-up */
#define UIA_IDS_TRAY_FIRST 1001         /* 1001-1024 texts of the tray menu rows */
#define UIA_IDS_TIP_CONTROL_BAR 2457    /* tip of the second tray icon */
#define UIA_IDI_POPUP_OFF 3             /* tray icon while pop-up lookups are off */
#define UIA_IDI_CONTROL_BAR 221         /* second tray icon */

/* ---- Querydesk: search station ----------------------------------------------------------------- */
#define UIA_IDM_SEARCH_WINDOW 101       /* file, edit, search, word, text, tools, help */
#define UIA_SEARCH_MENU_DICTIONARY 2    /* submenu filled with the search options */
#define UIA_SEARCH_MENU_WORD 3          /* submenu of the word commands */
#define UIA_SEARCH_MENU_TEXT 4          /* submenus 0 and 1: font sizes, styles; items 2, 3 need a viewer */
#define UIA_IDS_RESULT_COUNT 1218       /* format: number of results */
#define UIA_IDS_TAB_FIRST 1221          /* 1221-1224 tabs: contents, headword, keyword, conditions */
#define UIA_IDS_FIELD_NONE 1230         /* condition fields: data 0 */
#define UIA_IDS_FIELD_HEADWORD 1231     /* data 1 */
#define UIA_IDS_FIELD_TEXT 1234         /* data 8 */
#define UIA_IDS_FIELD_NUMBER 1225       /* data 16 */
#define UIA_IDS_OPERATOR_AND 1227       /* data 0 */
#define UIA_IDS_OPERATOR_OR 1228        /* data 1 */
#define UIA_IDS_SEARCHING_DIC 2437      /* format: dictionary name */
#define UIA_IDCUR_SPLIT_V 2             /* over splitter bars */
#define UIA_IDCUR_SPLIT_H 3
#define UIA_IDI_TREE_FIRST 117          /* contents tree: page 117, 118 spare; books 129/130 above */

#define UIA_IDD_CONDITIONS 0x12E        /* modeless condition dialog */
#define UIA_IDC_CD_FIELDS {1112, 1113, 1115, 1117, 1118} /* owner-drawn combos, rows 1 to 5 */
#define UIA_IDC_CD_TEXTS {1285, 1286, 1287, 1288, 1289} /* PPLINE, over column 1146 */
#define UIA_IDC_CD_VALUES {1119, 1120, 1121, 1122, 1123} /* owner-drawn combos */
#define UIA_IDC_CD_OPERATORS {1141, 1142, 1143, 1144, 1145} /* combos */
#define UIA_IDC_CD_TEXT_COLUMN 1146     /* title over the text fields' column */
#define UIA_IDC_CD_CONTAINS 1107        /* radios; 1109 gives mode 1 */
#define UIA_IDC_CD_STARTS 1108
#define UIA_IDC_CD_EXACT 1109
#define UIA_IDC_CD_SEARCH 5108
#define UIA_IDD_PANE_CONDITIONS 0x12F   /* data list 1252 and viewer 1362 (run time) */
#define UIA_IDC_PANE_CONDITIONS 5107
#define UIA_IDC_PANE_SPLITTER 1284
#define UIA_IDD_PANE_HEADWORDS 0x130    /* viewer 1362 (run time) */
#define UIA_IDC_PANE_EDIT 1108          /* PPLINE (headword and keyword panes) */
#define UIA_IDC_PANE_INDEX 1111         /* owner-data list view */
#define UIA_IDC_PANE_BACK 1140          /* hidden */
#define UIA_IDD_PANE_CONTENTS 0x131     /* rich-edit field 1304 (run time) */
#define UIA_IDC_PANE_TREE 1251
#define UIA_IDD_PANE_KEYWORD 0x132      /* data list 1252 and viewer 1362 (run time) */
#define UIA_IDC_PANE_SEARCH 5108
#define UIA_IDD_SEARCH_PROGRESS 703     /* cancel: IDCANCEL */
#define UIA_IDC_SP_ANIMATION 1333       /* icon static; the caller sets the animated cursor */
#define UIA_IDC_SP_PROGRESS 1412
#define UIA_IDC_SP_HEADWORD 1403        /* owner-drawn */
#define UIA_IDC_SP_DICTIONARY 1416

/* ---- Drillbook: study lists -------------------------------------------------------------------- */
#define UIA_IDS_CAPTION_STUDY 103       /* window caption; caption of its messages */
#define UIA_IDS_LIST_HISTORY 1269       /* display names of the history and the default list */
#define UIA_IDS_LIST_DEFAULT 1270
#define UIA_IDS_LIST_COUNT 2417         /* format: number of lists */
#define UIA_IDS_LIST_NEW_NAME 2418
#define UIA_IDS_LIST_WORD_COUNT 2419    /* format: number of entries */
#define UIA_IDS_LIST_COLUMN_FIRST 2431  /* 2431-2433 name, date, size */
#define UIA_IDS_LIST_FILTER 2447        /* file-dialog filter, parts separated by '|' (Uiassets_LoadFilter) */
#define UIA_IDS_LIST_MISSING_DIC 2450
#define UIA_IDS_LIST_FULL 2480         /* format: list name, number of entries (a delivery not taken) */
#define UIA_IDS_LIST_BAD_NAME 2481      /* a name a file name cannot carry */
#define UIA_IDS_LIST_NAME_TAKEN 2482    /* format: name */
#define UIA_IDS_LIST_FILE_FAILED 2483   /* format: path */
#define UIA_IDM_STUDY_MANAGER 107       /* file, list, view, tools, help */
#define UIA_STUDY_MANAGER_LIST_MENU 1
#define UIA_STUDY_MANAGER_VIEW_MENU 2   /* its first four items are the views */
#define UIA_IDM_STUDY_VIEWER 108        /* file, edit, word, help */
#define UIA_STUDY_VIEWER_WORD_MENU 2
#define UIA_IDI_LIST_FIRST 177          /* row images: 177 closed, 178 open, 51 history, 201 active, 202 active open */
#define UIA_IDI_LIST_HISTORY 51
#define UIA_IDI_LIST_ACTIVE 201
#define UIA_IDI_LIST_ACTIVE_OPEN 202
#define UIA_STUDY_IDA_PROGRAM 101       /* the program's own table (rc/drillbook_own.rc) */
#define UIA_IDD_SAVE_HISTORY 433
#define UIA_IDC_SAVE_NAME 1206

/* ---- Lexfinder: dictionary finder -------------------------------------------------------------- */
#define UIA_IDS_FINDER_CAPTION 111
#define UIA_IDS_FINDER_NOTICE 220       /* caption of the finder's notices */
#define UIA_IDS_FOUND_COLUMN_NAME 1271
#define UIA_IDS_FOUND_COLUMN_PATH 1272
#define UIA_IDS_FOUND_COUNT 2316        /* format: number of rows */
#define UIA_IDS_FOUND_SPACE 2318        /* format: needed size text, free space text */
#define UIA_IDS_SIZE_GB 2319            /* format: units, hundredths */
#define UIA_IDS_SIZE_MB 2320
#define UIA_IDS_DRIVES_ALL 2334         /* label 1207 and button 1415 in the two drive modes */
#define UIA_IDS_DRIVES_CHOSEN 2346
#define UIA_IDS_DRIVES_CHOOSE 2347
#define UIA_IDS_DRIVES_USE_ALL 2348
#define UIA_IDS_NOTHING_FOUND 2336
#define UIA_IDS_NETWORK_DRIVE 2337      /* format: server, share */
#define UIA_IDS_FOLDER_UNUSABLE 2338
#define UIA_IDS_COPY_DICTIONARY 2339    /* format: name (copy box, folder-name dialog caption) */
#define UIA_IDS_COPYING 2340
#define UIA_IDS_LEVEL_IS_FILE 2341      /* format: path */
#define UIA_IDS_PATH_INCOMPLETE 2343
#define UIA_IDS_CREATE_FOLDER 2344      /* format: path */
#define UIA_IDS_NOT_A_FOLDER 2345
#define UIA_IDS_TITLE_CAPTION 2444
#define UIA_IDS_TITLE_LABEL 2445
#define UIA_IDS_CONVERTING 2458
#define UIA_IDS_CONVERT_CAPTION 2459
#define UIA_IDS_REGISTERED 2464
#define UIA_IDI_FINDER 185
#define UIA_IDI_FOLDER_UPPER 197
#define UIA_IDI_FOLDER_LAST 198
#define UIA_IDI_FOLDER_SUB 199

#define UIA_IDD_FIND_TITLE 405
#define UIA_IDC_FT_LABEL 1207
#define UIA_IDC_FT_NAME 1206
#define UIA_IDD_FIND_RESULT 415         /* modeless child of the finder's frame */
#define UIA_IDC_FR_FOLDER 1367
#define UIA_IDC_FR_LIST 1252            /* list view */
#define UIA_IDC_FR_STATUS 1049          /* status bar */
#define UIA_IDC_FR_CHECK_ALL 1105
#define UIA_IDC_FR_CHOOSE_FOLDER 1364
#define UIA_IDC_FR_REGISTER 1365
#define UIA_IDC_FR_COPY 1368
#define UIA_IDC_FR_CLOSE 5005
#define UIA_IDD_FIND_FOLDER 419         /* cancel: IDCANCEL */
#define UIA_IDC_FF_DRIVES 1408          /* owner-drawn combo */
#define UIA_IDC_FF_FOLDERS 1252         /* owner-drawn list */
#define UIA_IDC_FF_PATH 1407
#define UIA_IDC_FF_NETWORK 1409
#define UIA_IDC_FF_OK 1249
#define UIA_IDD_FIND_PROGRESS 420       /* cancel: IDCANCEL */
#define UIA_IDC_FP_ANIMATION 1333
#define UIA_IDC_FP_PROGRESS 1412
#define UIA_IDC_FP_LABEL 1404
#define UIA_IDD_FIND_FOLDER_NAME 421
#define UIA_IDC_FN_NAME 1206
#define UIA_IDC_FN_PREVIEW 1367
#define UIA_IDD_FIND_OVERWRITE 422      /* Yes IDYES, No IDNO */
#define UIA_IDC_FO_SOURCE 1367
#define UIA_IDC_FO_SAME_FOR_ALL 1411
#define UIA_IDD_FIND_DRIVES 423         /* OK IDYES, Cancel IDNO */
#define UIA_IDC_FD_ICON 1247
#define UIA_IDC_FD_LIST 1252            /* list view */
#define UIA_IDC_FD_LABEL 1207
#define UIA_IDC_FD_MODE 1415
#define UIA_IDC_FD_DICTIONARIES 1428
#define UIA_IDC_FD_BOOKS 1429
#define UIA_IDC_FD_ENGINES 1430
#define UIA_IDC_FD_INDEXES 1437

/* The finder's own resources (rc/lexfinder_own.rc, included by its resource script): the words
 * looked for in book titles and the frame's class icon. */
#define UIA_FINDER_IDS_FRENCH 1
#define UIA_FINDER_IDS_GERMAN 2
#define UIA_FINDER_IDS_TITLE4 4
#define UIA_FINDER_IDS_TITLE5 5
#define UIA_FINDER_IDS_TITLE6 6
#define UIA_FINDER_IDS_TITLE7 7
#define UIA_FINDER_IDS_TITLE8 8
#define UIA_FINDER_IDI_FRAME 101

/* ---- Upgrade program (its own resources, from rc/upgrade.rc) ----------------------------------- */
#define UIA_UPGRADE_IDS_CAPTION 1
#define UIA_UPGRADE_IDS_NOTIFY 2
#define UIA_UPGRADE_IDS_STOP 3
#define UIA_UPGRADE_IDS_NAME 5
#define UIA_UPGRADE_IDS_INSERT_CD 6
#define UIA_UPGRADE_IDS_RESTART 10
#define UIA_UPGRADE_IDS_NOW_UPGRADING 13
#define UIA_UPGRADE_IDS_PRODUCT 15
#define UIA_UPGRADE_IDS_DICTIONARY 16
#define UIA_UPGRADE_IDS_OVERWRITE_CAPTION 18
#define UIA_UPGRADE_IDS_OVERWRITE 19
#define UIA_UPGRADE_IDS_USERDIC_CAPTION 20
#define UIA_UPGRADE_IDS_USERDIC 21
#define UIA_UPGRADE_IDS_RUNNING_CAPTION 22
#define UIA_UPGRADE_IDS_RUNNING 23
#define UIA_UPGRADE_IDS_NONE 24
#define UIA_UPGRADE_IDS_EXIT 25
#define UIA_UPGRADE_IDS_MORE_CAPTION 27
#define UIA_UPGRADE_IDS_MORE 28
#define UIA_UPGRADE_IDS_PREPARING 29
#define UIA_UPGRADE_IDS_COPYING 30
#define UIA_UPGRADE_IDI_PROGRAM 103
#define UIA_UPGRADE_IDD_PROGRESS 101
#define UIA_UPGRADE_IDC_TEXT 1004
#define UIA_UPGRADE_IDC_LIST 1005
#define UIA_UPGRADE_IDC_ANIMATION 1008
#define UIA_UPGRADE_IDC_PROGRESS 1015
#define UIA_UPGRADE_IDC_EXIT 3          /* Continue / Exit; Cancel is IDCANCEL */
#define UIA_UPGRADE_IDD_INSERT_CD 102   /* OK IDOK, Cancel IDCANCEL */
#define UIA_UPGRADE_IDC_DRIVES 1010
#define UIA_UPGRADE_IDC_NETWORK 1011
#define UIA_UPGRADE_IDC_SKIP 1006
#define UIA_UPGRADE_IDD_ADDITIONAL 104  /* OK IDOK, Close IDCANCEL */
#define UIA_UPGRADE_IDC_ADDITIONAL 1014

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
/* String id as a file-dialog filter: every '|' becomes a zero byte and the text ends with two;
 * the length up to the last zero, 0 when missing or when it does not fit into cap bytes. */
int WINAPI Uiassets_LoadFilter(UINT id, char *buf, int cap);

/* Message boxes.  Each box of these helpers can be answered without showing anything, for
 * unattended runs: UIASSETS_MESSAGEBOX_ANSWER in the environment holds one answer (such as 6 or
 * 7) or a list separated by commas, taken in turn from its start whenever the variable's value
 * has changed since the last box (the same value set again goes on where it was); past its end
 * the last answer repeats.  With
 * UIASSETS_MESSAGEBOX_LOG naming a file, each box appends one line to it: text id (0 when given
 * as text), style and answer in decimal, then the text, separated by tabs. */
/* String textId as text and string captionId as caption (0: none); the answer. */
int WINAPI Uiassets_MessageBox(HWND owner, UINT textId, UINT captionId, UINT style);
/* String textId formatted with the arguments (printf conventions) as text.  C convention. */
int __cdecl Uiassets_MessageBoxFormat(HWND owner, UINT captionId, UINT style, UINT textId, ...);
/* A text and caption of the caller's (caption may be null). */
int WINAPI Uiassets_MessageBoxText(HWND owner, const char *text, const char *caption, UINT style);
/* The boxes asked for since the module was loaded; with non-null arguments, the last one's text
 * id (0 when given as text), its text (cap bytes, terminated) and its style. */
int WINAPI Uiassets_LastMessageBox(UINT *textId, char *text, int cap, UINT *style);

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
