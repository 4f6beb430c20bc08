/* Widgetry: the shared controls of the suite.
 *
 * The data list (window class VLDATALISTCLASS), an owner-drawn report list over a VLWordList that
 * it owns; the rich-edit input field with its stream in and out, context menu and the Active IMM
 * input-method layer; the dictionary list (VLDBLISTCLASS), the dictionary bar (VLDICBARCLASS), the
 * dictionary menu, and the dictionary-order and send-text dialogs.  Exported by ordinal only.
 *
 * Start-up: loading the library starts the common controls (list views, headers, tool tips) and
 * registers VLDATALISTCLASS, VLDBLISTCLASS and VLDICBARCLASS (application-global) and the
 * line-edit field class (Quickfield_Init); unloading ends them.
 * The component library (COM) is not started under the loader lock: the
 * rich-edit start (Widgetry_RichEditInit) starts it on the calling thread when it needs the
 * Active IMM objects, and Widgetry_RichEditTerm ends it there.
 *
 * Decisions that hold for every control of the library:
 * - Fault guards.  The toolchain of the suite has no structured exception handling in C++.  Where
 *   a control calls only the suite's own layers (drawing a data-list row calls Strandkit, Lexicore
 *   and the platform) there is no guard: each step checks its inputs and the row's drawing has one
 *   cleanup path that frees its memory bitmap and device context whatever happens.  A control
 *   that must call foreign code under a guard gets one small helper for both lanes in this
 *   library, not a guard per call.
 * - Score-class colours.  One rule for every list and status line of the suite that colours an
 *   entry by its match class (bits 28-31 of its score): class 0 takes the Perfect colour of
 *   CandidateListOptions, classes 1 and 2 Good, class 3 Average, class 4 and above Bad
 *   (Widgetry_ScoreClassColour below).  The pop-up's status line keeps one text per class but takes
 *   its colour by this rule.
 * - A row of a data list (the position of a list-view row, which hides the sub-entries of a folded
 *   group) and an item of its word list (the position in the VLWordList) are different numbers:
 *   every message that takes a row maps it to the row's own item, and every notice that names an
 *   item passes the word-list position. */
#ifndef WIDGETRY_H
#define WIDGETRY_H

#include <windows.h>
#ifndef RC_INVOKED
#include <richedit.h>
#include "lexidata.h"
#include "prefstore.h"
#include "lexshelf.h"
#include "basekit.h"
#endif

/* ==== Data list ===================================================================================
 * Window class VLDATALISTCLASS.  The creation parameter (lpParam of CreateWindowEx) is the word
 * list's maximum count (at least 1 is used).  The low 16 bits of the window style are the list's
 * own style bits (VLDLS_*); WS_POPUP makes the drop-down form: rows follow the mouse, the list
 * hides when it loses the focus or a row is chosen, and the parent (the owner) is told
 * WM_ENTERMENULOOP when it shows and WM_EXITMENULOOP when it closes.
 *
 * Rows: one per item, in word-list order.  Unless the list is flat, an item whose entry link (high
 * 16 bits: the distance back to its main entry) leads to the item before it, or to the main entry
 * of the items before it, in the same dictionary (file id and sub-dictionary number), is a
 * sub-entry shown under that main entry.  Every refresh opens all groups, or folds them with
 * VLDLS_FOLDED.  Row positions below are list-view rows (0-based); item positions are word-list
 * positions (0-based). */

#define VLDATALISTCLASS "VLDATALISTCLASS"

