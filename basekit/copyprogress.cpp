// The progress dialog of a large file copy: it runs its own message loop on a thread started for
// the copy; the copying thread only sends it messages and tests whether its thread has ended.
#include "files_int.h"
#include "files_res.h"
#include "basekit.h"

#include <commctrl.h>
#include <stdio.h>

HINSTANCE Files_Module(void)
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Files_Module), &module);
    return module;
}

namespace {

const COLORREF kBarBlue = RGB(0, 0, 128);

// Paints the bar: the done part dark blue with a white label, the rest in the menu colour with a
// dark blue label.  The rest comes from an off-screen copy so that the label changes colour
// exactly at the edge of the done part.
void BarPaint(HWND bar, HDC dc)
{
    RECT client;
    GetClientRect(bar, &client);
    RECT box = {client.left + 1, client.top + 1, client.right - 2, client.bottom - 2};
    PBRANGE range = {};
    SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    int position = (int)SendMessageA(bar, PBM_GETPOS, 0, 0);
    int span = range.iHigh - range.iLow;
    if (span == 0) span = 1;
    char label[32];
    snprintf(label, sizeof label, "%2d %%", (position - range.iLow) * 100 / span);
    int doneRight = position * box.right / 100;
    if (doneRight < box.left) doneRight = box.left;
    if (doneRight > box.right) doneRight = box.right;

    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldScreenFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    HBRUSH blue = CreateSolidBrush(kBarBlue);

    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(dc, &box, GetSysColorBrush(COLOR_MENU));
    RECT done = {box.left, box.top, doneRight, box.bottom};
    FillRect(dc, &done, blue);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT text = box;
    DrawTextA(dc, label, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    FillRect(memory, &box, GetSysColorBrush(COLOR_MENU));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, kBarBlue);
    text = box;
    DrawTextA(memory, label, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (doneRight < box.right)
        BitBlt(dc, doneRight, box.top, box.right - doneRight, box.bottom - box.top, memory,
               doneRight, box.top, SRCCOPY);

    DeleteObject(blue);
    SelectObject(dc, oldScreenFont);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// The bar keeps the standard progress control for everything but painting; its procedure is kept
// in the bar's user data.
LRESULT CALLBACK BarProc(HWND bar, UINT msg, WPARAM wp, LPARAM lp)
{
    WNDPROC standard = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(bar, GWLP_USERDATA));
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(bar, &ps);
        BarPaint(bar, dc);
        EndPaint(bar, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(standard));
        break;
    }
    return CallWindowProcA(standard, bar, msg, wp, lp);
}

void OnInitDialog(HWND dialog, FilesProgress *progress)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(progress));
    progress->window = dialog;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendDlgItemMessageA(dialog, IDC_COPY_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Basekit_CenterWindow(dialog, progress->caption, nullptr);
    HWND bar = GetDlgItem(dialog, IDC_COPY_BAR);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    LONG_PTR standard = GetWindowLongPtrA(bar, GWLP_WNDPROC);
    SetWindowLongPtrA(bar, GWLP_USERDATA, standard);
    SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BarProc));
    SetDlgItemTextA(dialog, IDC_COPY_TEXT, progress->message ? progress->message : "");
    SetEvent(progress->ready);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<FilesProgress *>(lp));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

DWORD WINAPI ProgressThread(void *arg)
{
    FilesProgress *progress = static_cast<FilesProgress *>(arg);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    if (auto init = BASEKIT_LATE("comctl32.dll", InitCommonControlsEx)) init(&controls);
    DialogBoxParamA(Files_Module(), MAKEINTRESOURCEA(IDD_COPY_PROGRESS), nullptr,
                    ProgressDialogProc, reinterpret_cast<LPARAM>(progress));
    return 0;
}

} // namespace

int Files_ProgressStart(FilesProgress *progress, const char *caption, const char *message)
{
    progress->caption = caption;
    progress->message = message;
    progress->window = nullptr;
    progress->thread = nullptr;
    progress->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (progress->ready == nullptr) return 0;
    progress->thread = CreateThread(nullptr, 0, ProgressThread, progress, 0, nullptr);
    int shown = 0;
    if (progress->thread != nullptr) {
        // Wait until the dialog exists, or until its thread ends without one.
        HANDLE both[2] = {progress->ready, progress->thread};
        shown = WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0;
        if (!shown) {
            CloseHandle(progress->thread);
            progress->thread = nullptr;
        }
    }
    CloseHandle(progress->ready);
    progress->ready = nullptr;
    return shown;
}

int CALLBACK Files_ProgressCallback(int percent, void *context)
{
    FilesProgress *progress = static_cast<FilesProgress *>(context);
    if (progress->thread == nullptr) return 1;   // no dialog: nothing to show
    if (percent == -1) {
        PostMessageA(progress->window, WM_CLOSE, 0, 0);
        WaitForSingleObject(progress->thread, INFINITE);
        CloseHandle(progress->thread);
        progress->thread = nullptr;
        return 1;
    }
    if (WaitForSingleObject(progress->thread, 0) == WAIT_TIMEOUT) {
        SendDlgItemMessageA(progress->window, IDC_COPY_BAR, PBM_SETPOS, (WPARAM)percent, 0);
        RedrawWindow(progress->window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return 1;
    }
    // The user closed the dialog: the copy is cancelled.
    CloseHandle(progress->thread);
    progress->thread = nullptr;
    SetLastError(ERROR_CANCELLED);
    return 0;
}
