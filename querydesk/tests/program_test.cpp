// The real Querydesk.exe as a process, started and ended by its process id, over fixture
// dictionaries in the catalogue of this test's registry: a second start hands its request to the
// first; lookup requests delivered through the relay library fill the keyword pane's list and
// viewer (Japanese and English dictionaries, pictures kept); a full-text search over some thousand
// entries shows its progress box and stops on cancel with the hits found so far; the layout is
// saved and restored without drift.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexidata.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "querydesk.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "widgetry.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_settings.h"
#include "support/testkit_wait.h"
#include "../../widgetry/tests/shelfdics.h"

namespace {

const shelfdics::Fixture kEnglish = shelfdics::kFixtures[0];
const shelfdics::Fixture kJapanese = shelfdics::kFixtures[1];
const DWORD kEnglishId = kEnglish.fileId << 8;
const DWORD kJapaneseId = kJapanese.fileId << 8;
const int kFillers = 2000;  // entries of the English dictionary besides the named ones

const char kRingo[] = "\x82\xe8\x82\xf1\x82\xb2";                          // "ringo" (apple), Shift-JIS
const char kRingoText[] = "\x89\xca\x95\xa8\x82\xcc\x88\xea\x82\xc2\x81\x42"  // "a kind of fruit."
                          " apple";
const char kMikan[] = "\x82\xdd\x82\xa9\x82\xf1";                          // "mikan" (mandarin)

dicfix::Entry E(const std::string &headword, const std::string &text)
{
    dicfix::Entry e;
    e.headword = headword;
    e.text1 = text;
    return e;
}

// The catalogue: an English dictionary of some thousand entries (every text speaks of fruit) and
// a small Japanese one, in a clean settings tree of their own.
struct Catalogue {
    TestkitSuiteSettings settings;
    std::string folder;

    Catalogue()
    {
        folder = Testkit_Cwd() + "\\dics";
        Testkit_RemoveFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", (folder + "\\UserData").c_str());
        std::vector<dicfix::Entry> english = {E("apple", "a round fruit of a tree"), E("banana", "a long fruit"),
                                              E("cherry", "a small red fruit"), E("fruit", "what a plant bears")};
        for (int i = 0; i < kFillers; i++) {
            char head[16], text[64];
            snprintf(head, sizeof head, "w%04d", i);
            snprintf(text, sizeof text, "filler word %d about fruit", i);
            english.push_back(E(head, text));
        }
        EXPECT_TRUE(shelfdics::AddDictionary(folder, kEnglish, english));
        EXPECT_TRUE(shelfdics::AddDictionary(folder, kJapanese, {E(kMikan, "mandarin"), E(kRingo, kRingoText)}));
        // View settings as the set-up writes them (a white page, rich text, line breaks).
        SearchWindowOptions options = {};
        SearchWindowLayout layout = {};
        Prefstore_LoadSearchWindow(&options, &layout);
        options.View.BackGroundColor = RGB(255, 255, 255);
        options.View.FontSize = 10;
        options.View.UseRichText = options.View.EnableLineFeed = 1;
        EXPECT_TRUE(Prefstore_SaveSearchWindow(&options, &layout));
        Prefstore_FreeWebList(&options);
        // The dictionary-order dialog shown, off the search windows' place in the pictures.
        const char *order = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\SearchWindow\\OrderList";
        Basekit_SettingsWriteDword(order, "MemoryPos", MAKELONG(960, 700));
        Basekit_SettingsWriteDword(order, "MemorySize", MAKELONG(300, 200));
        Basekit_SettingsWriteDword(order, "Show", 1);
    }
    ~Catalogue()
    {
        SetEnvironmentVariableA("QUERYDESK_PROGRESS_DELAY", nullptr);
        Testkit_RemoveFolder(folder);
    }
};

std::string Program() { return "\"" + Testkit_ExeFolder() + "Querydesk.exe\""; }

std::vector<HWND> SearchWindows(DWORD pid)
{
    std::vector<HWND> found;
    for (HWND w = FindWindowExA(nullptr, nullptr, QUERYDESK_WINDOW_CLASS, nullptr); w;
         w = FindWindowExA(nullptr, w, QUERYDESK_WINDOW_CLASS, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w)) found.push_back(w);
    }
    return found;
}

