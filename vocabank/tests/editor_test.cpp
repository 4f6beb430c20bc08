// The entry editor and the word commands over a real user dictionary in the test's own settings
// file: new words (Japanese and Western), editing, deleting, a save that fails on a read-only
// dictionary, dropped files, the enable rules, a second process that follows the changes through
// the engine's notices, and a picture of the editor with a Japanese entry.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <functional>
#include <string>
#include <vector>
#include "../../lexicore/tests/testkit.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"
#include "quickfield.h"
#include "scrivel.h"
#include "scrivshow.h"
#include "lexshelf.h"
#include "uiassets.h"
#include "widgetry.h"
#include "vocabank.h"

namespace {

const char kClient[] = "VLVB";
const char kJaHead[] = "\x93\xfa\x96\x7b\x8c\xea";        // 日本語
const char kJaReading[] = "\x82\xc9\x82\xd9\x82\xf1\x82\xb2"; // にほんご
const char kJaBody[] = "\x93\xfa\x96\x7b\x82\xcc\x8c\xbe\x97\x74";  // 日本の言葉

// ---- Broadcast receiver: a window of the search window's class --------------------------------
struct Notice {
    WPARAM wp;
    LPARAM lp;
};
std::vector<Notice> g_notices;

LRESULT CALLBACK SearchProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == VLM_USER_ENTRY_CHANGED) {
        g_notices.push_back(Notice{wp, lp});
        return 1;
    }
    return DefWindowProcA(w, m, wp, lp);
}

HWND MakeSearchWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SearchProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelomiraV5SearchMain";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "search", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

// ---- The editor driven from a thread timer inside its own loop --------------------------------
std::function<void(HWND)> g_script;
bool g_scriptRan;
bool g_closeAfterScript = true;

void CALLBACK ScriptTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND editor = FindWindowA(VOCABANK_EDITOR_CLASS, nullptr);
    if (!editor || !IsWindowVisible(editor)) return;
    KillTimer(nullptr, id);
    g_scriptRan = true;
    if (g_script) g_script(editor);
    if (g_closeAfterScript) PostMessageA(editor, WM_CLOSE, 0, 0);
}

void Drive(std::function<void(HWND)> script) {
    g_script = script;
    g_scriptRan = false;
    SetTimer(nullptr, 0, 50, ScriptTimer);
}

std::string Field(HWND editor, int id) {
    char buf[512] = "";
    SendMessageA(GetDlgItem(editor, id), QFM_GETTEXTEX, sizeof buf, (LPARAM)buf);
    return buf;
}

void SetField(HWND editor, int id, const char *text) {
    HWND f = GetDlgItem(editor, id);
    SendMessageA(f, QFM_SETTEXTEX, SendMessageA(f, QFM_GETCHARSET, 0, 0), (LPARAM)text);
}

std::string Body(HWND editor) {
    HWND b = GetDlgItem(editor, VOCABANK_IDC_BODY);
    LRESULT n = SendMessageA(b, SCM_GETPLAINTEXT, 0, 0);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0) SendMessageA(b, SCM_GETPLAINTEXT, 0, (LPARAM)&s[0]);
    return std::string(s.c_str());
}

void SetBody(HWND editor, const char *text) {
    SendMessageA(GetDlgItem(editor, VOCABANK_IDC_BODY), SCM_SETTAGGEDTEXT, 0, (LPARAM)text);
}

// The reading as stored (the engine may tag it with its charset) as plain text.
std::string Reading(const VLDataItem *item) {
    char out[512] = "";
    Scrivshow_RenderPlain(item->second, item->secondLen, out, sizeof out, -1);
    return out;
}

int FileCount(HWND editor) { return ListView_GetItemCount(GetDlgItem(editor, VOCABANK_IDC_FILES)); }

void Save(HWND editor) { SendMessageA(editor, WM_COMMAND, VOCABANK_IDC_SAVE, 0); }

