// The relay library through the calls the programs make: delivery by id to a second process,
// broadcast, messages to the main window and kinds, the user data folder, the start-up question
// and the shared command handlers.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "sharedkit.h"
#include "peer_common.h"
#include "support/testkit_gdi.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

// A second process with one window of the given class; closed and awaited at the end.
class Peer {
public:
    explicit Peer(const char *cls) : cls_(cls) {
        std::string cmd = "\"" + ExeFolder() + "sharedkit_peer.exe\" " + cls;
        STARTUPINFOA si = {sizeof si};
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back(0);
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
            return;
        // Wait until its window exists (or the process ended).
        for (int i = 0; i < 1000 && !window_; i++) {
            window_ = FindWindowA(cls, nullptr);
            if (!window_ && WaitForSingleObject(pi_.hProcess, 20) == WAIT_OBJECT_0)
                break;
        }
    }
    ~Peer() {
        if (window_)
            PostMessageA(window_, WM_CLOSE, 0, 0);
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0)
                TerminateProcess(pi_.hProcess, 1);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    HWND window() const { return window_; }

private:
    const char *cls_;
    PROCESS_INFORMATION pi_ = {};
    HWND window_ = nullptr;
};

// A lookup request as the data library lays it out in memory: the record, then its text and a
// zero byte.
std::vector<unsigned char> MakeRequest(const char *text, DWORD dictionary, DWORD kind, WORD charset, WORD pos) {
    int len = (int)strlen(text);
    std::vector<unsigned char> block(sizeof(VLTranParam) + len + 1, 0);
    VLTranParam *r = (VLTranParam *)block.data();
    r->dicId = dictionary;
    r->searchMode = 3;
    r->searchFlags = 0x20;
    r->requestKind = kind;
    strcpy(r->font.lfFaceName, "MS Gothic");
    r->charset = charset;
    r->wordPos = pos;
    r->sourceWindow = (HWND)(UINT_PTR)0x1234;
    r->pointTop = MAKELONG(15, 100);
    r->pointBottom = MAKELONG(20, 116);
    r->text = (char *)(r + 1);
    r->textLen = len;
    memcpy(r + 1, text, len);
    return block;
}

// A data item in memory form: the record, then headword, second, third and fourth string.
std::vector<unsigned char> MakeEntry(const char *head, const char *second, const char *third, const char *fourth) {
    const char *strs[4] = {head, second, third, fourth};
    size_t size = sizeof(VLDataItem);
    for (const char *s : strs)
        size += strlen(s) + 1;
    std::vector<unsigned char> block(size, 0);
    VLDataItem *item = (VLDataItem *)block.data();
    item->head.size = (DWORD)size;
    item->head.type = VLITEM_DATA;
    item->head.fileId = 0x1234;
    item->head.subDicNo = 2;
    item->head.entryNo = 77;
    item->language = 0x0400;
    item->charset = 128;
    char **fields[4] = {&item->headword, &item->second, &item->third, &item->fourth};
    LONG *lens[4] = {&item->headwordLen, &item->secondLen, &item->thirdLen, &item->fourthLen};
    char *at = (char *)(item + 1);
    for (int i = 0; i < 4; i++) {
        int len = (int)strlen(strs[i]);
        memcpy(at, strs[i], len + 1);
        *fields[i] = at;
        *lens[i] = len;
        at += len + 1;
    }
    return block;
}

bool LexidataPresent() {
    HMODULE m = LoadLibraryA("Lexidata.dll");
    return m && GetProcAddress(m, MAKEINTRESOURCEA(1003)) && GetProcAddress(m, MAKEINTRESOURCEA(209)) &&
           GetProcAddress(m, MAKEINTRESOURCEA(210));
}

// A window of the main window's class in this process, counting what reaches it.
LONG g_mainHits;
LRESULT CALLBACK FakeMainProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= 0x8000 && msg < 0xC000) {
        g_mainHits++;
        return 0x55 + (LRESULT)wParam;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}
