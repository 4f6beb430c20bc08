// The field driven through the messages its callers send: the class's users, the charset, text
// in and out in the charset's code page, selection, undo, Enter and the notices to the parent,
// and a picture of fields holding Japanese and Western text.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quickfield.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

struct Notice {
    int id, code;
    HWND from;
};
std::vector<Notice> g_notices;
bool g_selectOnFocus;  // the parent posts QFM_SELECTALL when a field gains the focus, as callers do

LRESULT CALLBACK ParentProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && lParam) {
        g_notices.push_back({LOWORD(wParam), HIWORD(wParam), (HWND)lParam});
        if (g_selectOnFocus && HIWORD(wParam) == EN_SETFOCUS) PostMessageA((HWND)lParam, QFM_SELECTALL, 0, 0);
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

bool ClassRegistered() {
    WNDCLASSEXA wc = {sizeof wc};
    return GetClassInfoExA(Self(), QUICKFIELD_CLASS, &wc) != 0;
}

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Quickfield_Init(Self()));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = Self();
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = "QuickfieldTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, wc.lpszClassName, "Quickfield", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 460, 170, nullptr, nullptr, Self(), nullptr);
        ASSERT_TRUE(parent);
        field = Make(1019, 10);
        ASSERT_TRUE(field);
        g_notices.clear();
        g_selectOnFocus = false;
    }
    void TearDown() override {
        DestroyWindow(parent);
        Quickfield_Term(Self());
    }
    HWND Make(int id, int y, DWORD style = 0) {
        return CreateWindowExA(WS_EX_CLIENTEDGE, QUICKFIELD_CLASS, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10,
                               y, 420, 30, parent, (HMENU)(INT_PTR)id, Self(), nullptr);
    }
    std::string Bytes(HWND f) {
        char buf[512];
        SendMessageA(f, QFM_GETTEXTEX, sizeof buf, (LPARAM)buf);
        return buf;
    }
    std::wstring Wide(HWND f) {
        wchar_t buf[512];
        GetWindowTextW(f, buf, 512);
        return buf;
    }
    int FontCharset(HWND f) {
        LOGFONTA lf = {};
        GetObjectA((HFONT)SendMessageA(f, WM_GETFONT, 0, 0), sizeof lf, &lf);
        return lf.lfCharSet;
    }
    int Count(int code) {
        int n = 0;
        for (const Notice &x : g_notices) n += x.code == code && x.id == 1019 && x.from == field;
        return n;
    }
    HWND parent = nullptr, field = nullptr;
};

}  // namespace