// Drops the files on the editor as the shell does.
void DropFiles(HWND editor, const std::vector<std::string> &paths) {
    std::string list;
    for (const std::string &p : paths) list += p + '\0';
    list += '\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    DROPFILES *d = (DROPFILES *)GlobalLock(block);
    d->pFiles = sizeof(DROPFILES);
    memcpy((char *)d + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(block);
    SendMessageA(editor, WM_DROPFILES, (WPARAM)block, 0);
}

// ---- A user dictionary of the test's own ------------------------------------------------------
struct Env {
    kit::Sandbox box;
    DWORD fileId = 0, dicId = 0;
    HWND search = nullptr;
    std::string log;
    std::vector<HANDLE> locks;
    Env(const char *name, WORD language = 0x0400) : box(name, kit::Mode::File) {
        EXPECT_TRUE(Lexicore_Init(kClient, 0));
        fileId = Lexicore_CreateUserDic(box.Path("words.rdc").c_str(), "Words", "W", 0, 1, language, language);
        dicId = fileId << 8 | 1;
        DicProperty p = {};
        p.size = sizeof p;
        if (!Lexicore_GetDicProperty(dicId, &p)) dicId = fileId << 8;
        search = MakeSearchWindow();
        g_notices.clear();
        log = kit::Cwd() + "\\" + name + "_boxes.log";
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_LOG", log.c_str());
        Answer("1");
    }
    ~Env() {
        DestroyWindow(search);
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_LOG", nullptr);
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", nullptr);
    }
    void Answer(const char *answers) { SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", answers); }
    // Text ids of the message boxes shown so far.
    std::vector<int> Boxes() const {
        std::vector<int> ids;
        std::string all = kit::ReadAll(log);
        size_t at = 0;
        while (at < all.size()) {
            ids.push_back(atoi(all.c_str() + at));
            size_t end = all.find('\n', at);
            if (end == std::string::npos) break;
            at = end + 1;
        }
        return ids;
    }
    // The dictionary's entries: head word -> the item (the caller's).
    VLDataItem *Find(const char *headword) {
        DicSession *s = Lexicore_CreateSession();
        VLDataItem *found = nullptr;
        if (Lexicore_OpenSession(s, dicId, FALSE)) {
            LONG at = 0;
            Lexicore_Locate(s, headword, 0, &at);  // the first entry at or after the key
            found = Lexicore_GetItem(s, at);
            if (found && strcmp(found->headword, headword) != 0) {
                VLDataItem_Destroy(found);
                found = nullptr;
            }
        }
        Lexicore_DestroySession(s);
        return found;
    }
    LONG Count() { return Lexicore_GetEntryCount(dicId, 0); }
    std::string Text(const char *headword, bool second = false) {
        VLDataItem *item = Find(headword);
        if (!item) return "?";
        VLData data = {};
        std::string out = "?";
        if (Lexicore_ReadEntryText(item, &data))
            out = second ? std::string(data.data2 ? data.data2 : "", data.len2)
                         : std::string(data.data1 ? data.data1 : "", data.len1);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        VLDataItem_Destroy(item);
        return std::string(out.c_str());
    }
    LONG Add(const char *headword, const char *reading, const char *text, const char *files) {
        VLDataItem head = {};
        head.head.type = VLITEM_DATA;
        VLDataItem *item = VLDataItem_Create(&head, headword, reading, nullptr, nullptr);
        LONG at = Lexicore_AddUserEntry(dicId, item, text, files);
        VLDataItem_Destroy(item);
        return at;
    }
    // Makes the dictionary's files read-only; each is also held open for reading only, so that no
    // writer gets at them even where the attribute alone does not stop one (a test run as root).
    void ReadOnly(bool on) {
        for (HANDLE h : locks) CloseHandle(h);
        locks.clear();
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(box.Path("words.*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            std::string path = box.Path(fd.cFileName);
            SetFileAttributesA(path.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
            if (on)
                locks.push_back(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
};

// ---- New words ------------------------------------------------------------------------------

struct Word {
    const char *head, *reading, *body;
};
struct NewWordsCase {
    const char *name;
    WORD language;
    Word words[2];
} kNewWords[] = {
    {"japanese", 0x0400, {{kJaHead, kJaReading, kJaBody}, {"\x8a\xbf\x8e\x9a", "\x82\xa9\x82\xf1\x82\xb6", "kanji"}}},
    {"western", 0x0100, {{"caf\xe9", "kafe", "a small restaurant"}, {"na\xefve", "naive", "innocent \xe0 la fois"}}},
};

class NewWords : public testing::TestWithParam<NewWordsCase> {};

TEST_P(NewWords, OneAfterTheOtherWithoutReopening) {
    const NewWordsCase &param = GetParam();
    Env env(param.name, param.language);
    HWND owner = env.search;
    const Word *words = param.words;
    std::vector<std::string> fieldsAfter;
    BOOL ownerEnabledInside = TRUE;
    Drive([&](HWND editor) {
        ownerEnabledInside = IsWindowEnabled(owner);
        EXPECT_EQ("seed", Field(editor, VOCABANK_IDC_HEADWORD));  // the text given becomes the head word
        for (int i = 0; i < 2; i++) {
            const Word &w = words[i];
            SetField(editor, VOCABANK_IDC_HEADWORD, w.head);
            SetField(editor, VOCABANK_IDC_READING, w.reading);
            SetBody(editor, w.body);
            Save(editor);
            fieldsAfter.push_back(Field(editor, VOCABANK_IDC_HEADWORD) + "|" + Field(editor, VOCABANK_IDC_READING) +
                                  "|" + Body(editor));
        }
    });
    Vocabank_NewWord(owner, env.dicId, "seed");
    ASSERT_TRUE(g_scriptRan);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(owner));
    // The editor is emptied after each save and stays open for the next word.
    ASSERT_EQ(2u, fieldsAfter.size());
    for (const std::string &f : fieldsAfter) EXPECT_EQ("||", f);
    EXPECT_EQ(2, env.Count());
    for (int i = 0; i < 2; i++) {
        const Word &w = words[i];
        VLDataItem *item = env.Find(w.head);
        ASSERT_NE(nullptr, item) << w.head;
        EXPECT_EQ(std::string(w.reading), Reading(item));
        VLDataItem_Destroy(item);
        EXPECT_NE(std::string::npos, env.Text(w.head).find(w.body)) << env.Text(w.head);
    }
    ASSERT_EQ(2u, g_notices.size());
    for (const Notice &n : g_notices) EXPECT_EQ(env.dicId, n.wp);
    EXPECT_TRUE(env.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Editor, NewWords, testing::ValuesIn(kNewWords),
                         [](const testing::TestParamInfo<NewWordsCase> &i) { return std::string(i.param.name); });

TEST(Editor, EmptyHeadWordWarnsAndAddsNothing) {
    Env env("emptyhead");
    std::string bodyAfter;
    Drive([&](HWND editor) {
        SetBody(editor, "text without a head word");
        Save(editor);
        bodyAfter = Body(editor);
    });
    Vocabank_NewWord(env.search, env.dicId, nullptr);
    ASSERT_TRUE(g_scriptRan);
    EXPECT_EQ(std::vector<int>{UIA_IDS_WORD_NO_HEADWORD}, env.Boxes());
    EXPECT_EQ(0, env.Count());
    EXPECT_TRUE(g_notices.empty());
    EXPECT_NE(std::string::npos, bodyAfter.find("text without a head word"));
}

TEST(Editor, NothingToStartWith) {
    EXPECT_EQ(0, Vocabank_NewWord(nullptr, 0, nullptr));
    EXPECT_EQ(0, Vocabank_NewWord(nullptr, 0, ""));
    EXPECT_EQ(0, Vocabank_EditEntry(nullptr, nullptr));
    EXPECT_EQ(nullptr, FindWindowA(VOCABANK_EDITOR_CLASS, nullptr));
}

// A quit meant for the caller's own loop ends the editor and is handed on, not swallowed.
TEST(Editor, QuitOfTheCallerIsPassedOn) {
    Env env("quit");
    g_closeAfterScript = false;
    Drive([](HWND) { PostQuitMessage(5); });
    EXPECT_EQ(5, Vocabank_NewWord(env.search, env.dicId, "word"));
    g_closeAfterScript = true;
    ASSERT_TRUE(g_scriptRan);
    EXPECT_EQ(nullptr, FindWindowA(VOCABANK_EDITOR_CLASS, nullptr));
    EXPECT_TRUE(IsWindowEnabled(env.search));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(5u, msg.wParam);
}

TEST(Editor, DroppedFilesAreSavedAsPathList) {
    Env env("dropped");
    std::vector<std::string> paths = {env.box.Path("a.png"), env.box.Path("b.wav"), env.box.Path("c.txt")};
    for (const std::string &p : paths) kit::WriteAll(p, "x");
    int countBefore = 0, countAfterDelete = 0, countAfterSave = -1;
    Drive([&](HWND editor) {
        SetField(editor, VOCABANK_IDC_HEADWORD, "files");
        DropFiles(editor, paths);
        DropFiles(editor, {env.box.Path("d.bin")});
        countBefore = FileCount(editor);
        // Delete takes the selected item off the list.
        HWND list = GetDlgItem(editor, VOCABANK_IDC_FILES);
        ListView_SetItemState(list, 3, LVIS_SELECTED, LVIS_SELECTED);
        NMLVKEYDOWN key = {};
        key.hdr.hwndFrom = list;
        key.hdr.idFrom = VOCABANK_IDC_FILES;
        key.hdr.code = LVN_KEYDOWN;
        key.wVKey = VK_DELETE;
        SendMessageA(editor, WM_NOTIFY, VOCABANK_IDC_FILES, (LPARAM)&key);
        countAfterDelete = FileCount(editor);
        Save(editor);
        countAfterSave = FileCount(editor);
    });
    Vocabank_NewWord(env.search, env.dicId, nullptr);
    ASSERT_TRUE(g_scriptRan);
    EXPECT_EQ(4, countBefore);
    EXPECT_EQ(3, countAfterDelete);
    EXPECT_EQ(0, countAfterSave);
    EXPECT_EQ(paths[0] + ";" + paths[1] + ";" + paths[2] + ";", env.Text("files", true));
}

// ---- Editing ---------------------------------------------------------------------------------

TEST(Editor, EditShowsTheEntryAndSavesTheChange) {
    Env env("edit");
    ASSERT_GE(env.Add(kJaHead, kJaReading, kJaBody, "c:\\pics\\one.png;c:\\pics\\two.png;"), 0);
    ASSERT_GE(env.Add("zebra", nullptr, "striped", nullptr), 0);
    VLDataItem *entry = env.Find(kJaHead);
    ASSERT_NE(nullptr, entry);
    std::string head, reading, body;
    int files = 0;
    Drive([&](HWND editor) {
        head = Field(editor, VOCABANK_IDC_HEADWORD);
        reading = Field(editor, VOCABANK_IDC_READING);
        body = Body(editor);
        files = FileCount(editor);
        SetField(editor, VOCABANK_IDC_READING, "nihongo");
        SetBody(editor, "changed text");
        Save(editor);
    });
    Vocabank_EditEntry(env.search, entry);
    VLDataItem_Destroy(entry);
    ASSERT_TRUE(g_scriptRan);
    EXPECT_EQ(kJaHead, head);
    EXPECT_EQ(kJaReading, reading);
    EXPECT_NE(std::string::npos, body.find(kJaBody));
    EXPECT_EQ(2, files);
    EXPECT_EQ(2, env.Count());
    EXPECT_NE(std::string::npos, env.Text(kJaHead).find("changed text"));
    VLDataItem *after = env.Find(kJaHead);
    ASSERT_NE(nullptr, after);
    EXPECT_EQ("nihongo", Reading(after));
    VLDataItem_Destroy(after);
    // A success is announced once, and no failure is reported.
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(env.dicId, g_notices[0].wp);
    EXPECT_TRUE(env.Boxes().empty());
}

TEST(Editor, FailedSaveKeepsTheFieldsAndReports) {
    Env env("readonly");
    ASSERT_GE(env.Add("kept", nullptr, "old text", nullptr), 0);
    VLDataItem *entry = env.Find("kept");
    ASSERT_NE(nullptr, entry);
    env.ReadOnly(true);
    struct Case {
        bool edit;
        const char *head;
    } cases[] = {{false, kJaHead}, {true, "kept"}};
    for (const Case &c : cases) {
        std::string head, reading, body;
        Drive([&](HWND editor) {
            SetField(editor, VOCABANK_IDC_HEADWORD, c.head);
            SetField(editor, VOCABANK_IDC_READING, "yomi");
            SetBody(editor, "new text");
            Save(editor);
            head = Field(editor, VOCABANK_IDC_HEADWORD);
            reading = Field(editor, VOCABANK_IDC_READING);
            body = Body(editor);
        });
        if (c.edit) Vocabank_EditEntry(env.search, entry);
        else Vocabank_NewWord(env.search, env.dicId, nullptr);
        ASSERT_TRUE(g_scriptRan);
        EXPECT_EQ(c.head, head) << c.edit;
        EXPECT_EQ("yomi", reading) << c.edit;
        EXPECT_NE(std::string::npos, body.find("new text")) << c.edit;
    }
    env.ReadOnly(false);
    VLDataItem_Destroy(entry);
    std::vector<int> failed = {UIA_IDS_WORD_SAVE_FAILED, UIA_IDS_WORD_SAVE_FAILED};
    EXPECT_EQ(failed, env.Boxes());
    EXPECT_TRUE(g_notices.empty());
    EXPECT_EQ(1, env.Count());
    EXPECT_EQ("old text", env.Text("kept"));
}

TEST(Editor, FormatCommandsReachTheBodyAndTheMenu) {
    Env env("format");
    struct Case {
        UINT command;
        int size;    // the body's size step afterwards
        BYTE style;  // its style bits
        BYTE charset;
        UINT checked;  // a format menu item checked afterwards
    } cases[] = {
        {5721, 5, 0, 128, 5721}, {5725, 1, 0, 128, 5725}, {5731, 1, 1, 128, 5731},
        {5733, 1, 5, 128, 5733}, {5731, 1, 4, 128, 5733}, {11197, 1, 4, 0, 11197},
    };
    std::vector<std::string> seen;
    int views[5] = {};
    int comboSize = 0;
    Drive([&](HWND editor) {
        HWND body = GetDlgItem(editor, VOCABANK_IDC_BODY);
        TextAttribute start = {};
        SendMessageA(body, SCM_GETATTRIBUTE, 0, (LPARAM)&start);
        start.charset = 128;
        SendMessageA(body, SCM_SETATTRIBUTE, 0, (LPARAM)&start);
        HMENU format = GetSubMenu(GetMenu(editor), UIA_WORD_EDITOR_FORMAT_MENU);
        for (const Case &c : cases) {
            SendMessageA(editor, WM_COMMAND, c.command, 0);
            TextAttribute a = {};
            SendMessageA(body, SCM_GETATTRIBUTE, 0, (LPARAM)&a);
            char line[64];
            wsprintfA(line, "%u: %d %d %d %d", c.command, a.sizeStep, a.style & 7, a.charset,
                      (GetMenuState(format, c.checked, MF_BYCOMMAND) & MF_CHECKED) != 0);
            seen.push_back(line);
        }
        // The size box of the tool bar: its first row is the largest size.
        HWND bar = GetDlgItem(GetDlgItem(editor, VOCABANK_IDC_REBAR), VOCABANK_IDC_TOOLBAR);
        HWND combo = GetDlgItem(bar, VOCABANK_IDC_SIZE_COMBO);
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        SendMessageA(bar, WM_COMMAND, MAKEWPARAM(VOCABANK_IDC_SIZE_COMBO, CBN_SELCHANGE), (LPARAM)combo);
        TextAttribute fromCombo = {};
        SendMessageA(body, SCM_GETATTRIBUTE, 0, (LPARAM)&fromCombo);
        comboSize = fromCombo.sizeStep;
        // The next-view button walks large icons, small icons, list, report and back.
        HWND files = GetDlgItem(editor, VOCABANK_IDC_FILES);
        for (int i = 0; i < 5; i++) {
            views[i] = GetWindowLongA(files, GWL_STYLE) & LVS_TYPEMASK;
            SendMessageA(editor, WM_COMMAND, UIA_CMD_NEXT_VIEW, 0);
        }
    });
    Vocabank_NewWord(env.search, env.dicId, "x");
    ASSERT_TRUE(g_scriptRan);
    ASSERT_EQ(6u, seen.size());
    for (size_t i = 0; i < seen.size(); i++) {
        char want[64];
        wsprintfA(want, "%u: %d %d %d 1", cases[i].command, cases[i].size, cases[i].style, cases[i].charset);
        EXPECT_EQ(want, seen[i]);
    }
    EXPECT_EQ(5, comboSize);
    int want[5] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT, LVS_ICON};
    for (int i = 0; i < 5; i++) EXPECT_EQ(want[i], views[i]) << i;
}

// ---- A second process follows the changes ---------------------------------------------------

TEST(Editor, SecondProcessSeesTheSavedWords) {
    Env env("second");
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "VocabankTestReady");
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "VocabankTestDone");
    std::string result = kit::Cwd() + "\\second_result.txt";
    DeleteFileA(result.c_str());
    char dic[16];
    wsprintfA(dic, "%x", (unsigned)env.dicId);
    TestkitProcess helper;
    ASSERT_TRUE(helper.Start("\"" + Testkit_ExeFolder() + "vocabank_notice_helper.exe\" " + kClient + " \"" +
                             env.box.settings + "\" " + dic + " VocabankTestReady VocabankTestDone \"" + result + "\""));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 30000));
    Drive([&](HWND editor) {
        SetField(editor, VOCABANK_IDC_HEADWORD, kJaHead);
        SetBody(editor, kJaBody);
        Save(editor);
        SetField(editor, VOCABANK_IDC_HEADWORD, "apple");
        Save(editor);
    });
    Vocabank_NewWord(env.search, env.dicId, nullptr);
    ASSERT_TRUE(g_scriptRan);
    SetEvent(done);
    ASSERT_EQ(0, helper.WaitExit());
    std::string out = kit::ReadAll(result);
    char added[64];
    wsprintfA(added, "notice 1 %x ", (unsigned)env.dicId);
    size_t first = out.find(added);
    ASSERT_NE(std::string::npos, first) << out;
    EXPECT_NE(std::string::npos, out.find(added, first + 1)) << out;
    EXPECT_NE(std::string::npos, out.find(std::string("entry ") + kJaHead + "\n")) << out;
    EXPECT_NE(std::string::npos, out.find("entry apple\n")) << out;
    CloseHandle(ready);
    CloseHandle(done);
}

// ---- Picture -------------------------------------------------------------------------------

TEST(Editor, PictureOfAJapaneseEntry) {
    Env env("picture");
    ASSERT_GE(env.Add(kJaHead, kJaReading, kJaBody, "c:\\pics\\one.png;"), 0);
    VLDataItem *entry = env.Find(kJaHead);
    ASSERT_NE(nullptr, entry);
    std::string picture = kit::Cwd() + "\\editor_japanese.bmp";
    bool saved = false;
    RECT headRect = {}, saveRect = {}, client = {};
    Drive([&](HWND editor) {
        SetWindowPos(editor, HWND_TOP, 20, 20, 460, 350, SWP_SHOWWINDOW);
        SendMessageA(editor, WM_COMMAND, UIA_CMD_VIEW_DETAILS, 0);
        SetForegroundWindow(editor);
        RedrawWindow(editor, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Testkit_PumpUntil([] { return false; }, 300);
        saved = Testkit_SaveWindowPicture(editor, picture.c_str());
        GetClientRect(editor, &client);
        GetWindowRect(GetDlgItem(editor, VOCABANK_IDC_HEADWORD), &headRect);
        GetWindowRect(GetDlgItem(editor, VOCABANK_IDC_SAVE), &saveRect);
        MapWindowPoints(nullptr, editor, (POINT *)&headRect, 2);
        MapWindowPoints(nullptr, editor, (POINT *)&saveRect, 2);
    });
    Vocabank_EditEntry(env.search, entry);
    VLDataItem_Destroy(entry);
    ASSERT_TRUE(g_scriptRan);
    EXPECT_TRUE(saved);
    // The controls lie inside the window, the field left of the button.
    EXPECT_LE(saveRect.right, client.right);
    EXPECT_LT(headRect.right, saveRect.left);
    EXPECT_GT(headRect.bottom - headRect.top, 10);
}

// ---- Word commands ---------------------------------------------------------------------------

TEST(Commands, EnableRules) {
    Env env("enable");
    ASSERT_GE(env.Add("word", nullptr, "text", nullptr), 0);
    VLDataItem *entry = env.Find("word");
    ASSERT_NE(nullptr, entry);
    VLDataItem loose = {};  // an entry of no catalogued dictionary
    loose.head.type = VLITEM_DATA;
    loose.head.fileId = 0x1234;
    HMENU menu = CreatePopupMenu();
    for (UINT id : {5401, 5402, 5403, 5404, 5405, 5407}) AppendMenuA(menu, MF_STRING, id, "x");
    auto enabled = [&](UINT id) { return !(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED); };
    struct Case {
        DWORD dicId;
        const VLDataItem *entry;
        bool newWord, edit;
    } cases[] = {
        {env.dicId, entry, true, true},
        {0x100, entry, false, true},       // a group id
        {env.dicId, nullptr, true, false},
        {env.dicId, &loose, true, false},
        {0x123400, &loose, false, false},  // no such dictionary
    };
    for (const Case &c : cases) {
        Vocabank_UpdateCommands(menu, nullptr, c.dicId, nullptr, c.entry);
        EXPECT_EQ(c.newWord, enabled(5401)) << std::hex << c.dicId;
        EXPECT_EQ(c.edit, enabled(5402)) << std::hex << c.dicId;
        EXPECT_EQ(c.edit, enabled(5403)) << std::hex << c.dicId;
        EXPECT_FALSE(enabled(5407));  // no active study list in this settings file
    }
    // Child windows carrying the command ids are enabled the same way.
    HWND panel = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND button = CreateWindowA("BUTTON", "", WS_CHILD, 0, 0, 10, 10, panel, (HMENU)5402, nullptr, nullptr);
    Vocabank_UpdateCommands(nullptr, panel, env.dicId, nullptr, &loose);
    EXPECT_FALSE(IsWindowEnabled(button));
    Vocabank_UpdateCommands(nullptr, panel, env.dicId, nullptr, entry);
    EXPECT_TRUE(IsWindowEnabled(button));
    // A tool bar shows the drill button only when KEYDRILL.EXE lies beside the program.
    HWND bar = CreateWindowA(TOOLBARCLASSNAMEA, "", WS_CHILD | CCS_NORESIZE, 0, 0, 100, 30, panel, nullptr, nullptr,
                             nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON tb[2] = {};
    tb[0].idCommand = 5401;
    tb[1].idCommand = 10090;
    tb[0].fsState = tb[1].fsState = TBSTATE_ENABLED;
    SendMessageA(bar, TB_ADDBUTTONSA, 2, (LPARAM)tb);
    Vocabank_UpdateCommands(nullptr, bar, 0x100, nullptr, nullptr);
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, 5401, 0));
    bool drill = kit::Exists(Testkit_ExeFolder() + "KEYDRILL.EXE");
    EXPECT_EQ(drill, SendMessageA(bar, TB_ISBUTTONENABLED, 10090, 0) != 0);
    DestroyWindow(panel);
    DestroyMenu(menu);
    VLDataItem_Destroy(entry);
}

TEST(Commands, DeleteAsksFirst) {
    Env env("delete");
    ASSERT_GE(env.Add("gone", nullptr, "text", nullptr), 0);
    ASSERT_GE(env.Add("stays", nullptr, "text", nullptr), 0);
    VLDataItem *entry = env.Find("gone");
    ASSERT_NE(nullptr, entry);
    env.Answer("7");  // No
    EXPECT_EQ(1, Vocabank_DoCommand(env.search, env.dicId, nullptr, entry, nullptr, 0, 5403, 0));
    EXPECT_EQ(2, env.Count());
    EXPECT_TRUE(g_notices.empty());
    env.Answer("6");  // Yes
    EXPECT_EQ(1, Vocabank_DoCommand(env.search, env.dicId, nullptr, entry, nullptr, 0, 5403, 0));
    EXPECT_EQ(1, env.Count());
    EXPECT_EQ(nullptr, env.Find("gone"));
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(env.dicId, g_notices[0].wp);
    EXPECT_EQ(0, g_notices[0].lp);
    std::vector<int> asked = {2435, 2435};
    EXPECT_EQ(asked, env.Boxes());
    VLDataItem_Destroy(entry);
}

// A data list as the commands see it: its word list, and whether it adds the selection itself.
VLWordList *g_dataListWords;
LRESULT g_dataListAdds;
int g_dataListAddCalls;
LRESULT CALLBACK DataListProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == VLDLM_GETLIST) return (LRESULT)g_dataListWords;
    if (m == VLDLM_ADDTOSTUDYLIST) {
        g_dataListAddCalls++;
        return g_dataListAdds;
    }
    return DefWindowProcA(w, m, wp, lp);
}

