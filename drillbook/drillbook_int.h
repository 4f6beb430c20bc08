// The study-list program's own declarations: the manager window (the study-list files of the
// user's folder), the viewer window (one open list), and the file work both share.  The file work
// (studyfiles.cpp) has no window or drawing calls, so it is tested on its own.
#ifndef DRILLBOOK_INT_H
#define DRILLBOOK_INT_H

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "lexidata.h"
#include "lexshelf.h"

// ---- Window classes, messages and answers ---------------------------------------------------------
#define DRILL_MANAGER_CLASS "VelomiraV5StudyListWindow"
#define DRILL_VIEWER_CLASS "VelomiraV5StudyListViewer"
#define DRILL_MUTEX "VelomiraV5StudyList"

#define VLM_REGISTER_WINDOW 0x83E9
#define VLM_UNREGISTER_WINDOW 0x83EA
#define VLM_CLOSE 0x83EB
#define VLM_OPTIONS_CHANGED 0x83EC
#define VLM_STUDYLIST_VIEWER_CLOSED 0x5F5  // viewer -> manager: lParam the list's path
#define DRILL_KIND 3

// Messages inside the program (same process, pointers allowed).
#define DRILL_VM_WRITETO (WM_APP + 1)       // viewer: lParam a path; writes what it holds there -> 1
#define DRILL_VM_PATHCHANGED (WM_APP + 2)   // viewer: its record's path changed (a rename) -> 1
#define DRILL_MM_ADDFILE (WM_APP + 3)       // manager: lParam a path in the folder -> 1 when a row was added

// Answer of a viewer that does not take a delivered entry (its list is full, or the entry could
// not be fetched): the sender must neither count it as added nor write it into the file, which
// the open viewer rewrites when it closes.  -1 stays "no study-list window took it".
#define DRILL_DELIVERY_REFUSED VLM_STUDYLIST_REFUSED

// Controls.
#define DRILL_IDC_STATUS 1049
#define DRILL_IDC_REBAR 1294
#define DRILL_IDC_TOOLBAR 1303
#define DRILL_IDC_LIST 1252
#define DRILL_IDC_VIEWER_STATUS 1295
#define DRILL_IDC_ENTRY 1362

// Row images (index into the manager's image lists).
enum { kImageClosed = 0, kImageOpen = 1, kImageHistory = 2, kImageActive = 4, kImageActiveOpen = 5 };

// ---- Program-wide ----------------------------------------------------------------------------------
extern HINSTANCE g_drillInstance;
extern HBRUSH g_drillBrush;
extern HCURSOR g_drillSplitCursor;

// One row of the manager (the row's item data, owned by the manager).
struct ListRecord {
    ULONGLONG time;       // the file's creation time
    char path[261];
    HWND viewer;
    DWORD size;
};

bool Drill_RegisterManager(void);
bool Drill_RegisterViewer(void);
HWND Drill_CreateManager(void);
// The manager's image lists (the viewer takes its icons from them).
HIMAGELIST Drill_ManagerImages(HWND manager, bool large);

// A tool bar in a rebar from a table of (image, command, style) rows; tool tips from the
// resource strings of the commands (Drill_ToolTip answers TTN_GETDISPINFO).
struct DrillButton {
    int image, command;
    BYTE style;
};
HWND Drill_MakeToolbar(HWND parent, const DrillButton *buttons, int count, HWND *rebar);
bool Drill_ToolTip(LPARAM lParam);

