// Shared pieces of the data-list tests: a catalogue of three dictionaries in a settings file of
// the test (an English and a Japanese dictionary written by the fixture writer, and the sample
// driver dictionary), a parent window that records the notices it hears, data items of those
// dictionaries, and small helpers over the list view inside a data list.
#ifndef WIDGETRY_TESTS_LISTKIT_H
#define WIDGETRY_TESTS_LISTKIT_H

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "widgetry.h"
#include "support/testkit_catalogue.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "support/testkit_wait.h"
#include "../../lexidata/tests/fixtures/dicwriter.h"

namespace listkit {

// File ids of the catalogue: an English dictionary, a Japanese one and a driver dictionary.
const DWORD kEnglish = 0x3100, kJapanese = 0x3200, kDriver = 0x3300;
// Colours of the match classes saved in the candidate-list options before a list is made.
const CandidateListOptions kColours = {0, RGB(0, 0, 200), RGB(0, 140, 0), RGB(200, 120, 0), RGB(200, 0, 0)};
// Dictionary colours in the catalogue.
const COLORREF kEnglishColour = RGB(255, 0, 255), kJapaneseColour = RGB(0, 255, 255);

// Japanese texts in Shift-JIS, each behind a tag of charset 128.
#define LK_TAG "\x1b" "F80"
const char *const kRingo = LK_TAG "\x82\xe8\x82\xf1\x82\xb2";                          // ringo (apple)
const char *const kRingoNoKi = LK_TAG "\x82\xe8\x82\xf1\x82\xb2\x82\xcc\x96\xd8";      // apple tree
const char *const kRingoShu = LK_TAG "\x82\xe8\x82\xf1\x82\xb2\x8e\xf0";                // cider
const char *const kMikan = LK_TAG "\x82\xdd\x82\xa9\x82\xf1";                          // mandarin
const char *const kWaeiJiten = "\x98\x61\x89\x70\x8e\xab\x93\x54";                     // Japanese-English dictionary (untagged name)

inline void SaveColours()
{
    Prefstore_SaveCandidateList(&kColours);
}

inline void RegisterFile(DWORD fileId, const std::string &path, const char *name, WORD language,
                         COLORREF colour)
{
    Testkit_RegisterDictionary({fileId, name, language, 0, colour}, path);
}

// The catalogue in a settings file of its own, the engine started on it, the relay library's
// user data folder in the sandbox with empty history and active study lists.
struct Catalogue {
    std::string folder, settings, history, active;

