// The editor window driven through its own messages: typing, selection, clipboard round trips
// in every format, undo, file errors, creation from several threads, keys and mouse, painting
// into memory dcs (and a screenshot kept as a BMP), printing pages into a memory dc, and the
// custom scroll bars.
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include "scrivel_int.h"
#include "scrivel_menu.h"

namespace {

const std::string E = "\033";

struct Record {
    std::vector<std::pair<int, int>> codes;  // (code, int value or -1)
    std::vector<WPARAM> chars;
    int notifies = 0;
    int customDraws = 0;
    int hotParts = 0;     // part notifications drawn hot
    int pressedParts = 0; // part notifications drawn pressed
};
Record g_rec;

void CALLBACK OnNotify(HWND, int code, void *data) {
    int v = (code == 1 || code == 2) ? *static_cast<int *>(data) : -1;
    if (code == 3) v = static_cast<int>(static_cast<ScrivelAnchor *>(data)->target);
    g_rec.codes.push_back({code, v});
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == VLM_EDIT_CHAR) g_rec.chars.push_back(wp);
    if (msg == VLM_EDIT_NOTIFY) ++g_rec.notifies;
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR *>(lp)->code == static_cast<UINT>(SCRIVEL_NM_SBCUSTOMDRAW)) {
        ++g_rec.customDraws;
        const ScrivelSbCustomDraw *cd = reinterpret_cast<const ScrivelSbCustomDraw *>(lp);
        if (cd->stage == 0x10001 && cd->state == 64) ++g_rec.hotParts;
        if (cd->stage == 0x10001 && cd->state == 1) ++g_rec.pressedParts;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// One parent window for every test (a shown top-level window takes the display a while).
HWND MakeParent() {
    static HWND parent = nullptr;
    if (!parent) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ScrivelTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowA("ScrivelTestParent", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return parent;
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Waits (pumping messages) until the condition holds or about five seconds have passed.
template <class F> bool WaitFor(F cond) {
    for (int i = 0; i < 500; ++i) {
        Pump();
        if (cond()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return cond();
}

struct Editor {
    HWND parent = nullptr;
    HWND h = nullptr;
    explicit Editor(DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL, DWORD exStyle = 0, DWORD mask = 0xFFF) {
        g_rec = Record();
        parent = MakeParent();
        h = Scrivel_CreateWindow(exStyle, style, 0, 0, 400, 300, parent, reinterpret_cast<HMENU>(7), OnNotify, mask);
        Pump();
    }
    ~Editor() {
        DestroyWindow(h);
        Pump();
    }
    LRESULT Send(UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(h, m, wp, lp); }
    void Set(const std::string &tagged) { Send(SCM_SETTAGGEDTEXT, 0, reinterpret_cast<LPARAM>(tagged.c_str())); }
    std::string Text(UINT msg = SCM_GETPLAINTEXT) {
        int n = static_cast<int>(Send(msg));
        std::vector<char> buf(n + 1, '\x7f');
        EXPECT_EQ(Send(msg, 0, reinterpret_cast<LPARAM>(buf.data())), n);
        return std::string(buf.data());
    }
    std::string Sel(int form) {
        int n = static_cast<int>(Send(SCM_GETSELTEXT, form));
        if (n == 0) return "<none>";
        std::vector<char> buf(n + 1, '\x7f');
        Send(SCM_GETSELTEXT, form, reinterpret_cast<LPARAM>(buf.data()));
        return std::string(buf.data());
    }
    void Type(const std::string &s) {
        for (unsigned char c : s) Send(WM_CHAR, c, 1);
    }
    TextAttribute Typing() {
        TextAttribute a;
        Send(SCM_GETATTRIBUTE, 0, reinterpret_cast<LPARAM>(&a));
        return a;
    }
    std::pair<int, int> Caret() {
        int line = -1, cell = -1;
        Send(SCM_GETCARET, reinterpret_cast<WPARAM>(&line), reinterpret_cast<LPARAM>(&cell));
        return {line, cell};
    }
};

// Sets Ctrl and Shift in this thread's keyboard state, which the editor reads with GetKeyState.
void Modifiers(bool ctrl, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

void Key(Editor &e, UINT vk, bool ctrl = false, bool shift = false) {
    Modifiers(ctrl, shift);
    e.Send(WM_KEYDOWN, vk, 1);
    Modifiers(false, false);
}

std::vector<UINT> ClipboardFormats(HWND owner) {
    std::vector<UINT> out;
    if (!OpenClipboard(owner)) return out;
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) out.push_back(f);
    CloseClipboard();
    return out;
}

bool Has(const std::vector<UINT> &v, UINT f) {
    for (UINT x : v)
        if (x == f) return true;
    return false;
}

// Replaces the clipboard by one block of one format.
void PutClipboard(HWND owner, UINT format, const void *data, size_t size) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(g), data, size);
    GlobalUnlock(g);
    SetClipboardData(format, g);
    CloseClipboard();
}

std::string ClipboardBytes(HWND owner, UINT format) {
    std::string s;
    if (!OpenClipboard(owner)) return s;
    HANDLE h = GetClipboardData(format);
    if (h) {
        const char *p = static_cast<const char *>(GlobalLock(h));
        s.assign(p, GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return s;
}

TEST(Window, TypeSelectCutAndPasteBack) {
    Editor e;
    ASSERT_NE(e.h, nullptr);
    e.Type("hello world");
    EXPECT_EQ(e.Text(), "hello world");
    EXPECT_EQ(e.Sel(4), "<none>");  // no selection: 0 and nothing written
    // Shift+Left five times selects "world".
    for (int i = 0; i < 5; ++i) Key(e, VK_LEFT, false, true);
    EXPECT_EQ(e.Sel(4), "world");
    e.Send(SCM_CUT);
    EXPECT_EQ(e.Text(), "hello ");
    Key(e, VK_HOME);
    e.Send(SCM_PASTE);
    EXPECT_EQ(e.Text(), "worldhello ");
    // Every WM_CHAR went on to the parent.
    EXPECT_EQ(g_rec.chars.size(), 11u);
}

TEST(Window, ClipboardRoundTripsThroughEveryFormat) {
    Editor e;
    UINT cfPrivate = RegisterClipboardFormatA("VelomiraTextFormatV50");
    UINT cfRtf = RegisterClipboardFormatA("Rich Text Format");
    e.Set("plain " + E + "B1bold" + E + "B0\r\nsecond");
    e.Send(SCM_SELECTALL);
    ASSERT_EQ(e.Send(SCM_COPY), 0);
    std::vector<UINT> formats = ClipboardFormats(e.h);
    EXPECT_TRUE(Has(formats, cfPrivate));
    EXPECT_TRUE(Has(formats, cfRtf));
    EXPECT_TRUE(Has(formats, CF_UNICODETEXT));
    EXPECT_EQ(e.Send(SCM_CANPASTE), 1);
    const std::string tagged = e.Text(SCM_GETTAGGEDTEXT);
    const std::string rtf = ClipboardBytes(e.h, cfRtf);
    const std::string block = ClipboardBytes(e.h, cfPrivate);

    // The private block is taken first and keeps the bold run.
    e.Send(SCM_NEWDOC);
    e.Send(SCM_PASTE);
    EXPECT_EQ(e.Text(SCM_GETTAGGEDTEXT), tagged);

    // RTF alone: the same text, still bold.
    PutClipboard(e.h, cfRtf, rtf.data(), rtf.size());
    e.Send(SCM_NEWDOC);
    e.Send(SCM_PASTE);
    EXPECT_EQ(e.Text(), "plain bold\r\nsecond");
    EXPECT_NE(e.Text(SCM_GETTAGGEDTEXT).find(E + "B1bold"), std::string::npos) << e.Text(SCM_GETTAGGEDTEXT);

    // Plain text alone: CR LF and a lone LF are each one line end.
    const char plain[] = "one\r\ntwo\nthree";
    PutClipboard(e.h, CF_TEXT, plain, sizeof(plain));
    e.Send(SCM_NEWDOC);
    e.Send(SCM_PASTE);
    EXPECT_EQ(e.Text(), "one\r\ntwo\r\nthree");

    // Unicode text alone: the charset of the first code page that fits.
    struct {
        const wchar_t *text;
        int charset;
    } cases[] = {
        {L"caf\x00e9", 0},           // cafe with e acute: code page 1252
        {L"\x3042\x3044", 128},      // hiragana a, i: code page 932
        {L"\xD55C\xAE00", 129},      // hangul han, geul: code page 949
        {L"\x0416\x4E00", 128},      // Cyrillic zhe and CJK one: fits 932 first
        {L"\x05D0\x05D1", 0},        // Hebrew alef, bet: fits none; the earliest with fewest '?'
    };
    for (const auto &c : cases) {
        PutClipboard(e.h, CF_UNICODETEXT, c.text, (wcslen(c.text) + 1) * sizeof(wchar_t));
        e.Send(SCM_NEWDOC);
        EXPECT_EQ(e.Send(SCM_CANPASTE), 1);  // the system offers the text form too
        e.Send(SCM_PASTE);
        EXPECT_EQ(e.Typing().charset, c.charset) << c.charset;
        EXPECT_EQ(e.Text().size(), wcslen(c.text) * (c.charset ? 2u : 1u)) << c.charset;
    }

    // A private block whose length passes the block pastes nothing; a sound one pastes.
    std::string bad = block;
    DWORD huge = 0x7FFFFFF0;
    std::memcpy(&bad[0], &huge, 4);
    PutClipboard(e.h, cfPrivate, bad.data(), bad.size());
    e.Set("keep");
    e.Send(SCM_PASTE);
    EXPECT_EQ(e.Text(), "keep");
    PutClipboard(e.h, cfPrivate, block.data(), block.size());
    e.Send(SCM_NEWDOC);
    e.Send(SCM_PASTE);
    EXPECT_EQ(e.Text(SCM_GETTAGGEDTEXT), tagged);
}

TEST(Clipboard, PrivateBlockLengthIsChecked) {
    auto block = [](DWORD length, const std::string &body) {
        std::string s(4, '\0');
        std::memcpy(&s[0], &length, 4);
        return s + body;
    };
    struct {
        std::string bytes;
        const char *expect;  // null: rejected
    } cases[] = {
        {block(4, std::string("abc\0\0", 5)), "abc"},
        {block(4, std::string("abcd", 4)), "abc"},  // the last byte is the terminator, whatever it holds
        {block(9, std::string("abc\0\0", 5)), nullptr},
        {block(0, std::string("abc\0\0", 5)), nullptr},
        {block(0xFFFFFFFFu, std::string("abc\0\0", 5)), nullptr},
        {std::string("\x01\0\0", 3), nullptr},
    };
    for (const auto &c : cases) {
        char *t = ScrivelClip_PrivateText(reinterpret_cast<const BYTE *>(c.bytes.data()), c.bytes.size());
        if (c.expect) {
            ASSERT_NE(t, nullptr);
            EXPECT_STREQ(t, c.expect);
        } else {
            EXPECT_EQ(t, nullptr);
        }
        ScrivelMem_Free(t);
    }
}

TEST(Window, UndoOfBackspaceThatJoinsParagraphs) {
    Editor e;
    e.Set("first\r\nsecond\r\nthird");
    Key(e, VK_DOWN);
    Key(e, VK_HOME);
    EXPECT_EQ(e.Caret(), std::make_pair(1, 0));
    g_rec.codes.clear();
    e.Send(WM_CHAR, 8, 1);
    EXPECT_EQ(e.Text(), "firstsecond\r\nthird");
    EXPECT_EQ(e.Caret().first, 0);
    e.Send(SCM_UNDO);
    EXPECT_EQ(e.Text(), "first\r\nsecond\r\nthird");
    EXPECT_EQ(e.Caret(), std::make_pair(1, 0));
    e.Send(SCM_UNDO);  // one level only
    EXPECT_EQ(e.Text(), "first\r\nsecond\r\nthird");
    // Undo became available, then went.
    std::vector<int> undo;
    for (auto &c : g_rec.codes)
        if (c.first == 1) undo.push_back(c.second);
    EXPECT_EQ(undo, (std::vector<int>{1, 0}));

    // Delete at a paragraph end joins too; undo after a paste restores text and selection.
    Key(e, VK_END);
    e.Send(WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(e.Text(), "first\r\nsecondthird");
    e.Send(SCM_UNDO);
    EXPECT_EQ(e.Text(), "first\r\nsecond\r\nthird");
    e.Send(SCM_SELECTALL);
    e.Send(SCM_COPY);
    Key(e, VK_HOME, true);
    Key(e, VK_RIGHT, false, true);
    Key(e, VK_RIGHT, false, true);
    e.Send(SCM_PASTE);
    EXPECT_EQ(e.Text(), "first\r\nsecond\r\nthirdrst\r\nsecond\r\nthird");
    e.Send(SCM_UNDO);
    EXPECT_EQ(e.Text(), "first\r\nsecond\r\nthird");
    EXPECT_EQ(e.Sel(4), "fi");
}

TEST(Window, EditKindsUndoToTheSameText) {
    // Each edit, then undo: the text before the edit comes back.
    struct Step {
        const char *name;
        void (*edit)(Editor &);
    } steps[] = {
        {"typing", [](Editor &e) { e.Type("x"); }},
        {"line break", [](Editor &e) { e.Send(WM_CHAR, '\r', 1); }},
        {"backspace", [](Editor &e) { e.Send(WM_CHAR, 8, 1); }},
        {"delete selection", [](Editor &e) {
             Key(e, VK_UP, false, true);
             e.Send(SCM_CLEAR);
         }},
        {"attribute", [](Editor &e) {
             Key(e, VK_HOME, false, true);
             TextAttribute a = e.Typing();
             a.style |= SCRIVEL_STYLE_BOLD;
             e.Send(SCM_SETATTRIBUTE, 0, reinterpret_cast<LPARAM>(&a));
         }},
    };
    for (const auto &s : steps) {
        Editor e;
        e.Set("alpha beta\r\ngamma\r\ndelta");
        Key(e, VK_DOWN);
        Key(e, VK_END);
        const std::string before = e.Text(SCM_GETTAGGEDTEXT);
        s.edit(e);
        EXPECT_NE(e.Text(SCM_GETTAGGEDTEXT), before) << s.name;
        e.Send(SCM_UNDO);
        EXPECT_EQ(e.Text(SCM_GETTAGGEDTEXT), before) << s.name;
    }
}

TEST(Window, TypingIntoAWrappedParagraph) {
    Editor e;
    e.Send(SCM_SETWRAP, 0, 1);
    std::string typed;
    for (int i = 0; i < 30; ++i) typed += "word" + std::to_string(i) + " ";
    e.Type(typed);
    EXPECT_EQ(e.Text(), typed);
    int lastLine = e.Caret().first;
    EXPECT_GT(lastLine, 0);  // the paragraph wrapped onto several lines
    // Typing at the start pushes the text along; the caret stays after what was typed.
    Key(e, VK_HOME, true);
    e.Type("XYZ ");
    EXPECT_EQ(e.Text(), "XYZ " + typed);
    EXPECT_EQ(e.Caret(), std::make_pair(0, 4));
    e.Send(SCM_UNDO);  // the last keystroke only
    EXPECT_EQ(e.Text(), "XYZ" + typed);
    // Unwrapped, the paragraph is one line again and the caret keeps its place.
    e.Send(SCM_SETWRAP, 0, 0);
    EXPECT_EQ(e.Caret(), std::make_pair(0, 3));
    Key(e, VK_END);
    EXPECT_EQ(e.Caret().first, 0);
}

TEST(Window, ReadOnlyCopiesButDoesNotEdit) {
    Editor e(WS_CHILD | WS_VISIBLE | SCRIVEL_WS_READONLY);
    e.Set("fixed text");
    e.Send(SCM_SELECTALL);
    PutClipboard(e.h, CF_TEXT, "x", 2);
    Key(e, 'C', true);
    EXPECT_EQ(ClipboardBytes(e.h, CF_TEXT).c_str(), std::string("fixed text"));
    Key(e, 'X', true);
    e.Send(SCM_PASTE);
    e.Send(SCM_CLEAR);
    e.Send(SCM_NEWDOC);
    e.Type("abc");
    EXPECT_EQ(e.Text(), "fixed text");
    EXPECT_EQ(g_rec.chars.size(), 3u);  // characters still reach the parent
}

TEST(Window, TextWithCharsetAndTheMessagePump) {
    Editor e;
    // The charset byte becomes the text's charset tag; the size field is left as senders give it.
    EXPECT_EQ(e.Send(SCM_SETTEXTEX, 128 | (3 << 16), reinterpret_cast<LPARAM>("\x82\xa0x")), 1);
    EXPECT_EQ(e.Typing().charset, 128);
    EXPECT_EQ(e.Text(), "\x82\xa0x");
    EXPECT_EQ(e.Send(SCM_SETTEXTEX, 0, 0), -1);
    EXPECT_EQ(e.Send(SCM_SETTAGGEDTEXT, 0, 0), -1);
    MSG m = {e.h, WM_CHAR, 'a', 1, 0, {0, 0}};
    EXPECT_EQ(Scrivel_TranslateMessage(&m), 0);  // no Active IMM service here
    EXPECT_EQ(Scrivel_TranslateMessage(nullptr), 0);
}

TEST(Window, EnterAndAltEnterWithTheEditorsExtendedBit) {
    Editor e(WS_CHILD | WS_VISIBLE, 0x80000000u);
    ASSERT_NE(e.h, nullptr);
    EXPECT_EQ(GetWindowLongA(e.h, GWL_EXSTYLE) & 0x80000000, 0);
    e.Type("ab\rc");
    EXPECT_EQ(e.Text(), "abc");
    e.Send(WM_SYSCHAR, '\r', 1 << 29);
    e.Type("d");
    EXPECT_EQ(e.Text(), "abc\r\nd");
}

TEST(Window, DoubleByteCharacterTypedAsTwoKeystrokes) {
    Editor e;
    e.Send(SCM_SETCHARSET, 0, 128);
    e.Type("a\x82\xa0z");  // a, hiragana a (lead and trail byte), z
    EXPECT_EQ(e.Text(), "a\x82\xa0z");
    EXPECT_EQ(e.Caret().second, 2);  // three cells: after the last (cell 2, after flag)
    e.Send(WM_CHAR, 8, 1);
    e.Send(WM_CHAR, 8, 1);
    EXPECT_EQ(e.Text(), "a");  // one Backspace removed the whole character
}

TEST(Window, FileErrorsAreReported) {
    Editor e;
    e.Set("some text");
    EXPECT_LT(e.Send(SCM_LOADFILE, 1, reinterpret_cast<LPARAM>("no_such_file.txt")), 0);
    e.Set("some text");
    EXPECT_LT(e.Send(SCM_INSERTFILE, 1, reinterpret_cast<LPARAM>("no_such_file.txt")), 0);
    EXPECT_EQ(e.Text(), "some text");
    EXPECT_LT(e.Send(SCM_SAVEAS, 1, reinterpret_cast<LPARAM>("no_such_dir\\out.txt")), 0);
    EXPECT_LT(e.Send(SCM_SAVESELECTION, 1, reinterpret_cast<LPARAM>("sel.txt")), 0);  // no selection
    // A sound save-as, save and load.
    DeleteFileA("window_saved.txt");
    EXPECT_EQ(e.Send(SCM_SAVEAS, 1, reinterpret_cast<LPARAM>("window_saved.txt")), 0);
    Key(e, VK_END, true);
    e.Type("!");
    EXPECT_EQ(e.Send(SCM_SAVE), 0);
    e.Send(SCM_NEWDOC);
    EXPECT_EQ(e.Send(SCM_LOADFILE, 1, reinterpret_cast<LPARAM>("window_saved.txt")), 0);
    EXPECT_EQ(e.Text(), "some text!");
    EXPECT_EQ(e.Send(SCM_INSERTFILE, 1, reinterpret_cast<LPARAM>("window_saved.txt")), 0);
    EXPECT_EQ(e.Text(), "some text!some text!");
    DeleteFileA("window_saved.txt");
}

TEST(Window, ThreadsCreatingEditorsKeepTheirOwnValues) {
    // Each thread makes editors with its own read-only bit and menu mask; a mix-up would show
    // as an editor that edits when it should not, or the other way round.
    std::atomic<int> wrong{0};
    auto worker = [&](int readOnly) {
        for (int i = 0; i < 40; ++i) {
            HWND h = Scrivel_CreateWindow(0, WS_POPUP | (readOnly ? SCRIVEL_WS_READONLY : 0), 0, 0, 200, 100,
                                          nullptr, nullptr, nullptr, static_cast<DWORD>(readOnly));
            if (!h) {
                ++wrong;
                continue;
            }
            SendMessageA(h, WM_CHAR, 'a', 1);
            int n = static_cast<int>(SendMessageA(h, SCM_GETPLAINTEXT, 0, 0));
            if ((n == 3) != (readOnly == 0)) ++wrong;  // "a" plus two zeros when editable
            DestroyWindow(h);
        }
    };
    std::thread a(worker, 0), b(worker, 1);
    a.join();
    b.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(Window, CaretKeysAndWordMoves) {
    Editor e;
    e.Set("abc def(ghi)\r\nxy\r\nlonger line");
    Key(e, VK_HOME, true);
    Key(e, VK_RIGHT, true);
    int first = e.Caret().second;
    EXPECT_EQ(first, 4);  // past "abc " to the start of "def"
    Key(e, VK_END);
    Key(e, VK_DOWN);  // from a line end: the end of the next line
    EXPECT_EQ(e.Caret(), std::make_pair(1, 1));  // after the last cell of "xy"
    Key(e, VK_DOWN);
    EXPECT_EQ(e.Caret(), std::make_pair(2, 10));  // the end of "longer line"
    Key(e, VK_HOME, true);
    Key(e, VK_END, true, true);
    EXPECT_EQ(e.Sel(4), "abc def(ghi)\r\nxy\r\nlonger line");
    Key(e, VK_LEFT);  // removes the selection
    EXPECT_EQ(e.Sel(4), "<none>");
}

TEST(Window, MouseSelectsByDragging) {
    Editor e;
    e.Set("first line\r\nsecond line");
    int lineHeight = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT)) / 2;
    e.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, lineHeight / 2));
    e.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(390, lineHeight / 2));
    e.Send(WM_LBUTTONUP, 0, MAKELPARAM(390, lineHeight / 2));
    EXPECT_EQ(e.Sel(4), "first line\r\n");  // up to the line end: its paragraph end comes along
    e.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, lineHeight / 2));
    e.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(390, lineHeight + lineHeight / 2));
    e.Send(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(e.Sel(4), "first line\r\nsecond line");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Window, ClickOnALinkReportsItsAnchor) {
    Editor e;
    // "go ", a link to target 0x2A with counter 1 over the word "link", then " end".
    e.Set("go " + E + "AL#" + E + "0000002A0001link" + E + "Al end");
    int mid = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT)) / 2;
    e.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, mid));
    e.Send(WM_LBUTTONUP, 0, MAKELPARAM(1, mid));
    int target = -1;
    for (int x = 1; x < 300 && target < 0; x += 2) {
        g_rec.codes.clear();
        e.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, mid));
        for (auto &c : g_rec.codes)
            if (c.first == 3) target = c.second;
        e.Send(WM_LBUTTONUP, 0, MAKELPARAM(x, mid));
    }
    EXPECT_EQ(target, 0x2A);
    EXPECT_EQ(GetCapture(), nullptr);  // the click started no selection
    EXPECT_EQ(e.Sel(4), "<none>");
}