HWND MakeWindow(const char *cls, WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    UnregisterClassA(cls, wc.hInstance);  // each test brings its own procedure
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace

TEST(Delivery, RequestReachesAnotherProcessAsItsOwnCopyOnce) {
    ASSERT_TRUE(LexidataPresent());
    Peer peer("VelomiraV5SearchMain");
    ASSERT_TRUE(peer.window());
    // "kanji" in Shift-JIS with an ASCII tail, and a plain ASCII text
    const char *texts[] = {"\x8a\xbf\x8e\x9a test", "hello world"};
    for (const char *t : texts) {
        std::vector<unsigned char> r = MakeRequest(t, 0x123400, 5, 128, 3);
        std::vector<unsigned char> before = r;
        LRESULT got = Sharedkit_DeliverItem(1, SHAREDKIT_VLM_DELIVER_ITEM, 0, r.data());
        EXPECT_EQ(got, PeerRequestDigest(r.data())) << t;
        EXPECT_EQ(r, before) << "the sender's record stays as it was";
        // The deposit is gone once the send returned: no fetch, and its mapping no longer exists.
        EXPECT_EQ(SendMessageA(peer.window(), PEER_REFETCH, 0, 0), 1);
        char name[64];
        snprintf(name, sizeof name, "SharedkitDeposit.%08lX", (unsigned long)SendMessageA(peer.window(), PEER_LAST_ID, 0, 0));
        HANDLE left = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
        EXPECT_EQ(left, nullptr) << name;
        if (left)
            CloseHandle(left);
    }
}

TEST(Delivery, EntryReachesStudyListWindowAndAbsentKindGivesMinusOne) {
    std::vector<unsigned char> item = MakeEntry("run", "ran", "\x91\x96\x82\xe9", "");  // third: "hashiru"
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, item.data()), -1) << "no study-list window";
    ASSERT_TRUE(LexidataPresent());
    Peer peer("VelomiraV5StudyListWindow");
    ASSERT_TRUE(peer.window());
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, item.data()), PeerEntryDigest(item.data()));
    EXPECT_EQ(SendMessageA(peer.window(), PEER_REFETCH, 1, 0), 1);
    // A request delivered to the same window is no entry.
    std::vector<unsigned char> r = MakeRequest("word", 1, 1, 0, 0);
    EXPECT_EQ(Sharedkit_DeliverItem(3, PEER_STUDY_ENTRY, 0, r.data()), PEER_WRONG_TAG);
}

// A program whose thread has been busy for over five seconds counts as hung; an entry handed over
// then waits for it a while and reaches it once it is back in its loop.
TEST(Delivery, EntryReachesAWindowThatWasBusyForLong) {
    std::vector<unsigned char> item = MakeEntry("list", "", "", "");
    ASSERT_TRUE(LexidataPresent());
    Peer peer("VelomiraV5StudyListWindow");
    ASSERT_TRUE(peer.window());
    EXPECT_EQ(SendMessageA(peer.window(), PEER_BUSY, 7000, 0), 1);
    Sleep(5500);
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, item.data()), PeerEntryDigest(item.data()));
}

