// The panes of a search window in the real Querydesk.exe, started and ended by its process id over
// fixture dictionaries: the headword pane of a 100 000-entry dictionary jumps to a typed prefix
// (the row found becomes the list's first visible row) and shows that entry; the keyword pane
// keeps a history of its searches that goes back and forward; the condition dialog's conditions,
// with the label fields of the current dictionary, find their entries; the contents tree opens a
// chapter by its book and shows a page.  Pictures of each pane are kept.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "lexidata.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "querydesk.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_settings.h"
#include "support/testkit_wait.h"
#include "../../widgetry/tests/shelfdics.h"
#include "panes_testkit.h"

using namespace panekit;

namespace {

const shelfdics::Fixture kBig = shelfdics::kFixtures[0];
const DWORD kBigId = kBig.fileId << 8;
const int kBigCount = 100000;

dicfix::Entry E(const std::string &headword, const std::string &text)
{
    dicfix::Entry e;
    e.headword = headword;
    e.text1 = text;
    return e;
}

dicfix::Page Page(int number, const char *name, const char *text, bool chapter, uint32_t next, uint32_t child)
{
    dicfix::Page pg;
    pg.number = number;
    pg.pageByte = chapter ? 10 : 0;
    pg.name = name;
    pg.text = text;
    pg.value1 = next;
    pg.value2 = child;
    return pg;
}

dicfix::Label Label(int level, uint32_t number1, uint32_t number3, const char *text)
{
    dicfix::Label l;
    l.level = level;
    l.number1 = number1;
    l.number3 = number3;
    l.text = text;
    return l;
}

// Writes the fixture dictionary (its pages and labels already in d) and enters it in the catalogue.
bool AddDictionary(const std::string &folder, const shelfdics::Fixture &f, const dicfix::Dictionary &d,
                   const std::vector<dicfix::Entry> &entries)
{
    TestkitDictionary plain = f;
    plain.colour = CLR_INVALID;  // the catalogue's own colour
    return Testkit_AddDictionary(folder, plain, entries, {f.language, 0x0400}, d);
}

// The English dictionary's table of contents: page 0 "Guide" with the children 1 and 2, the last
// naming an earlier page as its next.
dicfix::Dictionary EnglishContents()
{
    dicfix::Dictionary d;
    d.pages = {Page(1, "Guide", "{\\rtf1 How to read}", true, 0, 1), Page(2, "Signs", "{\\rtf1 The signs used}", true, 2, 0),
               Page(3, "Sounds", "{\\rtf1 The sounds of English}", true, 1, 0)};
    return d;
}

// The Japanese dictionary (Shift-JIS): four entries with a part of speech in their index value,
// label field 1 "hinshi" announced by header flag 8 with the values "meishi" (5) and "doushi" (6),
// label field 2 "bun'ya" present but not announced, and a table of contents of three levels:
//   hajime ni (chapter)          page 0
//     hanrei                     page 1
//     hatsuon (chapter)          page 2
//       boin                     page 3
//   furoku (chapter)             page 4
//     fukisoku doushi            page 5
const shelfdics::Fixture kJa = shelfdics::kFixtures[1];
const DWORD kJaId = kJa.fileId << 8;

dicfix::Dictionary JapaneseLabelsAndPages()
{
    dicfix::Dictionary d;
    d.extraFlags = 8;
    d.labels = {Label(1, 0, 0, "\x95\x69\x8e\x8c" /* hinshi: part of speech */), Label(1, 1, 5, "\x96\xbc\x8e\x8c" /* meishi: noun */),
                Label(1, 2, 6, "\x93\xae\x8e\x8c" /* doushi: verb */), Label(2, 0, 0, "\x95\xaa\x96\xec" /* bun'ya: field */),
                Label(2, 1, 3, "general")};
    d.pages = {Page(1, "\x82\xcd\x82\xb6\x82\xdf\x82\xc9", "{\\rtf1 Introduction}", true, 4, 1),
               Page(2, "\x96\x7d\x97\xe1", "{\\rtf1 How entries are written}", false, 2, 0),
               Page(3, "\x94\xad\x89\xb9", "{\\rtf1 Pronunciation}", true, 0, 3),
               Page(4, "\x95\xea\x89\xb9", "{\\rtf1 The five vowels of Japanese}", false, 0, 0),
               Page(5, "\x95\x74\x98\x5e", "{\\rtf1 Appendix}", true, 0, 5),
               Page(6, "\x95\x73\x8b\x4b\x91\xa5\x93\xae\x8e\x8c", "{\\rtf1 Irregular verbs}", false, 0, 0)};
    return d;
}

std::vector<dicfix::Entry> JapaneseEntries()
{
    struct Row {
        const char *headword, *text;
        uint32_t partOfSpeech;
    } rows[] = {{"\x88\xa4" /* ai */, "love", 5}, {"\x8c\xa9\x82\xe9" /* miru */, "to see", 6},
                {"\x8e\x52" /* yama */, "mountain", 5}, {"\x91\x96\x82\xe9" /* hashiru */, "to run", 6}};
    std::vector<dicfix::Entry> entries;
    for (const Row &r : rows) {
        dicfix::Entry e = E(r.headword, r.text);
        e.indexValue = r.partOfSpeech;
        entries.push_back(e);
    }
    return entries;
}

// One English dictionary of 100 000 entries "k00000" to "k99999" in index order, the small
// Japanese one with labels and pages, and a group of the two (the Japanese one first).
struct Catalogue {
    TestkitSuiteSettings settings;
    std::string folder;
    DWORD group = 0;
    Catalogue()
    {
        folder = Testkit_Cwd() + "\\dics";
        Testkit_RemoveFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", (folder + "\\UserData").c_str());
        std::vector<dicfix::Entry> entries;
        entries.reserve(kBigCount);
        for (int i = 0; i < kBigCount; i++) {
            char head[16], text[48];
            snprintf(head, sizeof head, "k%05d", i);
            snprintf(text, sizeof text, "entry number %d", i);
            entries.push_back(E(head, text));
        }
        EXPECT_TRUE(AddDictionary(folder, kBig, EnglishContents(), entries));
        EXPECT_TRUE(AddDictionary(folder, kJa, JapaneseLabelsAndPages(), JapaneseEntries()));
        if (Lexshelf_Init(0)) {
            VLDicGroup *g = Lexshelf_GroupCreate();
            Lexshelf_GroupSetNames(g, "Both dictionaries", "");
            for (DWORD id : {kJaId, kBigId}) Lexshelf_GroupInsertDic(g, id, 0);
            EXPECT_TRUE(Lexshelf_GroupSave(g));
            group = g->id;
            Lexshelf_GroupDestroy(g);
            Lexshelf_Term();
        }
        EXPECT_NE(group, 0u);
        SearchWindowOptions options = {};
        SearchWindowLayout layout = {};
        Prefstore_LoadSearchWindow(&options, &layout);
        options.View.BackGroundColor = RGB(255, 255, 255);
        options.View.FontSize = 10;
        layout.x = 20, layout.y = 20, layout.cx = 640, layout.cy = 420;
        EXPECT_TRUE(Prefstore_SaveSearchWindow(&options, &layout));
        Prefstore_FreeWebList(&options);
        // The dictionary-order dialog kept off the panes in the pictures.
        const char *order = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\SearchWindow\\OrderList";
        Basekit_SettingsWriteDword(order, "MemoryPos", MAKELONG(960, 700));
        Basekit_SettingsWriteDword(order, "Show", 0);
    }
    ~Catalogue() { Testkit_RemoveFolder(folder); }
};

std::string Program() { return "\"" + Testkit_ExeFolder() + "Querydesk.exe\""; }

int Selected(HWND list) { return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
int Top(HWND list) { return (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0); }

}  // namespace

TEST(Panes, HeadwordPaneJumpsToTheTypedPrefixInALargeIndex)
{
    Catalogue catalogue;
    TestkitProcess process;
    ASSERT_TRUE(process.Start(Program()));
    HWND window = process.WaitWindow(QUERYDESK_WINDOW_CLASS, 60000);
    ASSERT_NE(window, nullptr);
    // The dictionary only: the headword tab with its index.
    EXPECT_NE(Deliver(kBigId, (DWORD)-1, (DWORD)-1, "x"), 0);
    HWND pane = PaneWith(window, UIA_IDC_PANE_INDEX);
    ASSERT_NE(pane, nullptr);
    HWND list = GetDlgItem(pane, UIA_IDC_PANE_INDEX);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == kBigCount; }))
        << SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);

    struct Case {
        const char *typed;
        int row;
    } cases[] = {
        {"k7312", 73120},  // a prefix: the first headword it begins
        {"k000", 0},
        {"a", 0},          // before every headword: the first row
        {"k5", 50000},
        {"k99999", 99999}, // the last headword, as far as the list can scroll
    };
    for (const Case &c : cases) {
        Type(pane, c.typed);
        EXPECT_TRUE(Testkit_PumpUntil([&] { return Selected(list) == c.row; }, 20000))
            << c.typed << ": selected " << Selected(list);
        int visible = (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
        int expectedTop = c.row + visible > kBigCount ? kBigCount - visible : c.row;
        EXPECT_TRUE(Testkit_PumpUntil([&] { return Top(list) == expectedTop; }, 5000))
            << c.typed << ": top row " << Top(list);
    }
    // The entry of the jump is in the viewer.
    Type(pane, "k4242");
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Selected(list) == 42420; }, 20000));
    HWND viewer = GetDlgItem(pane, QUERYDESK_ID_VIEWER);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(viewer, SCV_CHECK1, 0, 0) == 0; }));
    Picture(window, "pane_headword.bmp");
    EXPECT_TRUE(process.End());
}