TEST(Commands, StudyListTakesTheDataListsCurrentEntry) {
    Env env("study");
    ASSERT_GE(env.Add("first", nullptr, "text", nullptr), 0);
    ASSERT_GE(env.Add("second", nullptr, "text", nullptr), 0);
    std::string list = env.box.Path("study.vlh");
    ASSERT_TRUE(Lexshelf_SetActiveList(list.c_str()));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DataListProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VocabankTestDataList";
    RegisterClassA(&wc);
    HWND dataList = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    g_dataListWords = VLWordList_Create(10);
    VLDataItem *first = env.Find("first"), *second = env.Find("second");
    ASSERT_TRUE(first && second);
    VLWordList_Add(g_dataListWords, first);
    VLWordList_Add(g_dataListWords, second);
    VLWordList_SetCurItem(g_dataListWords, 1);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 5402, "edit");
    AppendMenuA(menu, MF_STRING, 5407, "study");
    Vocabank_UpdateCommands(menu, nullptr, env.dicId, dataList, nullptr);
    EXPECT_FALSE(GetMenuState(menu, 5407, MF_BYCOMMAND) & MF_GRAYED);  // an active list exists now
    EXPECT_FALSE(GetMenuState(menu, 5402, MF_BYCOMMAND) & MF_GRAYED);  // the list's entry is a user entry
    // The data list that adds the selection itself is not added to again.
    g_dataListAdds = 1;
    EXPECT_EQ(1, Vocabank_DoCommand(env.search, env.dicId, dataList, first, nullptr, 0, 5407, 0));
    EXPECT_EQ(1, g_dataListAddCalls);
    EXPECT_FALSE(kit::Exists(list));
    // Otherwise the list's current entry (not the one passed) goes to the active list.
    g_dataListAdds = 0;
    EXPECT_EQ(1, Vocabank_DoCommand(env.search, env.dicId, dataList, first, nullptr, 0, 5407, 0));
    std::string stored = kit::ReadAll(list);
    EXPECT_NE(std::string::npos, stored.find("second"));
    EXPECT_EQ(std::string::npos, stored.find("first"));
    DestroyMenu(menu);
    DestroyWindow(dataList);
    VLWordList_Destroy(g_dataListWords);
    VLDataItem_Destroy(first);
    VLDataItem_Destroy(second);
}

