// The pop-up under the display: the manager made as the resident program makes it, lookups
// delivered through the relay library as the resident program delivers them, the real engine
// over fixture dictionaries of two languages, and the windows read back and pictured.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "bubblepane.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "widgetry.h"
#include "support/testkit_gdi.h"
#include "support/testkit_popup.h"
#include "support/testkit_wait.h"
#include "../../widgetry/tests/shelfdics.h"

namespace {

// Head words and entry texts.  Shift-JIS (escaped): "\x8c\xa9\x82\xe9" miru (to see),
// "\x8e\xab\x8f\x91" jisho (dictionary), "\x88\xf8\x82\xad" hiku (to look up),
// "\x82\xf0" the particle wo.
const shelfdics::Fixture kEnglishA = {0x3100, "English-Japanese", 0x0100, 0, RGB(200, 0, 120)};
const shelfdics::Fixture kEnglishB = {0x3500, "Concise English", 0x0100, 0, RGB(0, 120, 200)};
const shelfdics::Fixture kJapanese = {0x3200, "\x98\x61\x89\x70\x8e\xab\x93\x54", 0x0400, 128, RGB(0, 150, 0)};
const DWORD kIdA = 0x3100 << 8, kIdB = 0x3500 << 8, kIdJ = 0x3200 << 8;

// Writes the fixture dictionary with these words and enters it in the catalogue.
bool AddWords(const std::string &folder, const shelfdics::Fixture &f,
              const std::vector<std::pair<const char *, const char *>> &words)
{
    std::vector<dicfix::Entry> entries;
    for (const auto &w : words) {
        dicfix::Entry e;
        e.headword = w.first;
        e.text1 = w.second;
        entries.push_back(e);
    }
    return shelfdics::AddDictionary(folder, f, entries);
}

// The resident program's main window as the pop-up sees it: it records what it is sent.
std::vector<std::pair<UINT, WPARAM>> g_mainMessages;
LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m >= 0x83E0 && m < 0x8420) g_mainMessages.push_back({m, wp});
    return DefWindowProcA(w, m, wp, lp);
}
int MainCount(UINT message, WPARAM wParam)
{
    int n = 0;
    for (const auto &m : g_mainMessages)
        if (m.first == message && m.second == wParam) n++;
    return n;
}

// A window of the class a source application would have; it records the messages posted to it.
std::vector<MSG> g_posted;
LRESULT CALLBACK RecordProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_CHAR || m == WM_KEYDOWN || m == WM_KEYUP) g_posted.push_back(MSG{w, m, wp, lp, 0, {0, 0}});
    return DefWindowProcA(w, m, wp, lp);
}

