// Pronunciation hand-off, the manager's word store and the manager window.
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <string.h>
#include <set>
#include <string>
#include <utility>
#include "lexidata.h"
#include "linguakeeper_int.h"

namespace {

// Headwords handed over for pronunciation, per language (this process).
std::set<std::pair<WORD, std::string>> g_words;

// Language and headword of a data item (type 1); false for anything else.
bool ItemWord(const void *record, WORD *language, std::string *word) {
    const VLDataItem *item = (const VLDataItem *)record;
    if (!item || item->head.type != VLITEM_DATA || item->head.size < sizeof(VLDataItem))
        return false;
    *language = item->language;
    LONG len = item->headwordLen;
    if (!item->headword || len <= 0 || len > 0x10000)
        return false;
    word->assign(item->headword, len);
    return true;
}

const char kManagerClass[] = "LinguakeeperManager";
const int kTextId = 100;

LRESULT CALLBACK ManagerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | WS_VSCROLL,
                        0, 0, 0, 0, w, (HMENU)(INT_PTR)kTextId, g_linguakeeperModule, nullptr);
        return 0;
    case WM_SIZE:
        MoveWindow(GetDlgItem(w, kTextId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

}  // namespace

extern "C" int WINAPI Linguakeeper_PlaySound(const void *data, DWORD size) {
    const BYTE *p = (const BYTE *)data;
    if (!p || size < 44 || memcmp(p, "RIFF", 4) != 0 || memcmp(p + 8, "WAVE", 4) != 0)
        return 0;
    DWORD riff;
    memcpy(&riff, p + 4, 4);
    if (riff > size - 8)  // a header that claims more than was handed over
        return 0;
    return PlaySoundA((LPCSTR)p, nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT) ? 1 : 0;
}

extern "C" int WINAPI Linguakeeper_AddEntry(const void *item, int, DWORD, const void *) {
    WORD language;
    std::string word;
    if (!ItemWord(item, &language, &word))
        return 0;
    Lk_Lock();
    g_words.insert({language, word});
    Lk_Unlock();
    return 1;
}

extern "C" int WINAPI Linguakeeper_HasItem(const void *item) {
    WORD language;
    std::string word;
    if (!ItemWord(item, &language, &word))
        return 0;
    Lk_Lock();
    int held = g_words.count({language, word}) != 0;
    Lk_Unlock();
    return held;
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
        w = CreateWindowExA(0, kManagerClass, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360, 240,
                            nullptr, nullptr, g_linguakeeperModule, nullptr);
    if (!w)
        return nullptr;
    SetWindowTextA(w, record.displayName);
    if (text)
        SetDlgItemTextA(w, kTextId, text);
    ShowWindow(w, SW_SHOWNORMAL);
    SetForegroundWindow(w);
    return w;
}