// The language manager gets the focused editor's selection, its whole text without one, or the
// entry's head word when the focus is elsewhere.
TEST(Commands, LanguageManagerTakesTheFocusedText) {
    Env env("manager");
    ASSERT_GE(env.Add(kJaHead, nullptr, "text", nullptr), 0);
    VLDataItem *entry = env.Find(kJaHead);
    ASSERT_NE(nullptr, entry);
    HWND frame = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND editor = Scrivel_CreateWindow(0, WS_CHILD | WS_VISIBLE, 0, 0, 300, 100, frame, (HMENU)1, nullptr, 0);
    HWND other = CreateWindowA("BUTTON", "", WS_CHILD | WS_VISIBLE, 0, 120, 50, 20, frame, (HMENU)2, nullptr, nullptr);
    ASSERT_TRUE(editor && other);
    SendMessageA(editor, SCM_SETTAGGEDTEXT, 0, (LPARAM)"whole editor text");
    struct Case {
        HWND focus;
        bool selectAll;
        const char *want;
    } cases[] = {{editor, false, "whole editor text"}, {editor, true, "whole editor text"}, {other, false, kJaHead}};
    for (const Case &c : cases) {
        SetForegroundWindow(frame);
        SetFocus(c.focus);
        if (c.selectAll) SendMessageA(editor, SCM_SELECTALL, 0, 0);
        ASSERT_EQ(c.focus, GetFocus());
        EXPECT_EQ(1, Vocabank_DoCommand(frame, env.dicId, nullptr, entry, nullptr, 0, UIA_CMD_LANGUAGE_MANAGER, 0x0400));
        HWND manager = FindWindowA("LinguakeeperManager", nullptr);
        ASSERT_NE(nullptr, manager);
        char text[256] = "";
        GetDlgItemTextA(manager, 100, text, sizeof text);
        EXPECT_NE(nullptr, strstr(text, c.want)) << text;
        DestroyWindow(manager);
    }
    DestroyWindow(frame);
    VLDataItem_Destroy(entry);
}

