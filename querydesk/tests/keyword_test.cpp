// The keyword pane of the real Querydesk.exe, started and ended by its process id over a fixture
// dictionary of 1000 entries "k0000" to "k0999": with the incremental switch on, a word is searched
// once half a second after the last keystroke; searches with results are counted in the day's
// usage (no resident program runs, so the operation log takes them) and go in the history, which
// Shift and the mouse wheel step through; the entries before and after those listed; the search
// through the translation set; and the web lookup, which hands the word to the user's address
// format (escaped, the format's other '%' sequences kept as they stand) and leaves the list and the
// history alone.  Pictures of the pane are kept.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <ctype.h>
#include <stdio.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "chartpane.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "quickfield.h"
#include "querydesk.h"
#include "scrivshow.h"
#include "uiassets.h"
#include "support/testkit_process.h"
#include "support/testkit_remote.h"
#include "support/testkit_settings.h"
#include "../../widgetry/tests/shelfdics.h"
#include "panes_testkit.h"

using namespace panekit;

namespace {

const shelfdics::Fixture kDic = shelfdics::kFixtures[0];
const DWORD kDicId = kDic.fileId << 8;
const int kCount = 1000;
const UINT kFromWheel = MK_SHIFT;

std::string Headword(int i)
{
    char head[16];
    snprintf(head, sizeof head, "k%04d", i);
    return head;
}

using WindowSetup = std::function<void(SearchWindowOptions *, SearchWindowLayout *)>;

// The dictionary in a settings file of the test, the translation set naming it for lookups and the
// search window's stored options as the test wants them.
struct Catalogue {
    TestkitSuiteSettings settings;
    std::string folder;
    explicit Catalogue(const WindowSetup &setup)
    {
        folder = Testkit_Cwd() + "\\dics";
        Testkit_RemoveFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\UserData").c_str(), nullptr);
        // The program inherits the process's environment; the log read here goes through the C
        // library's copy of it.
        std::string data = "SHAREDKIT_DATA_DIR=" + folder + "\\UserData";
        _putenv(data.c_str());
        SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", (folder + "\\UserData").c_str());
        std::vector<dicfix::Entry> entries(kCount);
        for (int i = 0; i < kCount; i++) {
            entries[i].headword = Headword(i);
            entries[i].text1 = "entry number " + std::to_string(i);
        }
        EXPECT_TRUE(shelfdics::AddDictionary(folder, kDic, entries));
        VLTransSet *set = Lexshelf_TransSetCreate("lookup");
        Lexshelf_TransSetAdd(set, 1, 0, 1, kDicId);
        Lexshelf_TransSetSave(set);
        Lexshelf_TransSetDestroy(set);
        Lexshelf_SetCurrentTransSet("lookup");
        SearchWindowOptions options = {};
        SearchWindowLayout layout = {};
        Prefstore_LoadSearchWindow(&options, &layout);
        Prefstore_FreeWebList(&options);
        options.View.BackGroundColor = RGB(255, 255, 255);
        options.View.FontSize = 10;
        layout.x = 20, layout.y = 20, layout.cx = 640, layout.cy = 420;
        setup(&options, &layout);
        EXPECT_TRUE(Prefstore_SaveSearchWindow(&options, &layout));
        // The dictionary-order dialog kept off the panes in the pictures.
        const char *order = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\SearchWindow\\OrderList";
        Basekit_SettingsWriteDword(order, "MemoryPos", MAKELONG(960, 700));
        Basekit_SettingsWriteDword(order, "Show", 0);
    }
    ~Catalogue() { Testkit_RemoveFolder(folder); }
};

// Today's searches in the operation log.
int SearchesToday()
{
    OprLogDay day = {};
    return Chartpane_ReadDays(&day, 1) ? day.searchCount : -1;
}

// The program with its search window on the keyword pane over the dictionary.
struct Station {
    TestkitProcess process;
    HWND window = nullptr, pane = nullptr, viewer = nullptr;
    bool Start()
    {
        if (!process.Start("\"" + Testkit_ExeFolder() + "Querydesk.exe\"")) return false;
        window = process.WaitWindow(QUERYDESK_WINDOW_CLASS, 60000);
        if (!window || !Deliver(kDicId, 0, 0, "k0100")) return false;
        pane = PaneWith(window, UIA_IDC_PANE_SEARCH);
        viewer = pane ? GetDlgItem(pane, QUERYDESK_ID_VIEWER) : nullptr;
        return viewer && Testkit_PumpUntil([&] { return Rows(pane) >= 1; });
    }
    std::string Keyword() const { return TextOf(GetDlgItem(pane, UIA_IDC_PANE_EDIT)); }
    // Whether the viewer shows the entry (its text, the number not followed by another digit).
    bool Shows(int entry) const
    {
        std::string text = TextOf(viewer), wanted = "entry number " + std::to_string(entry);
        size_t at = text.find(wanted);
        return at != std::string::npos && (at + wanted.size() == text.size() || !isdigit((unsigned char)text[at + wanted.size()]));
    }
    LRESULT Ask(UINT message, WPARAM wParam) const { return SendMessageA(pane, message, wParam, 0); }
};

}  // namespace