/* Style bits (low 16 bits of the window style). */
#define VLDLS_ROWLIMIT      0x0001 /* natural height of at most the row limit; mouse captured over the list */
#define VLDLS_HEADWORD      0x0002 /* headword column */
#define VLDLS_DICTIONARY    0x0004 /* dictionary column */
#define VLDLS_DATE          0x0008 /* date column */
#define VLDLS_ARROWSPARENT  0x0010 /* Right and Left go to the parent (VLDLN_RIGHT, VLDLN_LEFT) */
#define VLDLS_ENTERCHOOSES  0x0020 /* Enter chooses the selected row */
#define VLDLS_NOHEADER      0x0040
#define VLDLS_MULTISELECT   0x0080
#define VLDLS_NOHISTORY     0x0100 /* a chosen row is not added to the history list */
#define VLDLS_FLAT          0x0200 /* no grouping of sub-entries */
#define VLDLS_FOLDED        0x0400 /* groups open folded; the list takes its natural size on a fold */
#define VLDLS_FITMODE2      0x0800 /* headwords fitted on one line without an ellipsis */

/* Messages to the data list (wParam, lParam -> result).  "row or -1": -1 stands for the first
 * selected row.  Messages that take a row answer 0 (or -1 where noted) for an empty list or when
 * no row is given or selected. */
#define VLDLM_REFRESH          0x8000 /* -, - -> 1: rows rebuilt from the word list, columns measured */
#define VLDLM_SELECTROW        0x8001 /* row, - -> 1: the row selected alone and scrolled into view */
#define VLDLM_NEXTSELECTED     0x8002 /* start row, - -> first selected row at or after it, -1 when none */
#define VLDLM_LOCK             0x8004 /* VLDL_LOCK or VLDL_UNLOCK, - -> 1: counted redraw and input lock */
#define VLDLM_DELETE           0x8006 /* row or -1 (every selected row), - -> number of items deleted */
#define VLDLM_SELECTALL        0x8007 /* -, - -> 1 with VLDLS_MULTISELECT, else 0 */
#define VLDLM_SHOW             0x8008 /* -, - -> 1: as when the window is shown */
#define VLDLM_GETLIST          0x8009 /* -, - -> the VLWordList (the list's own; do not destroy it) */
#define VLDLM_SETMAXCOUNT      0x800A /* count, - -> 1 (items beyond it are dropped); 0 without a list */
#define VLDLM_GETROWRECT       0x800C /* row or -1, RECT* -> 1 with the row's selection bounds, else 0 */
#define VLDLM_MOVE             0x800E /* VLDL_MOVE_*, - -> the new row, -1 when there is none */
#define VLDLM_PRONOUNCE        0x800F /* row or -1, - -> Lexshelf_PronounceEntry of the row's item */
#define VLDLM_HASLANGITEM      0x8010 /* row or -1, - -> Linguakeeper_HasItem of the row's item */
#define VLDLM_GETNAVFLAGS      0x8011 /* row, - -> VLDLF_* of the row */
#define VLDLM_SETNOTIFY        0x8013 /* on/off, - -> 1: the choose notice on or off (on at creation) */
#define VLDLM_ENSUREVISIBLE    0x8014 /* row, - -> 1 */
#define VLDLM_ADDTOSTUDYLIST   0x8015 /* -, - -> number of selected items added to the active study list */
#define VLDLM_SETCLICKNOCHOOSE 0x8016 /* on/off, - -> 1: a click (and Enter) no longer chooses */
#define VLDLM_PRINT            0x8017 /* -, - -> 0 when the print dialog was cancelled, else 1 */
#define VLDLM_SETBKCOLOR       0x8032 /* COLORREF, - -> 1 */
#define VLDLM_GETNATURALWIDTH  0x8033 /* -, - -> natural width of column 0 */
#define VLDLM_SETROWLIMIT      0x8034 /* limit, - -> 1 */
/* WM_CUT, WM_COPY: the selected rows' items go to the clipboard as a word-list block
 * ("VELOMIRA_DATAITEM", VLWordList_Copy); cut also deletes them.  WM_PASTE inserts the clipboard's
 * block before the focused row's item (at 0 in an empty list; nothing without a focused row). */

#define VLDL_LOCK   0
#define VLDL_UNLOCK 1