TEST(Commands, TypingDrillStartsBesideTheProgram) {
    if (!kit::Exists(Testkit_ExeFolder() + "KEYDRILL.EXE")) GTEST_SKIP() << "KEYDRILL.EXE not built";
    EXPECT_EQ(1, Vocabank_DoCommand(nullptr, 0, nullptr, nullptr, nullptr, 0, UIA_CMD_TYPING_DRILL, 0));
    HWND drill = nullptr;
    EXPECT_TRUE(Testkit_PumpUntil([&] { return (drill = FindWindowA("KeydrillWindow", nullptr)) != nullptr; }, 20000));
    if (!drill) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(drill, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(drill, WM_CLOSE, 0, 0);
    if (process) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 20000));
        CloseHandle(process);
    }
}

TEST(Commands, UnknownAndDisabledCommands) {
    Env env("unknown");
    EXPECT_EQ(0, Vocabank_DoCommand(env.search, env.dicId, nullptr, nullptr, nullptr, 0, 5406, 0));
    EXPECT_EQ(0, Vocabank_DoCommand(env.search, env.dicId, nullptr, nullptr, nullptr, 0, 1, 0));
    // A group id opens no editor (a window would stay open and block this call).
    EXPECT_EQ(1, Vocabank_DoCommand(env.search, 0x100, nullptr, nullptr, "word", 0, 5401, 0));
    EXPECT_EQ(0, env.Count());
}

}  // namespace
