// The manager window (class LinguakeeperManager, one per thread that opens it): a language chosen
// from the languages the manager knows, with its icon; a text, the caller's or typed; the words of
// the text with their search keys as the language's driver makes them; and the headwords handed
// over for pronunciation in that language.  The title is the language's display name.
#include <stdio.h>
#include <string.h>
#include "linguakeeper_int.h"

namespace {

const char kManagerClass[] = "LinguakeeperManager";
enum {
    kTextId = 100,     // the text (edit)
    kLanguageId = 101, // the languages (drop-down list, item data the language code)
    kIconId = 102,     // the language's icon
    kWordsId = 103,    // words of the text: "word<TAB>search key"
    kHandedId = 104,   // headwords handed over for pronunciation
    kTextLabel = 110,
    kWordsLabel = 111,
    kHandedLabel = 112,
};
const UINT kWordsChanged = WM_APP + 1;
const int kGap = 8;

struct Manager {
    HWND window = nullptr;
    WORD language = 0;
    HFONT textFont = nullptr;  // the language's first face in its charset
};

Manager *StateOf(HWND w) { return (Manager *)GetWindowLongPtrA(w, GWLP_USERDATA); }

HWND Item(Manager *m, int id) { return GetDlgItem(m->window, id); }

void FillWords(Manager *m) {
    HWND list = Item(m, kWordsId);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int length = GetWindowTextLengthA(Item(m, kTextId));
    std::string text(length + 1, '\0');
    GetWindowTextA(Item(m, kTextId), &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    HANDLE words = Linguakeeper_OpenWordEnum(m->language, text.c_str());
    if (!words)
        return;
    std::string word(text.size() + 1, '\0'), key(2 * text.size() + 2, '\0');
    while (Linguakeeper_NextWordEnum(words, &word[0], (int)word.size())) {
        if (!Linguakeeper_ConvertKey(m->language, 1, word.c_str(), &key[0]))
            key[0] = 0;
        std::string row = word.c_str() + std::string("\t") + key.c_str();
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)row.c_str());
    }
    Linguakeeper_CloseWordEnum(words);
}

void FillHandedOver(Manager *m) {
    HWND list = Item(m, kHandedId);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string &w : Lk_HandedOverWords(m->language))
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)w.c_str());
}

// Shows the language: title, icon, the fonts of the text and the lists, the chosen list item, and
// the lists filled for it.
void SetLanguage(Manager *m, WORD code, const LinguakeeperLangRecord &record) {
    m->language = code;
    SetWindowTextA(m->window, record.displayName);
    SendMessageA(Item(m, kIconId), STM_SETICON, (WPARAM)Linguakeeper_GetLangIcon(code, nullptr, 0), 0);
    HFONT old = m->textFont;
    HDC dc = GetDC(m->window);
    int height = -MulDiv(10, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(m->window, dc);
    char face[32];
    memcpy(face, record.face1, sizeof face);
    face[31] = 0;
    m->textFont = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, (BYTE)record.charset, 0, 0, 0, 0, face);
    for (int id : {kTextId, kWordsId, kHandedId})
        SendMessageA(Item(m, id), WM_SETFONT, (WPARAM)m->textFont, TRUE);
    if (old)
        DeleteObject(old);
    HWND box = Item(m, kLanguageId);
    int n = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++)
        if ((WORD)SendMessageA(box, CB_GETITEMDATA, i, 0) == code)
            SendMessageA(box, CB_SETCURSEL, i, 0);
    FillWords(m);
    FillHandedOver(m);
}

void Layout(Manager *m, int cx, int cy) {
    int half = (cx - 3 * kGap) / 2, listTop = 160;
    MoveWindow(Item(m, kIconId), kGap, kGap, 32, 32, TRUE);
    MoveWindow(Item(m, kLanguageId), kGap + 40, kGap + 6, 220, 300, TRUE);
    MoveWindow(Item(m, kTextLabel), kGap, 48, cx - 2 * kGap, 16, TRUE);
    MoveWindow(Item(m, kTextId), kGap, 66, cx - 2 * kGap, 68, TRUE);
    MoveWindow(Item(m, kWordsLabel), kGap, listTop - 18, half, 16, TRUE);
    MoveWindow(Item(m, kHandedLabel), 2 * kGap + half, listTop - 18, half, 16, TRUE);
    int listHeight = cy - listTop - kGap > 40 ? cy - listTop - kGap : 40;
    MoveWindow(Item(m, kWordsId), kGap, listTop, half, listHeight, TRUE);
    MoveWindow(Item(m, kHandedId), 2 * kGap + half, listTop, half, listHeight, TRUE);
}