struct FindCtx {
    const char *cls;
    bool visible;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectWindow(HWND w, LPARAM l)
{
    FindCtx *c = reinterpret_cast<FindCtx *>(l);
    char name[64];
    GetClassNameA(w, name, sizeof name);
    if (strcmp(name, c->cls) == 0 && (!c->visible || IsWindowVisible(w))) c->found.push_back(w);
    return TRUE;
}

std::vector<HWND> ThreadWindows(const char *cls, bool visibleOnly)
{
    FindCtx ctx = {cls, visibleOnly, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

std::string ViewerText(HWND viewer)
{
    char text[4096] = "";
    GetWindowTextA(GetDlgItem(viewer, BUBBLEPANE_IDC_VIEWER), text, sizeof text);
    return text;
}

// The viewer's candidate list (its drop-down data list).
VLWordList *WordsOf(HWND viewer)
{
    for (HWND w : ThreadWindows(VLDATALISTCLASS, false))
        if (GetWindow(w, GW_OWNER) == viewer)
            return reinterpret_cast<VLWordList *>(SendMessageA(w, VLDLM_GETLIST, 0, 0));
    return nullptr;
}

std::vector<std::string> Hits(VLWordList *list)
{
    std::vector<std::string> out;
    for (LONG i = 0; list && i < list->count; i++) {
        const VLDataItem *item = VLWordList_GetItem(list, i);
        char id[16];
        snprintf(id, sizeof id, "%X:", static_cast<unsigned>(item->head.fileId));
        out.push_back(id + std::string(item->headword, item->headwordLen));
    }
    return out;
}

class Popup : public ::testing::Test {
protected:
    static shelfdics::Shelf shelf;
    static HWND main, source, manager;
    static ToolTipManager *tips;
    static DWORD group;

    static void SetUpTestSuite()
    {
        Testkit_SetLanguageDriver(0x0100, "lingo_en.dll");
        Testkit_SetLanguageDriver(0x0400, "lingo_ja.dll");
        // The manager is started again once the dictionaries of this test are in the catalogue.
        ASSERT_TRUE(shelf.Start("popup", 0));
        const std::string &folder = shelf.folder;
        ASSERT_TRUE(AddWords(folder, kEnglishA,
                            {{"go", "to move"},
                             {"look", "\x1b" "F80" "\x8c\xa9\x82\xe9" "\x1b" "F00 (miru): to turn your eyes to something"},
                             {"twice", "two times"}}) &&
                   AddWords(folder, kEnglishB, {{"look", "an act of looking"}, {"lookout", "a watch"}}) &&
                   AddWords(folder, kJapanese,
                            {{"\x88\xf8\x82\xad", "to look up (a word); to pull"}, {"\x8e\xab\x8f\x91", "dictionary"}}) &&
                   shelfdics::AddDictionary(folder, shelfdics::kFixtures[2]) &&
                   shelfdics::AddDictionary(folder, shelfdics::kFixtures[3]));
        VLDicGroup *g = Lexshelf_GroupCreate();
        Lexshelf_GroupSetNames(g, "all", "");
        for (DWORD id : {kIdA, kIdB, kIdJ}) Lexshelf_GroupInsertDic(g, id, 0);
        Lexshelf_GroupSave(g);
        group = g->id;
        Lexshelf_GroupDestroy(g);
        Lexshelf_Term();
        ASSERT_TRUE(Lexshelf_Init(LEXICORE_INIT_DRIVERS));

        ASSERT_TRUE(Testkit_SavePopupView(320, 180));

        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.lpszClassName = "VelomiraV5MainWindow";
        RegisterClassA(&wc);
        main = CreateWindowA("VelomiraV5MainWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        source = CreateWindowA("EDIT", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 900, 60, 300, 30, nullptr, nullptr, nullptr,
                               nullptr);
        tips = Basekit_TooltipCreate();
        manager = Bubblepane_Create(main, tips);
        ASSERT_NE(nullptr, manager);
    }
    static void TearDownTestSuite()
    {
        if (IsWindow(manager)) DestroyWindow(manager);
        DestroyWindow(source);
        DestroyWindow(main);
        Basekit_TooltipDestroy(tips);
        shelf.Stop();
    }
    void SetUp() override
    {
        // Every case starts with the viewers hidden and the cursor away from any word.
        for (HWND v : ThreadWindows(BUBBLEPANE_VIEWER_CLASS, true)) SendMessageA(v, WM_CLOSE, 0, 0);
        SetCursorPos(5, 5);
        g_mainMessages.clear();
    }

    // Delivers a lookup for the word at (x, y) on the line from top to bottom, as the resident
    // program does, with the cursor on the word unless told otherwise.
    static void Deliver(const char *text, int wordPos, int x, int y, int top, int bottom, DWORD kind = 1,
                        WORD charset = 0, HWND from = nullptr, DWORD dic = 0, POINT *cursor = nullptr)
    {
        VLTranParam *r = VLTranParam_Create(dic ? dic : group, 1, 0, kind, nullptr, charset, static_cast<WORD>(wordPos), 0,
                                            from ? from : source, MAKELONG(x, top), MAKELONG(y, bottom), text, -1);
        ASSERT_NE(nullptr, r);
        if (cursor) SetCursorPos(cursor->x, cursor->y);
        else SetCursorPos(x, y);
        Sharedkit_DeliverItem(5, SHAREDKIT_VLM_DELIVER_ITEM, 0, r);
        VLTranParam_Destroy(r);
        Testkit_Pump();
    }
    static HWND Shown()
    {
        std::vector<HWND> v = ThreadWindows(BUBBLEPANE_VIEWER_CLASS, true);
        return v.size() == 1 ? v[0] : nullptr;
    }
};
shelfdics::Shelf Popup::shelf;
HWND Popup::main, Popup::source, Popup::manager;
ToolTipManager *Popup::tips;
DWORD Popup::group;

TEST_F(Popup, ManagerRegistersAsKindFiveAndHoldsTheMainViewerAndTheList)
{
    // Registration happened at creation, before this case cleared the record: ask the relay.
    EXPECT_EQ(manager, FindWindowA(BUBBLEPANE_MANAGER_CLASS, nullptr));
    EXPECT_EQ(1u, ThreadWindows(BUBBLEPANE_VIEWER_CLASS, false).size());
    EXPECT_EQ(1u, ThreadWindows(BUBBLEPANE_LIST_CLASS, false).size());
    EXPECT_EQ(manager, Bubblepane_Create(main, tips)) << "one manager per process";
}

TEST_F(Popup, InflectedEnglishWordShowsItsEntriesBesideTheWordInGroupOrder)
{
    Deliver("He looked twice", 4, 640, 300, 292, 308);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ((std::vector<std::string>{"3100:look", "3500:look"}), Hits(WordsOf(viewer)));
    std::string text = ViewerText(viewer);
    EXPECT_NE(std::string::npos, text.find("look")) << text;
    EXPECT_NE(std::string::npos, text.find("turn your eyes")) << text;
    // PopupPos 0: right edge 13 pixels right of the word, top at the line's bottom.
    RECT r;
    GetWindowRect(viewer, &r);
    EXPECT_EQ(640 + 13, r.right);
    EXPECT_EQ(308, r.top);
    EXPECT_EQ(1, MainCount(BUBBLEPANE_VLM_COUNT_USAGE, 1));
    // The status bar: the match line and the first dictionary's button checked.
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(viewer, BUBBLEPANE_IDC_DICBUTTON + 0, BM_GETCHECK, 0, 0) |
                               SendDlgItemMessageA(viewer, BUBBLEPANE_IDC_DICBUTTON + 1, BM_GETCHECK, 0, 0) |
                               SendDlgItemMessageA(viewer, BUBBLEPANE_IDC_DICBUTTON + 2, BM_GETCHECK, 0, 0));
    Testkit_PumpUntil([] { return false; }, 300);
    Testkit_SaveWindowPicture(viewer, "popup_english.bmp");
}

TEST_F(Popup, JapaneseWordShowsItsEntry)
{
    // "jisho wo hiku" with the cursor on "jisho".
    Deliver("\x8e\xab\x8f\x91\x82\xf0\x88\xf8\x82\xad", 0, 300, 500, 490, 510, 1, 128);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    std::vector<std::string> hits = Hits(WordsOf(viewer));
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ("3200:\x8e\xab\x8f\x91", hits[0]);
    EXPECT_NE(std::string::npos, ViewerText(viewer).find("dictionary"));
    Testkit_PumpUntil([] { return false; }, 300);
    Testkit_SaveWindowPicture(viewer, "popup_japanese.bmp");
}

TEST_F(Popup, PlacementKeepsTheViewerOnTheScreen)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char *what;
        int x, y, top, bottom;
        int right, topEdge;  // expected right edge or -1, expected top or -1 (H-relative below)
        bool aboveLine;
    } cases[] = {
        {"right edge", cx - 3, 300, 292, 308, cx, 308, false},
        {"left edge", 4, 300, 292, 308, -1, 308, false},
        {"last line", 400, cy - 6, cy - 14, cy - 2, -1, -1, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Deliver("look", 1, c.x, c.y, c.top, c.bottom);
        HWND viewer = Shown();
        ASSERT_NE(nullptr, viewer);
        RECT r;
        GetWindowRect(viewer, &r);
        if (c.right >= 0) {
            EXPECT_EQ(c.right, r.right);
        }
        EXPECT_GE(r.left, 0);
        if (c.aboveLine) {
            EXPECT_EQ(c.top - (r.bottom - r.top) - 8, r.top);
        } else {
            EXPECT_EQ(c.topEdge, r.top);
        }
    }
}

TEST_F(Popup, NothingIsShownWhenTheCursorLeftTheWord)
{
    POINT away = {643, 300};  // three pixels right of the word
    Deliver("look", 1, 640, 300, 292, 308, 1, 0, nullptr, 0, &away);
    EXPECT_EQ(nullptr, Shown());
    EXPECT_EQ(0, MainCount(BUBBLEPANE_VLM_COUNT_USAGE, 1));
}

TEST_F(Popup, EmptyResultSaysSoUnlessTheOptionHidesIt)
{
    Deliver("qwzx", 1, 500, 300, 292, 308);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    char expected[256];
    Uiassets_LoadString(UIA_IDS_NO_CANDIDATE, expected, sizeof expected);
    EXPECT_EQ(expected, ViewerText(viewer));
    EXPECT_EQ(0, MainCount(BUBBLEPANE_VLM_COUNT_USAGE, 1));

    SetUp();
    Basekit_SettingsWriteDword("SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\PopupWindow", "NoDispWhenNoCandidate", 1);
    Deliver("qwzx", 1, 500, 300, 292, 308);
    EXPECT_EQ(nullptr, Shown());
    Basekit_SettingsWriteDword("SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\PopupWindow", "NoDispWhenNoCandidate", 0);
}

TEST_F(Popup, HidesOnceTheCursorLeavesUnlessPinned)
{
    Deliver("look", 1, 640, 300, 292, 308);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    // On the viewer it stays; away from word and viewer it goes.
    RECT r;
    GetWindowRect(viewer, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Testkit_PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(IsWindowVisible(viewer));
    SetCursorPos(5, 5);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindowVisible(viewer); }, 5000));

    // Pinned: it stays, and the next lookup goes to a new main viewer.
    Deliver("look", 1, 640, 300, 292, 308);
    ASSERT_TRUE(IsWindowVisible(viewer));
    HWND pin = GetDlgItem(viewer, BUBBLEPANE_CMD_PIN);
    ASSERT_NE(nullptr, pin);
    SendMessageA(pin, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(viewer, WM_COMMAND, BUBBLEPANE_CMD_PIN, reinterpret_cast<LPARAM>(pin));
    SetCursorPos(5, 5);
    Testkit_PumpUntil([] { return false; }, 2500);
    EXPECT_TRUE(IsWindowVisible(viewer));
    Deliver("twice", 1, 200, 600, 592, 608);
    std::vector<HWND> shown = ThreadWindows(BUBBLEPANE_VIEWER_CLASS, true);
    ASSERT_EQ(2u, shown.size());
    HWND other = shown[0] == viewer ? shown[1] : shown[0];
    EXPECT_NE(std::string::npos, ViewerText(other).find("two times"));
    EXPECT_NE(std::string::npos, ViewerText(viewer).find("turn your eyes"));

    // Unpinned, the pinned viewer goes away.
    SendMessageA(pin, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(viewer, WM_COMMAND, BUBBLEPANE_CMD_PIN, reinterpret_cast<LPARAM>(pin));
    EXPECT_FALSE(IsWindow(viewer));
}

TEST_F(Popup, LookupFromInsideAViewerGoesToAnotherViewer)
{
    Deliver("look", 1, 640, 300, 292, 308);
    HWND first = Shown();
    ASSERT_NE(nullptr, first);
    HWND inner = GetDlgItem(first, BUBBLEPANE_IDC_VIEWER);
    RECT r;
    GetWindowRect(inner, &r);
    Deliver("twice", 1, r.left + 20, r.top + 10, r.top + 2, r.top + 18, 1, 0, inner);
    std::vector<HWND> shown = ThreadWindows(BUBBLEPANE_VIEWER_CLASS, true);
    ASSERT_EQ(2u, shown.size());
    HWND second = shown[0] == first ? shown[1] : shown[0];
    EXPECT_NE(std::string::npos, ViewerText(second).find("two times"));
    EXPECT_NE(std::string::npos, ViewerText(first).find("turn your eyes"));
}

// Picks the item whose data is g_menuWanted from the open pop-up menu by keys once it is up.
UINT g_menuItems;
DWORD g_menuWanted;
void CALLBACK PickFromMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, id);
    HMENU h = reinterpret_cast<HMENU>(SendMessageA(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
    g_menuItems = h ? GetMenuItemCount(h) : 0;
    for (UINT i = 0; i < g_menuItems; i++) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoA(h, i, TRUE, &info) && info.dwItemData == g_menuWanted) break;
    }
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