TEST(Delivery, BadKindsIdsAndRecordsGiveCleanFailures) {
    std::vector<unsigned char> r = MakeRequest("word", 1, 1, 0, 0);
    std::vector<unsigned char> item = MakeEntry("a", "b", "c", "d");
    for (int kind : {0, 6, 8, 9, 10, -1, 99}) {
        EXPECT_EQ(Sharedkit_DeliverItem(kind, SHAREDKIT_VLM_DELIVER_ITEM, 0, r.data()), 0) << kind;
        EXPECT_EQ(Sharedkit_DeliverEntry(kind, 0x8405, 0, item.data()), -1) << kind;
        EXPECT_EQ(Sharedkit_SendToKind(kind, 0x8413, 0, 0), 0) << kind;
    }
    for (LPARAM id : {(LPARAM)0, (LPARAM)-5, (LPARAM)0x7FFFFFF0, (LPARAM)1}) {
        EXPECT_EQ(Sharedkit_ReceiveItem(id), nullptr) << id;
        EXPECT_EQ(Sharedkit_GetDeliveredEntry(id), nullptr) << id;
    }
    Peer peer("VelomiraV5StudyListWindow");
    ASSERT_TRUE(peer.window());
    EXPECT_EQ(Sharedkit_DeliverItem(3, SHAREDKIT_VLM_DELIVER_ITEM, 0, nullptr), 0);
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, nullptr), -1);
    // Not a data item, a size below the head, a string pointer outside the block.
    std::vector<unsigned char> label = item;
    label[4] = 5;
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, label.data()), -1);
    std::vector<unsigned char> small = item;
    ((VLItem *)small.data())->size = 40;
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, small.data()), -1);
    // A second string with a length but at no place: the receiver refuses it.
    std::vector<unsigned char> lengthWithoutString = MakeEntry("a", "b", "c", "d");
    VLDataItem *lw = (VLDataItem *)lengthWithoutString.data();
    lw->second = nullptr;
    lw->headword = nullptr;
    lw->headwordLen = 0;
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, lengthWithoutString.data()), PEER_NONE);
    // A string outside the record's own block arrives as what the record says.
    std::vector<unsigned char> stray = MakeEntry("a", "b", "c", "d");
    ((VLDataItem *)stray.data())->second = (char *)"elsewhere";
    ((VLDataItem *)stray.data())->secondLen = 9;
    EXPECT_EQ(Sharedkit_DeliverEntry(3, 0x8405, 0, stray.data()), PeerEntryDigest(stray.data()));
}

TEST(Delivery, ClipboardTextBecomesRequestOfKindSeven) {
    ASSERT_TRUE(LexidataPresent());
    Peer peer("VelomiraV5TranslateWindow");
    ASSERT_TRUE(peer.window());
    HWND owner = MakeWindow("SharedkitClipOwner", DefWindowProcA);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    EXPECT_EQ(Sharedkit_DeliverClipboard(owner, 4, 0x200100, SHAREDKIT_VLM_DELIVER_ITEM, 0), 0)
        << "no text, no request";
    const char text[] = "clipboard words";
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    memcpy(GlobalLock(g), text, sizeof text);
    GlobalUnlock(g);
    SetClipboardData(CF_TEXT, g);
    CloseClipboard();
    std::vector<unsigned char> expect = MakeRequest(text, 0x200100, 7, 0, 0);
    VLTranParam *e = (VLTranParam *)expect.data();
    e->searchMode = e->searchFlags = 0;  // no mode or flags
    memset(&e->font, 0, sizeof e->font);  // no font
    e->sourceWindow = owner;
    e->pointTop = e->pointBottom = 0;
    EXPECT_EQ(Sharedkit_DeliverClipboard(owner, 4, 0x200100, SHAREDKIT_VLM_DELIVER_ITEM, 0),
              PeerRequestDigest(expect.data()));
    DestroyWindow(owner);
}

