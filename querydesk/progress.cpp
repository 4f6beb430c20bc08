// The progress box of a full-text search: a modal box on a thread of its own, without an owner (the
// window thread is busy searching), showing the dictionary being searched, the headword just
// reached and a bar; Cancel stops the search at its next callback.
//
// The box may come up after the search has already returned: the caller waits for the box's
// window (bounded), and the box also ends by itself once the search is done, so its thread always
// ends.  QUERYDESK_PROGRESS_DELAY (milliseconds per entry reached) slows the search down for tests.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

#include "lexicore.h"
#include "strandkit.h"
#include "uiassets.h"
#include "querydesk_int.h"

namespace {

const UINT_PTR kDoneTimer = 1;
const DWORD kReadyWait = 10000;

void MoveBar(HWND box, LONG count)
{
    HWND bar = GetDlgItem(box, UIA_IDC_SP_PROGRESS);
    int position = (int)(count / 10);
    if (position > 100) position = 100;
    if ((int)SendMessageA(bar, PBM_GETPOS, 0, 0) != position) SendMessageA(bar, PBM_SETPOS, position, 0);
}

void DrawHeadword(SearchProgress *p, const DRAWITEMSTRUCT *draw)
{
    MoveBar(p->box, p->count);
    char text[1024];
    GetWindowTextA(draw->hwndItem, text, sizeof text);
    HDC dc = draw->hDC;
    RECT rc = draw->rcItem;
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageA(draw->hwndItem, WM_GETFONT, 0, 0));
    SIZE size = {};
    int length = Strandkit_FitTaggedText(dc, rc.right - rc.left, text, 3, &size, nullptr);
    Strandkit_DrawTaggedText(dc, rc.left, rc.top, text, length, GetSysColor(COLOR_WINDOWTEXT));
    SelectObject(dc, oldFont);
}

void SetAnimation(HWND box)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    HICON icon = nullptr;
    if (n > 0 && n < sizeof path) {
        Basekit_PathReplaceFileName(path, "search.ani");
        icon = (HICON)LoadImageA(nullptr, path, IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
    }
    if (!icon) icon = Uiassets_LoadIcon(UIA_IDI_SEARCH);
    if (icon) SendDlgItemMessageA(box, UIA_IDC_SP_ANIMATION, STM_SETICON, (WPARAM)icon, 0);
}

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    SearchProgress *p = (SearchProgress *)GetWindowLongPtrA(box, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG:
        p = (SearchProgress *)lParam;
        SetWindowLongPtrA(box, DWLP_USER, (LONG_PTR)p);
        SendDlgItemMessageA(box, UIA_IDC_SP_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SetAnimation(box);
        Basekit_CenterWindow(box, nullptr, nullptr);
        SetTimer(box, kDoneTimer, 100, nullptr);
        InterlockedExchangePointer((void *volatile *)&p->box, box);
        SetEvent(p->ready);
        return TRUE;
    case WM_TIMER:
        // The search returned and the half second passed, but the caller's cancel was lost.
        if (wParam == kDoneTimer && p && InterlockedCompareExchange(&p->done, 0, 0) == 2) EndDialog(box, IDCANCEL);
        return TRUE;
    case WM_DRAWITEM:
        if (p && wParam == UIA_IDC_SP_HEADWORD) DrawHeadword(p, (const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            if (p) InterlockedExchange(&p->cancel, 1);
            EndDialog(box, IDCANCEL);
        }
        return TRUE;
    case WM_CLOSE:
        if (p && InterlockedCompareExchange(&p->closeAllowed, 0, 0)) EndDialog(box, IDCANCEL);
        return TRUE;
    case WM_DESTROY: {
        KillTimer(box, kDoneTimer);
        HICON icon = (HICON)SendDlgItemMessageA(box, UIA_IDC_SP_ANIMATION, STM_SETICON, 0, 0);
        if (icon) DestroyIcon(icon);
        if (p) InterlockedExchangePointer((void *volatile *)&p->box, nullptr);
        return FALSE;
    }
    }
    return FALSE;
}

DWORD WINAPI BoxThread(void *parameter)
{
    SearchProgress *p = (SearchProgress *)parameter;
    HMODULE assets = GetModuleHandleA("Uiassets.dll");
    INT_PTR r = DialogBoxParamA(assets, MAKEINTRESOURCEA(UIA_IDD_SEARCH_PROGRESS), nullptr, BoxProc, (LPARAM)p);
    SetEvent(p->ready);  // also when the box could not be made
    return r == -1 ? 1 : 0;
}

}  // namespace

bool Progress_Start(SearchProgress *p)
{
    p->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char delay[16];
    DWORD n = GetEnvironmentVariableA("QUERYDESK_PROGRESS_DELAY", delay, sizeof delay);
    p->delay = (n > 0 && n < sizeof delay) ? atol(delay) : 0;
    if (p->delay < 0 || p->delay > 1000) p->delay = 0;
    if (!p->ready) return false;
    p->thread = CreateThread(nullptr, 0, BoxThread, p, 0, nullptr);
    if (!p->thread) {
        CloseHandle(p->ready);
        p->ready = nullptr;
        return false;
    }
    return true;
}

int CALLBACK Progress_Callback(VLDataItem *item, int perMille, void *user)
{
    SearchProgress *p = (SearchProgress *)user;
    if (!p) return 1;
    if (InterlockedCompareExchange(&p->cancel, 0, 0)) return 0;
    if (p->delay) Sleep((DWORD)p->delay);
    HWND box = (HWND)InterlockedCompareExchangePointer((void *volatile *)&p->box, nullptr, nullptr);
    InterlockedExchange(&p->count, perMille);
    if (!box || !item) return 1;
    HWND dictionary = GetDlgItem(box, UIA_IDC_SP_DICTIONARY);
    if (perMille == 0) SetWindowTextA(dictionary, "");
    if (GetWindowTextLengthA(dictionary) == 0) {
        DicProperty property = {};
        property.size = sizeof property;
        char format[256] = "%s", line[600];
        if (Lexicore_GetDicProperty((item->head.fileId << 8) | (item->head.subDicNo & 0xFF), &property)) {
            LoadStringA(GetModuleHandleA("Uiassets.dll"), UIA_IDS_SEARCHING_DIC, format, sizeof format);
            snprintf(line, sizeof line, format, property.name);
            SetWindowTextA(dictionary, line);
            InvalidateRect(dictionary, nullptr, TRUE);
        }
    }
    HWND headword = GetDlgItem(box, UIA_IDC_SP_HEADWORD);
    char text[261];
    lstrcpynA(text, item->second ? item->second : "", sizeof text);
    SetWindowTextA(headword, text);
    InvalidateRect(headword, nullptr, FALSE);
    return 1;
}

void Progress_Finish(SearchProgress *p)
{
    if (!p->thread) return;
    HANDLE waits[2] = {p->ready, p->thread};
    WaitForMultipleObjects(2, waits, FALSE, kReadyWait);
    Sleep(500);
    InterlockedExchange(&p->done, 2);
    InterlockedExchange(&p->closeAllowed, 1);
    HWND box = (HWND)InterlockedCompareExchangePointer((void *volatile *)&p->box, nullptr, nullptr);
    if (box) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeThread(p->thread, &code) && code == STILL_ACTIVE) WaitForSingleObject(p->thread, 500);
    CloseHandle(p->thread);
    CloseHandle(p->ready);
    p->thread = nullptr;
    p->ready = nullptr;
}