TEST(Keyword, TypingCountsTheHistoryWheelNeighboursAndLanguages)
{
    Catalogue catalogue([](SearchWindowOptions *, SearchWindowLayout *layout) { layout->Incremental = 1; });
    Station st;
    ASSERT_TRUE(st.Start());
    const int before = SearchesToday();
    ASSERT_GE(before, 0);

    // Keystrokes closer than half a second apart: one search, after the last, counted once.
    for (const char *typed : {"k05", "k050", "k0500"}) Type(st.pane, typed);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return st.Shows(500); }, 20000)) << TextOf(st.viewer);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SearchesToday() == before + 1; })) << SearchesToday();
    Type(st.pane, "k0600");
    EXPECT_TRUE(Testkit_PumpUntil([&] { return st.Shows(600); }, 20000)) << TextOf(st.viewer);
    // A search without results neither counts nor goes in the history.
    Type(st.pane, "zzz");
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(st.pane) == 0; }, 20000)) << Rows(st.pane);
    EXPECT_EQ(SearchesToday(), before + 2);

    // Shift and the wheel: back to the last search and the one before, forward again; the wheel
    // alone, or less than a notch, moves nothing.
    struct Wheel {
        UINT keys;
        int delta;
        const char *keyword;
    } wheels[] = {
        {kFromWheel, -WHEEL_DELTA, "k0600"}, {kFromWheel, -2 * WHEEL_DELTA, "k0500"}, {0, WHEEL_DELTA, "k0500"},
        {kFromWheel, WHEEL_DELTA / 2, "k0500"}, {kFromWheel, -WHEEL_DELTA, "k0500"},  // nothing before the first
        {kFromWheel, WHEEL_DELTA, "k0600"},
    };
    // The wheel turns over the focused field, which hands it on to the pane.
    HWND field = GetDlgItem(st.pane, UIA_IDC_PANE_EDIT);
    for (const Wheel &w : wheels) {
        SendMessageA(field, WM_MOUSEWHEEL, MAKEWPARAM(w.keys, (WORD)(short)w.delta), MAKELPARAM(100, 100));
        EXPECT_EQ(st.Keyword(), w.keyword) << w.keys << " " << w.delta;
    }
    EXPECT_TRUE(st.Shows(600)) << "the first result of the entry gone to";
    EXPECT_EQ(SearchesToday(), before + 2) << "moves in the history are not counted";

    // Earlier and later entries of those listed: none before the first headword or after the last.
    struct Neighbour {
        int searched;
        int later;
        int shown;  // -1: none that way
    } neighbours[] = {{0, 0, -1}, {kCount - 1, 1, -1}, {500, 1, 501}, {500, 0, 499}, {kCount - 2, 1, kCount - 1}};
    for (const Neighbour &n : neighbours) {
        Type(st.pane, Headword(n.searched).c_str());
        EXPECT_TRUE(Testkit_PumpUntil([&] { return st.Shows(n.searched); }, 20000)) << n.searched;
        EXPECT_EQ(st.Ask(QUERYDESK_PANE_ENTRIES_CAN, n.later) != 0, n.shown >= 0) << n.searched << " " << n.later;
        st.Ask(QUERYDESK_PANE_ENTRIES_SHOW, n.later);
        EXPECT_TRUE(st.Shows(n.shown >= 0 ? n.shown : n.searched)) << n.searched << ": " << TextOf(st.viewer);
    }
    Picture(st.window, "keyword_later.bmp");  // k0999 after k0998

    // The search through the translation set's dictionaries takes the word into the field and the
    // history, and is not counted.
    int counted = SearchesToday();
    {
        Testkit_Remote remote(st.pane);
        ASSERT_TRUE(remote.Ready());
        EXPECT_EQ(remote.SendText(st.pane, QUERYDESK_PANE_SEARCH_LANGUAGES, 0, "k0042"), 0);
    }
    EXPECT_EQ(st.Keyword(), "k0042");
    EXPECT_TRUE(st.Shows(42)) << TextOf(st.viewer);
    Type(st.pane, "zzz");
    EXPECT_TRUE(Testkit_PumpUntil([&] { return Rows(st.pane) == 0; }, 20000));
    st.Ask(QUERYDESK_PANE_HISTORY_GO, (WPARAM)-1);
    EXPECT_EQ(st.Keyword(), "k0042");
    EXPECT_EQ(SearchesToday(), counted);
    Picture(st.window, "keyword_languages.bmp");
    EXPECT_TRUE(st.process.End());
}