TEST(Relay, BroadcastReachesKindWindowsButNeverTheMainWindow) {
    g_mainHits = 0;
    HWND main = MakeWindow("VelomiraV5MainWindow", FakeMainProc);
    ASSERT_TRUE(main);
    Peer search("VelomiraV5SearchMain"), study("VelomiraV5StudyListWindow");
    ASSERT_TRUE(search.window() && study.window());
    EXPECT_EQ(Sharedkit_Broadcast(1, PEER_NOTICE, 7, 9), 2);
    EXPECT_EQ(Sharedkit_Broadcast(6, PEER_NOTICE, 7, 9), 0);
    EXPECT_EQ(SendMessageA(search.window(), PEER_NOTICE_COUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(study.window(), PEER_NOTICE_COUNT, 0, 0), 1);
    EXPECT_EQ(g_mainHits, 0);
    // Plain messages: to the main window and to a kind.
    EXPECT_EQ(Sharedkit_SendToMain(0x83FE, 5, 0), 0x55 + 5);
    EXPECT_EQ(g_mainHits, 1);
    EXPECT_EQ(Sharedkit_SendToKind(1, PEER_ECHO, 40, 2), 42);
    DestroyWindow(main);
    EXPECT_EQ(Sharedkit_SendToMain(0x83FE, 5, 0), 0) << "no resident program";
}

TEST(Folders, UserDataFolderEndsInBackslashAndHoldsStudyList) {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    std::string root = std::string(cwd) + "\\data\\user one";
    SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", root.c_str());
    _putenv_s("SHAREDKIT_DATA_DIR", root.c_str());
    char buf[MAX_PATH];
    ASSERT_EQ(Sharedkit_GetUserDataFolder(buf, 0), 1);
    EXPECT_EQ(std::string(buf), root + "\\");
    DWORD attr = GetFileAttributesA((root + "\\StudyList").c_str());
    EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(Sharedkit_GetUserDataFolder(nullptr, 0), 0);
    std::string tooLong(300, 'x');
    _putenv_s("SHAREDKIT_DATA_DIR", tooLong.c_str());
    EXPECT_EQ(Sharedkit_GetUserDataFolder(buf, 0), 0);
    _putenv_s("SHAREDKIT_DATA_DIR", "");
    RemoveDirectoryA((root + "\\StudyList").c_str());
    RemoveDirectoryA(root.c_str());
    RemoveDirectoryA((std::string(cwd) + "\\data").c_str());
}

TEST(Question, DueOnlyWhenAskedAndNeverAfterNoCheck) {
    const char *key = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary\\Setup";
    struct Case { const char *env; int pending; int noCheck; int due; } cases[] = {
        {"", 0, 0, 0}, {"", 1, 0, 1}, {"1", 0, 0, 1}, {"0", 1, 0, 0}, {"1", 1, 1, 0}, {"", 1, 1, 0},
    };
    for (const Case &c : cases) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
        DWORD v = c.pending;
        RegSetValueExA(k, "NewDicPending", 0, REG_DWORD, (BYTE *)&v, 4);
        v = c.noCheck;
        RegSetValueExA(k, "NoCheckNewDic", 0, REG_DWORD, (BYTE *)&v, 4);
        RegCloseKey(k);
        _putenv_s("SHAREDKIT_NEWDIC_DUE", c.env);
        EXPECT_EQ(Sharedkit_StartupCheck(), c.due) << c.env << " " << c.pending << " " << c.noCheck;
    }
    _putenv_s("SHAREDKIT_NEWDIC_DUE", "");
    RegDeleteKeyA(HKEY_CURRENT_USER, key);

    int check = 1;
    _putenv_s("SHAREDKIT_QUESTION_ANSWER", "6,0");
    EXPECT_EQ(Sharedkit_MessageBoxCheck(nullptr, 424, 0, 0, 32514, &check), 6);
    EXPECT_EQ(check, 0);
    _putenv_s("SHAREDKIT_QUESTION_ANSWER", "2");
    EXPECT_EQ(Sharedkit_MessageBoxCheck(nullptr, 424, 0, 0, 32514, &check), 2);
    EXPECT_EQ(check, 0) << "no check state in the script leaves it";
    _putenv_s("SHAREDKIT_QUESTION_ANSWER", "");
}

namespace {
DWORD WINAPI AskQuestion(LPVOID p) {
    return (DWORD)Sharedkit_MessageBoxCheck(nullptr, 424, 0, 0, 32514, (int *)p);
}
}  // namespace