int PriorityPosition(DWORD id)
{
    VLPriorityItem item;
    for (int i = 1; Lexshelf_PrioGetItem(reinterpret_cast<VLPriorityList *>(LEXSHELF_LIST_POPUP), i, &item); i++)
        if (item.id == id) return i;
    return 0;
}

TEST_F(Popup, DictionaryButtonsAndMenuChooseTheEntryOfADictionary)
{
    Deliver("He looked twice", 4, 640, 300, 292, 308);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    VLWordList *words = WordsOf(viewer);
    ASSERT_NE(nullptr, words);
    ASSERT_EQ(2, words->count);

    // More dictionaries than buttons: the menu button offers the rest.
    int dics = Lexshelf_PrioEnum(reinterpret_cast<VLPriorityList *>(LEXSHELF_LIST_POPUP), 7, 0, nullptr, 0);
    int buttons = 0;
    for (int i = 0; i < BUBBLEPANE_MAX_DICBUTTONS; i++)
        if (IsWindowVisible(GetDlgItem(viewer, BUBBLEPANE_IDC_DICBUTTON + i))) buttons++;
    ASSERT_LT(buttons, dics);
    HWND menuButton = GetDlgItem(viewer, BUBBLEPANE_IDC_DICMENU);
    ASSERT_TRUE(IsWindowVisible(menuButton));

    // The second English dictionary, by button or from the menu: its entry is shown.
    int posB = PriorityPosition(kIdB);
    ASSERT_GT(posB, 0);
    if (posB <= buttons) {
        SendMessageA(viewer, WM_COMMAND, BUBBLEPANE_IDC_DICBUTTON + posB - 1, 0);
    } else {
        g_menuItems = 0;
        g_menuWanted = kIdB;
        SetTimer(nullptr, 0, 100, PickFromMenu);
        SendMessageA(viewer, WM_COMMAND, BUBBLEPANE_IDC_DICMENU, reinterpret_cast<LPARAM>(menuButton));
        EXPECT_EQ(static_cast<UINT>(dics - buttons), g_menuItems);
    }
    EXPECT_EQ(1, words->current);
    EXPECT_NE(std::string::npos, ViewerText(viewer).find("an act of looking"));

    // A dictionary without an entry for the word: looked up again there, in place, and the cursor
    // is put on the viewer so that it stays.
    int posJ = PriorityPosition(kIdJ);
    ASSERT_GT(posJ, 0);
    ASSERT_LE(posJ, buttons);
    RECT before, after;
    GetWindowRect(viewer, &before);
    SendMessageA(viewer, WM_COMMAND, BUBBLEPANE_IDC_DICBUTTON + posJ - 1, 0);
    char none[256];
    Uiassets_LoadString(UIA_IDS_NO_CANDIDATE, none, sizeof none);
    EXPECT_EQ(none, ViewerText(viewer));
    GetWindowRect(viewer, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    POINT c;
    GetCursorPos(&c);
    EXPECT_TRUE(PtInRect(&after, c));
    Testkit_PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(IsWindowVisible(viewer));
}

// Earlier and later: the entry before or after the one shown in the first row's dictionary, and
// nothing past either end.
TEST_F(Popup, EarlierAndLaterShowTheNeighbouringEntries)
{
    Deliver("He looked twice", 4, 640, 300, 292, 308);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    const struct {
        UINT command;
        const char *shown, *text;
    } steps[] = {{BUBBLEPANE_CMD_LATER, "3100:twice", "two times"},
                 {BUBBLEPANE_CMD_LATER, "3100:twice", "two times"},
                 {BUBBLEPANE_CMD_EARLIER, "3100:look", "turn your eyes"},
                 {BUBBLEPANE_CMD_EARLIER, "3100:go", "to move"},
                 {BUBBLEPANE_CMD_EARLIER, "3100:go", "to move"}};
    for (const auto &step : steps) {
        SendMessageA(viewer, WM_COMMAND, step.command, 0);
        EXPECT_EQ(std::vector<std::string>{step.shown}, Hits(WordsOf(viewer))) << step.shown;
        EXPECT_NE(std::string::npos, ViewerText(viewer).find(step.text)) << step.shown;
    }
}

TEST_F(Popup, CommandsThatBelongToTheResidentProgramGoToItsMainWindow)
{
    Deliver("look", 1, 640, 300, 292, 308);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    struct Case {
        UINT command;
        UINT message;
    } cases[] = {
        {BUBBLEPANE_CMD_TO_STUDY_LIST, BUBBLEPANE_VLM_RUN_STUDY_LIST},
        {BUBBLEPANE_CMD_OPTIONS, BUBBLEPANE_VLM_SHOW_OPTIONS},
        {BUBBLEPANE_CMD_CLOSE, BUBBLEPANE_VLM_CLOSE},
    };
    for (const Case &c : cases) {
        g_mainMessages.clear();
        SendMessageA(viewer, WM_COMMAND, c.command, 0);
        EXPECT_EQ(1, MainCount(c.message, 0)) << c.command;
    }
    g_mainMessages.clear();
    SendMessageA(viewer, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer), 0);
    EXPECT_EQ(1, MainCount(BUBBLEPANE_VLM_SHOW_MAIN_MENU, 0));
    // The candidates drop-down opens below its button and closes again.
    HWND button = GetDlgItem(viewer, BUBBLEPANE_CMD_CANDIDATES);
    ASSERT_TRUE(IsWindowEnabled(button)) << "two entries";
    SendMessageA(viewer, WM_COMMAND, BUBBLEPANE_CMD_CANDIDATES, reinterpret_cast<LPARAM>(button));
    HWND drop = nullptr;
    for (HWND w : ThreadWindows(VLDATALISTCLASS, true))
        if (GetWindow(w, GW_OWNER) == viewer) drop = w;
    ASSERT_NE(nullptr, drop);
    RECT b, d;
    GetWindowRect(button, &b);
    GetWindowRect(drop, &d);
    EXPECT_EQ(b.left, d.left);
    EXPECT_EQ(b.bottom, d.top);
    SendMessageA(viewer, WM_COMMAND, BUBBLEPANE_CMD_CANDIDATES, reinterpret_cast<LPARAM>(button));
    EXPECT_FALSE(IsWindowVisible(drop));

    // Dragged by its grip bar, the viewer follows the cursor.
    RECT before, after;
    GetWindowRect(viewer, &before);
    POINT grip = {5, 60};
    ClientToScreen(viewer, &grip);
    SetCursorPos(grip.x, grip.y);
    SendMessageA(viewer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 60));
    SetCursorPos(grip.x + 30, grip.y + 20);
    SendMessageA(viewer, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 80));
    SendMessageA(viewer, WM_LBUTTONUP, 0, MAKELPARAM(35, 80));
    GetWindowRect(viewer, &after);
    EXPECT_EQ(before.left + 30, after.left);
    EXPECT_EQ(before.top + 20, after.top);
    EXPECT_NE(viewer, GetCapture());
}

