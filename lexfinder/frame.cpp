// The finder's frame: a captioned window that holds the result dialog and ends the program's
// message loop when it is destroyed.
#include "lexicore.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_ui.h"

namespace {

struct FrameState {
    VLFinderState *st;
    HWND result;
};

FrameState *StateOf(HWND window) { return (FrameState *)GetWindowLongPtrA(window, GWLP_USERDATA); }

void CenterOnWorkArea(HWND window)
{
    RECT work, rc;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int OnCreate(HWND window, FrameState *state)
{
    state->result = Result_Create(window, state->st);
    if (!state->result) return -1;
    CenterOnWorkArea(window);
    return 0;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        FrameState *state = new FrameState{(VLFinderState *)((CREATESTRUCTA *)lParam)->lpCreateParams, nullptr};
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)state);
        break;
    }
    case WM_CREATE:
        return OnCreate(window, StateOf(window));
    case WM_SETFOCUS:
        if (StateOf(window) && StateOf(window)->result) SetFocus(StateOf(window)->result);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        delete StateOf(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool Frame_RegisterClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {sizeof wc};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hIcon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(UIA_FINDER_IDI_FRAME), IMAGE_ICON,
                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED);
    wc.hIconSm = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(UIA_FINDER_IDI_FRAME), IMAGE_ICON, 16, 16, LR_SHARED);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = FINDER_FRAME_CLASS;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND Frame_Create(HINSTANCE instance, VLFinderState *st)
{
    char caption[256] = {0};
    Uiassets_LoadString(UIA_IDS_FINDER_CAPTION, caption, sizeof caption);
    return CreateWindowExA(0, FINDER_FRAME_CLASS, caption,
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, st);
}

void Frame_Run(HWND frame)
{
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        HWND child = IsWindow(frame) ? GetTopWindow(frame) : nullptr;
        if (child && IsDialogMessageA(child, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}