// The class goes with the last user's end, and not while a field is open.
TEST(FieldClass, StaysUntilTheLastUserEndsAndNoFieldIsOpen) {
    HINSTANCE a = Self(), b = (HINSTANCE)GetModuleHandleA("kernel32.dll");
    EXPECT_FALSE(ClassRegistered());
    ASSERT_TRUE(Quickfield_Init(a));
    ASSERT_TRUE(Quickfield_Init(b));
    Quickfield_Term(a);
    ASSERT_TRUE(ClassRegistered()) << "one user is left";
    HWND f = CreateWindowExA(0, QUICKFIELD_CLASS, "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, a, nullptr);
    ASSERT_TRUE(f);
    Quickfield_Term(b);
    EXPECT_TRUE(ClassRegistered()) << "a field is still open";
    EXPECT_EQ(SendMessageA(f, QFM_SETTEXTEX, 0, (LPARAM)"open"), 1);
    EXPECT_EQ(SendMessageA(f, QFM_GETTEXTEX, 0, 0), MAKELRESULT(4, 0));
    DestroyWindow(f);
    ASSERT_TRUE(Quickfield_Init(a));
    Quickfield_Term(a);
    EXPECT_FALSE(ClassRegistered());
    EXPECT_FALSE(CreateWindowExA(0, QUICKFIELD_CLASS, "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, a, nullptr));
    Quickfield_Term(a);  // one end too many changes nothing
    ASSERT_TRUE(Quickfield_Init(a));
    EXPECT_TRUE(ClassRegistered());
    Quickfield_Term(a);
}

TEST_F(FieldTest, StartsAsOneLineInTheUserInterfaceCharset) {
    char cls[32];
    GetClassNameA(field, cls, sizeof cls);
    EXPECT_STREQ(cls, "PPLINE");
    EXPECT_TRUE(IsWindowUnicode(field));
    // The tests run with code page 932.
    EXPECT_EQ(SendMessageA(field, QFM_GETCHARSET, 0, 0), SHIFTJIS_CHARSET);
    EXPECT_EQ(FontCharset(field), SHIFTJIS_CHARSET);
    HWND multi = Make(7, 60, ES_MULTILINE | ES_WANTRETURN);
    ASSERT_TRUE(multi);
    LONG style = GetWindowLongA(multi, GWL_STYLE);
    EXPECT_FALSE(style & ES_MULTILINE);
    EXPECT_FALSE(style & ES_WANTRETURN);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    SendMessageA(multi, QFM_SETTEXTEX, 0, (LPARAM)"one two");
    EXPECT_EQ(SendMessageA(multi, EM_GETLINECOUNT, 0, 0), 1);
}

// Text in and out in the code page of each charset, held in UTF-16 whatever the system's code page.
TEST_F(FieldTest, TakesAndGivesTextInItsCharset) {
    struct Case {
        int charset;
        const char *bytes;
        const wchar_t *text;
    } cases[] = {
        {SHIFTJIS_CHARSET, "\x93\xfa\x96\x7b\x8c\xea", L"\x65e5\x672c\x8a9e"},       // "Japanese" in Shift-JIS
        {ANSI_CHARSET, "Gr\xfc\xdf" "e, caf\xe9", L"Gr\x00fc\x00df" L"e, caf\x00e9"},  // Western in 1252
        {HANGUL_CHARSET, "\xc7\xd1\xb1\xb9\xbe\xee", L"\xd55c\xad6d\xc5b4"},          // "Korean" in 949
        {GB2312_CHARSET, "\xd6\xd0\xce\xc4", L"\x4e2d\x6587"},                          // "Chinese" in 936
        {CHINESEBIG5_CHARSET, "\xa4\xa4\xa4\xe5", L"\x4e2d\x6587"},                     // the same in 950
        {EASTEUROPE_CHARSET, "\xa3\xf3" "d\x9f", L"\x0141\x00f3" L"d\x017a"},          // "Lodz" in 1250
    };
    int previous = SHIFTJIS_CHARSET;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.charset);
        EXPECT_EQ(SendMessageA(field, QFM_SETCHARSET, c.charset, 0), previous);
        previous = c.charset;
        EXPECT_EQ(SendMessageA(field, QFM_GETCHARSET, 0, 0), c.charset);
        EXPECT_EQ(FontCharset(field), c.charset);
        EXPECT_EQ(SendMessageA(field, QFM_SETTEXTEX, c.charset, (LPARAM)c.bytes), 1);
        EXPECT_EQ(Wide(field), c.text);
        EXPECT_EQ(Bytes(field), c.bytes);
        EXPECT_EQ(SendMessageA(field, QFM_GETTEXTEX, 0, 0), MAKELRESULT(strlen(c.bytes), c.charset));
    }
    // A charset change keeps the text; what the new charset cannot hold comes out as '?'.
    SendMessageA(field, QFM_SETTEXTEX, SHIFTJIS_CHARSET, (LPARAM)"\x93\xfa" "a");
    EXPECT_EQ(SendMessageA(field, QFM_SETCHARSET, ANSI_CHARSET, 0), SHIFTJIS_CHARSET);
    EXPECT_EQ(Wide(field), L"\x65e5" L"a");
    EXPECT_EQ(Bytes(field), "?a");
    // Not a charset: nothing changes.
    EXPECT_EQ(SendMessageA(field, QFM_SETCHARSET, 256, 0), -1);
    EXPECT_EQ(SendMessageA(field, QFM_SETTEXTEX, 300, (LPARAM)"x"), 0);
    EXPECT_EQ(SendMessageA(field, QFM_GETCHARSET, 0, 0), ANSI_CHARSET);
    EXPECT_EQ(Wide(field), L"\x65e5" L"a");
    // A null text empties the field.
    EXPECT_EQ(SendMessageA(field, QFM_SETTEXTEX, ANSI_CHARSET, 0), 1);
    EXPECT_EQ(Wide(field), L"");
    EXPECT_EQ(SendMessageA(field, QFM_GETTEXTEX, 0, 0), MAKELRESULT(0, 0));
}

// The text handed out is cut before a character that does not fit whole.
TEST_F(FieldTest, CutsTheTextOutAtWholeCharacters) {
    struct Case {
        int charset;
        const char *text;
        int size;
        const char *expected;
    } cases[] = {
        {SHIFTJIS_CHARSET, "\x93\xfa\x96\x7b\x8c\xea", 7, "\x93\xfa\x96\x7b\x8c\xea"},
        {SHIFTJIS_CHARSET, "\x93\xfa\x96\x7b\x8c\xea", 6, "\x93\xfa\x96\x7b"},
        {SHIFTJIS_CHARSET, "\x93\xfa\x96\x7b\x8c\xea", 5, "\x93\xfa\x96\x7b"},
        {SHIFTJIS_CHARSET, "a\x93\xfa", 3, "a"},
        {SHIFTJIS_CHARSET, "a\xb1\x93\xfa", 4, "a\xb1"},  // a half-width kana is one byte
        {SHIFTJIS_CHARSET, "\x93\xfa", 1, ""},
        {ANSI_CHARSET, "caf\xe9", 4, "caf"},
        {ANSI_CHARSET, "caf\xe9", 5, "caf\xe9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.charset << " size " << c.size);
        SendMessageA(field, QFM_SETTEXTEX, c.charset, (LPARAM)c.text);
        char buf[16];
        memset(buf, 'Z', sizeof buf);
        LRESULT r = SendMessageA(field, QFM_GETTEXTEX, c.size, (LPARAM)buf);
        EXPECT_EQ(LOWORD(r), strlen(c.expected));
        EXPECT_EQ(HIWORD(r), c.charset);
        EXPECT_STREQ(buf, c.expected);
        EXPECT_EQ(buf[c.size], 'Z') << "nothing written past the size";
        EXPECT_EQ(LOWORD(SendMessageA(field, QFM_GETTEXTEX, 0, (LPARAM)buf)), strlen(c.text));
    }
}

// What the callers send: select all on focus, undo, clear, characters, Enter.
TEST_F(FieldTest, SelectsUndoesAndTellsTheParent) {
    g_selectOnFocus = true;
    SendMessageA(field, QFM_SETTEXTEX, SHIFTJIS_CHARSET, (LPARAM)"\x8c\x9f\x8d\xf5 word");  // "search" + " word"
    EXPECT_GE(Count(EN_CHANGE), 1) << "a new text is a change";
    SendMessageA(field, EM_SETSEL, 2, 2);
    SetFocus(field);
    EXPECT_EQ(Count(EN_SETFOCUS), 1);
    DWORD from = 0, to = 0;
    ASSERT_TRUE(Testkit_PumpUntil([&] {
        SendMessageA(field, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
        return from == 0 && to == 7;
    })) << "the posted select-all selects the whole text";
    // Typing replaces the selection; undo brings the old text back.
    g_notices.clear();
    SendMessageA(field, QFM_CHAR, 'x', 1);
    EXPECT_EQ(Wide(field), L"x");
    EXPECT_EQ(Count(EN_CHANGE), 1);
    EXPECT_EQ(SendMessageA(field, QFM_UNDO, 0, 0), 1);
    EXPECT_EQ(Wide(field), L"\x691c\x7d22 word");
    // Ctrl+A selects everything; the clear command takes the selection away.
    SendMessageA(field, EM_SETSEL, 0, 0);
    SendMessageA(field, WM_CHAR, 1, 1);
    SendMessageA(field, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 7u);
    SendMessageA(field, WM_CLEAR, 0, 0);
    EXPECT_EQ(Wide(field), L"");
    // Enter reaching the field: one notice, and no character.
    SendMessageA(field, QFM_SETTEXTEX, ANSI_CHARSET, (LPARAM)"go");
    g_notices.clear();
    SendMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(field, WM_CHAR, '\r', 1);
    SendMessageA(field, QFM_CHAR, '\n', 1);
    EXPECT_EQ(Count(QFN_RETURN), 1);
    EXPECT_EQ(Count(EN_CHANGE), 0);
    EXPECT_EQ(Wide(field), L"go");
    SetFocus(parent);
    EXPECT_EQ(Count(EN_KILLFOCUS), 1);
}

// A person looks at this picture: Japanese and Western text, each in its own field and charset,
// readable and not cut off.
TEST_F(FieldTest, ShowsJapaneseAndWesternText) {
    HFONT big = CreateFontA(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    HWND western = Make(1018, 60);
    ASSERT_TRUE(western);
    for (HWND f : {field, western}) SendMessageA(f, WM_SETFONT, (WPARAM)big, FALSE);
    // "Looking words up in a Japanese dictionary", in Shift-JIS.
    SendMessageA(field, QFM_SETTEXTEX, SHIFTJIS_CHARSET,
                 (LPARAM)"\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x8e\xab\x8f\x91\x82\xf0\x88\xf8\x82\xad dictionary");
    SendMessageA(western, QFM_SETTEXTEX, ANSI_CHARSET, (LPARAM)"Gr\xfc\xdf" "e, caf\xe9, na\xefve, \xc6sop");
    EXPECT_EQ(FontCharset(field), SHIFTJIS_CHARSET);
    EXPECT_EQ(FontCharset(western), ANSI_CHARSET);
    LOGFONTA lf = {};
    GetObjectA((HFONT)SendMessageA(western, WM_GETFONT, 0, 0), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -18) << "the size of the font the parent gave";
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
    SetForegroundWindow(parent);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Testkit_Pump();
    EXPECT_TRUE(Testkit_SaveWindowPicture(parent, "quickfield_fields.bmp"));
    DestroyWindow(western);
    DeleteObject(big);
}