TEST_F(Popup, FixedViewerStaysWhereItIsAndIsNeverHidden)
{
    PopupWindowOptions options = {};
    PopupWindowLayout layout = {};
    Prefstore_LoadPopupWindow(&options, &layout);
    options.Fixed = 1;
    layout.x = 50;
    layout.y = 60;
    Prefstore_SavePopupWindow(&options, &layout);
    SendMessageA(manager, BUBBLEPANE_VLM_OPTIONS_CHANGED, 0, 0);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer) << "a fixed main viewer is shown at once";
    RECT before, after;
    GetWindowRect(viewer, &before);
    EXPECT_EQ(50, before.left);
    Deliver("look", 1, 640, 300, 292, 308);
    EXPECT_EQ(viewer, Shown());
    EXPECT_NE(std::string::npos, ViewerText(viewer).find("turn your eyes"));
    SetCursorPos(900, 900);
    Testkit_PumpUntil([] { return false; }, 1500);
    GetWindowRect(viewer, &after);
    EXPECT_TRUE(IsWindowVisible(viewer));
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    options.Fixed = 0;
    Prefstore_SavePopupWindow(&options, nullptr);
    SendMessageA(manager, BUBBLEPANE_VLM_OPTIONS_CHANGED, 0, 0);
    EXPECT_FALSE(IsWindow(viewer));
    // Only the fixed viewer saved its place.
    Prefstore_LoadPopupWindow(nullptr, &layout);
    EXPECT_EQ(50, layout.x);
}