TEST(Window, DragBelowTheWindowScrollsUntilRelease) {
    Editor e;
    std::string text;
    for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\r\n";
    e.Set(text);
    int full = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT));
    POINT below = {100, 400};
    ClientToScreen(e.h, &below);
    SetCursorPos(below.x, below.y);
    e.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    e.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 400));
    ASSERT_TRUE(WaitFor([&] { return e.Send(SCM_GETCONTENTHEIGHT) < full; }));
    e.Send(WM_LBUTTONUP, 0, 0);
    int after = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT));
    Pump();
    EXPECT_EQ(e.Send(SCM_GETCONTENTHEIGHT), after);  // stopped with the release
    EXPECT_NE(e.Sel(4), "<none>");
}

// A 32-bit top-down DIB section selected into a memory dc, white.
struct Canvas {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    DWORD *bits = nullptr;
    int w, h;
    Canvas(int width, int height) : w(width), h(height) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        void *p = nullptr;
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<DWORD *>(p);
        old = SelectObject(dc, bmp);
        PatBlt(dc, 0, 0, w, h, WHITENESS);
        GdiFlush();
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    // Rows that hold any pixel that differs from the background (the top-left pixel).
    std::vector<int> InkRows() {
        GdiFlush();
        std::vector<int> rows;
        DWORD bg = bits[0] & 0xFFFFFF;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((bits[y * w + x] & 0xFFFFFF) != bg) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }
    int Dark() {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < w * h; ++i) {
            DWORD p = bits[i];
            n += ((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)) < 384;
        }
        return n;
    }
    bool SaveBmp(const char *path) {
        GdiFlush();
        BITMAPFILEHEADER fh = {};
        BITMAPINFOHEADER ih = {};
        ih.biSize = sizeof(ih);
        ih.biWidth = w;
        ih.biHeight = -h;
        ih.biPlanes = 1;
        ih.biBitCount = 32;
        DWORD size = static_cast<DWORD>(w * h * 4);
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(ih);
        fh.bfSize = fh.bfOffBits + size;
        HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        DWORD n;
        bool ok = WriteFile(f, &fh, sizeof(fh), &n, nullptr) && WriteFile(f, &ih, sizeof(ih), &n, nullptr) &&
                  WriteFile(f, bits, size, &n, nullptr);
        CloseHandle(f);
        return ok;
    }
};

