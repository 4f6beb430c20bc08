// Stored forms of the records that leave a process: the option records in the settings file, the
// capture server's answer record, the two deposits between processes (a data item and a lookup
// request) and the usage log.  Each is made from fixed inputs and compared byte for byte with its
// fixture in tests/fixtures/storedforms; then each fixture is read by the suite's own reader and
// written again, which must give the same bytes.  Both lanes run this against the same fixtures.
//
// The fixtures are written by the x86 lane's test run with STOREDFORMS_WRITE=1 in the environment:
// the test then writes what it made into the fixture folder instead of comparing (bytes that
// differ from run to run are written as zeros) and goes on with the read-and-write-again checks.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "basekit.h"
#include "chartpane_int.h"
#include "hostlink.h"
#include "hostlink_proto.h"
#include "lexidata.h"
#include "prefstore.h"
#include "sharedkit.h"
#include "support/testkit_files.h"
#include "support/testkit_wait.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// Bytes left out of a comparison: values that differ from run to run.
struct Mask {
    size_t at, size;
};

bool Masked(const std::vector<Mask> &masks, size_t at)
{
    for (const Mask &m : masks)
        if (at >= m.at && at < m.at + m.size) return true;
    return false;
}

std::string Hex(const Bytes &b, size_t at)
{
    std::string s;
    char part[4];
    for (size_t i = at; i < b.size() && i < at + 16; i++) {
        snprintf(part, sizeof part, "%02X ", b[i]);
        s += part;
    }
    return s;
}

// Expects equal bytes outside the masks; names the first differing offset.
void ExpectSameBytes(const std::string &what, const Bytes &want, const Bytes &got,
                     const std::vector<Mask> &masks = {})
{
    size_t n = want.size() < got.size() ? want.size() : got.size();
    for (size_t i = 0; i < n; i++) {
        if (want[i] == got[i] || Masked(masks, i)) continue;
        ADD_FAILURE() << what << ": first difference at offset " << i << " (0x" << std::hex << i
                      << std::dec << ")\n  expected " << Hex(want, i) << "\n  actual   "
                      << Hex(got, i);
        return;
    }
    EXPECT_EQ(want.size(), got.size()) << what << ": sizes differ (the first " << n
                                       << " bytes agree)";
}

std::string FixturePath(const std::string &name)
{
    return std::string(STOREDFORMS_DIR) + "/" + name;
}

bool WritingFixtures()
{
    const char *v = getenv("STOREDFORMS_WRITE");
    return v && strcmp(v, "1") == 0;
}

// Compares bytes made by this run with the fixture; with STOREDFORMS_WRITE=1 writes them as the
// fixture instead, masked bytes as zeros.
void MatchFixture(const std::string &name, Bytes bytes, const std::vector<Mask> &masks = {})
{
    if (WritingFixtures()) {
        for (const Mask &m : masks)
            for (size_t i = m.at; i < m.at + m.size && i < bytes.size(); i++) bytes[i] = 0;
        Testkit_WriteFile(FixturePath(name), bytes);
        return;
    }
    Bytes want = Testkit_ReadBytes(FixturePath(name));
    ASSERT_FALSE(want.empty()) << "no fixture " << FixturePath(name);
    ExpectSameBytes(name, want, bytes, masks);
}

Bytes Fixture(const std::string &name)
{
    Bytes b = Testkit_ReadBytes(FixturePath(name));
    EXPECT_FALSE(b.empty()) << "no fixture " << FixturePath(name);
    return b;
}

// A file of the test's working folder, removed first.
std::string FreshFile(const char *name)
{
    char path[MAX_PATH];
    GetFullPathNameA(name, MAX_PATH, path, nullptr);
    DeleteFileA(path);
    return path;
}

// ---- Option records in the settings file ----------------------------------------------------
// The suite's settings file (file mode of the settings layer) holds every option as text, so its
// bytes are the stored form; the registry holds the same values as numbers and strings.