TEST_F(Popup, SkinnedViewerIsDrawnWithItsSkin)
{
    PopupWindowOptions options = {};
    Prefstore_LoadPopupWindow(&options, nullptr);
    options.UseSkin = 1;
    Prefstore_SavePopupWindow(&options, nullptr);
    SendMessageA(manager, BUBBLEPANE_VLM_OPTIONS_CHANGED, 0, 0);
    Deliver("He looked twice", 4, 640, 300, 292, 308);
    HWND viewer = Shown();
    ASSERT_NE(nullptr, viewer);
    EXPECT_NE(std::string::npos, ViewerText(viewer).find("turn your eyes"));
    Testkit_PumpUntil([] { return false; }, 300);
    Testkit_SaveWindowPicture(viewer, "popup_skinned.bmp");
    options.UseSkin = 0;
    Prefstore_SavePopupWindow(&options, nullptr);
    SendMessageA(manager, BUBBLEPANE_VLM_OPTIONS_CHANGED, 0, 0);
}

// ---- Candidate list -----------------------------------------------------------------------------

HWND List() { return FindWindowA(BUBBLEPANE_LIST_CLASS, nullptr); }

TEST_F(Popup, KeyboardLookupListsCandidatesLeftOfTheWordWithoutTimer)
{
    SetWindowTextA(source, "I looked");
    Deliver("I looked", 7, 700, 70, 62, 78, 5, 0, source);
    HWND list = List();
    ASSERT_TRUE(IsWindowVisible(list));
    RECT r;
    GetWindowRect(list, &r);
    EXPECT_EQ(700 - 30, r.left);
    EXPECT_EQ(78, r.top);
    Testkit_PumpUntil([] { return false; }, 300);
    Testkit_SaveWindowPicture(list, "candidates.bmp");
    // No auto-hide for keyboard lookups: the cursor is far away and it stays.
    SetCursorPos(5, 5);
    Testkit_PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(IsWindowVisible(list));
    // Esc (wParam 1) hides it.
    SendMessageA(manager, VLM_POPUP_HIDE, 1, 0);
    EXPECT_FALSE(IsWindowVisible(list));
}

