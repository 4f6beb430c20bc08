// The main window: a small frame around the progress dialog.  It cannot be moved by its caption,
// ignores right clicks on its frame and the keyboard's system menu, and asks before it closes.
#include <windows.h>

#include <commctrl.h>

#include "lexmigrate.h"
#include "program.h"
#include "uiassets.h"

namespace {

const char kClass[] = LEXMIGRATE_CLASS;

Program *Of(HWND w) { return reinterpret_cast<Program *>(GetWindowLongPtrA(w, GWLP_USERDATA)); }

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        return FALSE;
    case WM_COMMAND: {
        HWND main = GetParent(dialog);
        Program *p = Of(main);
        if (LOWORD(wp) == IDCANCEL) {
            PostMessageA(main, WM_CLOSE, 0, 0);
        } else if (LOWORD(wp) == UIA_UPGRADE_IDC_EXIT && p) {
            // The summary was read: the offer of the additional dictionaries follows.
            EnableWindow(GetDlgItem(dialog, UIA_UPGRADE_IDC_EXIT), FALSE);
            if (!Worker_Start(p, true)) DestroyWindow(main);
        }
        return TRUE;
    }
    }
    return FALSE;
}

// The close question, unless a dictionary is being replaced just now: then it comes when that is
// done.  The window thread never waits for the worker.
void OnClose(Program *p)
{
    if (p->stopping) {
        DestroyWindow(p->window);
        return;
    }
    if (!TryEnterCriticalSection(&p->guard)) {
        InterlockedExchange(&p->closeWanted, 1);
        return;
    }
    char text[256] = "", caption[128] = "";
    Program_LoadText(p, UIA_UPGRADE_IDS_STOP, text, sizeof text);
    Program_LoadText(p, UIA_UPGRADE_IDS_NOTIFY, caption, sizeof caption);
    bool stop = MessageBoxA(p->window, text, caption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) == IDYES;
    if (stop) InterlockedExchange(&p->stopping, 1);
    LeaveCriticalSection(&p->guard);
    if (stop) DestroyWindow(p->window);
}

// The summary after the scans: what was upgraded, the restart note and the Exit button.
void OnScanned(Program *p, bool anyMatched)
{
    if (!anyMatched) {
        if (!Worker_Start(p, true)) DestroyWindow(p->window);
        return;
    }
    HWND list = GetDlgItem(p->progress, UIA_UPGRADE_IDC_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const UpgradeRecord &r : p->migration.records) {
        if (!r.upgraded) continue;
        char name[256];
        Migrate_DisplayName(&p->migration, &r, name, sizeof name);
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
    }
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 0) {
        char none[256] = "";
        Program_LoadText(p, UIA_UPGRADE_IDS_NONE, none, sizeof none);
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)none);
    }
    char text[256] = "";
    Program_LoadText(p, UIA_UPGRADE_IDS_RESTART, text, sizeof text);
    SetDlgItemTextA(p->progress, UIA_UPGRADE_IDC_TEXT, text);
    Program_LoadText(p, UIA_UPGRADE_IDS_EXIT, text, sizeof text);
    SetDlgItemTextA(p->progress, UIA_UPGRADE_IDC_EXIT, text);
    EnableWindow(GetDlgItem(p->progress, UIA_UPGRADE_IDC_EXIT), TRUE);
    EnableWindow(GetDlgItem(p->progress, IDCANCEL), FALSE);
    ShowWindow(p->window, SW_SHOWNORMAL);
    SetForegroundWindow(p->window);
    SetFocus(GetDlgItem(p->progress, UIA_UPGRADE_IDC_EXIT));
}

void OnCreate(Program *p, HWND w)
{
    p->window = w;
    p->progress = CreateDialogParamA(p->module, MAKEINTRESOURCEA(UIA_UPGRADE_IDD_PROGRESS), w,
                                     ProgressProc, 0);
    if (!p->progress) return;
    RECT r;
    GetWindowRect(p->progress, &r);
    int width = r.right - r.left + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    int height = r.bottom - r.top + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    SetWindowPos(w, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The dialog fills the client area whatever the frame's real thickness.
    GetClientRect(w, &r);
    SetWindowPos(p->progress, nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    char caption[256] = "";
    Program_LoadText(p, UIA_UPGRADE_IDS_CAPTION, caption, sizeof caption);
    Basekit_CenterWindow(w, caption, p->icon);
    HWND bar = GetDlgItem(p->progress, UIA_UPGRADE_IDC_PROGRESS);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    EnableWindow(GetDlgItem(p->progress, UIA_UPGRADE_IDC_EXIT), FALSE);
    // The animation of the current folder, else the program's icon.
    HICON animation = (HICON)LoadCursorFromFileA("upgrade.ani");
    SendDlgItemMessageA(p->progress, UIA_UPGRADE_IDC_ANIMATION, STM_SETICON,
                        (WPARAM)(animation ? animation : p->icon), 0);
}

LRESULT CALLBACK WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    Program *p = Of(w);
    switch (msg) {
    case WM_NCCREATE:
        p = reinterpret_cast<Program *>(reinterpret_cast<CREATESTRUCTA *>(lp)->lpCreateParams);
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)p);
        break;
    case WM_CREATE:
        OnCreate(p, w);
        return p->progress ? 0 : -1;
    case WM_NCHITTEST: {
        LRESULT hit = DefWindowProcA(w, msg, wp, lp);
        return hit == HTCAPTION ? HTNOWHERE : hit;
    }
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
        return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_KEYMENU) return 0;
        break;
    case WM_CLOSE:
        OnClose(p);
        return 0;
    case MIG_WM_SCANNED:
        OnScanned(p, wp != 0);
        return 0;
    case MIG_WM_DONE:
        InterlockedExchange(&p->stopping, 1);
        DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        p->progress = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

bool Window_Register(Program *p)
{
    p->icon = LoadIconA(p->module, MAKEINTRESOURCEA(UIA_UPGRADE_IDI_PROGRAM));
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = p->module;
    wc.hIcon = p->icon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    return RegisterClassA(&wc) != 0;
}

HWND Window_Create(Program *p)
{
    return CreateWindowExA(0, kClass, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                           0, 0, 100, 100, nullptr, nullptr, p->module, p);
}

void Window_Show(Program *p)
{
    if (p->window && !IsWindowVisible(p->window)) ShowWindowAsync(p->window, SW_SHOWNORMAL);
}