TEST(Paint, IntoAMemoryDc) {
    Editor e;
    RECT rc = {0, 0, 300, 200};
    {
        Canvas c(300, 200);
        e.Send(SCM_PAINTTO, reinterpret_cast<WPARAM>(c.dc), reinterpret_cast<LPARAM>(&rc));
        EXPECT_TRUE(c.InkRows().empty());  // an empty document draws nothing
    }
    e.Set("Wide text on one line");
    int one = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT));
    Canvas a(300, 200);
    e.Send(SCM_PAINTTO, reinterpret_cast<WPARAM>(a.dc), reinterpret_cast<LPARAM>(&rc));
    std::vector<int> rowsA = a.InkRows();
    ASSERT_FALSE(rowsA.empty());
    EXPECT_LT(rowsA.back(), one + 2);  // the ink stays within the one line

    e.Set("Wide text on one line\r\nand a second line");
    Canvas b(300, 200);
    e.Send(SCM_PAINTTO, reinterpret_cast<WPARAM>(b.dc), reinterpret_cast<LPARAM>(&rc));
    std::vector<int> rowsB = b.InkRows();
    ASSERT_FALSE(rowsB.empty());
    EXPECT_GT(rowsB.back(), rowsA.back());  // the second line draws below the first

    // A selection is drawn inverted: far more dark pixels.
    e.Send(SCM_SELECTALL);
    Canvas s(300, 200);
    e.Send(SCM_PAINTTO, reinterpret_cast<WPARAM>(s.dc), reinterpret_cast<LPARAM>(&rc));
    EXPECT_GT(s.Dark(), 4 * b.Dark());

    // Only the given rectangle is drawn.
    RECT half = {0, 0, 300, one};
    Canvas h(300, 200);
    e.Send(SCM_PAINTTO, reinterpret_cast<WPARAM>(h.dc), reinterpret_cast<LPARAM>(&half));
    std::vector<int> rowsH = h.InkRows();
    ASSERT_FALSE(rowsH.empty());
    EXPECT_LT(rowsH.back(), one);
}