// Text of a resource string.
std::string Drill_String(UINT id);
// The display name of a list: string 1269 for the history list, 1270 for the default list, else
// the file name without folder and extension.
std::string Drill_DisplayName(const char *path);
// Places a window from a stored position and size (ignored when zero) and shows it.
void Drill_Place(HWND window, int x, int y, int cx, int cy, int maximised);
// Keeps the window's restored position, size and maximised state in the study-window layout,
// as the manager's fields or as the viewer's.
void Drill_StorePlacement(HWND window, bool viewer);
// Puts the rebar across the top and the status bar at the bottom of the window's client area;
// the band between them through *top and *height.
void Drill_LayoutBars(HWND window, HWND rebar, HWND status, int *top, int *height);
// A window class of the program: arrow cursor, the study-list icon, the button-face brush.
bool Drill_RegisterClass(const char *name, WNDPROC proc, UINT style);
// The help commands of both windows: shows the help of the command with the topic (and the
// list's path); false for every other command.
bool Drill_Help(HWND window, UINT command, DWORD topic, const char *path);
// The state record of a window (GWLP_USERDATA), made zero-filled at WM_NCCREATE and freed after
// WM_NCDESTROY by Drill_StateProc; the window procedure gets it for every other message.
typedef LRESULT (*DrillStateProc)(HWND w, UINT m, WPARAM wp, LPARAM lp, void *state);
LRESULT Drill_StateProc(HWND w, UINT m, WPARAM wp, LPARAM lp, size_t size, DrillStateProc proc);

// ---- File work (studyfiles.cpp) -------------------------------------------------------------------
// A name for a list is usable as a file name of the folder: not empty, no characters that file
// names cannot hold (\ / : * ? " < > | and control characters, judged character by character in
// the ANSI code page so that a double-byte character's trail byte is not taken for one), not
// ending in a space or a dot, not a device name (CON, NUL, COM1...), and short enough that the
// folder, the name and ".vlh" fit in a path.
bool Drill_NameUsable(const char *folder, const char *name);
// "%dKB" of size / 1024 + 1.
std::string Drill_SizeText(DWORD size);
// The list's name with its extension stripped ("notes.vlh" -> "notes").
std::string Drill_BaseName(const char *path);
// folder\name.vlh
std::string Drill_ListPath(const char *folder, const std::string &name);

// A list as one viewer shows it.  The history list shows only its newest entries (at most
// MaxData); the older ones are kept aside in `older` and written back before the shown ones, so
// showing, deleting and saving never cut entries off the file.  Other lists show all.
struct ShownList {
    VLWordList *shown;    // the data list's own list (not owned here)
    VLWordList *older;    // owned; null for lists shown whole
};
// Loads the file into shown (emptied first) and, with a cap (history), the entries before the
// last cap ones into a new older list.  False when the file could not be loaded (shown empty).
bool Drill_LoadShown(const char *path, int cap, ShownList *list);
// Frees the older entries.
void Drill_FreeShown(ShownList *list);
// Makes room for one more entry in a capped list: the oldest shown entries move to the older
// part until the shown list has room.  Used before adding and when the cap shrinks.
void Drill_MakeRoom(ShownList *list, int cap);
// Adds an entry (a held entry of the same identity keeps the lower score); a capped list makes
// room first.  The 1-based position, or 0 when an uncapped list is full.
LONG Drill_AddEntry(ShownList *list, int cap, const VLDataItem *item);
// Writes the older and the shown entries, in that order, to path (replacing it whole: the old
// file stays until the new one is complete).  False when it could not be written.
bool Drill_WriteShown(const ShownList *list, const char *path);
// The same into a new file that must not exist yet: written beside it under a temporary name
// and moved into place only when complete, never over an existing file.  ERROR_FILE_EXISTS
// through *error when the name is taken.
bool Drill_WriteNewFile(const ShownList *list, const char *path, DWORD *error);

// Where an import lands: the file's own name in the folder, or, when a different file already
// has that name, the first "name(n).vlh" that is free.  *same is set when the folder already
// holds a byte-identical file under the file's own name (nothing is to be copied then).
std::string Drill_ImportTarget(const char *folder, const char *source, bool *same);
// Copies source to target only when target does not exist; false otherwise.
bool Drill_CopyNew(const char *source, const char *target);

// For tests and unattended runs: DRILLBOOK_FILE_ANSWER in the environment answers the program's
// open-file and save-file dialogs with a path (an empty value cancels) instead of showing them;
// DRILLBOOK_SAVEAS_ANSWER answers the history list's save dialog with a name.
bool Drill_AskOpenPath(HWND owner, char *path);
bool Drill_AskSavePath(HWND owner, char *path);

#endif