// Ints from first on: base, base + 1, ..., every third one negative (the packed pairs keep the
// sign of each half).
void Seq(int *first, int count, int base)
{
    for (int i = 0; i < count; i++) first[i] = i % 3 == 1 ? -(base + i) : base + i;
}

// Every field of a record made only of ints.
template <class T>
void AllInts(T &rec, int base)
{
    static_assert(sizeof(T) % sizeof(int) == 0, "a record of ints");
    Seq((int *)&rec, (int)(sizeof rec / sizeof(int)), base);
}

void FillView(ViewOptions &v, int base)
{
    AllInts(v, base);
    v.BackGroundColor = RGB(0xF0, 0xE8, base);
}

// "Shift-JIS text: katakana 'tesuto' and the word 'jisho'" (escaped bytes).
const char kSjisText[] = "\x83\x65\x83\x58\x83\x67 \x8e\xab\x8f\x91";

struct OptionForm {
    const char *fixture;
    void (*save)();                                // saves the record(s) made from fixed inputs
    void (*resave)(const char *from, const char *to);  // loads them from one file, saves to another
};

// Loading from one settings file and saving into another, for records saved alone and for the
// window records saved as options and layout together.
template <class T, void(WINAPI *Load)(T *), int(WINAPI *Save)(const T *)>
void Resave(const char *from, const char *to)
{
    T rec;
    Basekit_SettingsSetFile(from);
    Load(&rec);
    Basekit_SettingsSetFile(to);
    EXPECT_EQ(Save(&rec), 1);
}

template <class T, class L, void(WINAPI *Load)(T *, L *), int(WINAPI *Save)(const T *, const L *)>
void Resave2(const char *from, const char *to)
{
    T options;
    L layout;
    Basekit_SettingsSetFile(from);
    Load(&options, &layout);
    Basekit_SettingsSetFile(to);
    EXPECT_EQ(Save(&options, &layout), 1);
}

