// The control bar's window: a row of owner-drawn buttons, the switch states the main window sends,
// clicks posted to the main window, tooltips, position kept in the settings.
#include <vector>
#include "toolstrip.h"
#include <commctrl.h>
#include "toolstrip_int.h"
#include "toolstrip_res.h"

HINSTANCE g_toolstripModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_toolstripModule = module;
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        UnregisterClassA(TOOLSTRIP_CLASS, module);
    }
    return TRUE;
}

namespace {

const int kGap = 3, kButtonHeight = 26, kPad = 8, kIcon = 16;
const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;

struct Button {
    int spec;  // index into kTsButtons
    HWND window = nullptr;
    HICON icon = nullptr;
};

struct Bar {
    HWND window = nullptr;
    HWND main = nullptr;
    HWND tooltip = nullptr;  // the manager's tooltip window, or null
    HFONT font = nullptr;
    HMODULE icons = nullptr;  // the resource library while icons are shown
    bool switches[kTsButtonCount] = {};
    std::vector<Button> buttons;
};

// What Toolstrip_Create hands to the window's creation.
struct CreateParams {
    HWND main;
    HWND tooltip;
};

Bar *StateOf(HWND w) { return (Bar *)GetWindowLongPtrW(w, GWLP_USERDATA); }

std::wstring String(UINT id) {
    const wchar_t *text = nullptr;
    int n = LoadStringW(g_toolstripModule, id, (LPWSTR)&text, 0);
    return n > 0 && text ? std::wstring(text, n) : std::wstring();
}

std::wstring LabelOf(int spec) {
    if (kTsButtons[spec].action == TsAction::TransSet) {
        std::wstring name = Toolstrip_TransSetName();
        if (!name.empty()) return name;
    }
    return String(IDS_TOOLSTRIP_LABEL + spec);
}

void AddTool(Bar *bar, HWND button, const std::wstring &tip) {
    if (!bar->tooltip) return;
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = bar->window;
    tool.uId = (UINT_PTR)button;
    tool.lpszText = (LPWSTR)tip.c_str();
    SendMessageW(bar->tooltip, TTM_ADDTOOLW, 0, (LPARAM)&tool);
}

void RemoveTool(Bar *bar, HWND button) {
    if (!bar->tooltip || !IsWindow(bar->tooltip)) return;
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = bar->window;
    tool.uId = (UINT_PTR)button;
    SendMessageW(bar->tooltip, TTM_DELTOOLW, 0, (LPARAM)&tool);
}

void DropButtons(Bar *bar) {
    for (Button &b : bar->buttons) {
        RemoveTool(bar, b.window);
        DestroyWindow(b.window);
        if (b.icon) DestroyIcon(b.icon);
    }
    bar->buttons.clear();
    if (bar->icons) {
        FreeLibrary(bar->icons);
        bar->icons = nullptr;
    }
}

int ButtonWidth(Bar *bar, const Button &b) {
    std::wstring label = LabelOf(b.spec);
    HDC dc = GetDC(bar->window);
    HGDIOBJ old = SelectObject(dc, bar->font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, label.c_str(), (int)label.size(), &size);
    SelectObject(dc, old);
    ReleaseDC(bar->window, dc);
    return kPad + (b.icon ? kIcon + 4 : 0) + size.cx + kPad;
}

// Places the buttons in a row and sizes the bar around them, inside the screen.
void Layout(Bar *bar) {
    int x = kGap;
    for (Button &b : bar->buttons) {
        int width = ButtonWidth(bar, b);
        SetWindowTextW(b.window, LabelOf(b.spec).c_str());
        MoveWindow(b.window, x, kGap, width, kButtonHeight, TRUE);
        x += width + kGap;
    }
    RECT rc = {0, 0, x, kGap + kButtonHeight + kGap};
    AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    RECT now;
    GetWindowRect(bar->window, &now);
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN), bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    int px = now.left, py = now.top;
    if (px + width > right) px = right - width;
    if (py + height > bottom) py = bottom - height;
    if (px < left) px = left;
    if (py < top) py = top;
    SetWindowPos(bar->window, nullptr, px, py, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Builds the buttons the options choose.
void Build(Bar *bar) {
    DropButtons(bar);
    ControlBarOptions options;
    Toolstrip_LoadOptions(&options);
    if (options.CtlBarIcon == 1) bar->icons = LoadLibraryA("Uiassets.dll");
    DWORD mask = Toolstrip_ChosenButtons(options);
    for (int i = 0; i < kTsButtonCount; i++) {
        if (!(mask & (1u << i))) continue;
        Button b;
        b.spec = i;
        b.window = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0,
                                   bar->window, (HMENU)(UINT_PTR)kTsButtons[i].id, g_toolstripModule, nullptr);
        if (!b.window) continue;
        SendMessageW(b.window, WM_SETFONT, (WPARAM)bar->font, FALSE);
        if (bar->icons)
            b.icon = (HICON)LoadImageW(bar->icons, MAKEINTRESOURCEW(kTsButtons[i].icon), IMAGE_ICON, kIcon, kIcon, 0);
        AddTool(bar, b.window, String(IDS_TOOLSTRIP_TIP + i));
        bar->buttons.push_back(b);
    }
    Layout(bar);
}

const Button *ButtonWithId(Bar *bar, UINT id) {
    for (const Button &b : bar->buttons)
        if (kTsButtons[b.spec].id == id) return &b;
    return nullptr;
}

void OnClick(Bar *bar, UINT id) {
    const Button *b = ButtonWithId(bar, id);
    if (!b || !IsWindow(bar->main)) return;
    const TsButtonSpec &spec = kTsButtons[b->spec];
    // Posted, not sent: the main window's answer may destroy this bar.
    switch (spec.action) {
    case TsAction::Switch:
        PostMessageW(bar->main, spec.message, (WPARAM)-1, bar->switches[b->spec] ? 0 : 1);
        break;
    case TsAction::TransSet: {
        RECT rc;
        GetWindowRect(b->window, &rc);
        PostMessageW(bar->main, spec.message, 0, MAKELPARAM(rc.left, rc.bottom));
        break;
    }
    case TsAction::Post:
        PostMessageW(bar->main, spec.message, spec.wParam, 0);
        break;
    }
}

LRESULT OnState(Bar *bar, WPARAM item, LPARAM state) {
    if (item == TOOLSTRIP_ITEM_TRANSSET) {
        Layout(bar);
        return 1;
    }
    int index = Toolstrip_SwitchIndex(item);
    if (index < 0) return 0;
    bar->switches[index] = state != 0;
    if (const Button *b = ButtonWithId(bar, (UINT)item)) InvalidateRect(b->window, nullptr, TRUE);
    return 1;
}

void OnDrawItem(Bar *bar, const DRAWITEMSTRUCT *draw) {
    const Button *b = ButtonWithId(bar, draw->CtlID);
    if (!b) return;
    HDC dc = draw->hDC;
    RECT rc = draw->rcItem;
    bool on = bar->switches[b->spec];
    bool pressed = (draw->itemState & ODS_SELECTED) != 0;
    HBRUSH face = on ? CreateSolidBrush(RGB(0xCF, 0xE0, 0xFF)) : nullptr;
    FillRect(dc, &rc, face ? face : GetSysColorBrush(COLOR_BTNFACE));
    if (face) DeleteObject(face);
    DrawEdge(dc, &rc, on || pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int shift = pressed ? 1 : 0;
    int x = rc.left + kPad + shift;
    if (b->icon) {
        DrawIconEx(dc, x, (rc.top + rc.bottom - kIcon) / 2 + shift, b->icon, kIcon, kIcon, 0, nullptr, DI_NORMAL);
        x += kIcon + 4;
    }
    std::wstring label = LabelOf(b->spec);
    RECT text = {x, rc.top + shift, rc.right, rc.bottom + shift};
    HGDIOBJ old = SelectObject(dc, bar->font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, label.c_str(), (int)label.size(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, old);
}

void OnDestroy(Bar *bar) {
    RECT rc;
    GetWindowRect(bar->window, &rc);
    Toolstrip_SavePosition(rc.left, rc.top);
    DropButtons(bar);
    if (IsWindow(bar->main)) SendMessageW(bar->main, TS_VLM_UNREGISTER_WINDOW, kControlBarKind, 0);
}

LRESULT CALLBACK BarProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    Bar *bar = StateOf(w);
    switch (msg) {
    case WM_NCCREATE: {
        const CreateParams *params = (const CreateParams *)((CREATESTRUCTW *)lParam)->lpCreateParams;
        bar = new Bar;
        bar->window = w;
        bar->main = params->main;
        bar->tooltip = params->tooltip;
        bar->font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS UI Gothic");
        SetWindowLongPtrW(w, GWLP_USERDATA, (LONG_PTR)bar);
        break;
    }
    case WM_COMMAND:
        if (bar && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED)) OnClick(bar, LOWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        if (bar) OnDrawItem(bar, (const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case TOOLSTRIP_VLM_CONTROL_BAR_STATE:
        return bar ? OnState(bar, wParam, lParam) : 0;
    case TS_VLM_OPTIONS_CHANGED:
        if (bar) Build(bar);
        return 1;
    case WM_CLOSE:
        if (bar && IsWindow(bar->main))
            PostMessageW(bar->main, TS_VLM_SET_CONTROL_BAR, 0, 0);
        else
            DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        if (bar) OnDestroy(bar);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        if (bar && bar->font) DeleteObject(bar->font);
        delete bar;
        break;
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

bool RegisterBar() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BarProc;
    wc.hInstance = g_toolstripModule;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"" TOOLSTRIP_CLASS;
    return RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Where the bar stands first: its saved position, else the top left of the work area.
POINT StartPosition() {
    ControlBarWindowLayout layout;
    POINT p;
    if (Toolstrip_LoadPosition(&layout)) {
        p.x = layout.x;
        p.y = layout.y;
        return p;
    }
    RECT area;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) SetRect(&area, 0, 0, 0, 0);
    p.x = area.left;
    p.y = area.top;
    return p;
}

}  // namespace

extern "C" HWND WINAPI Toolstrip_Create(HWND mainWindow, ToolTipManager *tooltips) {
    if (!RegisterBar()) return nullptr;
    CreateParams params = {mainWindow, tooltips ? tooltips->Window : nullptr};
    POINT at = StartPosition();
    std::wstring caption = String(IDS_TOOLSTRIP_CAPTION);
    HWND w = CreateWindowExW(kExStyle, L"" TOOLSTRIP_CLASS, caption.c_str(), kStyle, at.x, at.y, 100, 40, mainWindow,
                             nullptr, g_toolstripModule, &params);
    if (!w) return nullptr;
    Build(StateOf(w));
    if (IsWindow(mainWindow)) SendMessageW(mainWindow, TS_VLM_REGISTER_WINDOW, kControlBarKind, (LPARAM)w);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
    return w;
}