// The pane of the window that holds the control.
HWND PaneWith(HWND window, int control)
{
    for (HWND c = FindWindowExA(window, nullptr, "#32770", nullptr); c; c = FindWindowExA(window, c, "#32770", nullptr))
        if (GetDlgItem(c, control)) return c;
    return nullptr;
}

HWND KeywordPane(HWND window) { return PaneWith(window, UIA_IDC_PANE_SEARCH); }
HWND ConditionPane(HWND window) { return PaneWith(window, UIA_IDC_PANE_CONDITIONS); }

int Rows(HWND pane)
{
    HWND list = GetDlgItem(pane, QUERYDESK_ID_LIST);
    HWND view = list ? FindWindowExA(list, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
    return view ? (int)SendMessageA(view, LVM_GETITEMCOUNT, 0, 0) : -1;
}

bool ViewerShowsText(HWND pane)
{
    HWND viewer = GetDlgItem(pane, QUERYDESK_ID_VIEWER);
    return viewer && SendMessageA(viewer, SCV_CHECK1, 0, 0) == 0;
}

int CurrentTab(HWND window) { return (int)SendDlgItemMessageA(window, QUERYDESK_ID_TAB, TCM_GETCURSEL, 0, 0); }

DWORD CurrentId(HWND window)
{
    HWND rebar = GetDlgItem(window, QUERYDESK_ID_REBAR);
    return (DWORD)SendDlgItemMessageA(rebar, QUERYDESK_ID_DICBAR, WIDGETRY_DBM_GETCURRENT, 0, 0);
}

LRESULT Deliver(DWORD dicId, DWORD kind, DWORD language, const char *text, WPARAM flags = 0, WORD charset = 0)
{
    VLTranParam *r = VLTranParam_Create(dicId, 1, 0, kind, nullptr, charset, 0, language, nullptr, 0, 0, text, -1);
    LRESULT result = Sharedkit_DeliverItem(1, VLM_DELIVER_ITEM, flags, r);
    VLTranParam_Destroy(r);
    return result;
}

// x, y, width and height of the window.
std::vector<LONG> Placement(HWND window)
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    return {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

void Picture(HWND window, const char *file)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Testkit_PumpUntil([] { return false; }, 400);  // let the other process paint
    EXPECT_TRUE(Testkit_SaveWindowPicture(window, file)) << file;
}

// A station started on the catalogue with its first search window.
struct Station {
    TestkitProcess process;
    HWND window = nullptr;
    bool Start()
    {
        if (!process.Start(Program())) return false;
        window = process.WaitWindow(QUERYDESK_WINDOW_CLASS, 60000);
        return window != nullptr;
    }
};

}  // namespace

TEST(Station, SecondStartAsksTheFirstForAWindowAndTheLastCloseEndsIt)
{
    Catalogue catalogue;
    Station first;
    ASSERT_TRUE(first.Start());
    TestkitProcess second;
    ASSERT_TRUE(second.Start(Program()));
    EXPECT_EQ(second.WaitExit(30000), 0) << "the second start ends at once with 0";
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SearchWindows(first.process.Id()).size() == 2; }, 20000))
        << "the first station opened one more search window";
    for (HWND w : SearchWindows(first.process.Id()))
        PostMessageA(w, WM_COMMAND, MAKEWPARAM(UIA_CMD_CLOSE, 0), 0);
    EXPECT_EQ(first.process.WaitExit(30000), 0) << "closing the last search window ends the station";
}

