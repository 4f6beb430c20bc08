// Inside the pop-up library: the library state, the viewer record and the pieces the manager,
// the viewers and the candidate list share.
#ifndef BUBBLEPANE_INT_H
#define BUBBLEPANE_INT_H

#include <windows.h>

#include "basekit.h"
#include "bubblepane.h"
#include "lexidata.h"
#include "prefstore.h"
#include "rules.h"

// Per-process state of the library.
struct BubbleState {
    HINSTANCE instance;
    ToolTipManager *tooltips;    // handed to Bubblepane_Create; not owned
    HBRUSH faceBrush;            // button face
    HBRUSH gripBrush;            // grip bars
    DibHandle *grip;             // grip bar pattern
    HMENU dicMenu;               // the dictionary menu of the status bars
    int sortMode;                // first field of the candidate-list options
    HWND manager;
    HWND list;                   // the candidate list window
    HWND slots[BUBBLEPANE_MAX_VIEWERS];
    int listMode;                // capture option ListMode
    HMONITOR(WINAPI *monitorFromWindow)(HWND, DWORD);
    BOOL(WINAPI *getMonitorInfo)(HMONITOR, LPMONITORINFO);
    bool started;
};
extern BubbleState g_bubble;

// Tool bar of a viewer: command and icon, in order after the pin button.
struct ToolButtonDef {
    UINT command;
    UINT icon;
};
const int kToolButtons = 9;
extern const ToolButtonDef kToolButtonDefs[kToolButtons];

// Moving a window by the mouse while the left button is held on it (or on its grip bar).
struct BubbleDrag {
    POINT origin;                // cursor offset from the window's top-left corner
    bool active;
};
void Bubble_Drag(HWND window, UINT message, LPARAM lParam, BubbleDrag *drag);
// The grip bar (id 1052): an owner-drawn BUTTON that lets the mouse through to its parent.
HWND Bubble_MakeGrip(HWND parent);
void Bubble_DrawGrip(const DRAWITEMSTRUCT *draw);

// One viewer window (record in the window's first extra word).
struct Viewer {
    HWND window;
    HWND manager;
    HWND dataList;               // hidden drop-down list of the candidates (id 100)
    HWND view;                   // entry viewer (id 1362)
    DWORD flags;                 // BUBBLEPANE_VF_*
    VLWordList *words;           // the data list's own list
    POINT last;                  // point of the last lookup
    BubbleDrag drag;
    int dicButtons;              // dictionary buttons shown
    int popupPos;
    VLTranParam *request;        // owned
    SkinDescription skin;
    int monitors;
    SIZE minSize;
    SIZE lastSize;               // the last size the user gave it
    COLORREF statusColour;
    char statusText[128];
    bool inMenu;
    POINT menuCursor;
    bool created;
    bool shownOnce;
    HWND pin;                    // pin button or null
    HWND tools[kToolButtons];    // tool bar buttons or null
    HWND grip;                   // grip bar or null
    HWND status;                 // status text or null
    HWND dicButton[BUBBLEPANE_MAX_DICBUTTONS];
    HWND menuButton;
    HICON pinIcon, pinnedIcon;
    HICON icons[kToolButtons + 1];
    HICON menuIcon;
};

inline Viewer *ViewerOf(HWND window)
{
    return reinterpret_cast<Viewer *>(GetWindowLongPtrA(window, 0));
}

// Manager (main.cpp).
bool Manager_RegisterClasses(HINSTANCE instance);
void Manager_UnregisterClasses(HINSTANCE instance);
HWND Manager_CreateViewer(HWND manager, DWORD extraFlags);
bool Manager_IsLiveViewer(HWND window);

// Viewers (viewer.cpp, viewer_lookup.cpp).
LRESULT CALLBACK Viewer_WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Viewer_Layout(Viewer *v);
void Viewer_SetStatus(Viewer *v, const char *text, COLORREF colour);
LRESULT Viewer_ShowItem(Viewer *v, WPARAM flag, VLTranParam *request);
void Viewer_Hide(Viewer *v);
void Viewer_ShowEntry(Viewer *v, int index);
void Viewer_OnTimer(Viewer *v);
bool Viewer_OnCommand(Viewer *v, UINT command, HWND control);
LRESULT Viewer_OnNotify(Viewer *v, NMHDR *hdr);
void Viewer_UpdateToolButtons(Viewer *v);
void Viewer_KeepCursorOnPin(Viewer *v);
int Viewer_PopupDictionaryCount();
RECT Viewer_WorkArea(Viewer *v, HWND source);

// Candidate list (listwin.cpp, replace.cpp).
LRESULT CALLBACK List_WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND List_Create(HWND manager);
void Replace_Word(const VLTranParam *request, const char *candidate, DWORD language);

// Settings path of the pop-up's own values.
#define BUBBLE_POPUP_KEY "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\PopupWindow"

#endif