TEST(Paint, OutlineMarkerLeftOfTheHeading) {
    Editor e;
    // A heading on level 2 (its text starts far enough in for the marker) with a child on level 3.
    e.Set(E + "L2Heading\r\n" + E + "L3child line");
    int height = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT));
    int left = ScrivelLayout_LineLeft(ScrivelWin_Get(e.h)->doc, 0);  // where the heading's text starts
    RECT rc = {0, 0, 200, 100};
    auto markerInk = [&](Canvas &c, int rows) {
        std::vector<DWORD> px;
        GdiFlush();
        for (int y = 0; y < rows; ++y)
            for (int x = left - 17; x < left; ++x) px.push_back(c.bits[y * c.w + x] & 0xFFFFFF);
        return px;
    };
    Canvas open(200, 100);
    e.Send(SCM_PAINTTO, reinterpret_cast<WPARAM>(open.dc), reinterpret_cast<LPARAM>(&rc));
    e.Send(SCM_SETOUTLINEDEPTH, 0, 2);  // the child folds away: the heading shows the collapsed marker
    Canvas closed(200, 100);
    e.Send(SCM_PAINTTO, reinterpret_cast<WPARAM>(closed.dc), reinterpret_cast<LPARAM>(&rc));
    int rows = height / 2;
    std::vector<DWORD> a = markerInk(open, rows), b = markerInk(closed, rows);
    DWORD white = open.bits[0] & 0xFFFFFF;
    int inkA = 0, inkB = 0;
    for (DWORD p : a) inkA += p != white;
    for (DWORD p : b) inkB += p != white;
    EXPECT_GT(inkA, 0);
    EXPECT_GT(inkB, 0);
    EXPECT_NE(a, b);  // expanded and collapsed markers differ
    // The collapsed heading's second line no longer draws.
    std::vector<int> rowsClosed = closed.InkRows();
    ASSERT_FALSE(rowsClosed.empty());
    EXPECT_LT(rowsClosed.back(), rows + 2);
}