const OptionForm kOptionForms[] = {
    {"options-startup.ini",
     [] {
         StartupOptions o = {};
         Seq(&o.StartUp, 17, 1);
         strcpy(o.TranslationSet, kSjisText);
         EXPECT_EQ(Prefstore_SaveStartup(&o), 1);
     },
     Resave<StartupOptions, Prefstore_LoadStartup, Prefstore_SaveStartup>},
    {"options-capture.ini",
     [] {
         CaptureOptions o;
         AllInts(o, 100);
         EXPECT_EQ(Prefstore_SaveCapture(&o), 1);
     },
     Resave<CaptureOptions, Prefstore_LoadCapture, Prefstore_SaveCapture>},
    {"options-candidate-list.ini",
     [] {
         CandidateListOptions o = {3, RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), 0xFFFFFFFF};
         EXPECT_EQ(Prefstore_SaveCandidateList(&o), 1);
     },
     Resave<CandidateListOptions, Prefstore_LoadCandidateList, Prefstore_SaveCandidateList>},
    {"options-hotkeys.ini",
     [] {
         HotkeyOptions o = {};
         o.Use = 1;
         WORD *keys = &o.Menu;
         for (int i = 0; i < 11; i++) keys[i] = MAKEWORD('A' + i, i % 7 + 1);  // key, modifiers
         EXPECT_EQ(Prefstore_SaveHotkeys(&o), 1);
     },
     Resave<HotkeyOptions, Prefstore_LoadHotkeys, Prefstore_SaveHotkeys>},
    {"options-control-bar.ini",
     [] {
         ControlBarOptions o;
         memset(&o, 0x77, sizeof o);  // Reserved is never stored
         o.ControlBarMode = 2;
         o.ControlBarCustomize = 1;
         o.ControlBarFlag = 0x5A5;
         o.CtlBarIcon = -3;
         EXPECT_EQ(Prefstore_SaveControlBar(&o), 1);
     },
     Resave<ControlBarOptions, Prefstore_LoadControlBar, Prefstore_SaveControlBar>},
    {"options-cross-search.ini",
     [] {
         CrossSearchOptions o = {3};
         EXPECT_EQ(Prefstore_SaveCrossSearch(&o), 1);
     },
     Resave<CrossSearchOptions, Prefstore_LoadCrossSearch, Prefstore_SaveCrossSearch>},
    {"options-popup-window.ini",
     [] {
         PopupWindowOptions o = {};
         PopupWindowLayout l;
         FillView(o.View, 10);
         o.UseSkin = 1;
         strcpy(o.SkinFolderName, "C:\\Program Files\\Velosuite\\Skins\\default.tsk");
         Seq(&o.ToolBar, 5, 30);
         AllInts(l, 400);
         EXPECT_EQ(Prefstore_SavePopupWindow(&o, &l), 1);
     },
     Resave2<PopupWindowOptions, PopupWindowLayout, Prefstore_LoadPopupWindow,
             Prefstore_SavePopupWindow>},
    {"options-search-window.ini",
     [] {
         static WebLink links[3] = {{"Encyclopaedia", "http://example.org/search?q=%s"},
                                    {"\x8e\xab\x8f\x91", "http://example.jp/?w=%s"},  // "jisho"
                                    {"", ""}};
         SearchWindowOptions o = {};
         SearchWindowLayout l;
         FillView(o.View, 20);
         o.WebList = links;
         o.CurItem = 1;
         o.MaxData = 500;
         o.DictionaryID = 0x123401;
         AllInts(l, 200);
         EXPECT_EQ(Prefstore_SaveSearchWindow(&o, &l), 1);
     },
     [](const char *from, const char *to) {
         SearchWindowOptions o;
         SearchWindowLayout l;
         Basekit_SettingsSetFile(from);
         Prefstore_LoadSearchWindow(&o, &l);
         Basekit_SettingsSetFile(to);
         EXPECT_EQ(Prefstore_SaveSearchWindow(&o, &l), 1);
         Prefstore_FreeWebList(&o);
     }},
    {"options-translation-window.ini",
     [] {
         TranslationWindowOptions o;
         TranslationWindowLayout l;
         FillView(o.View, 30);
         Seq(&o.MaxData, 4, 300);
         AllInts(l, 600);
         EXPECT_EQ(Prefstore_SaveTranslationWindow(&o, &l), 1);
     },
     Resave2<TranslationWindowOptions, TranslationWindowLayout, Prefstore_LoadTranslationWindow,
             Prefstore_SaveTranslationWindow>},
    {"options-study-window.ini",
     [] {
         StudyWindowOptions o;
         StudyWindowLayout l;
         FillView(o.View, 40);
         o.MaxData = 250;
         AllInts(l, 700);
         EXPECT_EQ(Prefstore_SaveStudyWindow(&o, &l), 1);
     },
     Resave2<StudyWindowOptions, StudyWindowLayout, Prefstore_LoadStudyWindow,
             Prefstore_SaveStudyWindow>},
    {"options-control-bar-window.ini",
     [] {
         ControlBarWindowLayout l = {-12, 34, "1,1,0,1"};
         EXPECT_EQ(Prefstore_SaveControlBarWindow(&l), 1);
     },
     Resave<ControlBarWindowLayout, Prefstore_LoadControlBarWindow,
            Prefstore_SaveControlBarWindow>},
    {"options-setup-window.ini",
     [] {
         SetupWindowLayout l;
         AllInts(l, 800);
         EXPECT_EQ(Prefstore_SaveSetupWindow(nullptr, &l), 1);
     },
     Resave2<int, SetupWindowLayout, Prefstore_LoadSetupWindow, Prefstore_SaveSetupWindow>},
    {"options-option-window.ini",
     [] {
         OptionWindowLayout l = {-640, 480};
         EXPECT_EQ(Prefstore_SaveOptionWindow(&l), 1);
     },
     Resave<OptionWindowLayout, Prefstore_LoadOptionWindow, Prefstore_SaveOptionWindow>},
    {"options-speech-window.ini",
     [] {
         SpeechWindowOptions o;
         SpeechWindowLayout l;
         AllInts(o, 50);
         AllInts(l, 900);
         EXPECT_EQ(Prefstore_SaveSpeechWindow(&o, &l), 1);
     },
     Resave2<SpeechWindowOptions, SpeechWindowLayout, Prefstore_LoadSpeechWindow,
             Prefstore_SaveSpeechWindow>},
    {"options-word-manager-window.ini",
     [] {
         WordManagerWindowLayout l;
         AllInts(l, 1000);
         EXPECT_EQ(Prefstore_SaveWordManagerWindow(&l), 1);
     },
     Resave<WordManagerWindowLayout, Prefstore_LoadWordManagerWindow,
            Prefstore_SaveWordManagerWindow>},
    {"options-history-window.ini",
     [] {
         HistoryWindowLayout l;
         AllInts(l, 1100);
         EXPECT_EQ(Prefstore_SaveHistoryWindow(&l), 1);
     },
     Resave<HistoryWindowLayout, Prefstore_LoadHistoryWindow, Prefstore_SaveHistoryWindow>},
};