TEST(Question, DialogAnswersYesAndWritesTheCheckBoxBack) {
    int check = 1;
    HANDLE t = CreateThread(nullptr, 0, AskQuestion, &check, 0, nullptr);
    HWND dlg = nullptr;
    for (int i = 0; i < 1000 && !dlg; i++) {
        dlg = FindWindowA("#32770", "Velomira");
        if (dlg && !IsWindowVisible(dlg))  // shown only after its initialisation
            dlg = nullptr;
        if (!dlg)
            WaitForSingleObject(t, 20);
    }
    ASSERT_TRUE(dlg);
    EXPECT_EQ(SendDlgItemMessageA(dlg, 1003, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendDlgItemMessageA(dlg, 1003, BM_SETCHECK, BST_UNCHECKED, 0);
    PostMessageA(dlg, WM_COMMAND, IDYES, 0);
    ASSERT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
    DWORD answer = 0;
    GetExitCodeThread(t, &answer);
    CloseHandle(t);
    EXPECT_EQ(answer, 6u);
    EXPECT_EQ(check, 0);
}

TEST(Commands, HandlersAnswerOnlyForTheirOwnCommands) {
    for (UINT cmd : {1u, 5601u, 5602u, 5604u, 5607u})
        EXPECT_NE(Sharedkit_ShowHelp(nullptr, cmd, 10501, nullptr), 0) << cmd;
    for (UINT cmd : {0u, 5001u, 5603u, 5608u, 1100u, 10090u})
        EXPECT_EQ(Sharedkit_ShowHelp(nullptr, cmd, 10501, nullptr), 0) << cmd;
    for (UINT cmd : {1100u, 5001u, 5107u, 5301u, 5405u, 10090u}) {
        EXPECT_EQ(Sharedkit_DoDicMenuCommand(cmd, 0, 0, 0), 0) << cmd;
        EXPECT_EQ(Sharedkit_HandleControlCommand(nullptr, cmd), 0) << cmd;
    }
    // Edit commands on the focused control inside the window.
    HWND frame = MakeWindow("SharedkitCmdFrame", DefWindowProcA);
    HWND edit = CreateWindowExA(0, "EDIT", "some text", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, frame, nullptr,
                                nullptr, nullptr);
    ShowWindow(frame, SW_SHOW);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    EXPECT_EQ(Sharedkit_HandleWindowCommand(frame, 5001), 0);
    EXPECT_EQ(Sharedkit_HandleWindowCommand(frame, 5206), 1);
    EXPECT_EQ(Sharedkit_HandleWindowCommand(frame, 5205), 1);
    EXPECT_EQ(GetWindowTextLengthA(edit), 0);
    HWND other = MakeWindow("SharedkitCmdOther", DefWindowProcA);
    EXPECT_EQ(Sharedkit_HandleWindowCommand(other, 5205), 0) << "focus outside the window";
    DestroyWindow(other);
    DestroyWindow(frame);
}

namespace {
LONG g_digest;
bool g_sawOwnMessage;
LRESULT CALLBACK PopupProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == SHAREDKIT_VLM_DELIVER_ITEM) {
        typedef void(WINAPI * FreeProc)(void *);
        void *r = Sharedkit_ReceiveItem(lParam);
        g_digest = r ? PeerRequestDigest(r) : PEER_NONE;
        if (r)
            ((FreeProc)GetProcAddress(LoadLibraryA("Lexidata.dll"), MAKEINTRESOURCEA(1002)))(r);
        return g_digest;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}
LRESULT CALLBACK CreatingMainProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE)
        Sharedkit_SendToMain(0x8414, 3, 0);  // the usage count of the day, sent while being created
    if (msg == 0x8414)
        g_sawOwnMessage = true;
    return DefWindowProcA(w, msg, wParam, lParam);
}
}  // namespace