TEST(Paint, ScreenshotOfJapaneseAndEnglish) {
    Editor e;
    // "Nihongo no tekisuto" in Shift-JIS (the words for Japanese text), then English.
    e.Set(E + "F80\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\r\n" + E +
          "F00English text beside it\r\n" + E + "B1Bold" + E + "B0 and " + E + "U1underlined" + E + "U0");
    // The window as it shows on the display, copied from its own dc.
    RedrawWindow(e.h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(e.h, &client);
    Canvas c(client.right, client.bottom);
    HDC wdc = GetDC(e.h);
    BitBlt(c.dc, 0, 0, client.right, client.bottom, wdc, 0, 0, SRCCOPY);
    ReleaseDC(e.h, wdc);
    EXPECT_GT(c.InkRows().size(), 10u);
    EXPECT_TRUE(c.SaveBmp("editor_ja_en.bmp"));
    EXPECT_NE(GetFileAttributesA("editor_ja_en.bmp"), INVALID_FILE_ATTRIBUTES);
}

TEST(Paint, WindowPaintsThroughItsBackBuffer) {
    Editor e;
    e.Set("visible text");
    RedrawWindow(e.h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ScrivelWindow *w = ScrivelWin_Get(e.h);
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->backDc, nullptr);
    RECT client;
    GetClientRect(e.h, &client);
    EXPECT_EQ(w->backW, client.right);
    EXPECT_EQ(w->backH, client.bottom);
    MoveWindow(e.h, 0, 0, 200, 150, TRUE);
    EXPECT_EQ(w->backW, 200);
}

TEST(Print, PagesIntoAMemoryDc) {
    Editor e;
    std::string text;
    for (int i = 0; i < 300; ++i) text += "printed line " + std::to_string(i) + "\r\n";
    e.Set(text);
    ScrivelWindow *w = ScrivelWin_Get(e.h);
    // Pages drawn one over the other into a bitmap as large as the device's page.
    HDC screen = GetDC(nullptr);
    int width = GetDeviceCaps(screen, HORZRES), height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    Canvas c(width, height);
    int pages = ScrivelPrint_ToDc(w, c.dc, nullptr, 0);
    EXPECT_GE(pages, 2);
    std::vector<int> rows = c.InkRows();
    ASSERT_FALSE(rows.empty());
    int margin = width / 14;
    EXPECT_LT(rows.front(), margin);           // the header line above the text
    EXPECT_GT(rows.back(), margin);            // the text itself
    EXPECT_LT(rows.back(), height - margin);   // nothing in the bottom margin
    // A selection of a few lines prints on one page.
    ScrivelRange r = {0, 2, 0, 3};
    EXPECT_EQ(ScrivelPrint_ToDc(w, c.dc, &r, 0), 1);
}

TEST(Print, PaginationCutsAtWholeLines) {
    ScrivelDocParams p = {};
    p.langId = 0x0411;
    p.measurer = ScrivelMeasure_NewFixed(8, -1);
    EditorDocument *doc = nullptr;
    ASSERT_EQ(ScrivelDoc_Create(&p, &doc), SCRIVEL_OK);
    std::string text;
    for (int i = 0; i < 10; ++i) text += "x\r";
    ASSERT_EQ(ScrivelTag_Read(doc, text.data(), static_cast<int>(text.size()), 0), 10);
    ScrivelLayout_UpdateMarkers(doc);
    doc->marginTop = doc->marginBottom = 5;
    int h = doc->lines[0]->height;
    int starts[8];
    // Four lines fit a page exactly; the margins count.
    EXPECT_EQ(ScrivelPrint_Paginate(doc, 10 + 4 * h, starts, 8), 3);
    EXPECT_EQ(starts[1], 4);
    EXPECT_EQ(starts[2], 8);
    // One line short of four: three a page.
    EXPECT_EQ(ScrivelPrint_Paginate(doc, 10 + 4 * h - 1, starts, 8), 4);
    EXPECT_EQ(starts[1], 3);
    // A page lower than one line still takes one line each.
    EXPECT_EQ(ScrivelPrint_Paginate(doc, 3, nullptr, 0), 10);
    ScrivelDoc_Destroy(doc);
}

TEST(ScrollBar, LayoutTable) {
    struct {
        ScrivelSbInfo si;
        int length, arrow, minThumb;
        int expArrow, expTrack, expThumb, expOffset, expCan;
    } cases[] = {
        {{0, 0, 0, 0, 0}, 100, 17, 17, 17, 66, 0, 0, 0},        // maximum 0: cannot scroll, no thumb
        {{0, 99, 10, 0, 0}, 20, 17, 17, 10, 0, 0, 0, 1},        // a 20-pixel bar: arrows of 10, no track
        {{0, 99, 10, 45, 0}, 134, 17, 17, 17, 100, 17, 41, 1},  // position 45 of 0..90
        {{0, 99, 10, 90, 0}, 134, 17, 17, 17, 100, 17, 83, 1},  // the last position: the far end
        {{0, 99, 10, 0, 0}, 51, 17, 17, 17, 17, 17, 0, 1},      // thumb fills the track
        {{5, 14, 10, 5, 0}, 134, 17, 17, 17, 100, 100, 0, 1},   // page as large as the range
        {{0, 99, 0, 50, 0}, 134, 17, 6, 17, 100, 17, 41, 1},    // page 0: thumb as long as an arrow
    };
    for (const auto &c : cases) {
        ScrivelSbLayout lay;
        ScrivelSb_Layout(&c.si, c.length, c.arrow, c.minThumb, 0, &lay);
        EXPECT_EQ(lay.arrow, c.expArrow) << c.length;
        EXPECT_EQ(lay.track, c.expTrack) << c.length;
        EXPECT_EQ(lay.thumb, c.expThumb) << c.length;
        EXPECT_EQ(lay.thumbOffset, c.expOffset) << c.length;
        EXPECT_EQ(lay.canScroll, c.expCan) << c.length;
        // Dragging never divides by zero; a thumb that cannot move keeps the position.
        int pos = ScrivelSb_PosFromOffset(&c.si, &lay, 5);
        if (lay.track - lay.thumb <= 0) {
            EXPECT_EQ(pos, c.si.position);
        }
    }
    ScrivelSbInfo si = {0, 99, 10, 0, 0};
    ScrivelSbLayout lay;
    ScrivelSb_Layout(&si, 134, 17, 17, 0, &lay);
    EXPECT_EQ(ScrivelSb_PosFromOffset(&si, &lay, 0), 0);
    EXPECT_EQ(ScrivelSb_PosFromOffset(&si, &lay, lay.track - lay.thumb), 90);
}

TEST(ScrollBar, CustomBarsAskTheParentToDrawAndScroll) {
    Editor e(WS_CHILD | WS_VISIBLE | WS_VSCROLL | SCRIVEL_WS_COOLSB);
    ASSERT_NE(GetPropA(e.h, "CoolSBSubclassPtr"), nullptr);
    std::string text;
    for (int i = 0; i < 80; ++i) text += "row " + std::to_string(i) + "\r\n";
    e.Set(text);
    g_rec.customDraws = 0;
    RedrawWindow(e.h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(WaitFor([] { return g_rec.customDraws > 0; }));
    // The vertical bar is 17 pixels wide along the right edge; a press on its down arrow
    // scrolls one line at once.
    RECT wr;
    GetWindowRect(e.h, &wr);
    POINT arrow = {wr.right - 8, wr.bottom - 8};
    EXPECT_EQ(e.Send(WM_NCHITTEST, 0, MAKELPARAM(arrow.x, arrow.y)), HTVSCROLL);
    int full = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT));
    e.Send(WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
    int once = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT));
    EXPECT_LT(once, full);
    e.Send(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(ScrivelSb_GetScrollInfo(e.h, SB_VERT, &si));
    EXPECT_EQ(si.nPos, 1);
    EXPECT_EQ(si.nMax, 79);  // shown lines 0 to 79
}