TEST(StoredForms, OptionRecordsInTheSettingsFile)
{
    for (const OptionForm &f : kOptionForms) {
        SCOPED_TRACE(f.fixture);
        std::string made = FreshFile("storedforms_options.ini");
        Basekit_SettingsSetFile(made.c_str());
        f.save();
        Basekit_SettingsSetFile(nullptr);
        MatchFixture(f.fixture, Testkit_ReadBytes(made));

        // Loaded from a copy of the fixture, saved into an empty settings file.
        std::string copy = FreshFile("storedforms_fixture.ini");
        Bytes fixture = Fixture(f.fixture);
        Testkit_WriteFile(copy, fixture);
        std::string again = FreshFile("storedforms_again.ini");
        f.resave(copy.c_str(), again.c_str());
        Basekit_SettingsSetFile(nullptr);
        ExpectSameBytes(std::string(f.fixture) + " saved again", fixture, Testkit_ReadBytes(again));
    }
}

// ---- The capture server's answer record ------------------------------------------------------
// The server answers a capture with a whole CaptureRecord by WM_COPYDATA to the client's window;
// the answer is caught on its way into the library, or swapped for the fixture there.  The
// library's reader takes it into the shared block and from there into the caller's record.  The
// point, the line's box and the font come from a fixed window, font and text, measured by the
// same fonts in both lanes.

const char kEditText[] = "alpha beta gamma";
Bytes g_answer;                 // the last copy-data answer the client's window received
const Bytes *g_swapIn;          // when set: what the client's window gets instead
WNDPROC g_clientProc;

LRESULT CALLBACK ClientProcInTheMiddle(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA) {
        const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lp;
        const unsigned char *p = (const unsigned char *)data->lpData;
        g_answer.assign(p, p + data->cbData);
        if (g_swapIn) {
            COPYDATASTRUCT swapped = {data->dwData, (DWORD)g_swapIn->size(),
                                      (void *)g_swapIn->data()};
            return CallWindowProcA(g_clientProc, w, msg, wp, (LPARAM)&swapped);
        }
    }
    return CallWindowProcA(g_clientProc, w, msg, wp, lp);
}

// A top-most host at a fixed place with one single-line edit in a fixed font.
struct CaptureHost {
    HWND host, edit;
    HFONT font;
};

CaptureHost OpenCaptureHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "StoredFormsCaptureHost";
    RegisterClassA(&wc);
    CaptureHost h;
    h.font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    h.host = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "host", WS_POPUP | WS_CLIPCHILDREN,
                             40, 40, 640, 480, nullptr, nullptr, wc.hInstance, nullptr);
    h.edit = CreateWindowExA(0, "EDIT", kEditText, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10,
                             400, 30, h.host, nullptr, wc.hInstance, nullptr);
    SendMessageA(h.edit, WM_SETFONT, (WPARAM)h.font, TRUE);
    SetWindowPos(h.host, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(h.host);
    return h;
}

