// The suite's main job from end to end, as a user meets it: Velomira.exe runs as a process over a
// catalogue of English, German and Japanese fixture dictionaries (each holding the base form of
// the word pointed at, never the inflected form) gathered in the pop-up's group; the test's windows show a sentence of
// each language, once in edit controls and once drawn by a window itself; the pointer is moved
// onto an inflected word by injected mouse input, and the pop-up viewer that comes up must stand
// beside the word and show the entry of the word's base form.  A word of the entry shown, pointed
// at in the pop-up's viewer control, is looked up in a second pop-up.  A picture of each pop-up
// over its sentence is kept in the working folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "basekit.h"
#include "bubblepane.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "hostlink.h"
#include "prefstore.h"
#include "scrivshow.h"
#include "support/testkit_catalogue.h"
#include "support/testkit_gdi.h"
#include "support/testkit_popup.h"
#include "support/testkit_process.h"
#include "support/testkit_settings.h"
#include "support/testkit_wait.h"

namespace {

const UINT VLM_CLOSE = 0x83EB;

// One language: its dictionary, driver and a sentence in the dictionary's code page with an
// inflected word whose base form the dictionary holds.
struct Language {
    const char *name;
    TestkitDictionary dic;
    const char *driver;
    UINT codePage;
    BYTE charset;
    const char *face;
    const char *sentence;
    const char *word;      // the inflected word, as it stands in the sentence
    const char *headword;  // its base form
    const char *entry;     // the base form's entry text
};

const Language kLanguages[] = {
    {"english", {0x3100, "English-Japanese", 0x0100, 0, RGB(200, 0, 120)}, "lingo_en.dll", 1252, ANSI_CHARSET,
     "Tahoma", "They painted the houses red", "houses", "house", "a building where people live"},
    // "Wir wohnen in den Haeusern am See" in code page 1252; Haeusern -> Haus.
    {"german", {0x3400, "German-Japanese", 0x0700, 0, RGB(0, 120, 200)}, "lingo_de.dll", 1252, ANSI_CHARSET, "Tahoma",
     "Wir wohnen in den H\xE4usern am See", "H\xE4usern", "Haus", "a house, a home (German noun)"},
    // "kinou ringo wo tabemashita" (yesterday I ate an apple) in Shift-JIS; tabemashita -> taberu.
    {"japanese", {0x3200, "\x98\x61\x89\x70\x8e\xab\x93\x54", 0x0400, 128, RGB(0, 150, 0)}, "lingo_ja.dll", 932,
     SHIFTJIS_CHARSET, "MS UI Gothic",
     "\x8d\xf0\x93\xfa\x82\xe8\x82\xf1\x82\xb2\x82\xf0\x90\x48\x82\xd7\x82\xdc\x82\xb5\x82\xbd",
     "\x90\x48\x82\xd7\x82\xdc\x82\xb5\x82\xbd", "\x90\x48\x82\xd7\x82\xe9", "to eat (a Japanese verb)"},
};
// The entry of "build", which the English entry's text ("a building ...") leads to.
const char kBuild[] = "to make something by putting its parts together";
const int kCount = sizeof kLanguages / sizeof kLanguages[0];
const int kRow = 40, kWidth = 520;

std::wstring Wide(UINT codePage, const char *text, int bytes = -1)
{
    int n = MultiByteToWideChar(codePage, 0, text, bytes, nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, text, bytes, &out[0], n);
    if (bytes < 0 && !out.empty()) out.pop_back();
    return out;
}

// Bytes of the sentence before the word, and of the word's first character.
int WordAt(const Language &l) { return (int)(strstr(l.sentence, l.word) - l.sentence); }
int FirstCharBytes(const Language &l) { return IsDBCSLeadByteEx(l.codePage, (BYTE)l.word[0]) ? 2 : 1; }

HFONT g_fonts[kCount];

// The window that draws its own text: one sentence a row, each in its own font, with the narrow
// text calls and no window text to fall back on.
LRESULT CALLBACK DrawnProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m != WM_PAINT) return DefWindowProcA(w, m, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < kCount; i++) {
        HGDIOBJ old = SelectObject(dc, g_fonts[i]);
        const char *s = kLanguages[i].sentence;
        if (i % 2)
            ExtTextOutA(dc, 10, i * kRow + 10, 0, nullptr, s, (UINT)strlen(s), nullptr);
        else
            TextOutA(dc, 10, i * kRow + 10, s, (int)strlen(s));
        SelectObject(dc, old);
    }
    EndPaint(w, &ps);
    return 0;
}

