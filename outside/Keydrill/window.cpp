// KEYDRILL.EXE: the drill's window, its painting and the program's entry.
#include <windows.h>
#include <stdio.h>
#include "keydrill.h"
#include "keydrill_int.h"
#include "keydrill_res.h"

namespace {

const int kMargin = 24;

struct Window {
    Drill drill;
    std::vector<std::wstring> prompts;
    HFONT title = nullptr, prompt = nullptr, text = nullptr, small = nullptr;
};

Window *StateOf(HWND w) { return (Window *)GetWindowLongPtrW(w, GWLP_USERDATA); }

std::wstring String(UINT id) {
    const wchar_t *text = nullptr;
    int n = LoadStringW(GetModuleHandleW(nullptr), id, (LPWSTR)&text, 0);
    return n > 0 && text ? std::wstring(text, n) : std::wstring();
}

std::wstring Format(UINT id, int a, int b, int c = 0) {
    wchar_t out[256];
    _snwprintf(out, 256, String(id).c_str(), a, b, c);
    out[255] = 0;
    return out;
}

HFONT Font(int pixels, bool bold, const wchar_t *face) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

void Load(Window *win) {
    for (int i = 0; i < KEYDRILL_LINE_COUNT; i++) {
        std::wstring wide = String(IDS_KEYDRILL_TEXT + i);
        std::string text(wide.begin(), wide.end());  // the texts are ASCII
        if (text.empty()) continue;
        win->drill.lines.push_back(text);
        win->prompts.push_back(String(IDS_KEYDRILL_PROMPT + i));
    }
    win->title = Font(16, false, L"MS UI Gothic");
    win->prompt = Font(24, true, L"MS UI Gothic");
    win->text = Font(26, false, L"MS Gothic");
    win->small = Font(14, false, L"MS UI Gothic");
}

void Text(HDC dc, HFONT font, COLORREF colour, int x, int y, const std::wstring &s) {
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, s.c_str(), (int)s.size());
    SelectObject(dc, old);
}

// The line to type: done part in blue, the next character on a marked ground, the rest in grey.
void PaintLine(HDC dc, Window *win, int y) {
    const Drill &d = win->drill;
    const std::string &line = d.lines[d.line];
    HGDIOBJ old = SelectObject(dc, win->text);
    int x = kMargin;
    for (int i = 0; i < (int)line.size(); i++) {
        wchar_t c = (wchar_t)(unsigned char)line[i];
        SIZE size;
        GetTextExtentPoint32W(dc, &c, 1, &size);
        if (i == d.column) {
            RECT mark = {x, y, x + size.cx, y + size.cy + 2};
            HBRUSH ground = CreateSolidBrush(d.lastMissed ? RGB(0xFF, 0xB0, 0xB0) : RGB(0xFF, 0xE8, 0x80));
            FillRect(dc, &mark, ground);
            DeleteObject(ground);
        }
        SetTextColor(dc, i < d.column ? RGB(0x1F, 0x4F, 0xCF) : i == d.column ? RGB(0, 0, 0) : RGB(0x90, 0x90, 0x90));
        TextOutW(dc, x, y, &c, 1);
        x += size.cx;
    }
    SelectObject(dc, old);
}

void OnPaint(HWND w, Window *win) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT rc;
    GetClientRect(w, &rc);
    FillRect(dc, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    const Drill &d = win->drill;
    int lines = (int)d.lines.size();
    if (!Drill_Done(d)) {
        Text(dc, win->title, RGB(0x40, 0x40, 0x40), kMargin, 16, Format(IDS_KEYDRILL_LINE, d.line + 1, lines));
        Text(dc, win->prompt, RGB(0, 0, 0), kMargin, 52, win->prompts[d.line]);
        Text(dc, win->small, RGB(0x60, 0x60, 0x60), kMargin, 96, String(IDS_KEYDRILL_HINT));
        PaintLine(dc, win, 124);
    } else {
        Text(dc, win->prompt, RGB(0x1F, 0x4F, 0xCF), kMargin, 52, String(IDS_KEYDRILL_DONE));
        Text(dc, win->small, RGB(0, 0, 0), kMargin, 124, String(IDS_KEYDRILL_AGAIN));
    }
    Text(dc, win->title, RGB(0, 0, 0), kMargin, rc.bottom - 36,
         Format(IDS_KEYDRILL_STATUS, d.typed, d.misses, Drill_Accuracy(d)));
    EndPaint(w, &ps);
}

LRESULT OnProgress(Window *win, WPARAM what) {
    const Drill &d = win->drill;
    switch (what) {
    case KEYDRILL_PROGRESS_LINE: return d.line;
    case KEYDRILL_PROGRESS_COLUMN: return d.column;
    case KEYDRILL_PROGRESS_TYPED: return d.typed;
    case KEYDRILL_PROGRESS_MISSES: return d.misses;
    case KEYDRILL_PROGRESS_LINES: return (LRESULT)d.lines.size();
    }
    return 0;
}

LRESULT CALLBACK DrillProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window *win = StateOf(w);
    switch (msg) {
    case WM_NCCREATE:
        win = new Window;
        Load(win);
        SetWindowLongPtrW(w, GWLP_USERDATA, (LONG_PTR)win);
        break;
    case WM_CHAR:
        if (win && wParam < 0x80 && Drill_Type(&win->drill, (char)wParam) != DrillStep::Ignored)
            InvalidateRect(w, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (win) {
            OnPaint(w, win);
            return 0;
        }
        break;
    case KEYDRILL_WM_PROGRESS:
        return win ? OnProgress(win, wParam) : 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        if (win) {
            DeleteObject(win->title);
            DeleteObject(win->prompt);
            DeleteObject(win->text);
            DeleteObject(win->small);
            delete win;
        }
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DrillProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.lpszClassName = L"" KEYDRILL_CLASS;
    if (!RegisterClassW(&wc)) return 1;
    RECT rc = {0, 0, 720, 240};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    HWND w = CreateWindowExW(0, wc.lpszClassName, String(IDS_KEYDRILL_CAPTION).c_str(), WS_OVERLAPPEDWINDOW,
                             CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                             instance, nullptr);
    if (!w) return 1;
    ShowWindow(w, show);
    UpdateWindow(w);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