/* Moves of VLDLM_MOVE. */
#define VLDL_MOVE_NEXTMAIN 1 /* next main or plain row */
#define VLDL_MOVE_PREVMAIN 2 /* previous main or plain row */
#define VLDL_MOVE_NEXTDIC  3 /* next row of another dictionary */
#define VLDL_MOVE_PREVDIC  4 /* previous row of another dictionary */
#define VLDL_MOVE_NEXT     5 /* next row (not past the last) */
#define VLDL_MOVE_PREV     6 /* previous row */

/* Navigation flags of a row (VLDLM_GETNAVFLAGS, lParam of VLDLN_CHOOSE). */
#define VLDLF_NEXTMAIN 0x01 /* a later main or plain row exists */
#define VLDLF_PREVMAIN 0x02
#define VLDLF_NEXTDIC  0x04 /* a later row of another dictionary exists */
#define VLDLF_PREVDIC  0x08
#define VLDLF_NEXT     0x10 /* the row is not the last */
#define VLDLF_PREV     0x20 /* the row is not the first */

/* Notices to the parent (sent). */
#define VLDLN_CHOOSE 0x8003 /* MAKEWPARAM(item, how), navigation flags: a row was chosen; how is 1 for a
                               click in a child list, a double click in a drop-down list or Enter,
                               0 for a changed selection, a print step or a single click in a
                               drop-down list.  The word list's current item is set first, and the
                               item is added to the history list (unless VLDLS_NOHISTORY, or its
                               dictionary is served by a driver library).  Not sent while the notice
                               is switched off, for an empty list, or while Shift is down without
                               Ctrl. */
#define VLDLN_RIGHT  0x800B /* item, 0: Right on a row (VLDLS_ARROWSPARENT) */
#define VLDLN_SIZE   0x800D /* MAKEWPARAM(width, height), 0: the list took its natural size */
#define VLDLN_LEFT   0x8012 /* item, 0: Left on a row (VLDLS_ARROWSPARENT) */

/* The control id of the viewer that prints the chosen entry: VLDLM_PRINT sends it SCV_PRINT
 * (0x40F; 0, the PRINTDLGA record) once per printed row. */
#define VLDL_VIEWER_ID 1362