    bool Start(const char *name)
    {
        folder = Testkit_StartSettingsFolder(name, &settings);
        std::string data = folder + "\\UserData";
        for (DWORD id : {kEnglish, kJapanese}) {
            TestkitDictionary d = {id, id == kEnglish ? "English-Japanese" : kWaeiJiten,
                                   (WORD)(id == kEnglish ? 0x0100 : 0x0400), (BYTE)(id == kEnglish ? 0 : 128),
                                   id == kEnglish ? kEnglishColour : kJapaneseColour};
            if (!Testkit_AddDictionary(folder, d)) return false;
        }
        RegisterFile(kDriver, Testkit_ProgramFolder() + "\\ddsample.dll", "Translator", 0x0100, RGB(90, 90, 90));
        SaveColours();
        if (!Lexicore_Init("VLWIDGETRYTEST", LEXICORE_INIT_DRIVERS)) return false;

        char path[MAX_PATH];
        VLWordList *empty = VLWordList_Create(100);
        CreateDirectoryA(data.c_str(), nullptr);
        if (Lexshelf_GetListFolder(path)) CreateDirectoryA(path, nullptr);
        if (Lexshelf_GetHistoryListPath(path)) {
            history = path;
            VLWordList_Save(empty, path);
        }
        if (Lexshelf_GetDefaultListPath(path)) {
            active = path;
            VLWordList_Save(empty, path);
            Lexshelf_SetActiveList(path);
        }
        VLWordList_Destroy(empty);
        return !history.empty() && !active.empty();
    }
    void Stop()
    {
        Lexicore_Term();
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(settings.c_str());
        Testkit_RemoveFolder(folder);
    }
    // The number of items in a study-list file.
    static int CountIn(const std::string &path)
    {
        VLWordList *list = VLWordList_Create(1000);
        int n = VLWordList_Load(list, path.c_str()) ? VLWordList_Count(list) : -1;
        VLWordList_Destroy(list);
        return n;
    }
};

// ---- Items ----------------------------------------------------------------------------------

struct ItemSpec {
    DWORD fileId, entry, back, score;
    const char *headword;
};

inline VLDataItem *MakeItem(const ItemSpec &s)
{
    VLDataItem head = {};
    head.head.fileId = s.fileId;
    head.head.entryNo = s.entry;
    head.entryLink = s.back << 16;
    head.score = s.score;
    head.language = s.fileId == kJapanese ? 0x0400 : 0x0100;
    head.charset = s.fileId == kJapanese ? 128 : 0;
    SYSTEMTIME st = {2024, 5, 3, 1, 9, 30, 0, 0};
    st.wMinute = (WORD)(s.entry % 60);
    SystemTimeToFileTime(&st, &head.head.time);
    return VLDataItem_Create(&head, s.headword, nullptr, nullptr, nullptr);
}

// Items of two dictionaries with the same entry numbers, grouped and not:
//   0 E10 apple (main)        1 E11 apple pie (sub)     2 E12 apple tree (sub)
//   3 J11 (back 1: names J10, which is not before it)  4 J10 ringo (main)  5 J12 cider (sub)
//   6 E20 banana (plain)      7 J30 mikan (plain)
inline std::vector<ItemSpec> TwoDictionaries()
{
    return {
        {kEnglish, 10, 0, 0x00000000, "apple"},
        {kEnglish, 11, 1, 0x10000000, "apple pie"},
        {kEnglish, 12, 2, 0x20000000, "apple tree"},
        {kJapanese, 11, 1, 0x30000000, kRingoNoKi},
        {kJapanese, 10, 0, 0x00000000, kRingo},
        {kJapanese, 12, 2, 0x20000000, kRingoShu},
        {kEnglish, 20, 0, 0x40000000, "banana"},
        {kJapanese, 30, 0, 0x10000000, kMikan},
    };
}

inline void Fill(HWND list, const std::vector<ItemSpec> &items)
{
    VLWordList *words = (VLWordList *)SendMessageA(list, VLDLM_GETLIST, 0, 0);
    VLWordList_DeleteAllItems(words);
    for (const ItemSpec &s : items) {
        VLDataItem *item = MakeItem(s);
        VLWordList_Add(words, item);
        VLDataItem_Destroy(item);
    }
    SendMessageA(list, VLDLM_REFRESH, 0, 0);
}

inline VLWordList *Words(HWND list)
{
    return (VLWordList *)SendMessageA(list, VLDLM_GETLIST, 0, 0);
}

// "file:entry" of each item of a word list, in order.
inline std::vector<std::string> Identities(const VLWordList *words)
{
    std::vector<std::string> ids;
    for (int i = 0; i < VLWordList_Count(words); i++) {
        const VLDataItem *item = VLWordList_GetItem(words, i);
        char s[32];
        snprintf(s, sizeof s, "%X:%u", (unsigned)item->head.fileId, (unsigned)item->head.entryNo);
        ids.push_back(s);
    }
    return ids;
}

// ---- The list view inside ------------------------------------------------------------------

inline HWND View(HWND list)
{
    return FindWindowExA(list, nullptr, WC_LISTVIEWA, nullptr);
}

inline int ShownRows(HWND list)
{
    return (int)SendMessageA(View(list), LVM_GETITEMCOUNT, 0, 0);
}

// The word-list position each shown row stands for (the row's text, "%06d").
inline std::vector<int> RowItems(HWND list)
{
    std::vector<int> items;
    for (int row = 0; row < ShownRows(list); row++) {
        char text[32] = "";
        LVITEMA lv = {};
        lv.iSubItem = 0;
        lv.pszText = text;
        lv.cchTextMax = sizeof text;
        SendMessageA(View(list), LVM_GETITEMTEXTA, row, (LPARAM)&lv);
        items.push_back(atoi(text));
    }
    return items;
}

inline std::vector<int> SelectedRows(HWND list)
{
    std::vector<int> rows;
    for (int row = -1; (row = (int)SendMessageA(View(list), LVM_GETNEXTITEM, row, LVNI_SELECTED)) >= 0;)
        rows.push_back(row);
    return rows;
}

inline int FocusedRow(HWND list)
{
    return (int)SendMessageA(View(list), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
}

inline RECT RowRect(HWND list, int row)
{
    RECT rc = {};
    rc.left = LVIR_BOUNDS;
    SendMessageA(View(list), LVM_GETITEMRECT, row, (LPARAM)&rc);
    return rc;
}

// Keys with modifiers: the thread's key state says Shift and Ctrl are down (or up) while the key
// goes to the list view.
inline void Key(HWND list, WPARAM key, bool shift = false, bool control = false)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageA(View(list), WM_KEYDOWN, key, 1);
    state[VK_SHIFT] = state[VK_CONTROL] = 0;
    SetKeyboardState(state);
}

inline void Click(HWND list, int row, int x, bool twice = false)
{
    RECT rc = RowRect(list, row);
    LPARAM at = MAKELPARAM(rc.left + x, (rc.top + rc.bottom) / 2);
    HWND view = View(list);
    PostMessageA(view, WM_LBUTTONUP, 0, at);   // ends a drag-detection loop of the list view
    SendMessageA(view, twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, at);
    Testkit_Pump();
}

// ---- A parent that records what it hears -----------------------------------------------------

struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<Notice> &Heard()
{
    static std::vector<Notice> heard;
    return heard;
}

inline std::vector<Notice> HeardOf(UINT message)
{
    std::vector<Notice> out;
    for (const Notice &n : Heard())
        if (n.message == message) out.push_back(n);
    return out;
}

inline LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case VLDLN_CHOOSE:
    case VLDLN_RIGHT:
    case VLDLN_LEFT:
    case VLDLN_SIZE:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        Heard().push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND MakeParent(int width = 640, int height = 420)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = "WidgetryTestParent";
        RegisterClassA(&wc);
        registered = true;
    }
    HWND parent = CreateWindowExA(0, "WidgetryTestParent", "Data list", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  40, 40, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Testkit_Pump();
    return parent;
}

}  // namespace listkit

#endif