TEST_F(Popup, TriggerKeyLookupShowsTheCandidateInASideViewer)
{
    Deliver("He looked twice", 4, 700, 70, 62, 78, 6, 0, source);
    HWND list = List();
    ASSERT_TRUE(IsWindowVisible(list));
    std::vector<HWND> shown = ThreadWindows(BUBBLEPANE_VIEWER_CLASS, true);
    ASSERT_EQ(1u, shown.size());
    RECT lr, vr;
    GetWindowRect(list, &lr);
    GetWindowRect(shown[0], &vr);
    EXPECT_EQ(lr.right, vr.left);
    EXPECT_NE(std::string::npos, ViewerText(shown[0]).find("look"));
    Testkit_PumpUntil([] { return false; }, 300);
    Testkit_SaveWindowPicture(shown[0], "side_viewer.bmp");
    // A side viewer has no tool bar and no status bar.
    EXPECT_EQ(nullptr, GetDlgItem(shown[0], BUBBLEPANE_CMD_PIN));
    EXPECT_EQ(nullptr, GetDlgItem(shown[0], BUBBLEPANE_IDC_STATUS));
    // Hiding the list destroys its side viewer.
    SendMessageA(manager, VLM_POPUP_HIDE, 1, 0);
    EXPECT_FALSE(IsWindow(shown[0]));
}