namespace {

// A web address scheme of the test whose opening appends the address to a file of the test's
// working folder, one line each (the shell's own command processor writes it).
struct AddressRecorder {
    std::string file;
    AddressRecorder()
    {
        file = Testkit_Cwd() + "\\opened.txt";
        DeleteFileA(file.c_str());
        HKEY key;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "qdtest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == 0) {
            RegSetValueExA(key, "URL Protocol", 0, REG_SZ, (const BYTE *)"", 1);
            RegCloseKey(key);
        }
        std::string command = "C:\\windows\\system32\\cmd.exe /c echo \"%1\">>\"" + file + "\"";
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "qdtest\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) == 0) {
            RegSetValueExA(key, nullptr, 0, REG_SZ, (const BYTE *)command.c_str(), (DWORD)command.size() + 1);
            RegCloseKey(key);
        }
    }
    ~AddressRecorder()
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "qdtest");
        DeleteFileA(file.c_str());
    }
    std::vector<std::string> Opened() const
    {
        std::vector<std::string> lines;
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
            lines.push_back(line);
        }
        return lines;
    }
};

void UseWebAddress(const std::string &format)
{
    SearchWindowOptions options = {};
    SearchWindowLayout layout = {};
    Prefstore_LoadSearchWindow(&options, &layout);
    Prefstore_FreeWebList(&options);
    WebLink links[2] = {};
    lstrcpynA(links[0].Name, "Test", sizeof links[0].Name);
    lstrcpynA(links[0].Address, format.c_str(), sizeof links[0].Address);
    options.WebList = links;
    options.CurItem = 0;
    EXPECT_TRUE(Prefstore_SaveSearchWindow(&options, &layout));
    options.WebList = nullptr;
}

}  // namespace

TEST(Keyword, WebLookupOpensTheUsersAddressWithTheWordEscaped)
{
    AddressRecorder recorder;
    Catalogue catalogue([](SearchWindowOptions *, SearchWindowLayout *) {});
    Station st;
    ASSERT_TRUE(st.Start());
    const int rows = Rows(st.pane);
    // The dictionary bar's web lookup becomes the window's choice (with an empty field: nothing to
    // look up yet).
    SendDlgItemMessageA(st.pane, UIA_IDC_PANE_EDIT, WM_SETTEXT, 0, (LPARAM) "");
    HWND bar = GetDlgItem(GetDlgItem(st.window, QUERYDESK_ID_REBAR), QUERYDESK_ID_DICBAR);
    ASSERT_NE(bar, nullptr);
    SendMessageA(bar, WM_USER, 3010, 0);
    struct Case {
        std::string format;
        int charset;
        const char *word;
        const char *opened;  // null: nothing opened
    } cases[] = {
        {"qdtest:find?q=%s", ANSI_CHARSET, "k0001", "qdtest:find?q=k0001"},
        // Only the first %s takes the word; %% is one '%'; other '%' sequences stay as they are.
        {"qdtest:w?x=%d&q=%s&y=%20%%&z=%s%n", ANSI_CHARSET, "a b&c/%", "qdtest:w?x=%d&q=a%20b%26c%2F%25&y=%20%&z=%s%n"},
        // "nihon" in Shift-JIS: in the address as UTF-8.
        {"qdtest:%s", SHIFTJIS_CHARSET, "\x93\xfa\x96\x7b", "qdtest:%E6%97%A5%E6%9C%AC"},
        {"qdtest:%s", ANSI_CHARSET, "", nullptr},
        {"qdtest:nothing", ANSI_CHARSET, "k0002", "qdtest:nothing"},
    };
    Testkit_Remote remote(st.pane);
    ASSERT_TRUE(remote.Ready());
    std::vector<std::string> expected;
    for (const Case &c : cases) {
        UseWebAddress(c.format);
        remote.SendText(GetDlgItem(st.pane, UIA_IDC_PANE_EDIT), QFM_SETTEXTEX, (WPARAM)c.charset, c.word);
        SendMessageA(st.pane, WM_COMMAND, MAKEWPARAM(UIA_IDC_PANE_SEARCH, BN_CLICKED), 0);
        if (c.opened) expected.push_back(c.opened);
        EXPECT_TRUE(Testkit_PumpUntil([&] { return recorder.Opened().size() == expected.size(); }, 20000))
            << c.format;
    }
    EXPECT_EQ(recorder.Opened(), expected);
    EXPECT_EQ(Rows(st.pane), rows) << "the list is left as it was";
    EXPECT_EQ(st.Ask(QUERYDESK_PANE_HISTORY_CAN, 0), 0) << "nothing went in the history";
    EXPECT_TRUE(st.process.End());
}
