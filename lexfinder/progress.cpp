// The progress box: a modal dialog on a thread of its own, so that it stays responsive while the
// working thread walks the drives or waits for the index converter.  Cancel (or the close box)
// posts FINDER_CANCEL_MESSAGE to the working thread and leaves the box open; FINDER_CLOSE_MESSAGE
// closes it.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "basekit.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_int.h"

namespace {

// Shared by the working thread and the box's thread until FinderBox_End frees it.
struct BoxShared {
    volatile HWND window;
    DWORD worker;
    int mode;
    HANDLE ready;
    HCURSOR animation;
};

// The box's state hangs on the dialog; the shared record outlives the dialog.
BoxShared *SharedOf(HWND dialog) { return (BoxShared *)GetWindowLongPtrA(dialog, DWLP_USER); }

void OnInit(HWND dialog, BoxShared *shared)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)shared);
    char path[MAX_PATH] = {0};
    HMODULE assets = Uiassets_GetModule();
    if (assets && GetModuleFileNameA(assets, path, MAX_PATH)) {
        char *slash = strrchr(path, '\\');
        if (slash) slash[1] = 0;
        strncat(path, shared->mode == FINDER_BOX_CONVERT ? "upgrade.ani" : "search.ani",
                MAX_PATH - strlen(path) - 1);
        shared->animation = LoadCursorFromFileA(path);
    }
    HICON picture = shared->animation ? (HICON)shared->animation : Uiassets_LoadIcon(UIA_IDI_FINDER);
    if (picture) SendDlgItemMessageA(dialog, UIA_IDC_FP_ANIMATION, STM_SETICON, (WPARAM)picture, 0);
    if (shared->mode == FINDER_BOX_CONVERT) {
        ShowWindow(GetDlgItem(dialog, UIA_IDC_FP_PROGRESS), SW_HIDE);
        char text[512];
        if (Uiassets_LoadString(UIA_IDS_CONVERT_CAPTION, text, sizeof text)) SetWindowTextA(dialog, text);
        if (Uiassets_LoadString(UIA_IDS_CONVERTING, text, sizeof text))
            SetDlgItemTextA(dialog, UIA_IDC_FP_LABEL, text);
        HWND label = GetDlgItem(dialog, UIA_IDC_FP_LABEL);
        RECT rc;
        GetWindowRect(label, &rc);
        MapWindowPoints(nullptr, dialog, (POINT *)&rc, 2);
        SetWindowPos(label, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top + 20,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    Basekit_CenterWindow(dialog, nullptr, nullptr);
    shared->window = dialog;
    SetEvent(shared->ready);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, (BoxShared *)lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            PostThreadMessageA(SharedOf(dialog)->worker, FINDER_CANCEL_MESSAGE, 0, 0);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        PostThreadMessageA(SharedOf(dialog)->worker, FINDER_CANCEL_MESSAGE, 0, 0);
        return TRUE;
    case FINDER_CLOSE_MESSAGE:
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

DWORD WINAPI BoxThread(void *parameter)
{
    BoxShared *shared = (BoxShared *)parameter;
    DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_FIND_PROGRESS), nullptr, BoxProc,
                    (LPARAM)shared);
    return 0;
}

HWND ProgressBar(FinderBox *box)
{
    return box && box->window ? GetDlgItem(box->window, UIA_IDC_FP_PROGRESS) : nullptr;
}

}  // namespace

bool FinderBox_Start(FinderBox *box, int mode)
{
    box->window = nullptr;
    box->thread = nullptr;
    if (!Uiassets_GetModule()) return false;
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // the box posts to this thread's queue
    BoxShared *shared = new BoxShared();
    shared->worker = GetCurrentThreadId();
    shared->mode = mode;
    shared->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    box->thread = CreateThread(nullptr, 0, BoxThread, shared, 0, nullptr);
    if (!box->thread) {
        CloseHandle(shared->ready);
        delete shared;
        return false;
    }
    // Up to 30 waits of 100 ms for the window.
    WaitForSingleObject(shared->ready, 3000);
    // Without a window the work goes on without a box; End still reaps the thread.
    box->window = shared->window;
    box->shared = shared;
    return box->window != nullptr;
}

void FinderBox_SetRange(FinderBox *box, int maximum)
{
    HWND bar = ProgressBar(box);
    if (!bar) return;
    SendMessageA(bar, PBM_SETRANGE32, 0, maximum);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
}

void FinderBox_Step(FinderBox *box)
{
    HWND bar = ProgressBar(box);
    if (bar) SendMessageA(bar, PBM_DELTAPOS, 1, 0);
}

void FinderBox_End(FinderBox *box)
{
    BoxShared *shared = (BoxShared *)box->shared;
    if (!shared) return;
    if (!shared->window) WaitForSingleObject(shared->ready, 3000);  // a box that came late
    if (shared->window) SendMessageA(shared->window, FINDER_CLOSE_MESSAGE, 0, 0);
    bool ended = true;
    if (box->thread) {
        ended = WaitForSingleObject(box->thread, shared->window ? INFINITE : 5000) == WAIT_OBJECT_0;
        CloseHandle(box->thread);
    }
    if (ended) {  // a thread that never showed its box keeps the record it may still read
        if (shared->animation) DestroyCursor(shared->animation);
        CloseHandle(shared->ready);
        delete shared;
    }
    box->window = nullptr;
    box->thread = nullptr;
    box->shared = nullptr;
}
