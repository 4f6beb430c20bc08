/* Bubblepane: the pop-up result window.
 *
 * The resident program makes one hidden pop-up manager window per process (window kind 5) with
 * Bubblepane_Create.  The manager takes every lookup request delivered to kind 5 (Sharedkit's
 * VLM_DELIVER_ITEM) and routes it either to one of up to ten pop-up viewers or to the candidate
 * list window:
 *   - a viewer searches the pop-up priority list (Lexshelf_SearchPopup), shows the first entry in
 *     its entry viewer beside the word, keeps itself on the monitor of the word, hides itself once
 *     the cursor has left the word and the viewer, and offers the word commands, the dictionary
 *     buttons and menu, re-searches, the hand-over to the search station and the study list;
 *   - the candidate list (keyboard, typing and trigger-key lookups, and every lookup while the
 *     capture option ListMode is on) lists the candidates, shows the selected one in a side viewer
 *     and, when a candidate is chosen, types it into the source window in place of the word.
 *
 * A pinned viewer keeps its entry; the next lookup goes to another viewer.  Viewers save their
 * placement into the pop-up window options when they are destroyed.
 *
 * Coordinates in requests are packed: pointTop holds x (low 16 bits) and the line top (high 16
 * bits), pointBottom y and the line bottom, each a signed 16-bit value (monitors left of or above
 * the primary one have negative coordinates).
 *
 * Exported by ordinal only. */
#ifndef BUBBLEPANE_H
#define BUBBLEPANE_H

#include <windows.h>
#include "basekit.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Window classes ----------------------------------------------------------------------------- */
#define BUBBLEPANE_MANAGER_CLASS "VelomiraV5PopupWindow"
#define BUBBLEPANE_VIEWER_CLASS "VelomiraV5PopupViewer"
#define BUBBLEPANE_LIST_CLASS "VelomiraV5ListWindow"

/* The window kind under which the manager registers itself with the main window. */
#define BUBBLEPANE_WINDOW_KIND 5

/* ---- Messages of the manager ---------------------------------------------------------------------
 * (wParam, lParam -> result) */
/* Sharedkit's delivery: -, delivery id -> 1 when the request was routed, 0 when none was fetched. */
#define BUBBLEPANE_VLM_DELIVER_ITEM 0x83F3
/* From the main window: wParam 1 (Esc or Enter) hides the candidate list; 0 hides it unless it or
 * its side viewer is the active window. */
#define VLM_POPUP_HIDE 0x401
/* From a viewer: passed to the main window as VLM_SHOW_MAIN_MENU with the same parameters. */
#define VLM_POPUP_MENU_AT 0x4C9
/* From a viewer being destroyed: -, viewer -> 1; its slot is cleared. */
#define VLM_POPUP_DROP_VIEWER 0x4CA
/* From a viewer: 1 pin or 0 unpin, viewer -> 1. */
#define VLM_POPUP_PIN 0x4CB
/* From a viewer: -, - -> the main window's answer to VLM_SHOW_OPTIONS. */
#define VLM_POPUP_OPTIONS 0x4CD
/* Same message to a viewer: 0, data item (the caller's) -> the viewer picked, which shows a copy. */
#define VLM_POPUP_FIND_VIEWER 0x4CE
/* From the list window: MAKELONG(x, y) screen point, data item -> the new side viewer, shown at the
 * point without activation with a copy of the item. */
#define VLM_POPUP_MOVE_VIEWER 0x4CF
/* -, - -> one more viewer (null when all ten slots hold live viewers). */
#define VLM_POPUP_NEW_VIEWER 0x4D0
/* From the main window: destroys the manager (and every viewer and the list window). */
#define BUBBLEPANE_VLM_CLOSE 0x83EB
/* From the main window: options were changed; ListMode is read again and every viewer is rebuilt
 * at the next lookup. */
#define BUBBLEPANE_VLM_OPTIONS_CHANGED 0x83EC

/* ---- Messages of a viewer ------------------------------------------------------------------------ */
/* 0 from the manager (placed beside the word) or 1 (stays where it is), the request (the viewer
 * takes it over, also when nothing is shown) -> 1.  The candidate list takes the same message. */
#define VLM_POPUP_SHOW_ITEM 0x4CC
/* -, - -> 0: hides an unfixed viewer and frees its request (the main window's tray re-add number,
 * read here as a hide). */