std::string ViewerText(HWND viewer)
{
    char text[4096] = "";
    // Asked of the control itself: the window text of another process's window is its caption.
    SendMessageA(GetDlgItem(viewer, BUBBLEPANE_IDC_VIEWER), WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

// Moves the pointer as a user's mouse would (absolute injected input, which the hook library's
// low-level hook sees); where it came to.
POINT MoveTo(POINT to)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (to.x * 65536 + cx - 1) / cx;
    in.mi.dy = (to.y * 65536 + cy - 1) / cy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // Under Wine injected input moves the system's cursor but not the display's pointer, which
    // other processes read back a moment later: the pointer is put there first, and the input
    // then comes as the mouse's move there, which the low-level hook sees.
    SetCursorPos(to.x, to.y);
    SendInput(1, &in, sizeof in);
    POINT at = {-1, -1};
    Testkit_PumpUntil([&] { return GetCursorPos(&at) && abs(at.x - to.x) <= 1 && abs(at.y - to.y) <= 1; }, 5000);
    return at;
}

class VelomiraEndToEnd : public ::testing::Test {
protected:
    static TestkitSuiteSettings *settings;
    static TestkitProcess *velomira;
    static HWND edits[kCount], sentences, drawn;
    static std::string trace;

    static HWND TopLevel(const char *cls, WNDPROC proc, int y)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
        return CreateWindowExA(0, cls, "", WS_POPUP | WS_BORDER | WS_VISIBLE, 400, y, kWidth, kCount * kRow + 20,
                               nullptr, nullptr, wc.hInstance, nullptr);
    }

    static void Catalogue()
    {
        std::string folder = Testkit_Cwd() + "\\dics";
        Testkit_RemoveFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string data = Testkit_Cwd() + "\\data";
        CreateDirectoryA(data.c_str(), nullptr);
        Testkit_SetUserDataFolder(data);
        for (const Language &l : kLanguages) {
            Testkit_SetLanguageDriver(l.dic.language, l.driver);
            std::vector<dicfix::Entry> entries(1);
            entries[0].headword = l.headword;
            entries[0].text1 = l.entry;
            if (&l == &kLanguages[0]) {  // what the entry's own text says, in index order
                entries.insert(entries.begin(), dicfix::Entry());
                entries[0].headword = "build";
                entries[0].text1 = kBuild;
            }
            ASSERT_TRUE(Testkit_AddDictionary(folder, l.dic, entries, {l.dic.language, 0x0400})) << l.name;
        }
        // The pop-up's group of the three, named by the translation set for Western and Japanese
        // text alike.
        ASSERT_TRUE(Lexshelf_Init(LEXICORE_INIT_DRIVERS));
        VLDicGroup *g = Lexshelf_GroupCreate();
        Lexshelf_GroupSetNames(g, "lookup", "");
        for (const Language &l : kLanguages) Lexshelf_GroupInsertDic(g, l.dic.fileId << 8, 0);
        ASSERT_TRUE(Lexshelf_GroupSave(g));
        DWORD group = g->id;
        Lexshelf_GroupDestroy(g);
        VLTransSet *set = Lexshelf_TransSetCreate("lookup");
        Lexshelf_TransSetAdd(set, 1, ANSI_CHARSET, 1, group);
        Lexshelf_TransSetAdd(set, 1, SHIFTJIS_CHARSET, 1, group);
        ASSERT_TRUE(Lexshelf_TransSetSave(set));
        Lexshelf_TransSetDestroy(set);
        Lexshelf_SetCurrentTransSet("lookup");
        Lexshelf_Term();

        ASSERT_TRUE(Testkit_SavePopupView(320, 160));
        StartupOptions startup = {};
        startup.SaveLastStatus = 1;
        startup.Pointer = 1;
        Prefstore_SaveStartup(&startup);
        CaptureOptions capture = {};
        capture.KeyboardTimer = 50;
        capture.CaptureNoKey = 1;
        Prefstore_SaveCapture(&capture);
    }

    static void SetUpTestSuite()
    {
        settings = new TestkitSuiteSettings;
        Catalogue();
        for (int i = 0; i < kCount; i++) {
            const Language &l = kLanguages[i];
            g_fonts[i] = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, l.charset, 0, 0, 0, 0, l.face);
        }
        sentences = TopLevel("VelomiraSentenceHost", DefWindowProcA, 100);
        drawn = TopLevel("VelomiraDrawnHost", DrawnProc, 480);
        for (int i = 0; i < kCount; i++) {
            const Language &l = kLanguages[i];
            edits[i] = CreateWindowExW(0, L"EDIT", Wide(l.codePage, l.sentence).c_str(), WS_CHILD | WS_VISIBLE, 10,
                                       i * kRow + 10, kWidth - 20, 26, sentences, nullptr, nullptr, nullptr);
            SendMessageW(edits[i], WM_SETFONT, (WPARAM)g_fonts[i], 1);
        }
        UpdateWindow(sentences);
        UpdateWindow(drawn);
        MoveTo(Away());

        trace = Testkit_Cwd() + "\\trace.txt";
        DeleteFileA(trace.c_str());
        SetEnvironmentVariableA("VELOMIRA_TRACE", trace.c_str());
        SetEnvironmentVariableA("SHAREDKIT_NEWDIC_DUE", "0");
        velomira = new TestkitProcess;
        ASSERT_TRUE(velomira->Start("\"" + Testkit_ExeFolder() + "Velomira.exe\"", Testkit_Cwd().c_str()));
        ASSERT_TRUE(Testkit_PumpUntil([] { return Testkit_ReadFile(trace).find("ready") != std::string::npos; }, 60000))
            << Testkit_ReadFile(trace);
    }
    static void TearDownTestSuite()
    {
        if (velomira) {
            if (HWND main = Window("VelomiraV5MainWindow", false)) PostMessageA(main, VLM_CLOSE, 0, 0);
            if (velomira->WaitExit(30000) == -1) velomira->End();
        }
        delete velomira;
        velomira = nullptr;
        DestroyWindow(sentences);
        DestroyWindow(drawn);
        for (HFONT &f : g_fonts) DeleteObject(f);
        delete settings;
        settings = nullptr;
    }

    // A point where no text is: the blank right end of the first sentence window.
    static POINT Away()
    {
        RECT r;
        GetWindowRect(sentences, &r);
        return {r.right - 6, r.top + 4};
    }

    static HWND Window(const char *cls, bool visible)
    {
        for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == velomira->Id() && (!visible || IsWindowVisible(w))) return w;
        }
        return nullptr;
    }

    // A picture of the screen around the host window and the pop-up.
    static void SaveAround(HWND host, HWND viewer, const std::string &name)
    {
        RECT r, other;
        GetWindowRect(host, &r);
        if (viewer && GetWindowRect(viewer, &other)) UnionRect(&r, &r, &other);
        InflateRect(&r, 8, 8);
        RECT screenRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        IntersectRect(&r, &r, &screenRect);
        HDC screen = GetDC(nullptr);
        Testkit_SavePicture(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, name.c_str());
        ReleaseDC(nullptr, screen);
    }

    // Rests the pointer on the point and checks the pop-up that comes up beside it with the entry
    // of the base form; the picture of the pop-up over the host window is kept under the name.
    static void LookUp(const Language &l, HWND host, POINT point, const std::string &picture, HWND *kept = nullptr)
    {
        MoveTo(Away());
        ASSERT_TRUE(Testkit_PumpUntil([] { return Window(BUBBLEPANE_VIEWER_CLASS, true) == nullptr; }, 10000))
            << "the pop-up stays after the pointer left";
        size_t mark = Testkit_ReadFile(trace).size();
        POINT at = MoveTo(point);
        HWND viewer = nullptr;
        bool shown = Testkit_PumpUntil(
            [&] {
                viewer = Window(BUBBLEPANE_VIEWER_CLASS, true);
                return viewer && ViewerText(viewer).find(l.entry) != std::string::npos;
            },
            20000);
        if (!shown) SaveAround(host, viewer, "failed_" + picture);
        ASSERT_TRUE(shown) << "pointer at " << at.x << "," << at.y << "; viewer text: "
                           << (viewer ? ViewerText(viewer) : std::string("(none)")) << "\n"
                           << Testkit_ReadFile(trace).substr(mark);
        EXPECT_NE(std::string::npos, ViewerText(viewer).find(l.headword)) << ViewerText(viewer);
        // Beside the word: the pop-up's right edge a little right of the pointer, its top at the
        // bottom of the word's line.
        RECT r;
        GetWindowRect(viewer, &r);
        EXPECT_EQ(at.x + 13, r.right);
        EXPECT_GT(r.top, at.y);
        EXPECT_LE(r.top, at.y + kRow / 2);
        // Painted in full before the picture is kept.
        RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Testkit_PumpUntil([] { return false; }, 300);
        SaveAround(host, viewer, picture);
        if (kept) *kept = viewer;
    }

    // The middle of the word in the viewer control, found through the control's own capture of a
    // point (the record it writes into the shared mapping); false when no point of it holds the
    // word.
    static bool WordInViewer(HWND control, const char *word, POINT *found)
    {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "SCRIVSHOWMAPPEDFILE");
        if (!mapping) return false;
        const CaptureRecord *rec = (const CaptureRecord *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(CaptureRecord));
        RECT client;
        GetClientRect(control, &client);
        bool hit = false;
        for (int y = 2; rec && !hit && y < client.bottom; y += 4) {
            for (int x = 2; !hit && x < client.right; x += 2) {
                if (!SendMessageA(control, SCV_CAPTURE, 0, MAKELONG(x, y))) continue;
                std::string line(rec->text, strnlen(rec->text, sizeof rec->text));
                size_t at = line.find(word);
                if (at == std::string::npos) break;  // not this line: the next one
                hit = rec->wordPos == at + 2;
                *found = {x, y};
            }
        }
        if (rec) UnmapViewOfFile(rec);
        CloseHandle(mapping);
        ClientToScreen(control, found);
        return hit;
    }
};
TestkitSuiteSettings *VelomiraEndToEnd::settings;
TestkitProcess *VelomiraEndToEnd::velomira;
HWND VelomiraEndToEnd::edits[kCount], VelomiraEndToEnd::sentences, VelomiraEndToEnd::drawn;
std::string VelomiraEndToEnd::trace;

