// The splash window: the product's texts over a white face with a coloured band, up for a set
// time, closed early by a click, a key or a call.
#include <vector>
#include "creditpane.h"
#include "creditpane_int.h"
#include "creditpane_res.h"

namespace {

const wchar_t kClass[] = L"" CREDITPANE_SPLASH_CLASS;
const UINT_PTR kCloseTimer = 1;
const int kMargin = 20, kLogo = 48, kBand = 8, kGap = 6;

volatile LONG g_splashTime = CREDITPANE_SPLASH_TIME;

struct Line {
    UINT text;
    int pixels;
    bool bold;
    COLORREF colour;
    int top = 0, height = 0;
};

struct Splash {
    std::vector<Line> lines;
    int width = 0, height = 0;
    DWORD time = 0;
};

Splash *StateOf(HWND w) { return (Splash *)GetWindowLongPtrW(w, GWLP_USERDATA); }

// Lines from the top and the window's size from the texts' extents.
void Measure(Splash *s) {
    s->lines = {{IDS_CREDITPANE_PRODUCT, 30, true, RGB(0x1F, 0x3F, 0x8F)},
                {IDS_CREDITPANE_JAPANESE, 17, false, RGB(0, 0, 0)},
                {IDS_CREDITPANE_ENGLISH, 15, false, RGB(0, 0, 0)},
                {IDS_CREDITPANE_VERSION, 13, false, RGB(0x40, 0x40, 0x40)},
                {IDS_CREDITPANE_STARTING, 13, false, RGB(0x40, 0x40, 0x40)},
                {IDS_CREDITPANE_COPYRIGHT, 12, false, RGB(0x60, 0x60, 0x60)}};
    HDC dc = GetDC(nullptr);
    int widest = 0, y = kBand + kMargin;
    for (Line &line : s->lines) {
        HFONT font = Creditpane_Font(line.pixels, line.bold);
        HGDIOBJ old = SelectObject(dc, font);
        std::wstring text = Creditpane_String(line.text);
        RECT rc = {0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), (int)text.size(), &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(font);
        if (rc.right > widest) widest = rc.right;
        line.top = y;
        line.height = rc.bottom;
        y += rc.bottom + kGap;
    }
    ReleaseDC(nullptr, dc);
    s->width = kMargin + kLogo + kMargin + widest + kMargin;
    if (s->width < 420) s->width = 420;
    s->height = y - kGap + kMargin + kBand;
}

void OnPaint(HWND w, Splash *s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT rc;
    GetClientRect(w, &rc);
    FillRect(dc, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    HBRUSH band = CreateSolidBrush(RGB(0x2F, 0x6F, 0xCF));
    RECT top = {0, 0, rc.right, kBand}, bottom = {0, rc.bottom - kBand, rc.right, rc.bottom};
    FillRect(dc, &top, band);
    FillRect(dc, &bottom, band);
    DeleteObject(band);
    RECT logo = {kMargin, kBand + kMargin, kMargin + kLogo, kBand + kMargin + kLogo};
    Creditpane_DrawLogo(dc, logo);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    for (const Line &line : s->lines) {
        HFONT font = Creditpane_Font(line.pixels, line.bold);
        HGDIOBJ old = SelectObject(dc, font);
        COLORREF oldColour = SetTextColor(dc, line.colour);
        std::wstring text = Creditpane_String(line.text);
        RECT place = {kMargin + kLogo + kMargin, line.top, rc.right - kMargin, line.top + line.height};
        DrawTextW(dc, text.c_str(), (int)text.size(), &place, DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, oldColour);
        SelectObject(dc, old);
        DeleteObject(font);
    }
    SetBkMode(dc, oldMode);
    EndPaint(w, &ps);
}

LRESULT CALLBACK SplashProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    Splash *s = StateOf(w);
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrW(w, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW *)lParam)->lpCreateParams);
        break;
    case WM_PAINT:
        if (s) {
            OnPaint(w, s);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam != kCloseTimer) break;
        DestroyWindow(w);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
        DestroyWindow(w);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        delete s;
        break;
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

HWND Open(HWND owner) {
    Creditpane_RegisterSplash(true);
    Splash *s = new Splash;
    s->time = (DWORD)g_splashTime;
    Measure(s);
    POINT at = Creditpane_CentreOver(owner, s->width, s->height);
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, L"Velomira", WS_POPUP | WS_BORDER, at.x,
                             at.y, s->width, s->height, owner, nullptr, g_creditpaneModule, s);
    if (!w) {
        delete s;
        return nullptr;
    }
    ShowWindow(w, SW_SHOWNORMAL);
    UpdateWindow(w);
    if (s->time) SetTimer(w, kCloseTimer, s->time, nullptr);
    return w;
}

struct CloseWalk {
    DWORD process;
    int count;
};

BOOL CALLBACK CloseOne(HWND w, LPARAM lParam) {
    CloseWalk *walk = (CloseWalk *)lParam;
    wchar_t cls[64];
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == walk->process && GetClassNameW(w, cls, 64) && lstrcmpW(cls, kClass) == 0) {
        PostMessageW(w, WM_CLOSE, 0, 0);
        walk->count++;
    }
    return TRUE;
}

}  // namespace

void Creditpane_RegisterSplash(bool reg) {
    if (!reg) {
        UnregisterClassW(kClass, g_creditpaneModule);
        return;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = SplashProc;
    wc.hInstance = g_creditpaneModule;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // a second registration fails harmlessly
}

extern "C" HWND WINAPI Creditpane_OpenSplash(HWND owner) { return Open(owner); }

extern "C" int WINAPI Creditpane_ShowSplash(HWND owner) {
    HWND w = Open(owner);
    if (!w) return 0;
    while (IsWindow(w)) {
        MSG m;
        BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got == 0) {
            DestroyWindow(w);
            PostQuitMessage((int)m.wParam);
            break;
        }
        if (got < 0) {
            DestroyWindow(w);
            break;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 1;
}

extern "C" int WINAPI Creditpane_CloseSplash(HWND splash) {
    CloseWalk walk = {GetCurrentProcessId(), 0};
    if (splash)
        CloseOne(splash, (LPARAM)&walk);
    else
        EnumWindows(CloseOne, (LPARAM)&walk);
    return walk.count;
}

extern "C" DWORD WINAPI Creditpane_SetSplashTime(DWORD milliseconds) {
    return (DWORD)InterlockedExchange(&g_splashTime, (LONG)milliseconds);
}