#define VLM_POPUP_HIDE_VIEWER 0x403
/* The dictionaries changed: a visible viewer repaints. */
#define BUBBLEPANE_VLM_REFRESH_DICTIONARIES 0x8407

/* ---- Messages the pop-up sends to the main window (class VelomiraV5MainWindow) -------------------- */
#define BUBBLEPANE_VLM_REGISTER_WINDOW 0x83E9   /* 5, manager */
#define BUBBLEPANE_VLM_UNREGISTER_WINDOW 0x83EA /* 5, 0 */
#define BUBBLEPANE_VLM_SHOW_MAIN_MENU 0x83F4    /* from a viewer's context menu: 0, 0 */
#define BUBBLEPANE_VLM_RUN_STUDY_LIST 0x83F9    /* command 10008: 0, 0 */
#define BUBBLEPANE_VLM_SHOW_OPTIONS 0x83FB      /* command 5406: 0, 0 */
#define BUBBLEPANE_VLM_COUNT_USAGE 0x8414       /* 1, 0 after each shown pop-up lookup */
/* To the search station (kind 1), command 10007: number | id << 8, entry id. */
#define BUBBLEPANE_VLM_SHOW_ENTRY 0x8413

/* ---- Viewer creation flags (the viewer's creation parameter) -------------------------------------- */
#define BUBBLEPANE_VF_PIN 0x01        /* has the pin button */
#define BUBBLEPANE_VF_TOOLBAR 0x02    /* has the tool bar */
#define BUBBLEPANE_VF_STATUSBAR 0x04  /* has the status bar with the dictionary buttons */
#define BUBBLEPANE_VF_SKIN 0x08       /* drawn with a skin */
#define BUBBLEPANE_VF_FIXED 0x10      /* stays where it was put, never hidden by the timer */
#define BUBBLEPANE_VF_SIDE 0x20       /* side viewer of the candidate list */
#define BUBBLEPANE_VF_FIXEDSIZE 0x40  /* keeps its size */

/* ---- Controls of a viewer and of the list window -------------------------------------------------- */
#define BUBBLEPANE_IDC_DATALIST 100     /* the viewer's hidden data list (drop-down of 10001) */
#define BUBBLEPANE_IDC_VIEWER 1362      /* the entry viewer (Scrivshow) */
#define BUBBLEPANE_IDC_GRIP 1052        /* the grip bar */
#define BUBBLEPANE_IDC_STATUS 1295      /* the status text */
#define BUBBLEPANE_IDC_DICBUTTON 3001   /* 3001-3010 dictionary buttons */
#define BUBBLEPANE_IDC_DICMENU 1022     /* menu button of the other dictionaries */
#define BUBBLEPANE_IDC_LIST 1252        /* the list window's data list */
#define BUBBLEPANE_MAX_VIEWERS 10
#define BUBBLEPANE_MAX_DICBUTTONS 10

/* Commands of a viewer (tool bar, buttons), besides the word commands of Vocabank. */
#define BUBBLEPANE_CMD_CLOSE 5005
#define BUBBLEPANE_CMD_EARLIER 5311
#define BUBBLEPANE_CMD_LATER 5312
#define BUBBLEPANE_CMD_PRONOUNCE 5404
#define BUBBLEPANE_CMD_OPTIONS 5406
#define BUBBLEPANE_CMD_HELP 5601
#define BUBBLEPANE_CMD_PIN 10000
#define BUBBLEPANE_CMD_CANDIDATES 10001
#define BUBBLEPANE_CMD_TO_SEARCH 10007
#define BUBBLEPANE_CMD_TO_STUDY_LIST 10008
#define BUBBLEPANE_CMD_TO_TRANSLATION 10018

/* ---- Exports -------------------------------------------------------------------------------------- */
/* Creates the hidden pop-up manager (class VelomiraV5PopupWindow, top-most tool window of size 0)
 * owned by parent; the manager registers itself as kind 5 with the main window, makes the main
 * viewer and the candidate list window.  The tooltip manager (may be null) gets the tool tips of
 * the viewers' buttons and must outlive the manager.  The window, or null. */
HWND WINAPI Bubblepane_Create(HWND parent, ToolTipManager *tooltips);

#ifdef __cplusplus
}
#endif

#endif /* BUBBLEPANE_H */