void CloseCaptureHost(CaptureHost *h)
{
    DestroyWindow(h->host);
    DeleteObject(h->font);
}

// The request of the test: every field wanted, at the middle of the 't' of "beta".
CaptureRecord CaptureRequest(HWND edit)
{
    LRESULT a = SendMessageA(edit, EM_POSFROMCHAR, 7, 0), b = SendMessageA(edit, EM_POSFROMCHAR, 8, 0);
    POINT pt = {((short)LOWORD(a) + (short)LOWORD(b)) / 2, (short)HIWORD(a) + 8};
    ClientToScreen(edit, &pt);
    CaptureRecord rec;
    memset(&rec, 0, sizeof rec);
    rec.size = sizeof rec;
    rec.wantMask = 0x3F;
    rec.requestFlags = CAPTURE_REQ_USE_POINT | CAPTURE_REQ_WINDOW_AT;
    rec.x = pt.x;
    rec.y = pt.y;
    return rec;
}

Bytes RecordBytes(const CaptureRecord &rec)
{
    const unsigned char *p = (const unsigned char *)&rec;
    return Bytes(p, p + sizeof rec);
}

bool ServerGone()
{
    return Testkit_PumpUntil([] { return FindWindowA(HOSTLINK_SERVER_CLASS, nullptr) == nullptr; },
                             20000);
}

TEST(StoredForms, CaptureServerAnswerRecord)
{
    // The window under the point is ours: its handle value differs from run to run.
    const std::vector<Mask> masks = {{offsetof(CaptureRecord, sourceWindow), 4}};
    ASSERT_TRUE(ServerGone()) << "a capture server from elsewhere is running";
    CaptureHost h = OpenCaptureHost();

    // The lane's own capture server answers.
    ASSERT_EQ(Hostlink_Attach(), 1);
    ASSERT_TRUE(Testkit_PumpUntil(
        [] { return FindWindowA(HOSTLINK_SERVER_CLASS, nullptr) != nullptr; }, 20000));
    HWND client = FindWindowA(HOSTLINK_CLIENT_CLASS, nullptr);
    ASSERT_TRUE(client);
    g_clientProc = (WNDPROC)SetWindowLongPtrA(client, GWLP_WNDPROC, (LONG_PTR)ClientProcInTheMiddle);
    CaptureRecord rec = CaptureRequest(h.edit);
    g_answer.clear();
    g_swapIn = nullptr;
    EXPECT_EQ(Hostlink_Capture(&rec), 1);
    ASSERT_EQ(g_answer.size(), (size_t)CAPTURE_RECORD_SIZE);
    EXPECT_STREQ((const char *)&g_answer[offsetof(CaptureRecord, text)], kEditText);
    MatchFixture("capture.bin", g_answer, masks);

    // The fixture in place of the server's answer: the caller's record then holds the fixture's
    // bytes except in the fields the client fills itself.
    Bytes fixture = Fixture("capture.bin");
    ASSERT_EQ(fixture.size(), (size_t)CAPTURE_RECORD_SIZE);
    g_swapIn = &fixture;
    CaptureRecord again = CaptureRequest(h.edit);
    EXPECT_EQ(Hostlink_Capture(&again), 1);
    g_swapIn = nullptr;
    SetWindowLongPtrA(client, GWLP_WNDPROC, (LONG_PTR)g_clientProc);
    Hostlink_Detach();
    EXPECT_TRUE(ServerGone());
    CaptureRecord expected;
    memcpy(&expected, fixture.data(), sizeof expected);
    expected.wantMask = again.wantMask;         // the caller's own
    expected.controlKind = CAPTURE_KIND_OTHER;  // the client's kind for an edit
    ExpectSameBytes("capture.bin taken by the client", RecordBytes(expected), RecordBytes(again),
                    masks);
    CloseCaptureHost(&h);
}