TEST(Delivery, ToAWindowOfTheSameThread) {
    HWND popup = MakeWindow("VelomiraV5PopupWindow", PopupProc);
    ASSERT_TRUE(popup);
    std::vector<unsigned char> r = MakeRequest("same thread", 0x100100, 1, 0, 5);
    EXPECT_EQ(Sharedkit_DeliverItem(5, SHAREDKIT_VLM_DELIVER_ITEM, 0, r.data()), PeerRequestDigest(r.data()));
    EXPECT_EQ(g_digest, PeerRequestDigest(r.data()));
    DestroyWindow(popup);
}

TEST(Relay, MainWindowIsFoundWhileItIsBeingCreated) {
    g_sawOwnMessage = false;
    HWND main = MakeWindow("VelomiraV5MainWindow", CreatingMainProc);
    ASSERT_TRUE(main);
    EXPECT_TRUE(g_sawOwnMessage);
    DestroyWindow(main);
}

TEST(Relay, DictionaryManagerFindsTheModuleByItsUpperCaseName) {
    HMODULE m = GetModuleHandleA("SHAREDKIT");
    ASSERT_NE(m, nullptr);
    typedef int(WINAPI * FolderProc)(char *, DWORD);
    typedef LRESULT(WINAPI * DeliverProc)(int, UINT, WPARAM, const void *);
    FolderProc folder = (FolderProc)GetProcAddress(m, MAKEINTRESOURCEA(621));
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder(nullptr, 0), 0);
    DeliverProc deliver = (DeliverProc)GetProcAddress(m, MAKEINTRESOURCEA(102));
    ASSERT_NE(deliver, nullptr);
    std::vector<unsigned char> item = MakeEntry("a", "b", "c", "");
    EXPECT_EQ(deliver(3, 0x8405, 0, item.data()), -1) << "no study-list program";
}