struct CoolEditor : Editor {
    RECT wr;
    CoolEditor() : Editor(WS_CHILD | WS_VISIBLE | WS_VSCROLL | SCRIVEL_WS_COOLSB) {
        std::string text;
        for (int i = 0; i < 80; ++i) text += "row " + std::to_string(i) + "\r\n";
        Set(text);
        GetWindowRect(h, &wr);
    }
    int Position() {
        SCROLLINFO si = {sizeof(si), SIF_POS, 0, 0, 0, 0, 0};
        ScrivelSb_GetScrollInfo(h, SB_VERT, &si);
        return si.nPos;
    }
    // A pointer move during tracking, in window coordinates (the client starts at the window's
    // corner: the editor has no border).
    void Move(int x, int y) { Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
};

TEST(ScrollBar, ThumbDragKeepsTrackingNearTheBarAndReturnsFarAway) {
    CoolEditor e;
    int x = e.wr.right - e.wr.left - 8;  // the middle of the 17-pixel bar
    int height = e.wr.bottom - e.wr.top;
    // The thumb starts right below the 17-pixel up arrow.
    e.Send(WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(e.wr.left + x, e.wr.top + 20));
    ASSERT_EQ(GetCapture(), e.h);
    e.Move(x, height / 2);
    int middle = e.Position();
    EXPECT_GT(middle, 0);
    e.Move(x, height + 30);  // 30 pixels past the end: still tracking, the thumb at the end
    int end = e.Position();
    EXPECT_GT(end, middle);
    e.Move(x, height + 60);  // 60 pixels past: back to where it started
    EXPECT_EQ(e.Position(), 0);
    e.Move(x, height / 2);
    EXPECT_EQ(e.Position(), middle);
    e.Send(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(e.Position(), middle);  // the thumb position was sent at the release
}

TEST(ScrollBar, HotTrackingFollowsThePointer) {
    CoolEditor e;
    POINT over = {e.wr.right - 8, e.wr.bottom - 8};  // the down arrow
    SetCursorPos(over.x, over.y);
    g_rec.hotParts = 0;
    e.Send(WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(over.x, over.y));
    EXPECT_TRUE(WaitFor([] { return g_rec.hotParts > 0; }));
    // The pointer leaves: the bar is drawn normal again and the hot timer stops.
    SetCursorPos(e.wr.left + 5, e.wr.top + 5);
    g_rec.customDraws = 0;
    EXPECT_TRUE(WaitFor([] { return g_rec.customDraws > 0; }));
    g_rec.hotParts = 0;
    RedrawWindow(e.h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(g_rec.hotParts, 0);
}

TEST(ScrollBar, HeldArrowRepeatsUntilRelease) {
    CoolEditor e;
    POINT down = {e.wr.right - 8, e.wr.bottom - 8};
    g_rec.pressedParts = 0;
    e.Send(WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y));
    EXPECT_EQ(e.Position(), 1);  // one step at once
    EXPECT_GT(g_rec.pressedParts, 0);  // the arrow is drawn pressed
    ASSERT_TRUE(WaitFor([&] { return e.Position() >= 3; }));  // then the repeat timer
    e.Send(WM_LBUTTONUP, 0, 0);
    int stopped = e.Position();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    Pump();
    EXPECT_EQ(e.Position(), stopped);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Window, InsertTextAtLineEndMiddleAndStart) {
    struct {
        int rights;  // caret moves from the document start
        const char *expect;
    } cases[] = {
        {2, "abXY\r\nZcd\r\nnext"},  // inside the line: the last new line joins the rest
        {0, "XY\r\nZabcd\r\nnext"},  // at the start: the new lines go before it
        {4, "abcdXY\r\nZ\r\nnext"},  // at the end: its paragraph end moves to the new last line
    };
    for (const auto &c : cases) {
        Editor e;
        e.Set("abcd\r\nnext");
        for (int i = 0; i < c.rights; ++i) Key(e, VK_RIGHT);
        e.Send(SCM_INSERTTEXT, 0, reinterpret_cast<LPARAM>("XY\r\nZ"));
        EXPECT_EQ(e.Text(), c.expect);
        EXPECT_EQ(e.Caret().first, 1);
        g_rec.codes.clear();
        e.Send(SCM_UNDO);  // no snapshot: nothing to undo
        EXPECT_EQ(e.Text(), c.expect);
    }
}

TEST(Window, InPlaceCompositionOfOneCharacter) {
    Editor e;
    e.Type("a");
    // Two steps of composing one double-byte character: each replaces the one shown so far and
    // leaves it selected.
    e.Send(WM_IME_COMPOSITION, 0x82A0, 0x6018);  // hiragana a
    EXPECT_EQ(e.Text(), "a\x82\xa0");
    EXPECT_EQ(e.Sel(4), "\x82\xa0");
    e.Send(WM_IME_COMPOSITION, 0x82A2, 0x6018);  // hiragana i
    EXPECT_EQ(e.Text(), "a\x82\xa2");
    EXPECT_EQ(e.Sel(4), "\x82\xa2");
    // A composition result inserted at the caret with its charset tag, undoable as one.
    ScrivelWindow *w = ScrivelWin_Get(e.h);
    Key(e, VK_END);
    ASSERT_EQ(ScrivelIme_InsertResult(w, "\x93\xfa\x96\x7b", 128), 1);  // "Nihon" in Shift-JIS
    EXPECT_EQ(e.Text(), "a\x82\xa2\x93\xfa\x96\x7b");
    EXPECT_EQ(e.Typing().charset, 128);
    e.Send(SCM_UNDO);
    EXPECT_EQ(e.Text(), "a\x82\xa2");
}

TEST(Menu, SizeEntriesOfAReadOnlyEditorChangeTheSizeBase) {
    Editor e(WS_CHILD | WS_VISIBLE | SCRIVEL_WS_READONLY);
    e.Set("some words to show\r\nand another line");
    e.Send(SCM_SELECTALL);
    const std::string selected = e.Sel(4);
    int before = static_cast<int>(e.Send(SCM_GETCONTENTHEIGHT));
    ScrivelWindow *w = ScrivelWin_Get(e.h);
    ScrivelMenu_Command(w, CMD_SIZE_LARGEST);
    EXPECT_EQ(w->doc->sizeBase, 5);
    EXPECT_GT(e.Send(SCM_GETCONTENTHEIGHT), before);
    EXPECT_EQ(e.Sel(4), selected);  // the selection follows the re-wrap
    ScrivelMenu_Command(w, CMD_SIZE_SMALLEST);
    EXPECT_LT(e.Send(SCM_GETCONTENTHEIGHT), before);
    EXPECT_EQ(e.Text(), "some words to show\r\nand another line");
}

TEST(Menu, MaskPrunesTheContextMenu) {
    Editor e;
    ScrivelWindow *w = ScrivelWin_Get(e.h);
    g_scrivelInstance = GetModuleHandleA("Scrivel.dll");
    DWORD mask = w->menuMask;
    w->menuMask = 0;
    HMENU m = ScrivelMenu_Build(w);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GetMenuItemCount(m), 0);
    DestroyMenu(m);
    w->menuMask = mask;
    m = ScrivelMenu_Build(w);
    EXPECT_EQ(GetMenuItemCount(m), 16);
    DestroyMenu(m);
    w->menuMask = 0x04 | 0x40;  // Copy and the size entries (and the separator before them)
    m = ScrivelMenu_Build(w);
    EXPECT_EQ(GetMenuItemCount(m), 3);
    EXPECT_EQ(GetMenuItemID(m, 0), static_cast<UINT>(CMD_COPY));
    DestroyMenu(m);
}

}  // namespace
