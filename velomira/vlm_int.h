// Velomira.exe: the resident program.  Shared state and the functions its files give each other.
//
// One process-wide record (there is only one instance), owned by the main window's thread:
//   vlmstart.cpp       program entry, start-up steps, message loop, end steps
//   vlmmainwindow.cpp  the hidden main window: message table, kind table, broadcast, close
//   vlmmodes.cpp       capture modes, hook reports, hot keys, timers
//   vlmtray.cpp        tray icons, the three menus, owner drawing, the command table
//   vlmutil.cpp        the launcher of the sibling programs
//   vlmtrace.cpp       the optional action log (VELOMIRA_TRACE) that tests read
#pragma once

#include <windows.h>

#include "basekit.h"
#include "chartpane.h"
#include "prefstore.h"

// ---- Messages of the main window (numbers as other programs send them) -------------------------
#define VLM_CAPTURE_REQUEST 0x401
#define VLM_TRAY_READD 0x403
#define VLM_TRAY_NOTIFY 0x404
#define VLM_SHOW_SPLASH 0x405
#define VLM_TRAY_NOTIFY_BAR 0x406

#define VLM_HOOK_TRIGGER3 0xBD1
#define VLM_HOOK_TRIGGER2 0xBD2
#define VLM_HOOK_MOUSE_STOP 0xBD3
#define VLM_HOOK_HOVER 0xBD4
#define VLM_HOOK_TRIGGER_LINE 0xBD5
#define VLM_HOOK_CLOSE_POPUP 0xBD6
#define VLM_HOOK_KEY 0xBD8
#define VLM_HOOK_TRIGGER 0x83F2

#define VLM_REGISTER_WINDOW 0x83E9
#define VLM_UNREGISTER_WINDOW 0x83EA
#define VLM_CLOSE 0x83EB
#define VLM_OPTIONS_CHANGED 0x83EC
#define VLM_SHOW_KIND_DICTIONARY_MENU 0x83ED
#define VLM_DELIVER_ITEM 0x83F3
#define VLM_SHOW_MAIN_MENU 0x83F4
#define VLM_SHOW_TRANSSET_MENU 0x83F5
#define VLM_RUN_SEARCH 0x83F6
#define VLM_RUN_TRANSLATE 0x83F7
#define VLM_RUN_DICTIONARY_SETUP 0x83F8
#define VLM_RUN_STUDY_LIST 0x83F9
#define VLM_RUN_SETUP_WIZARD 0x83FA
#define VLM_SHOW_OPTIONS 0x83FB
#define VLM_SHOW_ABOUT 0x83FD
#define VLM_SHOW_HELP 0x83FE
#define VLM_SET_CONTROL_BAR 0x83FF
#define VLM_SET_POPUP_MODE 0x8400
#define VLM_SET_MOUSE_MODE 0x8401
#define VLM_SET_HOOK_MODE 0x8402
#define VLM_SET_CLIPBOARD_MODE 0x8403
#define VLM_CONTROL_BAR_STATE 0x8404
#define VLM_REFRESH_DICTIONARIES 0x8407
#define VLM_RELAY_NOTICE 0x8409
#define VLM_STATUS_STEP 0x840D
#define VLM_STATUS_DONE 0x840E
#define VLM_SHOW_LANGUAGE_MANAGER 0x840F
#define VLM_COUNT_USAGE 0x8414

#define VLM_POPUP_HIDE 0x401  // at the pop-up manager

#define VLM_MAIN_CLASS "VelomiraV5MainWindow"
#define VLM_STATUS_CLASS "VelomiraV5Status"
#define VLM_LIST_CLASS "VelomiraV5ListWindow"
#define VLM_MUTEX "VELOMIRAEXIST"
#define VLM_MAPPING "SCRIVSHOWMAPPEDFILE"
#define VLM_MAPPING_SIZE 2184

// ---- Window kinds ---------------------------------------------------------------------------------
enum VLWindowKind {
    VLK_SEARCH = 1,
    VLK_SETUP = 2,
    VLK_STUDY = 3,
    VLK_TRANSLATE = 4,
    VLK_POPUP = 5,
    VLK_VALUE = 6,
    VLK_WIZARD = 7,
    VLK_CONTROL_BAR = 8,
    VLK_OPTIONS = 9,
    VLK_COUNT = 10
};

// ---- Commands --------------------------------------------------------------------------------------
enum {
    CMD_MAIN_MENU = 102,
    CMD_OPTIONS = 5406,
    CMD_SEARCH = 11001,
    CMD_TRANSLATE = 11002,
    CMD_STUDY = 11003,
    CMD_SETUP = 11004,
    CMD_LANGUAGE = 11005,
    CMD_POINTER = 11007,
    CMD_KEYBOARD = 11008,
    CMD_HOTKEY = 11009,
    CMD_CLIPBOARD = 11010,
    CMD_CONTROL_BAR = 11013,
    CMD_HELP = 11014,
    CMD_ABOUT = 11015,
    CMD_QUIT = 11016,
    CMD_NOTHING = 11018,
    CMD_UPDATE = 11040,
    CMD_GRAPH = 11041,
    CMD_TRANSSET_FIRST = 16000,
    CMD_TRANSSET_LAST = 17999,
    CMD_DICTIONARY_FIRST = 18000,
    HOTKEY_DICTIONARY_RESET = 0xBFFF
};

