/* Querydesk: the search station program (Querydesk.exe).
 *
 * The station runs once per session (mutex VelomiraV5SearchWin): a second start asks the running
 * one for one more search window and ends with 0.  Its hidden main window (class
 * VelomiraV5SearchMain, window kind 1 of the relay library) takes the suite's messages below and
 * hands them to its search windows (class VLV5SWindowChild, at most ten).  The station exports
 * nothing; this header holds the names and numbers other programs and the tests talk to it by. */
#ifndef QUERYDESK_H
#define QUERYDESK_H

#define QUERYDESK_MUTEX "VelomiraV5SearchWin"
#define QUERYDESK_MAIN_CLASS "VelomiraV5SearchMain"
#define QUERYDESK_WINDOW_CLASS "VLV5SWindowChild"
#define QUERYDESK_MAX_WINDOWS 10

/* Messages to the resident program's main window (through the relay library). */
#define VLM_REGISTER_WINDOW      0x83E9 /* kind 1, the station's main window */
#define VLM_UNREGISTER_WINDOW    0x83EA /* kind 1, 0 */
#define VLM_COUNT_USAGE          0x8414 /* VLM_COUNT_SEARCH, 0: one more search today; 0 when not counted */
#define VLM_COUNT_SEARCH         2

/* Messages of the main window (wParam, lParam). */
#define VLM_CLOSE                0x83EB /* -, -: the station ends */
#define VLM_OPTIONS_CHANGED      0x83EC /* -, -: options read again by every search window */
#define VLM_DELIVER_ITEM         0x83F3 /* QUERYDESK_DELIVER_* flags, delivery id of a lookup request */
#define VLM_REFRESH_DICTIONARIES 0x8407 /* -, -: the dictionaries changed */
#define VLM_USER_ENTRY_CHANGED 0x8408
                                        /* dictionary id, row: an entry of a user dictionary changed */
#define VLM_SHOW_ENTRY           0x8413 /* dictionary id, entry position */
#define VLM_NEW_SEARCH_WINDOW    0x87D0 /* -, -: one more search window (when a slot is free) */
#define QUERYDESK_SEARCH_WINDOW_CLOSED 0x501 /* from a search window as it is destroyed */

/* Flags of a delivery (wParam of VLM_DELIVER_ITEM and VLM_SHOW_ENTRY at the main window). */
#define QUERYDESK_DELIVER_FRONT    1 /* bring the target window to the front */
#define QUERYDESK_DELIVER_NEW      2 /* open a new search window for it */
#define QUERYDESK_DELIVER_COPY     4 /* copy the current entry to the clipboard */
#define QUERYDESK_DELIVER_LANGUAGE 8 /* open the language manager with the entry's language */

/* Messages of a search window besides the above (wParam, lParam). */
#define QUERYDESK_SET_CURRENT    0x812E /* dictionary or group id, group record or 0 */
#define QUERYDESK_WEB_ID         0x10000000 /* the current id of the web lookup */

/* Controls of a search window and of its panes. */
#define QUERYDESK_ID_REBAR   1294
#define QUERYDESK_ID_STATUS  1295
#define QUERYDESK_ID_DICBAR  1296
#define QUERYDESK_ID_TOOLBAR 1303
#define QUERYDESK_ID_TAB     1205
#define QUERYDESK_ID_LIST    1252 /* the data list of the keyword and condition panes */
#define QUERYDESK_ID_VIEWER  1362 /* the entry viewer of a pane */

/* Tabs (pane order in the tab control). */
#define QUERYDESK_TAB_CONTENTS  0
#define QUERYDESK_TAB_HEADWORD  1
#define QUERYDESK_TAB_KEYWORD   2
#define QUERYDESK_TAB_CONDITION 3

/* Messages of a pane (wParam, lParam -> result). */
#define QUERYDESK_PANE_HISTORY_GO    0x402 /* steps, - : history move (keyword pane) */
#define QUERYDESK_PANE_HISTORY_CAN   0x403 /* 0 back / 1 forward -> possible */
#define QUERYDESK_PANE_ENTRIES_CAN   0x404 /* 0 earlier / 1 later -> exist */
#define QUERYDESK_PANE_ENTRIES_SHOW  0x405 /* 0 earlier / 1 later */
#define QUERYDESK_PANE_SEARCH_LANGUAGES 0x464 /* charset in the low byte, text: the translation set's
                                               * dictionaries (keyword pane) */
#define QUERYDESK_PANE_RUN_CONDITION 0x591 /* -, - : run the condition search (condition pane) */
#define QUERYDESK_PANE_HISTORY_MENU  0x812D /* button id, RECT* on the screen */

#endif /* QUERYDESK_H */