TEST(Commands, ButtonsPaintTheirFaceAndText) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 80, 24);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, 80, 24};
    auto paint = [&](int which, int pressed) {
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_BUTTON;
        d.hDC = dc;
        d.rcItem = all;
        int r = which == 0 ? Sharedkit_DrawTextButton(&d, "Web", pressed)
                : which == 1 ? Sharedkit_DrawDicButton(&d, "dictionary", 0x0400, pressed)
                             : Sharedkit_DrawColorDicButton(&d, "colour", RGB(255, 0, 0), pressed);
        std::vector<COLORREF> px;
        for (int y = 0; y < 24; y += 2)
            for (int x = 0; x < 80; x += 2)
                px.push_back(GetPixel(dc, x, y));
        return std::make_pair(r, px);
    };
    for (int which = 0; which < 3; which++) {
        auto up = paint(which, 0), down = paint(which, 1);
        EXPECT_EQ(up.first, 1);
        EXPECT_NE(up.second, std::vector<COLORREF>(up.second.size(), RGB(255, 255, 255))) << "something drawn";
        EXPECT_NE(up.second, down.second) << "pressed looks different";
    }
    bool red = false;
    paint(2, 0);
    for (int y = 0; y < 24 && !red; y++)
        for (int x = 0; x < 24 && !red; x++)
            red = GetPixel(dc, x, y) == RGB(255, 0, 0);
    EXPECT_TRUE(red) << "the colour swatch";
    EXPECT_EQ(Sharedkit_DrawTextButton(nullptr, "x", 0), 0);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST(Help, TheThreadsHelpWindowShowsSubjectTopicAndPath) {
    HWND frame = MakeWindow("SharedkitHelpOwner", DefWindowProcA);
    ASSERT_EQ(Sharedkit_ShowHelp(frame, 5606, 10604, "C:\\Study\\history.vlh"), 1);
    HWND help = FindWindowA("SharedkitHelp", nullptr);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(IsWindowVisible(help));
    EXPECT_EQ(GetWindow(help, GW_OWNER), frame);
    wchar_t subject[64] = L"", body[512] = L"";
    GetDlgItemTextW(help, 100, subject, 64);
    GetDlgItemTextW(help, 101, body, 512);
    EXPECT_STREQ(subject, L"\u5358\u8a9e\u5e33");  // tangochou: study lists
    EXPECT_NE(wcsstr(body, L"10604"), nullptr);
    EXPECT_NE(wcsstr(body, L"C:\\Study\\history.vlh"), nullptr);
    RedrawWindow(help, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(Testkit_SaveWindowPicture(help, "help.bmp"));
    // The next help command: the same window with its own subject; a command that is not help
    // changes nothing.
    EXPECT_EQ(Sharedkit_ShowHelp(frame, 1, 10501, nullptr), 1);
    EXPECT_EQ(FindWindowA("SharedkitHelp", nullptr), help);
    GetDlgItemTextW(help, 100, subject, 64);
    GetDlgItemTextW(help, 101, body, 512);
    EXPECT_STREQ(subject, L"\u76ee\u6b21");  // mokuji: contents
    EXPECT_EQ(wcsstr(body, L"history"), nullptr);
    EXPECT_EQ(Sharedkit_ShowHelp(frame, 5603, 1, nullptr), 0);
    GetDlgItemTextW(help, 100, subject, 64);
    EXPECT_STREQ(subject, L"\u76ee\u6b21");
    DestroyWindow(help);
    DestroyWindow(frame);
}

TEST(Commands, DictionaryButtonsShowTheLanguagesIcon) {
    TestkitCanvas face(3 * 130, 26, 0x00FFFFFF);
    auto draw = [&](int slot, const char *name, DWORD language) {
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_BUTTON;
        d.hDC = face.dc;
        d.rcItem = {slot * 130, 0, slot * 130 + 126, 26};
        return Sharedkit_DrawDicButton(&d, name, language, 0);
    };
    // Without the language manager in the process there is no icon to show.
    ASSERT_EQ(GetModuleHandleA("Linguakeeper.dll"), nullptr);
    std::vector<uint32_t> before;
    EXPECT_EQ(draw(0, "Collins", 0x0100), 1);
    for (int x = 0; x < 24; x++)
        before.push_back(face.At(x, 13));
    ASSERT_NE(LoadLibraryA("Linguakeeper.dll"), nullptr);
    EXPECT_EQ(draw(0, "Collins", 0x0100), 1);
    EXPECT_EQ(draw(1, "\x89p\x98\x61\x8e\xab\x93T", 0x0400), 1);  // eiwa jiten: an English-Japanese dictionary
    EXPECT_EQ(draw(2, "No language", 0), 1);
    auto reddish = [&](int slot) {
        for (int y = 0; y < face.height; y++)
            for (int x = slot * 130; x < slot * 130 + 24; x++) {
                uint32_t p = face.At(x, y);
                if ((p >> 16) > 150 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 90)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(reddish(1)) << "the Japanese tile";
    EXPECT_FALSE(reddish(0)) << "the English tile is blue";
    std::vector<uint32_t> after;
    for (int x = 0; x < 24; x++)
        after.push_back(face.At(x, 13));
    EXPECT_NE(before, after) << "the English icon drawn";
    int first, last;
    TestkitCanvas plain(130, 26, 0x00FFFFFF);
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_BUTTON;
    d.hDC = plain.dc;
    d.rcItem = {0, 0, 126, 26};
    Sharedkit_DrawTextButton(&d, "No language", 0);
    std::vector<uint32_t> none, text;
    for (int x = 0; x < 126; x++) {
        none.push_back(face.At(2 * 130 + x, 13));
        text.push_back(plain.At(x, 13));
    }
    EXPECT_EQ(none, text) << "language 0: the plain text button";
    face.InkColumns(0x00FFFFFF, &first, &last);
    EXPECT_TRUE(Testkit_SavePicture(face.dc, 0, 0, face.width, face.height, "dictionary_buttons.bmp"));
}