std::string EditText(HWND w)
{
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

TEST_F(Popup, ChosenCandidateReplacesTheWordInAnEditControl)
{
    struct Case {
        const char *typed;
        int wordPos;
        DWORD kind;
        UINT notice;  // Right on the row, or a click on it
        const char *after;
    } cases[] = {
        {"I looked", 7, 5, VLDLN_RIGHT, "I look"},    // the base form for the inflected word
        {"I Looked", 7, 5, VLDLN_RIGHT, "I Look"},    // a capital stays a capital
        {"I looked ", 7, 4, VLDLN_RIGHT, "I look "},  // typed with its space: one more erased, a space typed
        {"We looked", 8, 5, VLDLN_CHOOSE, "We look"}, // chosen by a click
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        SetWindowTextA(source, c.typed);
        SendMessageA(source, EM_SETSEL, 100, 100);
        Deliver(c.typed, c.wordPos, 700, 70, 62, 78, c.kind, 0, source);
        HWND list = List();
        ASSERT_TRUE(IsWindowVisible(list));
        SendMessageA(list, c.notice, c.notice == VLDLN_CHOOSE ? MAKEWPARAM(0, 1) : 0, 0);  // the first row
        EXPECT_FALSE(IsWindowVisible(list));
        EXPECT_TRUE(Testkit_PumpUntil([&] { return EditText(source) == c.after; }, 5000)) << EditText(source);
    }
}

TEST_F(Popup, RichEditClassesGetKeyMessagesOthersCharacters)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordProc;
    wc.lpszClassName = "RichEdit20W";
    ASSERT_TRUE(RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    wc.lpszClassName = "BubbleTestPlain";
    RegisterClassA(&wc);
    for (const char *cls : {"RichEdit20W", "BubbleTestPlain"}) {
        SCOPED_TRACE(cls);
        HWND target = CreateWindowA(cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        g_posted.clear();
        Deliver("go", 1, 700, 70, 62, 78, 5, 0, target);
        HWND list = List();
        ASSERT_TRUE(IsWindowVisible(list));
        SendMessageA(list, VLDLN_RIGHT, 0, 0);
        const bool keys = strcmp(cls, "RichEdit20W") == 0;
        const size_t expected = keys ? 6 : 4;  // two erased ("go"), then "go" typed
        Testkit_PumpUntil([&] { return g_posted.size() >= expected; }, 3000);
        ASSERT_EQ(expected, g_posted.size());
        EXPECT_EQ('g', static_cast<char>(g_posted[expected - 2].wParam));
        if (keys) {
            EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), g_posted[0].message);
            EXPECT_EQ(static_cast<WPARAM>(VK_BACK), g_posted[0].wParam);
            EXPECT_EQ(0x1000E, g_posted[0].lParam);
            EXPECT_EQ(static_cast<UINT>(WM_KEYUP), g_posted[1].message);
        } else {
            EXPECT_EQ(static_cast<UINT>(WM_CHAR), g_posted[0].message);
            EXPECT_EQ(8u, g_posted[0].wParam);
            EXPECT_EQ(static_cast<UINT>(WM_CHAR), g_posted[1].message);
        }
        DestroyWindow(target);
    }
}