// ---- Timers ------------------------------------------------------------------------------------------
enum { TIMER_MOUSE = 1, TIMER_KEYBOARD = 2, TIMER_TRAY = 3, TIMER_RESUME = 5, TIMER_POLL = 6 };

// The five switches of the StartUp section.
enum { SW_POINTER, SW_KEYBOARD, SW_HOTKEY, SW_CLIPBOARD, SW_CONTROL_BAR, SW_COUNT };

// One start of a sibling program.
struct VlmLaunch {
    DWORD processId, threadId;
    HANDLE process, thread;
};

struct VlmState {
    HINSTANCE instance;
    HANDLE mutex;
    HANDLE mapping;
    HWND main;
    ToolTipManager *tooltips;
    HWND kinds[VLK_COUNT];
    LPARAM kindValue;  // kind 6
    int switches[SW_COUNT];
    CaptureOptions capture;
    int candidateSort;  // first field of CandidateListOptions
    RestrictionList *restrictions;
    DWORD groupDictionary[5];  // 1 pointer, 2 keyboard, 3 trigger key, 4 clipboard
    int lastGroup;             // group of the dictionary menu shown last; 0 none yet
    HWND trayWindow;
    DWORD windowsVersion;
    int vistaOrLater;
    HWND about;
    OprLogDay day;

    // Menus (Part of the tray).
    HMENU trayMenu, transSetMenu, dictionaryMenu;
    int trayIconBar;  // the second tray icon is shown

    // Modes.
    int attached;
    HWND mouseWindow;
    POINT mousePoint;
    int mouseHeld;
    HWND keyWindow;
    POINT keyPoint;
    int inChain;
    HWND nextViewer;
    int tornDown;

    VlmLaunch launches[VLK_COUNT];
};

extern VlmState g_vlm;

// vlmmainwindow.cpp
BOOL Vlm_RegisterMainClass(HINSTANCE instance);
HWND Vlm_CreateMainWindow(HINSTANCE instance);
HWND Vlm_KindWindow(int kind);  // the live window of the kind, or null
void Vlm_Broadcast(UINT message, WPARAM wParam, LPARAM lParam);
void Vlm_SendStatus(UINT message, WPARAM wParam, LPARAM lParam);

// vlmmodes.cpp
void Vlm_ApplyModes(HWND main);
void Vlm_RegisterHotkeys(HWND main);
void Vlm_ReleaseHotkeys(HWND main);
LRESULT Vlm_OnHookMessage(HWND main, UINT message, WPARAM wParam, LPARAM lParam);
void Vlm_OnTimer(HWND main, UINT_PTR id);
void Vlm_OnDrawClipboard(HWND main);
void Vlm_OnChangeClipboardChain(HWND removed, HWND next);
void Vlm_SetSwitch(HWND main, int which, int on);
void Vlm_ToggleSwitch(HWND main, int which);
void Vlm_SetControlBar(HWND main, int on);
void Vlm_LoadCaptureOptions();
LRESULT Vlm_CaptureRequest(HWND main, WPARAM flag, LPARAM request);

// vlmtray.cpp
void Vlm_CreateMenus();
void Vlm_DestroyMenus();
void Vlm_TrayAdd(HWND main, UINT id);
void Vlm_TrayModify(HWND main, UINT id);
void Vlm_TrayDelete(HWND main, UINT id);
LRESULT Vlm_OnTrayNotify(HWND main, UINT message, WPARAM icon, LPARAM mouse);
void Vlm_TrayCheck(HWND main);
void Vlm_OnInitMenuPopup(HWND main, HMENU menu);
BOOL Vlm_OnMeasureItem(HWND main, MEASUREITEMSTRUCT *measure);
BOOL Vlm_OnDrawItem(HWND main, const DRAWITEMSTRUCT *draw);
LRESULT Vlm_OnMenuChar(HWND main, UINT letter, HMENU menu);
void Vlm_OnCommand(HWND main, UINT command);
void Vlm_ShowMainMenu(HWND main, int bottom);
void Vlm_ShowDictionaryMenu(HWND main, int group, int bottom, int x, int y);
void Vlm_ShowTransSetMenu(HWND main, int bottom, int x, int y);
int Vlm_MenuCharPosition(UINT letter, int transSets);

// vlmutil.cpp
int Vlm_StartKind(int kind);
void Vlm_CloseLaunches();
int Vlm_OpenBesideProgram(const char *file, const char *verb);

// vlmtrace.cpp: a line per outside action when VELOMIRA_TRACE names a file; nothing otherwise.
void Vlm_Trace(const char *format, ...) __attribute__((format(printf, 1, 2)));
