// Help: one help window per thread (class SharedkitHelp), owned by the caller's top-level window,
// showing the subject of the help command, the topic number and the caller's file; the next help
// command brings the same window forward with its own subject.  The texts are this library's
// resources (Japanese), read and shown as wide text whatever the system's code page.
#include <stdio.h>
#include <string>
#include "sharedkit.h"
#include "sharedkit_int.h"
#include "sharedkit_res.h"

namespace {

const char kHelpClass[] = "SharedkitHelp";

struct HelpWindow {
    HFONT subjectFont = nullptr, bodyFont = nullptr;
};

// The subject string of a help command, 0 for a command that is not help.
UINT SubjectOf(UINT command) {
    switch (command) {
    case 1: return IDS_SHAREDKIT_HELP_CONTENTS;
    case 5601: return IDS_SHAREDKIT_HELP_TOPICS;
    case 5602: return IDS_SHAREDKIT_HELP_START;
    case 5604: return IDS_SHAREDKIT_HELP_SEARCH;
    case 5605: return IDS_SHAREDKIT_HELP_DICS;
    case 5606: return IDS_SHAREDKIT_HELP_STUDY;
    case 5607: return IDS_SHAREDKIT_HELP_OPTIONS;
    default: return 0;
    }
}

std::wstring Text(UINT id) {
    const wchar_t *p = nullptr;
    int n = LoadStringW(g_sharedkitModule, id, (LPWSTR)&p, 0);  // read-only view of the resource
    return n > 0 && p ? std::wstring(p, n) : std::wstring();
}

HFONT MakeFont(int points, int weight) {
    HDC dc = GetDC(nullptr);
    int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    return CreateFontW(height, 0, 0, 0, weight, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, L"MS UI Gothic");
}

void Layout(HWND w) {
    RECT rc;
    GetClientRect(w, &rc);
    MoveWindow(GetDlgItem(w, IDC_SHAREDKIT_HELP_SUBJECT), 16, 12, rc.right - 32, 28, TRUE);
    MoveWindow(GetDlgItem(w, IDC_SHAREDKIT_HELP_BODY), 16, 48, rc.right - 32, rc.bottom - 60, TRUE);
}

LRESULT CALLBACK HelpProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    HelpWindow *h = (HelpWindow *)GetWindowLongPtrW(w, GWLP_USERDATA);
    switch (msg) {
    case WM_NCCREATE:
        h = new HelpWindow;
        SetWindowLongPtrW(w, GWLP_USERDATA, (LONG_PTR)h);
        break;
    case WM_CREATE:
        h->subjectFont = MakeFont(14, FW_BOLD);
        h->bodyFont = MakeFont(10, FW_NORMAL);
        for (int id : {IDC_SHAREDKIT_HELP_SUBJECT, IDC_SHAREDKIT_HELP_BODY}) {
            HWND c = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10,
                                     w, (HMENU)(INT_PTR)id, g_sharedkitModule, nullptr);
            SendMessageW(c, WM_SETFONT, (WPARAM)(id == IDC_SHAREDKIT_HELP_SUBJECT ? h->subjectFont : h->bodyFont),
                         FALSE);
        }
        Layout(w);
        return 0;
    case WM_SIZE: Layout(w); return 0;
    case WM_CTLCOLORSTATIC:
        SetBkColor((HDC)wParam, GetSysColor(COLOR_WINDOW));
        return (LRESULT)GetSysColorBrush(COLOR_WINDOW);
    case WM_NCDESTROY:
        if (h) {
            DeleteObject(h->subjectFont);
            DeleteObject(h->bodyFont);
            delete h;
            SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        }
        break;
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

// This thread's help window, made when there is none.
HWND HelpWindowOfThread(HWND owner) {
    for (HWND w = FindWindowExA(nullptr, nullptr, kHelpClass, nullptr); w;
         w = FindWindowExA(nullptr, w, kHelpClass, nullptr))
        if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId())
            return w;
    WNDCLASSW wc = {};
    if (!GetClassInfoW(g_sharedkitModule, L"SharedkitHelp", &wc)) {
        wc.lpfnWndProc = HelpProc;
        wc.hInstance = g_sharedkitModule;
        wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = L"SharedkitHelp";
        if (!RegisterClassW(&wc))
            return nullptr;
    }
    return CreateWindowExW(0, L"SharedkitHelp", Text(IDS_SHAREDKIT_HELP_TITLE).c_str(), WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 440, 240, owner, nullptr, g_sharedkitModule, nullptr);
}

}  // namespace

extern "C" int WINAPI Sharedkit_ShowHelp(HWND window, UINT command, DWORD topic, const char *path) {
    UINT subject = SubjectOf(command);
    if (!subject)
        return 0;
    HWND owner = window && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
    HWND help = HelpWindowOfThread(owner);
    if (!help)
        return 0;
    if (GetWindow(help, GW_OWNER) != owner)  // kept from an earlier caller: this caller's now
        SetWindowLongPtrW(help, GWLP_HWNDPARENT, (LONG_PTR)owner);
    std::wstring body = Text(IDS_SHAREDKIT_HELP_NOTE) + L"\r\n\r\n" + Text(IDS_SHAREDKIT_HELP_TOPIC) +
                        std::to_wstring((unsigned long)topic);
    if (path && *path) {
        int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
        std::wstring wide(n > 0 ? n : 1, L'\0');
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], n);
        body += L"\r\n" + Text(IDS_SHAREDKIT_HELP_PATH) + wide.c_str();
    }
    SetDlgItemTextW(help, IDC_SHAREDKIT_HELP_SUBJECT, Text(subject).c_str());
    SetDlgItemTextW(help, IDC_SHAREDKIT_HELP_BODY, body.c_str());
    ShowWindow(help, IsIconic(help) ? SW_RESTORE : SW_SHOWNORMAL);
    SetWindowPos(help, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    char line[400];
    snprintf(line, sizeof line, "Sharedkit: help %u, topic %lu%s%s\n", command, (unsigned long)topic,
             path ? ", " : "", path ? path : "");
    OutputDebugStringA(line);
    return 1;
}