// ---- Deposits between processes ----------------------------------------------------------------
// A delivery leaves its record in a named mapping: a 16-byte head (magic, tag, size, taken flag),
// then the record.  The receiver below copies head and record as they lie there; a fixture goes
// back the same way, as a deposit of its own under an id far above those the library hands out.

const UINT kEntryMessage = 0x8405;
Bytes g_deposit;

std::string DepositName(LPARAM id)
{
    char name[64];
    snprintf(name, sizeof name, "SharedkitDeposit.%08lX", (unsigned long)id);
    return name;
}

Bytes ReadDeposit(LPARAM id)
{
    Bytes out;
    HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, DepositName(id).c_str());
    if (!map) return out;
    const unsigned char *view = (const unsigned char *)MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0);
    MEMORY_BASIC_INFORMATION info;
    if (view && VirtualQuery(view, &info, sizeof info) && info.RegionSize >= 16) {
        DWORD size;
        memcpy(&size, view + 8, 4);
        if (size <= info.RegionSize - 16) out.assign(view, view + 16 + size);
    }
    if (view) UnmapViewOfFile(view);
    CloseHandle(map);
    return out;
}

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kEntryMessage || msg == SHAREDKIT_VLM_DELIVER_ITEM) {
        g_deposit = ReadDeposit(lp);
        return 1;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// The study-list window (kind 3, takes entries) and the pop-up window (kind 5, takes requests).
struct Receivers {
    HWND study, popup;
};

Receivers OpenReceivers()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    Receivers r;
    wc.lpszClassName = "VelomiraV5StudyListWindow";
    RegisterClassA(&wc);
    r.study = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
    wc.lpszClassName = "VelomiraV5PopupWindow";
    RegisterClassA(&wc);
    r.popup = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
    return r;
}

void CloseReceivers(Receivers *r)
{
    DestroyWindow(r->study);
    DestroyWindow(r->popup);
}

// The fixture as a deposit under the id; the handle keeps it until closed.
HANDLE PutDeposit(LPARAM id, const Bytes &bytes)
{
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    (DWORD)bytes.size(), DepositName(id).c_str());
    void *view = map ? MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, bytes.size()) : nullptr;
    EXPECT_TRUE(view) << "deposit " << id;
    if (view) {
        memcpy(view, bytes.data(), bytes.size());
        UnmapViewOfFile(view);
    }
    return map;
}

TEST(StoredForms, DepositedEntry)
{
    Receivers r = OpenReceivers();
    VLDataItem head = {};
    head.head.fileId = 0x1234;
    head.head.subDicNo = 2;
    head.head.entryNo = 4711;
    head.head.time.dwLowDateTime = 0x89ABCDEF;  // a fixed stamp, not the clock
    head.head.time.dwHighDateTime = 0x01DC2B3A;
    head.head.textPos = 0x00123456;
    head.head.extra = 77;
    head.language = 0x0411;
    head.entryLink = 0x00030005;
    head.score = 0x20150042;
    head.indexValue72 = 72;
    head.indexValue = 0xCAFE0001;
    head.indexValue16a = 0x1616;
    head.indexValue16b = 0x2626;
    head.indexByte = 0x84;
    head.charset = SHIFTJIS_CHARSET;
    // Headword, no second string (it repeats the headword), a third in Shift-JIS ("jisho"), a fourth.
    VLDataItem *item = VLDataItem_Create(&head, "lexicon", nullptr, "\x8e\xab\x8f\x91", "n.");
    ASSERT_TRUE(item);
    g_deposit.clear();
    EXPECT_EQ(Sharedkit_DeliverEntry(3, kEntryMessage, 0, item), 1);
    VLDataItem_Destroy(item);
    MatchFixture("deposit-entry.bin", g_deposit);

    // Read by the receiver's side of the library, delivered again.
    const LPARAM id = 0x7FFF0101;
    HANDLE map = PutDeposit(id, Fixture("deposit-entry.bin"));
    VLDataItem *taken = (VLDataItem *)Sharedkit_GetDeliveredEntry(id);
    CloseHandle(map);
    ASSERT_TRUE(taken);
    g_deposit.clear();
    EXPECT_EQ(Sharedkit_DeliverEntry(3, kEntryMessage, 0, taken), 1);
    VLDataItem_Destroy(taken);
    ExpectSameBytes("deposit-entry.bin delivered again", Fixture("deposit-entry.bin"), g_deposit);
    CloseReceivers(&r);
}

