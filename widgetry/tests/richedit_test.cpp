// The rich-edit field under code page 932: the library it loads, stream in and out in every
// format with Japanese (Shift-JIS) and Western text, blocks sized in the asked format, the
// selection, WM_CLEAR, the character format and the context menu on its keys.
#include <gtest/gtest.h>

#include "fieldkit.h"

using namespace fieldkit;

namespace {

// "Nihongo" (Japanese) in Shift-JIS and in UTF-16, and the same in an RTF document.
const char kNihongo[] = "\x93\xfa\x96\x7b\x8c\xea";
const wchar_t kNihongoWide[] = L"\u65e5\u672c\u8a9e";
const char kRtf[] = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS UI Gothic;}"
                    "{\\f1\\fnil\\fcharset0 Arial;}}\\f0 \\'93\\'fa\\'96\\'7b\\'8c\\'ea\\f1  and English\\par}";

// "Cafe creme" with its accents in UTF-16 and in an RTF document of code page 1252.
const wchar_t kWesternWide[] = L"Caf\u00e9 cr\u00e8me";
const char kWesternRtf[] = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
                           "\\f0 Caf\\'e9 cr\\'e8me\\par}";

class RichEditTest : public ::testing::Test {
protected:
    static HWND parent;
    HWND field = nullptr;

    static void SetUpTestSuite()
    {
        ASSERT_TRUE(Widgetry_RichEditInit());
        parent = MakeParent();
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        Widgetry_RichEditTerm();
    }
    void SetUp() override
    {
        field = MakeField(parent);
        ASSERT_NE(nullptr, field);
    }
    void TearDown() override { DestroyWindow(field); }
};

HWND RichEditTest::parent;

TEST_F(RichEditTest, LoadsTheNewestLibrary)
{
    char name[32] = "x";
    EXPECT_EQ(11, Widgetry_GetRichEditClass(name));
    EXPECT_STREQ("RichEdit20A", name);
    CHARFORMAT2A format = {};
    format.dwMask = CFM_BOLD;
    Widgetry_GetCharFormat(field, FALSE, &format);
    EXPECT_EQ(84u, format.cbSize);
    // Bold set on a selection comes back from it.
    Widgetry_StreamInRichEdit(field, SF_TEXT, "plain bold", -1);
    SendMessageA(field, EM_SETSEL, 6, 10);
    format.dwMask = CFM_BOLD;
    format.dwEffects = CFE_BOLD;
    EXPECT_TRUE(Widgetry_SetCharFormat(field, TRUE, &format));
    CHARFORMAT2A back = {};
    EXPECT_NE(0u, Widgetry_GetCharFormat(field, TRUE, &back) & CFM_BOLD);
    EXPECT_NE(0u, back.dwEffects & CFE_BOLD);
    // Without the Active IMM key of the machine nothing goes through an input-method layer.
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Active IMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        MSG msg = {field, WM_KEYDOWN, 'A', 1};
        EXPECT_FALSE(Widgetry_ImmTranslateMessage(&msg));
    } else {
        RegCloseKey(key);
    }
}

