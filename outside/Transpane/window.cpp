// TRANSPANE.EXE: the translation window (kind 4), its registration with the resident program,
// what it shows, and the program's entry.
#include <windows.h>
#include <richedit.h>
#include <stdio.h>
#include "prefstore.h"
#include "sharedkit.h"
#include "transpane.h"
#include "transpane_int.h"
#include "transpane_res.h"

namespace {

const UINT kRegisterWindow = 0x83E9, kUnregisterWindow = 0x83EA;
const int kKind = 4, kSourceHeight = 22;

struct Pane {
    HWND window = nullptr, source = nullptr, text = nullptr;
    HFONT font = nullptr;
    LRESULT last[3] = {};  // source, dictionary, translator of the text shown
};

Pane *StateOf(HWND w) { return (Pane *)GetWindowLongPtrW(w, GWLP_USERDATA); }

std::wstring String(UINT id) {
    const wchar_t *text = nullptr;
    int n = LoadStringW(GetModuleHandleW(nullptr), id, (LPWSTR)&text, 0);
    return n > 0 && text ? std::wstring(text, n) : std::wstring();
}

void ShowSource(Pane *pane, UINT format, DWORD dictionary, DWORD translator) {
    wchar_t line[256];
    _snwprintf(line, 256, String(format).c_str(), dictionary, translator);
    line[255] = 0;
    SetWindowTextW(pane->source, line);
}

void Shown(Pane *pane, LRESULT source, DWORD dictionary, DWORD translator) {
    pane->last[TRANSPANE_LAST_SOURCE] = source;
    pane->last[TRANSPANE_LAST_DICTIONARY] = dictionary;
    pane->last[TRANSPANE_LAST_TRANSLATOR] = translator;
}

LRESULT OnRtfFile(Pane *pane, DWORD dictionary, DWORD translator) {
    std::string rtf;
    if (!Transpane_ReadHandOver("WebbridgeTmp.rtf", &rtf)) return 0;
    SETTEXTEX how = {ST_DEFAULT, CP_ACP};
    SendMessageW(pane->text, EM_SETTEXTEX, (WPARAM)&how, (LPARAM)rtf.c_str());
    ShowSource(pane, IDS_TRANSPANE_FROM_RTF, dictionary, translator);
    Shown(pane, TRANSPANE_SOURCE_RTF, dictionary, translator);
    return 1;
}

LRESULT OnTextFile(Pane *pane, DWORD dictionary, DWORD translator) {
    std::string text;
    if (!Transpane_ReadHandOver("WebbridgeTmp.txt", &text)) return 0;
    SetWindowTextW(pane->text, Transpane_Wide(text, CP_ACP).c_str());
    ShowSource(pane, IDS_TRANSPANE_FROM_TEXT, dictionary, translator);
    Shown(pane, TRANSPANE_SOURCE_TEXT, dictionary, translator);
    return 1;
}

LRESULT OnDeliveredItem(Pane *pane, LPARAM id) {
    std::wstring text;
    DWORD dictionary = 0;
    if (!Transpane_ReceiveRequest(id, &text, &dictionary)) return 0;
    SetWindowTextW(pane->text, text.c_str());
    ShowSource(pane, IDS_TRANSPANE_FROM_REQUEST, dictionary, 0);
    Shown(pane, TRANSPANE_SOURCE_REQUEST, dictionary, 0);
    return 1;
}

void OnCreate(HWND w, Pane *pane) {
    pane->font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic");
    HINSTANCE instance = GetModuleHandleW(nullptr);
    pane->source = CreateWindowExW(0, L"STATIC", String(IDS_TRANSPANE_EMPTY).c_str(),
                                   WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE, 0, 0, 0, 0, w,
                                   (HMENU)TRANSPANE_IDC_SOURCE, instance, nullptr);
    pane->text = CreateWindowExW(WS_EX_CLIENTEDGE, RICHEDIT_CLASSW, L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                                 0, 0, 0, w, (HMENU)TRANSPANE_IDC_TEXT, instance, nullptr);
    SendMessageW(pane->source, WM_SETFONT, (WPARAM)pane->font, FALSE);
    SendMessageW(pane->text, WM_SETFONT, (WPARAM)pane->font, FALSE);
    Sharedkit_SendToMain(kRegisterWindow, kKind, (LPARAM)w);
}

void OnSize(Pane *pane, int width, int height) {
    MoveWindow(pane->source, 6, 0, width - 12, kSourceHeight, TRUE);
    MoveWindow(pane->text, 0, kSourceHeight, width, height - kSourceHeight, TRUE);
}

void SavePlace(HWND w) {
    WINDOWPLACEMENT place = {sizeof place};
    if (!GetWindowPlacement(w, &place)) return;
    TranslationWindowLayout layout;
    Prefstore_LoadTranslationWindow(nullptr, &layout);
    layout.x = place.rcNormalPosition.left;
    layout.y = place.rcNormalPosition.top;
    layout.cx = place.rcNormalPosition.right - place.rcNormalPosition.left;
    layout.cy = place.rcNormalPosition.bottom - place.rcNormalPosition.top;
    layout.WindowMaximised = place.showCmd == SW_SHOWMAXIMIZED;
    Prefstore_SaveTranslationWindow(nullptr, &layout);
}

LRESULT CALLBACK PaneProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    Pane *pane = StateOf(w);
    switch (msg) {
    case WM_NCCREATE:
        pane = new Pane;
        pane->window = w;
        SetWindowLongPtrW(w, GWLP_USERDATA, (LONG_PTR)pane);
        break;
    case WM_CREATE:
        OnCreate(w, pane);
        return 0;
    case WM_SIZE:
        if (pane) OnSize(pane, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case TRANSPANE_VLM_TRANSLATE_RTF_FILE:
        return pane ? OnRtfFile(pane, (DWORD)wParam, (DWORD)lParam) : 0;
    case TRANSPANE_VLM_TRANSLATE_TEXT_FILE:
        return pane ? OnTextFile(pane, (DWORD)wParam, (DWORD)lParam) : 0;
    case TRANSPANE_VLM_DELIVER_ITEM:
        return pane ? OnDeliveredItem(pane, lParam) : 0;
    case TRANSPANE_VLM_CLOSE:
        DestroyWindow(w);
        return 1;
    case TRANSPANE_WM_LAST:
        return pane && wParam <= TRANSPANE_LAST_TRANSLATOR ? pane->last[wParam] : 0;
    case WM_DESTROY:
        SavePlace(w);
        Sharedkit_SendToMain(kUnregisterWindow, kKind, 0);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        if (pane && pane->font) DeleteObject(pane->font);
        delete pane;
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        break;
    default:
        if (msg >= 0x83E9 && msg <= 0x8415) return 0;  // the suite's notices: nothing to do here
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

// The saved place when there is one that lies on the screen, else the system's default.
RECT StartPlace(bool *maximised) {
    TranslationWindowLayout layout;
    Prefstore_LoadTranslationWindow(nullptr, &layout);
    *maximised = layout.WindowMaximised != 0;
    RECT r = {CW_USEDEFAULT, CW_USEDEFAULT, 560, 360};
    RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                   GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (layout.cx >= 200 && layout.cy >= 120) {
        RECT saved = {layout.x, layout.y, layout.x + layout.cx, layout.y + layout.cy}, seen;
        if (IntersectRect(&seen, &saved, &screen)) SetRect(&r, layout.x, layout.y, layout.cx, layout.cy);
    }
    return r;  // left, top, width, height
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    Sharedkit_Init();
    if (HWND running = FindWindowA(TRANSPANE_CLASS, nullptr)) {
        if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
        return 0;
    }
    if (!LoadLibraryA("riched20.dll")) return 1;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PaneProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"" TRANSPANE_CLASS;
    if (!RegisterClassW(&wc)) return 1;
    bool maximised = false;
    RECT place = StartPlace(&maximised);
    HWND w = CreateWindowExW(0, wc.lpszClassName, String(IDS_TRANSPANE_CAPTION).c_str(), WS_OVERLAPPEDWINDOW,
                             place.left, place.top, place.right, place.bottom, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    ShowWindow(w, maximised ? SW_SHOWMAXIMIZED : show);
    UpdateWindow(w);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