void OnCreate(Manager *m) {
    HINSTANCE module = g_linguakeeperModule;
    HFONT gui = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    struct Control { DWORD exStyle; const char *cls, *text; DWORD style; int id; } const controls[] = {
        {0, "STATIC", "", SS_ICON, kIconId},
        {0, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kLanguageId},
        {0, "STATIC", "Text", SS_LEFT, kTextLabel},
        {WS_EX_CLIENTEDGE, "EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP,
         kTextId},
        {0, "STATIC", "Words and search keys", SS_LEFT, kWordsLabel},
        {0, "STATIC", "Handed over for pronunciation", SS_LEFT, kHandedLabel},
        {WS_EX_CLIENTEDGE, "LISTBOX", "", LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
         kWordsId},
        {WS_EX_CLIENTEDGE, "LISTBOX", "", LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, kHandedId},
    };
    for (const Control &c : controls) {
        HWND w = CreateWindowExA(c.exStyle, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 10, 10, m->window,
                                 (HMENU)(INT_PTR)c.id, module, nullptr);
        SendMessageA(w, WM_SETFONT, (WPARAM)gui, FALSE);
    }
    WORD codes[64];
    int n = Lk_ListLanguages(codes, 64);
    HWND box = Item(m, kLanguageId);
    for (int i = 0; i < n; i++) {
        LinguakeeperLangRecord r = {};
        r.size = sizeof r;
        if (!Linguakeeper_GetLangInfo(codes[i], &r))
            continue;
        char label[100];
        snprintf(label, sizeof label, "%s%s", r.displayName, r.available ? "" : " (not loaded)");
        int at = (int)SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)label);
        SendMessageA(box, CB_SETITEMDATA, at, codes[i]);
    }
    RECT rc;
    GetClientRect(m->window, &rc);
    Layout(m, rc.right, rc.bottom);
}

LRESULT CALLBACK ManagerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    Manager *m = StateOf(w);
    if (msg == WM_NCCREATE) {
        m = new Manager;
        m->window = w;
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)m);
        return DefWindowProcA(w, msg, wParam, lParam);
    }
    if (!m)
        return DefWindowProcA(w, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE: OnCreate(m); return 0;
    case WM_SIZE: Layout(m, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kLanguageId && HIWORD(wParam) == CBN_SELCHANGE) {
            HWND box = Item(m, kLanguageId);
            int at = (int)SendMessageA(box, CB_GETCURSEL, 0, 0);
            LinguakeeperLangRecord r = {};
            r.size = sizeof r;
            WORD code = at >= 0 ? (WORD)SendMessageA(box, CB_GETITEMDATA, at, 0) : 0;
            if (code && Linguakeeper_GetLangInfo(code, &r))
                SetLanguage(m, code, r);
        } else if (LOWORD(wParam) == kTextId && HIWORD(wParam) == EN_CHANGE) {
            FillWords(m);
        }
        return 0;
    case kWordsChanged: FillHandedOver(m); return 0;
    case WM_NCDESTROY:
        if (m->textFont)
            DeleteObject(m->textFont);
        delete m;
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

}  // namespace

void Lk_ManagerWordsChanged() {
    for (HWND w = FindWindowExA(nullptr, nullptr, kManagerClass, nullptr); w;
         w = FindWindowExA(nullptr, w, kManagerClass, nullptr))
    {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId())  // the words handed over are this process's
            PostMessageA(w, kWordsChanged, 0, 0);
    }
}

extern "C" HWND WINAPI Linguakeeper_OpenManager(DWORD language, const char *text, DWORD) {
    LinguakeeperLangRecord record = {};
    record.size = sizeof record;
    if (!Linguakeeper_GetLangInfo(language, &record))
        return nullptr;
    WNDCLASSA wc = {};
    if (!GetClassInfoA(g_linguakeeperModule, kManagerClass, &wc)) {
        wc.lpfnWndProc = ManagerProc;
        wc.hInstance = g_linguakeeperModule;
        wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = kManagerClass;
        if (!RegisterClassA(&wc))
            return nullptr;
    }
    HWND w = FindWindowA(kManagerClass, nullptr);
    if (!w || GetWindowThreadProcessId(w, nullptr) != GetCurrentThreadId())
        w = CreateWindowExA(0, kManagerClass, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 460, 380,
                            nullptr, nullptr, g_linguakeeperModule, nullptr);
    if (!w || !StateOf(w))
        return nullptr;
    if (text)
        SetDlgItemTextA(w, kTextId, text);
    SetLanguage(StateOf(w), record.language, record);
    ShowWindow(w, SW_SHOWNORMAL);
    SetForegroundWindow(w);
    return w;
}