TEST_F(RichEditTest, StreamRoundTripsInEveryFormat)
{
    const std::string japanese = std::string(kNihongo) + " and English";
    struct Case {
        const char *name;
        UINT inFormat;
        std::string in;
        UINT outFormat;
        std::string want;
    } cases[] = {
        {"text", SF_TEXT, japanese, SF_TEXT, japanese},
        {"text, lines", SF_TEXT, "first\r\n" + japanese, SF_TEXT, "first\r\n" + japanese},
        {"rtf in, text out", SF_RTF, kRtf, SF_TEXT, japanese},
        {"unicode", SF_TEXT | SF_UNICODE, Wide(kNihongoWide) + Wide(L" and English"), SF_TEXT | SF_UNICODE,
         Wide(kNihongoWide) + Wide(L" and English")},
        {"unicode in, text out", SF_TEXT | SF_UNICODE, Wide(kNihongoWide), SF_TEXT, kNihongo},
        {"text in, textized out", SF_TEXT, japanese, SF_TEXTIZED, japanese},
        // Western text outside code page 932 reaches the field as 16-bit text or as RTF.
        {"western unicode", SF_TEXT | SF_UNICODE, Wide(kWesternWide), SF_TEXT | SF_UNICODE, Wide(kWesternWide)},
        {"western rtf in, unicode out", SF_RTF, kWesternRtf, SF_TEXT | SF_UNICODE, Wide(kWesternWide)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Widgetry_StreamInRichEdit(field, c.inFormat, c.in.data(), (int)c.in.size());
        EXPECT_EQ(c.want, Out(field, c.outFormat));
    }

    // Rich text out, into a second field and out again as text: the same text.
    for (UINT rtf : {(UINT)SF_RTF, (UINT)SF_RTFNOOBJS}) {
        Widgetry_StreamInRichEdit(field, SF_TEXT, japanese.c_str(), -1);
        std::string document = Out(field, rtf);
        EXPECT_EQ(0u, document.find("{\\rtf"));
        HWND other = MakeField(parent);
        Widgetry_StreamInRichEdit(other, SF_RTF, document.c_str(), -1);
        EXPECT_EQ(japanese, Out(other, SF_TEXT));
        DestroyWindow(other);
    }

    // The selection alone.
    Widgetry_StreamInRichEdit(field, SF_TEXT, japanese.c_str(), -1);
    SendMessageA(field, EM_SETSEL, 0, 3);
    EXPECT_EQ(kNihongo, Out(field, SF_TEXT | SFF_SELECTION));
    SendMessageA(field, EM_SETSEL, 2, 2);
    EXPECT_EQ("(null)", Out(field, SF_TEXT | SFF_SELECTION));
}

TEST_F(RichEditTest, StreamInReadsOnlyTheGivenLength)
{
    // The text is followed by bytes that are not the caller's to give and no terminator.
    char buffer[16];
    memcpy(buffer, "abcdefXXXXXXXXXX", 16);
    EXPECT_EQ(6, Widgetry_StreamInRichEdit(field, SF_TEXT, buffer, 6));
    EXPECT_EQ("abcdef", Out(field, SF_TEXT));
    // A new stream replaces the text and starts at the top.
    EXPECT_EQ(2, Widgetry_StreamInRichEdit(field, SF_TEXT, "gh", -1));
    EXPECT_EQ("gh", Out(field, SF_TEXT));
}

TEST_F(RichEditTest, StreamOutOfAnEmptyFieldIsNull)
{
    for (UINT format : {(UINT)SF_TEXT, (UINT)SF_RTF, (UINT)(SF_TEXT | SF_UNICODE), (UINT)SF_RTFNOOBJS})
        EXPECT_EQ(nullptr, Widgetry_StreamOutRichEdit(field, format)) << format;
}

TEST_F(RichEditTest, BlocksAreSizedInTheAskedFormat)
{
    // 16-bit text of a long plain text is about twice its rich-text form: a block sized by the
    // rich text would not hold it.
    std::string text(4000, 'a');
    Widgetry_StreamInRichEdit(field, SF_TEXT, text.c_str(), -1);
    char *rtf = Widgetry_StreamOutRichEdit(field, SF_RTF);
    ASSERT_NE(nullptr, rtf);
    size_t rtfSize = strlen(rtf);
    LocalFree(rtf);
    char *block = Widgetry_StreamOutRichEdit(field, SF_TEXT | SF_UNICODE);
    ASSERT_NE(nullptr, block);
    EXPECT_LT(rtfSize, 2 * text.size());
    EXPECT_GE(LocalSize(block), 2 * text.size() + 2);
    const WCHAR *w = (const WCHAR *)block;
    size_t n = 0;
    while (w[n] == L'a') n++;
    EXPECT_EQ(text.size(), n);
    EXPECT_EQ(0, w[n]);
    LocalFree(block);
}

TEST_F(RichEditTest, SelectionClearAndFormats)
{
    std::string japanese = std::string(kNihongo) + "abc";
    Widgetry_StreamInRichEdit(field, SF_TEXT, japanese.c_str(), -1);
    SendMessageA(field, EM_SETSEL, 0, 4);
    EXPECT_EQ(8, Widgetry_GetRichEditSel(field, nullptr));
    char buffer[9 + 1] = {};
    EXPECT_EQ(8, Widgetry_GetRichEditSel(field, buffer));
    EXPECT_EQ(std::string(kNihongo) + "a", buffer);

    // WM_CLEAR with an empty selection deletes the character after the caret.
    SendMessageA(field, EM_SETSEL, 3, 3);
    SendMessageA(field, WM_CLEAR, 0, 0);
    EXPECT_EQ(std::string(kNihongo) + "bc", Out(field, SF_TEXT));
    // With a selection it deletes the selection.
    SendMessageA(field, EM_SETSEL, 0, 2);
    SendMessageA(field, WM_CLEAR, 0, 0);
    EXPECT_EQ("\x8c\xea" "bc", Out(field, SF_TEXT));
}

TEST_F(RichEditTest, ContextMenuOnItsKeysWithoutAHotKey)
{
    Widgetry_StreamInRichEdit(field, SF_TEXT, "abc", -1);
    SendMessageA(field, EM_SETSEL, 1, 1);
    // Shift+F10 opens the menu: nothing selected, so only paste and select all; select all.
    UINT_PTR timer = ExpectMenu('a');
    KeyWithShift(field, WM_SYSKEYDOWN, VK_F10, true);
    KeyWithShift(field, WM_SYSKEYUP, VK_F10, true);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(Visit().seen);
    EXPECT_FALSE(Visit().cut);
    EXPECT_FALSE(Visit().copy);
    EXPECT_TRUE(Visit().paste);
    EXPECT_TRUE(Visit().selectAll);
    CHARRANGE selection = {};
    SendMessageA(field, EM_EXGETSEL, 0, (LPARAM)&selection);
    EXPECT_EQ(0, selection.cpMin);
    EXPECT_GE(selection.cpMax, 3);

    // The context-menu key with everything selected: no select all; copy puts the text on the
    // clipboard.
    timer = ExpectMenu('c');
    KeyWithShift(field, WM_KEYDOWN, VK_APPS, false);
    KeyWithShift(field, WM_KEYUP, VK_APPS, false);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(Visit().seen);
    EXPECT_TRUE(Visit().cut);
    EXPECT_TRUE(Visit().copy);
    EXPECT_FALSE(Visit().selectAll);
    ASSERT_TRUE(OpenClipboard(parent));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(nullptr, data);
    EXPECT_STREQ("abc", (const char *)GlobalLock(data));
    GlobalUnlock(data);
    CloseClipboard();

    // F10 without Shift is no menu key.
    timer = ExpectMenu(0);
    KeyWithShift(field, WM_SYSKEYDOWN, VK_F10, false);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(Visit().seen);

    // A read-only field offers no paste and no cut; the right button opens the menu too.
    HWND readOnly = MakeField(parent, ES_READONLY);
    Widgetry_StreamInRichEdit(readOnly, SF_TEXT, "fixed", -1);
    SendMessageA(readOnly, EM_SETSEL, 0, 2);
    timer = ExpectMenu(0);
    SendMessageA(readOnly, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageA(readOnly, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(Visit().seen);
    EXPECT_FALSE(Visit().cut);
    EXPECT_TRUE(Visit().copy);
    EXPECT_FALSE(Visit().paste);

    // No field holds Shift+F10 for the whole system: another window can still take it.
    ASSERT_TRUE(RegisterHotKey(parent, 7, MOD_SHIFT, VK_F10));
    UnregisterHotKey(parent, 7);
    DestroyWindow(readOnly);
}

}  // namespace