TEST_F(VelomiraEndToEnd, PointerOnAnInflectedWordInAnEditShowsItsBaseForm)
{
    for (int i = 0; i < kCount; i++) {
        const Language &l = kLanguages[i];
        SCOPED_TRACE(l.name);
        // The middle of the word's first character.
        int first = (int)Wide(l.codePage, l.sentence, WordAt(l)).size();
        LRESULT a = SendMessageW(edits[i], EM_POSFROMCHAR, first, 0), b = SendMessageW(edits[i], EM_POSFROMCHAR, first + 1, 0);
        RECT client;
        GetClientRect(edits[i], &client);
        POINT p = {((short)LOWORD(a) + (short)LOWORD(b)) / 2, client.bottom / 2};
        ClientToScreen(edits[i], &p);
        LookUp(l, sentences, p, std::string("e2e_edit_") + l.name + ".bmp");
    }
}

TEST_F(VelomiraEndToEnd, PointerOnAnInflectedWordAWindowDrawsShowsItsBaseForm)
{
    HDC dc = GetDC(drawn);
    for (int i = 0; i < kCount; i++) {
        const Language &l = kLanguages[i];
        SCOPED_TRACE(l.name);
        HGDIOBJ old = SelectObject(dc, g_fonts[i]);
        SIZE before, first;
        TEXTMETRICA tm;
        GetTextExtentPoint32A(dc, l.sentence, WordAt(l), &before);
        GetTextExtentPoint32A(dc, l.word, FirstCharBytes(l), &first);
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        POINT p = {10 + before.cx + first.cx / 2, i * kRow + 10 + tm.tmHeight / 2};
        ClientToScreen(drawn, &p);
        LookUp(l, drawn, p, std::string("e2e_drawn_") + l.name + ".bmp");
    }
    ReleaseDC(drawn, dc);
}

}  // namespace

