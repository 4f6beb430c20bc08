// Querydesk.exe, the search station: one process per session; a second start asks the running one
// for one more search window and ends with 0.  The entry starts the libraries, makes the shared
// drawing resources and the hidden main window, and runs the message loop that feeds the
// frontmost search window's keyboard handling.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "lexicore.h"
#include "lexshelf.h"
#include "quickfield.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "widgetry.h"
#include "querydesk_int.h"

namespace {

const UINT kAccelerators = 101;
// The dictionary manager's start of the search station: engine flags 1 and 2, the translation set.
const DWORD kShelfFlags = 3 | LEXSHELF_INIT_TRANSSET;

// The 8 x 8 halftone of the splitter bars: rows 0x55, 0xAA, 0xAA, 0x55 repeated.
HBRUSH MakeHalftone()
{
    WORD rows[8];
    const WORD pattern[4] = {0x55, 0xAA, 0xAA, 0x55};
    for (int i = 0; i < 8; i++) rows[i] = pattern[i % 4];
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    if (!bits) return nullptr;
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);
    return brush;
}

// True when another station runs: it was asked for one more window.
bool HandToRunningStation(HANDLE *mutex)
{
    *mutex = CreateMutexA(nullptr, FALSE, QUERYDESK_MUTEX);
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (*mutex) CloseHandle(*mutex);
    *mutex = nullptr;
    // The class name compared without case, as the platform's own search does.
    if (HWND main = FindWindowA(QUERYDESK_MAIN_CLASS, nullptr)) PostMessageA(main, VLM_NEW_SEARCH_WINDOW, 0, 0);
    return true;
}

void StartControls()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    icc.dwICC = ICC_USEREX_CLASSES | ICC_COOL_CLASSES;
    InitCommonControlsEx(&icc);
}

void MakeResources(Station *st, HINSTANCE instance)
{
    st->instance = instance;
    st->assets = GetModuleHandleA("Uiassets.dll");
    st->halftone = MakeHalftone();
    st->guiFont = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    st->splitCursor = Uiassets_LoadCursor(UIA_IDCUR_SPLIT_V);
    st->splitCursor2 = Uiassets_LoadCursor(UIA_IDCUR_SPLIT_H);
    st->accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(kAccelerators));
}

bool PreTranslate(Station *st, MSG *msg)
{
    if (Quickfield_PreTranslateMessage(msg)) return true;
    if (HWND front = Frame_Frontmost())
        if (SearchWindow_PreTranslate(front, msg)) return true;
    return st->orderDialog && IsWindow(st->orderDialog) && IsDialogMessageA(st->orderDialog, msg);
}

int Run(Station *st)
{
    MSG msg;
    int r;
    while ((r = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (r == -1) break;
        if (PreTranslate(st, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return r == 0 ? (int)msg.wParam : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CoInitialize(nullptr);
    HANDLE mutex = nullptr;
    if (HandToRunningStation(&mutex)) {
        CoUninitialize();
        return 0;
    }
    Station *st = Station_Get();
    StartControls();
    MakeResources(st, instance);
    Quickfield_Init(instance);
    Basekit_RegisterFlatButton();
    Sharedkit_Init();
    int code = 0;
    if (Lexshelf_Init(kShelfFlags)) {
        Widgetry_RichEditInit();
        Widgetry_ImmActivate();
        bool classes = Frame_RegisterClass(instance);
        classes = SearchWindow_RegisterClass(instance) && classes;
        if (classes && Frame_Create(instance)) code = Run(st);
        Widgetry_ImmDeactivate();
        Widgetry_RichEditTerm();
        Quickfield_Term(instance);
        Lexshelf_Term();
        Frame_UnregisterClass(instance);
        SearchWindow_UnregisterClass(instance);
    } else {
        Quickfield_Term(instance);
    }
    if (st->halftone) DeleteObject(st->halftone);
    if (mutex) CloseHandle(mutex);
    CoUninitialize();
    return code;
}