TEST(Station, DeliveredLookupsFillTheResultListAndTheView)
{
    Catalogue catalogue;
    Station st;
    ASSERT_TRUE(st.Start());

    // Japanese: the keyword tab, the list with the entry, the entry in the viewer.
    EXPECT_NE(Deliver(kJapaneseId, 0, 0, kRingo, 0, SHIFTJIS_CHARSET), 0);
    HWND keyword = KeywordPane(st.window);
    ASSERT_NE(keyword, nullptr);
    EXPECT_EQ(CurrentTab(st.window), QUERYDESK_TAB_KEYWORD);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(keyword) == 1; })) << Rows(keyword);
    EXPECT_TRUE(ViewerShowsText(keyword));
    EXPECT_EQ(CurrentId(st.window), kJapaneseId) << "the dictionary of the entry found is current";
    Picture(st.window, "search_japanese.bmp");
    // The typing-drill button only with the drill beside the program.
    bool drill = Testkit_Exists(Testkit_ExeFolder() + "KEYDRILL.EXE");
    HWND rebar = GetDlgItem(st.window, QUERYDESK_ID_REBAR);
    HWND tools = GetDlgItem(rebar, QUERYDESK_ID_TOOLBAR);
    EXPECT_EQ(SendMessageA(tools, TB_BUTTONCOUNT, 0, 0), drill ? 20 : 18);
    EXPECT_EQ(SendMessageA(tools, TB_COMMANDTOINDEX, UIA_CMD_TYPING_DRILL, 0), drill ? 19 : -1);

    // English, asked for in a new window: the first window keeps its result.
    EXPECT_NE(Deliver(kEnglishId, 0, 0, "apple", QUERYDESK_DELIVER_NEW | QUERYDESK_DELIVER_FRONT), 0);
    std::vector<HWND> windows = SearchWindows(st.process.Id());
    ASSERT_EQ(windows.size(), 2u);
    HWND second = windows[0] == st.window ? windows[1] : windows[0];
    HWND keyword2 = KeywordPane(second);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(keyword2) >= 1; })) << Rows(keyword2);
    EXPECT_TRUE(ViewerShowsText(keyword2));
    EXPECT_EQ(CurrentId(second), kEnglishId);
    EXPECT_EQ(Rows(keyword), 1);
    Picture(second, "search_english.bmp");

    // An entry asked for by dictionary and position (the pop-up's hand-over): the keyword pane
    // holds that one entry.
    HWND front0 = SearchWindows(st.process.Id())[0];
    EXPECT_NE(Sharedkit_SendToKind(1, VLM_SHOW_ENTRY, kJapaneseId, 1), 0);
    EXPECT_EQ(Rows(KeywordPane(front0)), 1);
    EXPECT_TRUE(ViewerShowsText(KeywordPane(front0)));
    EXPECT_EQ(CurrentId(front0), kJapaneseId);

    // Request kind and language -1: the headword tab and the dictionary only.
    HWND front = SearchWindows(st.process.Id())[0];
    int rowsBefore = Rows(KeywordPane(front));
    EXPECT_NE(Deliver(kJapaneseId, (DWORD)-1, (DWORD)-1, "x"), 0);
    EXPECT_EQ(CurrentTab(front), QUERYDESK_TAB_HEADWORD);
    EXPECT_EQ(CurrentId(front), kJapaneseId);
    EXPECT_EQ(Rows(KeywordPane(front)), rowsBefore);
    EXPECT_TRUE(st.process.End());
}

TEST(Station, FullTextSearchShowsProgressAndStopsOnCancel)
{
    Catalogue catalogue;
    SetEnvironmentVariableA("QUERYDESK_PROGRESS_DELAY", "5");
    Station st;
    ASSERT_TRUE(st.Start());
    // The word goes into the keyword field; the condition tab searches entry texts for it.
    EXPECT_NE(Deliver(kEnglishId, 0, 0, "fruit"), 0);
    ASSERT_EQ(CurrentId(st.window), kEnglishId);
    HWND tab = GetDlgItem(st.window, QUERYDESK_ID_TAB);
    PostMessageA(tab, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(Testkit_PumpUntil([&] { return CurrentTab(st.window) == QUERYDESK_TAB_CONDITION; }));
    PostMessageA(st.window, WM_COMMAND, MAKEWPARAM(UIA_CMD_CONDITIONS, 0), 0);

    HWND box = nullptr;
    ASSERT_TRUE(Testkit_PumpUntil([&] {
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w && !box;
             w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == st.process.Id() && GetDlgItem(w, UIA_IDC_SP_PROGRESS) && IsWindowVisible(w)) box = w;
        }
        return box != nullptr;
    }, 30000)) << "the progress box";
    HWND bar = GetDlgItem(box, UIA_IDC_SP_PROGRESS);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(bar, PBM_GETPOS, 0, 0) >= 1; }, 30000));
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the box has no owner";
    char line[256] = "";
    EXPECT_TRUE(Testkit_PumpUntil([&] {
        GetDlgItemTextA(box, UIA_IDC_SP_DICTIONARY, line, sizeof line);
        return std::string(line).find(kEnglish.name) != std::string::npos;
    })) << "the dictionary searched: " << line;
    Picture(box, "progress_box.bmp");
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(box); }, 30000)) << "the box ends";

    HWND condition = ConditionPane(st.window);
    ASSERT_NE(condition, nullptr);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(condition) > 0; }, 30000));
    int rows = Rows(condition);
    EXPECT_GT(rows, 0) << "the hits found so far stay";
    EXPECT_LT(rows, kFillers / 2) << "the search stopped on cancel";
    EXPECT_TRUE(ViewerShowsText(condition));
    Picture(st.window, "search_fulltext.bmp");

    // A search that is over before its box has come up: the box still ends, with the hit.
    EXPECT_NE(Deliver(kEnglishId, 0, 0, "apple"), 0);                        // the keyword
    EXPECT_NE(Deliver(kJapaneseId, (DWORD)-1, (DWORD)-1, "x"), 0);           // the dictionary
    for (int i = 0; i < 2; i++) PostMessageA(tab, WM_KEYDOWN, VK_RIGHT, 0);  // headword -> condition
    ASSERT_TRUE(Testkit_PumpUntil([&] { return CurrentTab(st.window) == QUERYDESK_TAB_CONDITION; }));
    PostMessageA(st.window, WM_COMMAND, MAKEWPARAM(UIA_CMD_CONDITIONS, 0), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(condition) == 1; }, 30000)) << Rows(condition);
    EXPECT_EQ(CurrentId(st.window), kJapaneseId);
    EXPECT_TRUE(st.process.End());
}