namespace {
std::string Keyword(HWND pane)
{
    char text[300] = "";
    GetDlgItemTextA(pane, UIA_IDC_PANE_EDIT, text, sizeof text);
    return text;
}
}  // namespace

TEST(Panes, KeywordSearchesGoInTheHistoryAndBackAndForward)
{
    Catalogue catalogue;
    TestkitProcess process;
    ASSERT_TRUE(process.Start(Program()));
    HWND window = process.WaitWindow(QUERYDESK_WINDOW_CLASS, 60000);
    ASSERT_NE(window, nullptr);
    // The first search through the relay (it makes the dictionary current and shows the tab).
    EXPECT_NE(Deliver(kBigId, 0, 0, "k00000"), 0);
    HWND pane = PaneWith(window, UIA_IDC_PANE_SEARCH);
    ASSERT_NE(pane, nullptr);
    auto search = [&](const char *word) {
        SendDlgItemMessageA(pane, UIA_IDC_PANE_EDIT, WM_SETTEXT, 0, (LPARAM)word);
        SendMessageA(pane, WM_COMMAND, MAKEWPARAM(UIA_IDC_PANE_SEARCH, BN_CLICKED), 0);
    };
    auto can = [&](int forward) { return SendMessageA(pane, QUERYDESK_PANE_HISTORY_CAN, forward, 0); };
    auto go = [&](int steps) { SendMessageA(pane, QUERYDESK_PANE_HISTORY_GO, (WPARAM)steps, 0); };
    // Twelve searches with results ("k00000" to "k00011") and one without: the oldest is dropped,
    // the one without results is not kept.
    for (int i = 0; i < 12; i++) {
        char word[16];
        snprintf(word, sizeof word, "k%05d", i);
        search(word);
        EXPECT_GE(Rows(pane), 1) << word;
    }
    search("zzz");
    EXPECT_EQ(can(0), 1);
    EXPECT_EQ(can(1), 0) << "nothing after the last search";
    go(-11);
    EXPECT_EQ(Keyword(pane), "k00001") << "the oldest kept is the second search";
    EXPECT_EQ(can(0), 0);
    EXPECT_EQ(can(1), 1);
    go(-1);
    EXPECT_EQ(Keyword(pane), "k00001") << "no step before the first entry";
    go(3);
    EXPECT_EQ(Keyword(pane), "k00004");
    go(20);
    EXPECT_EQ(Keyword(pane), "k00004") << "a step past the last entry is refused";
    go(-2);
    EXPECT_EQ(Keyword(pane), "k00002");
    EXPECT_GE(Rows(pane), 1);
    Picture(window, "pane_keyword.bmp");
    EXPECT_TRUE(process.End());
}