TEST(StoredForms, DepositedLookupRequest)
{
    Receivers r = OpenReceivers();
    LOGFONTA font = {};
    font.lfHeight = -16;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = SHIFTJIS_CHARSET;
    strcpy(font.lfFaceName, "MS Gothic");
    // The source window is a fixed handle value, not a live window: it only travels.
    HWND source = (HWND)(UINT_PTR)0x00010ABC;
    VLTranParam *request = VLTranParam_Create(0x123401, 3, 0x20, 5, &font, SHIFTJIS_CHARSET, 3,
                                              0x0411, source, MAKELONG(15, 100), MAKELONG(20, 116),
                                              "the word \x8e\xab\x8f\x91", -1);  // ends in "jisho"
    ASSERT_TRUE(request);
    g_deposit.clear();
    EXPECT_EQ(Sharedkit_DeliverItem(5, SHAREDKIT_VLM_DELIVER_ITEM, 0, request), 1);
    VLTranParam_Destroy(request);
    MatchFixture("deposit-request.bin", g_deposit);

    const LPARAM id = 0x7FFF0102;
    HANDLE map = PutDeposit(id, Fixture("deposit-request.bin"));
    VLTranParam *taken = (VLTranParam *)Sharedkit_ReceiveItem(id);
    CloseHandle(map);
    ASSERT_TRUE(taken);
    g_deposit.clear();
    EXPECT_EQ(Sharedkit_DeliverItem(5, SHAREDKIT_VLM_DELIVER_ITEM, 0, taken), 1);
    VLTranParam_Destroy(taken);
    ExpectSameBytes("deposit-request.bin delivered again", Fixture("deposit-request.bin"),
                    g_deposit);
    CloseReceivers(&r);
}

// ---- The usage log -----------------------------------------------------------------------------
// Days at noon UTC (fixed times, not the clock), so that every time zone puts them on distinct
// local dates.

const INT32 kMarch1 = 1772366400, kMarch2 = 1772452800, kMarch4 = 1772625600;

TEST(StoredForms, UsageLog)
{
    std::string log = FreshFile("storedforms_usage.log");
    const OprLogDay days[] = {
        {kMarch1, 12, 3, 1},
        {kMarch2, 5, 0, 0},
        {kMarch4, 40, 17, 2},
        {kMarch2 + 1800, 6, 1, 9},  // the same date again: overwrites the second record
    };
    for (const OprLogDay &d : days) EXPECT_EQ(OprLog_WriteDay(log.c_str(), &d), 1);
    MatchFixture("usage.log", Testkit_ReadBytes(log));

    // The week that ends on March 4 read from a copy of the fixture; its days with counts
    // written to an empty log in date order (the order the fixture holds them in).
    std::string copy = FreshFile("storedforms_usage_fixture.log");
    Testkit_WriteFile(copy, Fixture("usage.log"));
    OprLogDay week[7];
    ASSERT_EQ(OprLog_ReadDays(copy.c_str(), kMarch4, 1, week, 7), 1);
    std::string again = FreshFile("storedforms_usage_again.log");
    for (const OprLogDay &d : week) {
        if (d.popupCount || d.searchCount || d.outsideCount) {
            EXPECT_EQ(OprLog_WriteDay(again.c_str(), &d), 1);
        }
    }
    ExpectSameBytes("usage.log written again", Fixture("usage.log"), Testkit_ReadBytes(again));
}

}  // namespace