TEST(Station, LayoutSavedAndRestored)
{
    Catalogue catalogue;
    SearchWindowOptions options = {};
    SearchWindowLayout layout = {};
    Prefstore_LoadSearchWindow(&options, &layout);
    layout.x = 40, layout.y = 30, layout.cx = 640, layout.cy = 420;
    layout.Ratio3 = 230;
    layout.LastPage = QUERYDESK_TAB_KEYWORD;
    layout.ToolBarIndex = 1, layout.DicBarIndex = 0;
    options.DictionaryID = (int)kJapaneseId;
    ASSERT_TRUE(Prefstore_SaveSearchWindow(&options, &layout));
    Prefstore_FreeWebList(&options);

    Station st;
    ASSERT_TRUE(st.Start());
    EXPECT_EQ(Placement(st.window), (std::vector<LONG>{40, 30, 640, 420}));
    EXPECT_EQ(CurrentTab(st.window), QUERYDESK_TAB_KEYWORD);
    EXPECT_EQ(CurrentId(st.window), kJapaneseId);
    HWND rebar = GetDlgItem(st.window, QUERYDESK_ID_REBAR);
    EXPECT_EQ(SendMessageA(rebar, RB_IDTOINDEX, QUERYDESK_ID_DICBAR, 0), 0) << "the dictionary bar's band first";
    EXPECT_EQ(SendMessageA(rebar, RB_IDTOINDEX, QUERYDESK_ID_TOOLBAR, 0), 1);
    RECT list;
    GetWindowRect(GetDlgItem(KeywordPane(st.window), QUERYDESK_ID_LIST), &list);
    EXPECT_EQ(list.right - list.left, 230) << "the keyword pane's splitter";

    // Moved, another tab and dictionary, closed: all of it stored as it was.
    SetWindowPos(st.window, nullptr, 60, 50, 700, 460, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_NE(Deliver(kEnglishId, (DWORD)-1, (DWORD)-1, "x"), 0);
    PostMessageA(st.window, WM_COMMAND, MAKEWPARAM(UIA_CMD_CLOSE, 0), 0);
    EXPECT_EQ(st.process.WaitExit(30000), 0);
    SearchWindowOptions o2 = {};
    SearchWindowLayout l2 = {};
    Prefstore_LoadSearchWindow(&o2, &l2);
    EXPECT_EQ((std::vector<LONG>{l2.x, l2.y, l2.cx, l2.cy}), (std::vector<LONG>{60, 50, 700, 460}));
    EXPECT_EQ(l2.Ratio3, 230);
    EXPECT_EQ(l2.LastPage, QUERYDESK_TAB_HEADWORD);
    EXPECT_EQ((DWORD)o2.DictionaryID, kEnglishId);
    EXPECT_EQ(l2.ToolBarIndex, 1);
    EXPECT_EQ(l2.DicBarIndex, 0);
    Prefstore_FreeWebList(&o2);

    // Started again: the same place and size, no growth.
    Station again;
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(Placement(again.window), (std::vector<LONG>{60, 50, 700, 460}));
    EXPECT_EQ(CurrentTab(again.window), QUERYDESK_TAB_HEADWORD);
    EXPECT_TRUE(again.process.End());
}