TEST(Panes, ConditionSearchWithTwoConditions)
{
    Catalogue catalogue;
    TestkitProcess process;
    ASSERT_TRUE(process.Start(Program()));
    HWND window = process.WaitWindow(QUERYDESK_WINDOW_CLASS, 60000);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(Deliver(kBigId, (DWORD)-1, (DWORD)-1, "x"), 0);
    HWND pane = PaneWith(window, UIA_IDC_PANE_CONDITIONS);
    ASSERT_NE(pane, nullptr);
    SendMessageA(pane, WM_COMMAND, MAKEWPARAM(UIA_IDC_PANE_CONDITIONS, BN_CLICKED),
                 (LPARAM)GetDlgItem(pane, UIA_IDC_PANE_CONDITIONS));
    HWND dialog = nullptr;
    ASSERT_TRUE(Testkit_PumpUntil([&] {
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w && !dialog;
             w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == process.Id() && GetDlgItem(w, 1112) && IsWindowVisible(w)) dialog = w;
        }
        return dialog != nullptr;
    })) << "the condition dialog";
    // Row 1: the headword contains "k0101" (entries 1010 to 1019); row 2: the entry text contains
    // "number 1015" (1015 and 10150 to 10159); joined with "and": entry 1015 only.
    auto row = [&](int field, int text, int fieldIndex, const char *value, int op, int opIndex) {
        SendDlgItemMessageA(dialog, field, CB_SETCURSEL, fieldIndex, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(field, CBN_SELCHANGE), (LPARAM)GetDlgItem(dialog, field));
        SendDlgItemMessageA(dialog, text, WM_SETTEXT, 0, (LPARAM)value);
        SendDlgItemMessageA(dialog, op, CB_SETCURSEL, opIndex, 0);
    };
    row(1112, 1285, 1, "k0101", 1141, 0);
    row(1113, 1286, 2, "number 1015", 1142, 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1286)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1287))) << "a row without field keeps its text shut";
    Picture(dialog, "condition_dialog.bmp");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_CD_SEARCH, BN_CLICKED), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(pane) == 1; }, 60000)) << Rows(pane);
    // The second joined with "or": either condition.
    SendDlgItemMessageA(dialog, 1142, CB_SETCURSEL, 1, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_CD_SEARCH, BN_CLICKED), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(pane) == 20; }, 60000)) << Rows(pane);

    // Another dictionary chosen: the field lists gain its announced label field (not the one its
    // header flags leave out) and every row is back on its first field.
    auto count = [&](int control) { return (int)SendDlgItemMessageA(dialog, control, CB_GETCOUNT, 0, 0); };
    EXPECT_NE(Deliver(kJaId, (DWORD)-1, (DWORD)-1, "x"), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return count(1112) == 5; })) << count(1112);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 1113, CB_GETCURSEL, 0, 0), 0);
    auto data = [&](int control, int item) { return SendDlgItemMessageA(dialog, control, CB_GETITEMDATA, item, 0); };
    EXPECT_EQ(data(1112, 4), 32) << "label field 1";
    // The label field: its values without the field's own record, the text field shut.
    row(1112, 1285, 4, "", 1141, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1285)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1119)));
    EXPECT_EQ(count(1119), 2);
    EXPECT_EQ(data(1119, 0), 5);
    EXPECT_EQ(data(1119, 1), 6);
    SendDlgItemMessageA(dialog, 1119, CB_SETCURSEL, 1, 0);  // doushi
    // The pane's button brings the open dialog forward again.
    SendMessageA(pane, WM_COMMAND, MAKEWPARAM(UIA_IDC_PANE_CONDITIONS, BN_CLICKED),
                 (LPARAM)GetDlgItem(pane, UIA_IDC_PANE_CONDITIONS));
    EXPECT_TRUE(Testkit_PumpUntil([&] { return GetForegroundWindow() == dialog; }));
    Picture(dialog, "condition_dialog_labels.bmp");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_CD_SEARCH, BN_CLICKED), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(pane) == 2; }, 60000)) << "the two verbs: " << Rows(pane);
    // The group: no label fields, and the conditions searched in each of its dictionaries: the
    // headwords "k00000" to "k00009" of the English one or the two Japanese entries "to ...".
    EXPECT_NE(Deliver(catalogue.group, (DWORD)-1, (DWORD)-1, "x"), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return count(1112) == 4; })) << count(1112);
    EXPECT_EQ(count(1119), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1119)));
    row(1112, 1285, 1, "k0000", 1141, 0);
    row(1113, 1286, 2, "to ", 1142, 1);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_CD_SEARCH, BN_CLICKED), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(pane) == 12; }, 60000)) << Rows(pane);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(dialog); })) << "closed";
    HWND tab = GetDlgItem(window, QUERYDESK_ID_TAB);
    for (int i = 0; i < 2; i++) PostMessageA(tab, WM_KEYDOWN, VK_RIGHT, 0);  // headword -> condition
    EXPECT_TRUE(Testkit_PumpUntil([&] { return IsWindowVisible(pane); }));
    Picture(window, "pane_condition.bmp");
    EXPECT_TRUE(process.End());
}