#ifndef RC_INVOKED
#ifdef __cplusplus
extern "C" {
#endif

/* Creates a data list, shows it, gives it the window colour as background and, with
 * VLDLS_ROWLIMIT, the row limit (else 0).  The window, or null. */
HWND WINAPI Widgetry_CreateDataList(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                                    int rowLimit, UINT id, HWND parent, int maximum);
/* The same with a background colour: the list is moved to (0, 0) with its natural width and the
 * given height, and shown only when show is non-zero.  The id is used only for a child window.
 * The window, or null. */
HWND WINAPI Widgetry_CreateDataListEx(DWORD exStyle, DWORD style, int x, int y, int width,
                                      int height, int rowLimit, UINT id, HWND parent, int maximum,
                                      COLORREF background, BOOL show);

#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

/* ==== Rich-edit field =============================================================================
 * The newest rich-edit library present is loaded by Widgetry_RichEditInit: RICHED20.dll (class
 * "RichEdit20A", character formats of 84 bytes), else RICHED32.dll ("RICHEDIT", 60 bytes).  A
 * field made or subclassed here has a context menu with cut, copy, paste and select all (right
 * button, Shift+F10 and the context-menu key; no system-wide hot key is taken), deletes the next
 * character on WM_CLEAR with an empty selection, and passes its messages through the Active IMM
 * layer when the system has it (the registry key Software\Microsoft\Active IMM of the machine). */

/* Commands of the context menu (sent to the field as WM_CUT, WM_COPY, WM_PASTE, select all). */
#define WIDGETRY_CMD_CUT        40001
#define WIDGETRY_CMD_COPY       40002
#define WIDGETRY_CMD_PASTE      40003
#define WIDGETRY_CMD_SELECTALL  40004
/* The library's own menu resource whose first submenu is the context menu. */
#define WIDGETRY_IDM_FIELD 101

#ifndef RC_INVOKED
#ifdef __cplusplus
extern "C" {
#endif

/* Subclasses a rich-edit window of the loaded class and hands its class to the Active IMM
 * filter.  1, or 0 for a null window. */
BOOL WINAPI Widgetry_SubclassRichEdit(HWND field);
/* A field of the loaded class with the default GUI font, subclassed; null when no rich-edit
 * library is loaded or the window cannot be made. */
HWND WINAPI Widgetry_CreateRichEdit(HWND parent, DWORD style, int x, int y, int width, int height,
                                    UINT id, HINSTANCE instance);
/* Copies the class name in use into buffer (at least 16 bytes); its length, 0 (and an empty
 * text) before the start. */
int WINAPI Widgetry_GetRichEditClass(char *buffer);
/* The field's character format of the selection (selection non-zero) or the default one: the
 * record's size is set by the loaded version (CHARFORMATA or CHARFORMAT2A; the record must hold
 * CHARFORMAT2A).  Get answers the field's mask, Set non-zero when taken. */
DWORD WINAPI Widgetry_GetCharFormat(HWND field, BOOL selection, CHARFORMAT2A *format);
BOOL WINAPI Widgetry_SetCharFormat(HWND field, BOOL selection, CHARFORMAT2A *format);
/* Called in a message loop before TranslateMessage: 1 when the Active IMM message pump took the
 * message (the loop then skips it), else 0 (always 0 without Active IMM). */
BOOL WINAPI Widgetry_ImmTranslateMessage(const MSG *msg);
/* Scrolls to the top, then streams length bytes of text (negative: up to its terminator; for
 * SF_UNICODE two zero bytes) into the field in the stream format (SF_TEXT, SF_RTF, SF_RTFNOOBJS,
 * SF_TEXTIZED, with SF_UNICODE, SF_USECODEPAGE, SFF_SELECTION as the platform takes them); never
 * reads beyond length.  The field's answer (characters read). */
LONG WINAPI Widgetry_StreamInRichEdit(HWND field, UINT format, const char *text, int length);
/* The field's text (or selection, with SFF_SELECTION) in the stream format, in a zero-filled block
 * of the process's local heap that the caller frees with LocalFree; the block is sized in that
 * format and ends in two zero bytes.  Null when the field (or the selection) is empty or memory
 * runs out. */
char *WINAPI Widgetry_StreamOutRichEdit(HWND field, UINT format);
/* Loads the rich-edit library (once), starts the Active IMM objects when the system has them, and
 * loads the context menu.  1. */
BOOL WINAPI Widgetry_RichEditInit(void);
/* Releases the Active IMM objects and the context menu; the rich-edit library stays loaded. */
void WINAPI Widgetry_RichEditTerm(void);
/* Activates Active IMM (restoring the keyboard layout) and starts its message pump; 1. */
BOOL WINAPI Widgetry_ImmActivate(void);
/* Ends the message pump and deactivates Active IMM. */
void WINAPI Widgetry_ImmDeactivate(void);
/* Twice the number of selected characters (the bytes the selection can take in a double-byte code
 * page); with a buffer of at least that many bytes plus one, the selected text is copied into it
 * and terminated.  Call with a null buffer first to learn the size. */
int WINAPI Widgetry_GetRichEditSel(HWND field, char *buffer);

#ifdef __cplusplus
}
#endif

/* The colour of an entry's match class (see the decision above): class 0 Perfect, 1 and 2 Good,
 * 3 Average, 4 and above Bad. */
static inline COLORREF Widgetry_ScoreClassColour(const CandidateListOptions *options, DWORD score)
{
    DWORD matchClass = score >> 28;
    if (matchClass == 0) return options->Perfect;
    if (matchClass <= 2) return options->Good;
    if (matchClass == 3) return options->Average;
    return options->Bad;
}
#endif /* RC_INVOKED */

/* ==== Dictionary list =============================================================================
 * Window class VLDBLISTCLASS: the dictionaries and groups of one priority list in a report list
 * view (the style bits LVS_SINGLESEL and LVS_NOSORTHEADER of the window pass to it).  Columns: name
 * with the row's icon, colour, other name, slot or sequence number, language, other language, and
 * in numbering mode 2 the hot-key label of the row (F2 to F11, then with Shift, Ctrl, Shift + Ctrl;
 * none after row 46).  Numbering mode 0: a row's number is its slot (1 to 5, the position of its id
 * in the slot array); modes 1 to 4: the running count of rows.  With slots enabled a double click
 * gives a row the lowest free slot (slot 5 from its holder when all are taken) or takes its slot
 * back, moving the higher ones down.  Every list-view notice goes on to the parent as WM_NOTIFY
 * from the dictionary list (with its id), except a double click that changed a slot.
 * Rows are drawn by the list: the row's image (with its slot mark as overlay in numbering mode 0),
 * a colour box, the languages with the language manager's icons and names; window colours, the
 * highlight when selected in the focused list, button face when selected without the focus or
 * disabled.  Row height: the font's height rounded up to even, 17 below 18 (WM_SETFONT to the
 * list changes it).  A double click on a header divider fits that column to its rows.  The image
 * lists (16 x 16 and 32 x 32) start with 64 images: resource icons 119-128 (also overlays 1-10),
 * 134/140, 135/136, 129/130, 133/139, 131/137, 132/138, 192/193, 189/188, the composites known as
 * 1000-1011 and 1100-1123, and 1201/1202; Widgetry_AddIcon appends further resource icons. */
#define VLDBLISTCLASS "VLDBLISTCLASS"

/* Source kinds (the first value of the selector pair; the second is the filter value). */
#define WIDGETRY_DLSRC_ALL       0 /* groups and dictionaries of types 1 and 8 */
#define WIDGETRY_DLSRC_GROUPDICS 5 /* the dictionaries of the group (VLDicGroup* value), in its order */
#define WIDGETRY_DLSRC_BAR       8 /* groups and type-1 dictionaries (the bar's items) */

#ifndef RC_INVOKED
/* The source of the rows (20 bytes on x86): copied by the list. */
typedef struct VLDicListSource {
    DWORD *selector;            /* (source kind, value), or null for kind 0 */
    BOOL slotsEnabled;
    DWORD *slotIds;             /* five ids holding slots 1 to 5, or null */
    int numberingMode;          /* 0 slots, 1 to 4 sequence numbers, 2 with hot-key labels */
    VLPriorityList *list;       /* a handle or a list kind */
} VLDicListSource;
#endif

/* Messages to the dictionary list (wParam, lParam -> result). */
#define WIDGETRY_DLM_SETSOURCE     0x8000 /* VLDicListSource* or null, - -> 1: rows rebuilt */
#define WIDGETRY_DLM_VIEWSTYLE     0x8001 /* list-view style bits, set (non-zero) or clear -> 1 */
#define WIDGETRY_DLM_GIVESLOT      0x8002 /* slot 1-5, - -> 1; 0 when slots are off or no row is selected */
#define WIDGETRY_DLM_SELECTALL     0x8003 /* -, - -> 1 */
#define WIDGETRY_DLM_GETSELECTED   0x8004 /* -, - -> first selected row or -1 */
#define WIDGETRY_DLM_GETSTATE      0x8005 /* row, mask -> the list-view item state */
#define WIDGETRY_DLM_CLEARSLOTS    0x8006 /* -, - -> 1 */
#define WIDGETRY_DLM_SELECTROW     0x8007 /* row, - -> 1: selected and focused alone */
#define WIDGETRY_DLM_ENSUREVISIBLE 0x8008 /* row, partial ok -> 1 */
#define WIDGETRY_DLM_GETCOUNT      0x8100 /* the exports below, as messages */
#define WIDGETRY_DLM_GETHOTKEY     0x8101
#define WIDGETRY_DLM_GETITEMID     0x8102
#define WIDGETRY_DLM_SORT          0x8103
#define WIDGETRY_DLM_ADDICON       0x8104
#define WIDGETRY_DLM_FINDICON      0x8105
/* Notice to the parent (sent, 0, 0) after any change of the slots. */
#define WIDGETRY_DLN_SLOTS         0x8300

#ifndef RC_INVOKED
#ifdef __cplusplus
extern "C" {
#endif

/* Creates, shows and updates a dictionary list (empty until a source is set); null on failure. */
HWND WINAPI Widgetry_CreateDicList(DWORD exStyle, DWORD style, int x, int y, int width, int height, UINT id,
                                   HWND parent);
/* Sets the source (as WIDGETRY_DLM_SETSOURCE with these five values); 1. */
BOOL WINAPI Widgetry_DicListSetSource(HWND list, int numberingMode, VLPriorityList *priority, BOOL slotsEnabled,
                                      DWORD *slotIds, DWORD *selector);
/* The image index of a resource icon of the suite's resources, added when missing; -1 when the
 * icon does not exist.  Find answers -1 for an icon not added. */
int WINAPI Widgetry_AddIcon(HWND list, UINT iconId);
int WINAPI Widgetry_FindIcon(HWND list, UINT iconId);
/* The number of rows; a row's slot or sequence number; a row's dictionary or group id (0 for -1
 * or a row outside the list). */
int WINAPI Widgetry_DicListGetCount(HWND list);
int WINAPI Widgetry_DicListGetHotKey(HWND list, int row);
DWORD WINAPI Widgetry_DicListGetItemId(HWND list, int row);
/* Sorts by the column as a header click does: the column's direction flips after each sort
 * (the others return to ascending); dictionaries stay before groups in the colour and language
 * columns and rows without a number after numbered ones, in both directions.  1. */
BOOL WINAPI Widgetry_DicListSort(HWND list, int column);

#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

/* ==== Dictionary-order dialog =====================================================================
 * A modeless dialog (Uiassets dialog 701) over a priority list: kind 0, 1 or 2 names that shared
 * list (other kinds the pop-up list).  The arrow buttons move the selected entry one place in the
 * list and commit it (every process takes the new order through the manager's notices); Choose
 * or a double click chooses it.  Esc, Close and the close box hide the dialog; it is destroyed with its owner and
 * then keeps its place, size and visibility under Window\SearchWindow\OrderList (kind 1) or
 * Window\TranslationWindow\OrderList (others): MemoryPos (x, y as signed words), MemorySize (0:
 * 300 x 200) and Show.  The first start shows it; later starts show it without activation when it
 * was visible.  VLM_REFRESH_DICTIONARIES (WIDGETRY_DBM_REFRESH) to the dialog reads the list again. */
#define WIDGETRY_ORDER_CHOSEN  1 /* notice code: an entry was chosen (id and item filled) */
#define WIDGETRY_ORDER_CHANGED 2 /* notice code: the order changed */

#ifndef RC_INVOKED
/* The notice of the order dialog (WM_NOTIFY to its owner, from the dialog with the given control
 * id) and of the dictionary bar: the chosen dictionary or group id and its item record (valid
 * during the notice). */
typedef struct VLDicChoice {
    NMHDR header;
    DWORD id;
    VLPriorityItem *item;
} VLDicChoice;

#ifdef __cplusplus
extern "C" {
#endif
/* Makes the dialog owned by owner; the dialog, or null. */
HWND WINAPI Widgetry_ShowDicOrderDialog(HWND owner, int kind, UINT controlId);
#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

/* ==== Dictionary bar ==============================================================================
 * Window class VLDICBARCLASS: twelve owner-drawn flat buttons (ids 1124 to 1135, each a tool of
 * the tooltip manager, its name as tip) over the items of a priority list that are groups or
 * dictionaries of type 1, numbered from 1.  With no modifier held, button 1124 is help, 1135 the
 * order dialog and, with WIDGETRY_DBS_WEB, 1134 the web lookup; the others show items 1 to 10, and
 * with Shift, Ctrl or both held items 11 to 22, 23 to 34 and 35 to 46 (one lower past 10 with the
 * web button).  While the owner window is active (it passes WM_ACTIVATE on) the bar follows the
 * modifier keys every 150 ms.  A click on an item makes it current and tells the notify window
 * (WM_NOTIFY WIDGETRY_DBN_CHOSEN with a VLDicChoice; null item for the web lookup); a click on an
 * empty button changes nothing; help and the order dialog send WM_COMMAND WIDGETRY_DBC_HELP or
 * UIA_CMD_ORDER_DIALOG (5501).  A right click sends WM_NOTIFY NM_RCLICK: the notify window shows
 * its menu (Widgetry_FillDicMenu passing over the items the bar shows). */
#define VLDICBARCLASS "VLDICBARCLASS"
#define WIDGETRY_DBS_WEB 0x1000 /* style: button 1134 is the web lookup */
#define WIDGETRY_DBN_CHOSEN 1
#define WIDGETRY_DBC_HELP 1155
/* Messages to the bar (wParam, lParam -> result).  WM_USER with a command 3001 to 3046 (3010 the
 * web lookup) or a button id acts as a click (0 for another id). */
#define WIDGETRY_DBM_GETCURRENT    0x401 /* -, - -> the current id (0x10000000 the web lookup) */
#define WIDGETRY_DBM_SETCURRENT    0x402 /* id, - -> 1, without a notice */
#define WIDGETRY_DBM_CHOOSEFORPAIR 0x403 /* MAKEWPARAM(source, target language), id to avoid -> the id, 0 none */
#define WIDGETRY_DBM_SETMODIFIERS  0x404 /* 0 none, 1 Shift, 2 Ctrl, 3 both, - -> 1: as if held */
#define WIDGETRY_DBM_REFRESH       0x8407 /* VLM_REFRESH_DICTIONARIES: the items read again */

#ifndef RC_INVOKED
#ifdef __cplusplus
extern "C" {
#endif
/* Makes the bar (a visible child); null on failure.  tips may be null. */
HWND WINAPI Widgetry_CreateDicBar(VLPriorityList *list, DWORD style, int x, int y, int width, int height, HWND parent,
                                  HWND notify, ToolTipManager *tips, UINT id);
#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

/* ==== Dictionary menu and send-text dialog ========================================================
 * The dictionary menu lists the pop-up priority list (list kind 0) as radio items: command
 * WIDGETRY_DICMENU_FIRST plus the item's position in the menu, the dictionary or group id as item
 * data, checked when the id is the current one.  With the extra item, the menu starts with
 * Uiassets string 307 (item data 0, checked for a current id of 0) and a separator. */
#define WIDGETRY_DICMENU_FIRST 18000

/* The message with which the send-text dialog hands its text to a viewer (the viewer's own
 * SCV_SETTEXT): wParam the text behind its charset tag ("\x1bF" and two lowercase hexadecimal
 * digits), lParam the flags of the check boxes (1, 2, 4); the viewer answers 0 when it did not
 * take the text. */
#define VLM_VIEWER_SEND_TEXT 0x41F

#ifndef RC_INVOKED
#ifdef __cplusplus
extern "C" {
#endif

/* Empties the menu and fills it as above with the entries of the pop-up list that pass the filter
 * (LEXSHELF_ENUM_* flags and value), passing over the first skip entries of the list (the ones the
 * caller shows as buttons already; the extra item is not counted).  The number of menu items
 * made, 0 for a menu that is not one. */
int WINAPI Widgetry_FillDicMenu(HMENU menu, DWORD currentId, BOOL extraItem, int skip, DWORD flags,
                                LPARAM value);
/* Makes and shows the modeless send-text dialog (Uiassets dialog 900) owned by owner, sending to
 * target; each dialog keeps its own target.  Send (or Enter in the line) sends the text; when the
 * viewer answers 0 a message box (strings 5800 and 5801) says so; Close and Esc destroy it.
 * Null when the owner or the target is not a window or the dialog cannot be made. */
HWND WINAPI Widgetry_ShowSendTextDialog(HWND owner, HWND target);

#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

#endif /* WIDGETRY_H */