// The viewer control of a pop-up answers the capture itself (through the shared mapping): a rest
// on an inflected word of the entry shown looks up its base form in a second pop-up.
TEST_F(VelomiraEndToEnd, PointerOnAWordOfThePopupLooksItUpInAnotherPopup)
{
    const Language &l = kLanguages[0];
    RECT r;
    GetWindowRect(edits[0], &r);
    int first = (int)strlen("They painted the h");
    LRESULT a = SendMessageW(edits[0], EM_POSFROMCHAR, first, 0);
    POINT p = {(short)LOWORD(a) + 2, (r.bottom - r.top) / 2};
    ClientToScreen(edits[0], &p);
    HWND viewer = nullptr;
    LookUp(l, sentences, p, "e2e_popup_first.bmp", &viewer);
    ASSERT_NE(nullptr, viewer);
    HWND control = GetDlgItem(viewer, BUBBLEPANE_IDC_VIEWER);
    POINT on;
    ASSERT_TRUE(WordInViewer(control, "building", &on)) << ViewerText(viewer);
    MoveTo(on);
    HWND second = nullptr;
    EXPECT_TRUE(Testkit_PumpUntil(
        [&] {
            for (HWND w = FindWindowExA(nullptr, nullptr, BUBBLEPANE_VIEWER_CLASS, nullptr); w;
                 w = FindWindowExA(nullptr, w, BUBBLEPANE_VIEWER_CLASS, nullptr))
                if (w != viewer && IsWindowVisible(w) && ViewerText(w).find(kBuild) != std::string::npos) second = w;
            return second != nullptr;
        },
        20000))
        << Testkit_ReadFile(trace);
    EXPECT_NE(std::string::npos, ViewerText(viewer).find(l.entry)) << "the first pop-up keeps its entry";
    if (second) {
        Testkit_PumpUntil([] { return false; }, 300);
        SaveAround(viewer, second, "e2e_popup_second.bmp");
    }
}