TEST(Panes, ContentsTreeOpenedAndAPageShown)
{
    Catalogue catalogue;
    TestkitProcess process;
    ASSERT_TRUE(process.Start(Program()));
    HWND window = process.WaitWindow(QUERYDESK_WINDOW_CLASS, 60000);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(Deliver(kBigId, (DWORD)-1, (DWORD)-1, "x"), 0);
    HWND pane = PaneWith(window, UIA_IDC_PANE_TREE);
    ASSERT_NE(pane, nullptr);
    HWND tree = GetDlgItem(pane, UIA_IDC_PANE_TREE);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 3; }))
        << SendMessageA(tree, TVM_GETCOUNT, 0, 0);
    HWND tab = GetDlgItem(window, QUERYDESK_ID_TAB);
    PostMessageA(tab, WM_KEYDOWN, VK_LEFT, 0);  // headword -> contents
    EXPECT_TRUE(Testkit_PumpUntil([&] { return IsWindowVisible(pane); }));
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)root);
    HTREEITEM second = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child);
    ASSERT_NE(second, nullptr) << "two pages below the first";
    EXPECT_EQ(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)second), 0)
        << "a page naming an earlier one as the next ends the walk";
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)second);
    HWND text = GetDlgItem(pane, 1304);
    ASSERT_NE(text, nullptr);
    // The page's text, "The sounds of English" (the field's text is not handed across processes).
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(text, WM_GETTEXTLENGTH, 0, 0) >= 21; }))
        << SendMessageA(text, WM_GETTEXTLENGTH, 0, 0);

    // The Japanese dictionary's three levels: only the top item open at first; a press on a
    // chapter's book opens it and a second closes it, a double click does nothing.
    EXPECT_NE(Deliver(kJaId, (DWORD)-1, (DWORD)-1, "x"), 0);
    PostMessageA(tab, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 6; }))
        << SendMessageA(tree, TVM_GETCOUNT, 0, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return IsWindowVisible(pane); }));
    auto next = [&](UINT how, HTREEITEM from) { return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, how, (LPARAM)from); };
    HTREEITEM intro = next(TVGN_ROOT, nullptr);
    HTREEITEM sounds = next(TVGN_NEXT, next(TVGN_CHILD, intro));
    HTREEITEM appendix = next(TVGN_NEXT, intro);
    ASSERT_NE(sounds, nullptr);
    ASSERT_NE(appendix, nullptr);
    auto open = [&](HTREEITEM item) { return (SendMessageA(tree, TVM_GETITEMSTATE, (WPARAM)item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; };
    EXPECT_TRUE(open(intro));
    EXPECT_FALSE(open(sounds));
    EXPECT_FALSE(open(appendix));
    // Rows of 18 pixels in the order shown, 16 pixels a level; a book 13 pixels wide 2 pixels into
    // the item's own area.
    auto at = [](int level, int row) { return MAKELPARAM((level + 1) * 16 + 2 + 6, row * 18 + 9); };
    const LPARAM soundsBook = at(1, 2), appendixText = MAKELPARAM(16 + 2 + 15 + 10, 3 * 18 + 9);
    auto press = [&](UINT message, LPARAM point) {
        PostMessageA(tree, message, MK_LBUTTON, point);
        PostMessageA(tree, WM_LBUTTONUP, 0, point);
    };
    press(WM_LBUTTONDBLCLK, appendixText);
    press(WM_LBUTTONDOWN, soundsBook);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return open(sounds); })) << "opened by its book";
    EXPECT_FALSE(open(appendix)) << "a double click opens nothing";
    press(WM_LBUTTONDOWN, soundsBook);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !open(sounds); })) << "closed by its book";
    press(WM_LBUTTONDOWN, soundsBook);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return open(sounds); }));
    // A press on a page's name shows the page: "The five vowels of Japanese".
    HTREEITEM vowels = next(TVGN_CHILD, sounds);
    press(WM_LBUTTONDOWN, MAKELPARAM(3 * 16 + 2 + 15 + 10, 3 * 18 + 9));
    EXPECT_TRUE(Testkit_PumpUntil([&] { return next(TVGN_CARET, nullptr) == vowels; }));
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(text, WM_GETTEXTLENGTH, 0, 0) >= 27; }))
        << SendMessageA(text, WM_GETTEXTLENGTH, 0, 0);
    SetFocus(nullptr);
    Picture(window, "pane_contents_tree.bmp");
    // The group: its root with each dictionary's pages below it, the root open.
    EXPECT_NE(Deliver(catalogue.group, (DWORD)-1, (DWORD)-1, "x"), 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 1 + 6 + 3; }))
        << SendMessageA(tree, TVM_GETCOUNT, 0, 0);
    HTREEITEM groupRoot = next(TVGN_ROOT, nullptr);
    EXPECT_EQ(next(TVGN_NEXT, groupRoot), nullptr) << "one root";
    EXPECT_TRUE(open(groupRoot));
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(text, WM_GETTEXTLENGTH, 0, 0) == 0; }))
        << "the other dictionary's page is not left in the field";
    int tops = 0;
    for (HTREEITEM i = next(TVGN_CHILD, groupRoot); i; i = next(TVGN_NEXT, i)) tops++;
    EXPECT_EQ(tops, 3) << "two chapters of the Japanese dictionary, the guide of the English one";
    PostMessageA(tab, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return IsWindowVisible(pane); }));
    Picture(window, "pane_contents_group.bmp");
    EXPECT_TRUE(process.End());
}