TEST_F(Popup, TenViewersAtMostAndTheNinthHasNoPin)
{
    std::vector<HWND> made;
    for (;;) {
        HWND v = reinterpret_cast<HWND>(SendMessageA(manager, VLM_POPUP_NEW_VIEWER, 0, 0));
        if (!v) break;
        made.push_back(v);
        ASSERT_LE(made.size(), 10u);
    }
    std::vector<HWND> all = ThreadWindows(BUBBLEPANE_VIEWER_CLASS, false);
    ASSERT_EQ(10u, all.size()) << "the slots are full: no eleventh viewer";
    int withoutPin = 0;
    for (HWND v : all)
        if (!GetDlgItem(v, BUBBLEPANE_CMD_PIN)) withoutPin++;
    EXPECT_EQ(1, withoutPin) << "the one made while nine were live";
    for (HWND v : made) DestroyWindow(v);
    EXPECT_EQ(1u, ThreadWindows(BUBBLEPANE_VIEWER_CLASS, false).size());
    // Their slots are free again: the next lookup finds a viewer.
    Deliver("look", 1, 640, 300, 292, 308);
    EXPECT_NE(nullptr, Shown());
}

// Last: closing the manager closes everything and leaves kind 5.
TEST_F(Popup, ZClosingTheManagerClosesEveryViewerAndUnregisters)
{
    Deliver("look", 1, 640, 300, 292, 308);
    ASSERT_NE(nullptr, Shown());
    SendMessageA(manager, BUBBLEPANE_VLM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(manager));
    EXPECT_TRUE(ThreadWindows(BUBBLEPANE_VIEWER_CLASS, false).empty());
    EXPECT_TRUE(ThreadWindows(BUBBLEPANE_LIST_CLASS, false).empty());
    EXPECT_EQ(1, MainCount(BUBBLEPANE_VLM_UNREGISTER_WINDOW, 5));
}

} // namespace

// Under the test display no window manager runs.  The display driver is told to manage no window
// of this program, so that hiding a sizable pop-up does not wait for a manager that never answers;
// the driver reads this when it starts, so the first run sets it and runs the tests in a new
// process.
int main(int argc, char **argv)
{
    const char kKey[] = "Software\\Wine\\AppDefaults\\bubblepane_popup_test.exe\\X11 Driver";
    char value[8] = "";
    DWORD size = sizeof value, type = 0;
    HKEY key;
    bool set = RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) == 0;
    if (set) {
        set = RegQueryValueExA(key, "Managed", nullptr, &type, reinterpret_cast<BYTE *>(value), &size) == 0 &&
              value[0] == 'N';
        RegCloseKey(key);
    }
    if (!set && RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == 0) {
        RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE *>("N"), 2);
        RegCloseKey(key);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::vector<char> line(GetCommandLineA(), GetCommandLineA() + strlen(GetCommandLineA()) + 1);
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, INFINITE);
            DWORD code = 1;
            GetExitCodeProcess(pi.hProcess, &code);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
            return static_cast<int>(code);
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
