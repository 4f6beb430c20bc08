// Measuring, fitting and drawing plain and tagged text under a Japanese interface (code page
// 932, UI charset 128).  Widths are never compared with pixel constants, only with each other.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "strandkit.h"
#include "support/testkit_gdi.h"

namespace {

struct Sample {
    UINT charset;
    const char *text;
};
const Sample kSamples[] = {
    {0, "The quick brown fox jumps over"},
    // Shift-JIS: "display", "software", "Japanese text" (trail bytes 0x5C and 0x7B among them)
    {128, "\x95\x5c\x8e\xa6\x82\xcc\x83\x5c\x83t\x83g\x93\xfa\x96{\x8c\xea\x83" "e\x83L\x83X\x83g"},
    // Hangul: "Korean text"
    {129, "\xc7\xd1\xb1\xb9\xbe\xee \xc5\xd8\xbd\xba\xc6\xae\xc0\xd4\xb4\xcf\xb4\xd9"},
    // GB2312: "Chinese text test content"
    {134, "\xd6\xd0\xce\xc4\xce\xc4\xb1\xbe\xb2\xe2\xca\xd4\xc4\xda\xc8\xdd"},
    // Big5: "Chinese test content" (trail bytes 0x5C among them)
    {136, "\xa4\xa4\xa4\xe5\xb4\xfa\xb8\xd5\xa4\xba\xae" "e\xb3\x5c\xa5\x5c"},
    // Code page 1250: a Polish phrase
    {238, "Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1"},
};

const char kSentinel = '\x7f';

// Text in a heap block of exactly its length + 1, followed by sentinel bytes that must survive.
struct Guarded {
    std::vector<char> block;
    size_t len;
    explicit Guarded(const std::string &s) : block(s.size() + 1 + 16, kSentinel), len(s.size())
    {
        memcpy(block.data(), s.c_str(), s.size() + 1);
    }
    char *text() { return block.data(); }
    bool Intact() const
    {
        for (size_t i = len + 1; i < block.size(); ++i) {
            if (block[i] != kSentinel) {
                return false;
            }
        }
        return true;
    }
};

class Dc : public ::testing::Test {
protected:
    TestkitCanvas canvas{600, 80};
    HDC dc = canvas.dc;
    int Width(UINT charset, const char *text, int count = -1)
    {
        SIZE s = {};
        EXPECT_TRUE(Strandkit_GetTextExtent(dc, charset, text, count, &s));
        return s.cx;
    }
    int TaggedWidth(const char *text)
    {
        SIZE s = {};
        EXPECT_TRUE(Strandkit_GetTaggedExtent(dc, text, &s));
        return s.cx;
    }
};

TEST_F(Dc, InterfaceFonts)
{
    EXPECT_EQ(Strandkit_GetUiCharset(), 128u);
    EXPECT_EQ(Strandkit_GetCharsetFont(128), GetStockObject(DEFAULT_GUI_FONT));
    for (UINT cs : {0u, 129u, 134u, 136u, 238u}) {
        HFONT f = Strandkit_GetCharsetFont(cs);
        ASSERT_NE(f, nullptr) << cs;
        EXPECT_NE(f, GetStockObject(DEFAULT_GUI_FONT)) << cs;
        LOGFONTA lf = {};
        ASSERT_EQ(GetObjectA(f, sizeof(lf), &lf), int(sizeof(lf)));
        EXPECT_EQ(lf.lfCharSet, cs);
    }
    EXPECT_EQ(Strandkit_GetCharsetFont(161), nullptr);
    EXPECT_EQ(Strandkit_GetCharsetFont(2), nullptr);
}

// For every sample and a sweep of widths: the fitted text never measures wider than the width,
// is the longest prefix that fits, never splits a character, ends in "..." when cut with the
// ellipsis flag, and never writes past the caller's bytes.
TEST_F(Dc, FitTextInCharsetProperties)
{
    for (const Sample &s : kSamples) {
        int full = Width(s.charset, s.text);
        ASSERT_GT(full, 0) << s.charset;
        int dots = Width(s.charset, "...");
        for (UINT flags : {0u, 1u}) {
            int lastKept = -1;
            for (int width = 0; width <= full + 2; width += 3) {
                SCOPED_TRACE(testing::Message() << "charset " << s.charset << " flags " << flags
                                                << " width " << width);
                Guarded g(s.text);
                SIZE size = {};
                int r = Strandkit_FitTextInCharset(dc, width, g.text(), -1, flags, s.charset,
                                                   &size);
                ASSERT_TRUE(g.Intact());
                ASSERT_GE(r, 0);
                ASSERT_LE(size_t(r), g.len);
                int measured = Width(s.charset, g.text(), r);
                EXPECT_LE(measured, width);
                EXPECT_EQ(size.cx, measured);
                bool cut = width < full;
                int kept = r;
                if (cut && flags == 1 && dots <= width) {
                    ASSERT_GE(r, 3);
                    EXPECT_EQ(std::string(g.text() + r - 3), "...");
                    kept = r - 3;
                }
                EXPECT_NE(Strandkit_IsSplitAt(s.charset, s.text, kept), 2) << "split character";
                if (!cut) {
                    EXPECT_EQ(size_t(r), g.len);
                } else if (flags == 0) {
                    // The longest prefix: one character more would not fit.
                    int next = kept + Strandkit_CharOffset(s.charset, s.text + kept, 1);
                    EXPECT_GT(Width(s.charset, s.text, next), width);
                }
                EXPECT_GE(kept, lastKept - (flags ? 2 : 0)) << "grows with the width";
                lastKept = kept;
            }
        }
    }
}

// A long prefix and one wide last character: the ellipsis must not run past the string's end.
TEST_F(Dc, EllipsisStaysWithinTheCallersBytes)
{
    // "abcdefgh" and KANJI (8A BF): cutting before the kanji leaves 2 bytes for "...\0" (4).
    const std::string text = "abcdefgh\x8a\xbf";
    int full = Width(128, text.c_str());
    Guarded g(text);
    SIZE size = {};
    int r = Strandkit_FitTextInCharset(dc, full - 1, g.text(), -1, 1, 128, &size);
    EXPECT_TRUE(g.Intact());
    ASSERT_LE(size_t(r), text.size());
    EXPECT_EQ(std::string(g.text()), "abcdefg...");
    EXPECT_LE(Width(128, g.text(), r), full - 1);

    // Tagged: the 7-byte ellipsis moves the cut back as well.
    const std::string tagged = "abcdefgh\x1b" "F80\x8a\xbf";
    full = TaggedWidth(tagged.c_str());
    Guarded t(tagged);
    UINT last = 0;
    r = Strandkit_FitTaggedText(dc, full - 1, t.text(), 1, &size, &last);
    EXPECT_TRUE(t.Intact());
    EXPECT_EQ(std::string(t.text()), "abcdefg\x1b" "F80...");
    EXPECT_EQ(r, 14);
    EXPECT_EQ(last, 128u);
    EXPECT_LE(TaggedWidth(t.text()), full - 1);

    // Too short a string for any ellipsis: cut without one.
    Guarded tiny("\x8a\xbf");   // one KANJI
    r = Strandkit_FitTextInCharset(dc, 1, tiny.text(), -1, 1, 128, &size);
    EXPECT_TRUE(tiny.Intact());
    EXPECT_EQ(r, 0);
}

TEST_F(Dc, LineEnds)
{
    // Without the one-line flag the text ends at the first CR, counted 2 more bytes.
    char text[] = "ab\r\ncd";
    SIZE size = {};
    EXPECT_EQ(Strandkit_FitTextInCharset(dc, 10000, text, -1, 0, 0, &size), 4);
    EXPECT_STREQ(text, "ab\r\ncd") << "text unchanged";
    EXPECT_EQ(size.cx, Width(0, "ab"));
    EXPECT_EQ(Strandkit_FitText(dc, 10000, text, 0, &size), 4);
    // With it CR and LF become blanks and the whole text is kept.
    EXPECT_EQ(Strandkit_FitTextInCharset(dc, 10000, text, -1, 2, 0, &size), 6);
    EXPECT_STREQ(text, "ab  cd");
    char tagged[] = "\x1b" "F80\x82\xa0\r\x1b" "F00x";   // HIRAGANA A, CR, "x"
    UINT last = 0;
    EXPECT_EQ(Strandkit_FitTaggedText(dc, 10000, tagged, 0, &size, &last), 8);
    EXPECT_EQ(last, 128u);
}

TEST_F(Dc, TaggedFitKeepsTheFirstRunAndEndsInTheTaggedEllipsis)
{
    const char run1[] = "Hello";
    // "Hello", then Shift-JIS "Japanese text" tagged 128
    const std::string text = std::string(run1) + "\x1b" "F80\x93\xfa\x96{\x8c\xea\x83" "e\x83L";
    int w1 = TaggedWidth(run1);
    SIZE dotsSize = {};
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32A(dc, "...", 3, &dotsSize);
    SelectObject(dc, old);
    int width = w1 + dotsSize.cx + 1;   // less than one kanji beyond the ellipsis
    ASSERT_LT(width, TaggedWidth(text.c_str()));

    Guarded g(text);
    SIZE size = {};
    UINT last = 0;
    int r = Strandkit_FitTaggedText(dc, width, g.text(), 1, &size, &last);
    EXPECT_EQ(r, 5 + 7);
    EXPECT_EQ(std::string(g.text()), "Hello\x1b" "F80...");
    EXPECT_EQ(last, 128u);
    EXPECT_EQ(size.cx, TaggedWidth(g.text()));
    EXPECT_LE(size.cx, width);
    EXPECT_TRUE(g.Intact());

    // A sweep over widths: never wider than the width, never past the caller's bytes.
    int full = TaggedWidth(text.c_str());
    for (int wdt = 0; wdt <= full; wdt += 2) {
        for (UINT flags : {0u, 1u}) {
            Guarded t(text);
            r = Strandkit_FitTaggedText(dc, wdt, t.text(), flags, &size, nullptr);
            ASSERT_TRUE(t.Intact()) << wdt;
            std::string kept(t.text(), r);
            EXPECT_LE(TaggedWidth(kept.c_str()), wdt) << wdt << " " << flags;
        }
    }
}

TEST_F(Dc, TaggedExtentIsTheSumOfTheRuns)
{
    // "abc", Hangul "Korean" tagged 129, Shift-JIS "Japanese" tagged 128
    const char text[] = "abc\x1b" "F81\xc7\xd1\xb1\xb9\xbe\xee\x1b" "F80\x93\xfa\x96{\x8c\xea";
    SIZE s = {}, a = {}, k = {}, j = {};
    ASSERT_TRUE(Strandkit_GetTaggedExtent(dc, text, &s));
    Strandkit_GetTextExtent(dc, 0, "abc", -1, &a);
    Strandkit_GetTextExtent(dc, 129, "\xc7\xd1\xb1\xb9\xbe\xee", -1, &k);
    Strandkit_GetTextExtent(dc, 128, "\x93\xfa\x96{\x8c\xea", -1, &j);
    EXPECT_EQ(s.cx, a.cx + k.cx + j.cx);
    EXPECT_EQ(s.cy, std::max(a.cy, std::max(k.cy, j.cy)));
    // Lower-case digits and the editor's six-byte font tag read as well.
    const char lower[] = "abc\x1b" "F81\xc7\xd1\xb1\xb9\xbe\xee\x1b" "F0107\x1b" "F80\x93\xfa\x96{\x8c\xea";
    SIZE l = {};
    ASSERT_TRUE(Strandkit_GetTaggedExtent(dc, lower, &l));
    EXPECT_EQ(l.cx, s.cx);
}

TEST_F(Dc, ExtentExPointNeverEndsOnALeadByte)
{
    HGDIOBJ old = SelectObject(dc, Strandkit_GetCharsetFont(128));
    const char *text = kSamples[1].text;
    int len = int(strlen(text));
    SIZE whole = {};
    int fit = 0;
    ASSERT_TRUE(Strandkit_GetTextExtentExPoint(dc, text, len, 100000, &fit, nullptr, &whole, 128));
    for (int width = 0; width <= whole.cx; width += 3) {
        SIZE s = {};
        ASSERT_TRUE(Strandkit_GetTextExtentExPoint(dc, text, len, width, &fit, nullptr, &s, 128));
        EXPECT_NE(Strandkit_IsSplitAt(128, text, fit), 2) << width;
        EXPECT_FALSE(Strandkit_GetTextExtentExPoint(dc, text, 0, width, &fit, nullptr, &s, 128));
    }
    EXPECT_FALSE(Strandkit_GetTextExtentExPoint(dc, nullptr, 3, 10, &fit, nullptr, &whole, 128));

    // The charset form: fitted bytes of whole characters, the same extent for both bytes.
    std::vector<int> dx(len);
    SIZE s = {};
    ASSERT_TRUE(Strandkit_GetTextExtentExPointCs(dc, text, len, whole.cx / 2, &fit, dx.data(),
                                                 &s, 128));
    EXPECT_NE(Strandkit_IsSplitAt(128, text, fit), 2);
    EXPECT_GT(fit, 0);
    EXPECT_LT(fit, len);
    EXPECT_EQ(dx[0], dx[1]);
    EXPECT_LE(dx[fit - 1], whole.cx / 2);
    EXPECT_GT(dx[fit], whole.cx / 2);
    SelectObject(dc, old);
}

TEST_F(Dc, FontSets)
{
    // The dc's own font, distinct from every set font.
    HFONT own = CreateFontA(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, own);
    const char text[] = "\x1b" "F80\x82\xa0\x82\xa2";   // HIRAGANA A, I
    SIZE ownSize = {}, small = {}, large = {}, def = {}, none = {};
    // No set yet: the dc keeps its font.
    ASSERT_TRUE(Strandkit_GetTaggedExtentFont(dc, text, &none, 0, FALSE, FALSE));
    EXPECT_EQ(none.cy, Strandkit_GetTextExtentPoint(dc, "\x82\xa0\x82\xa2", 4, &ownSize, 128)
                           ? ownSize.cy : -1);

    ASSERT_TRUE(Strandkit_CreateFontSet(128, "MS Gothic"));
    ASSERT_TRUE(Strandkit_GetTaggedExtentFont(dc, text, &small, 0, FALSE, FALSE));
    ASSERT_TRUE(Strandkit_GetTaggedExtentFont(dc, text, &large, 4, TRUE, TRUE));
    ASSERT_TRUE(Strandkit_GetTaggedExtentFont(dc, text, &def, -1, FALSE, FALSE));
    EXPECT_LT(small.cy, large.cy);
    EXPECT_LT(small.cy, ownSize.cy);
    EXPECT_LT(def.cy, ownSize.cy);
    // The default font has no bold or italic form: the dc keeps its font.
    ASSERT_TRUE(Strandkit_GetTaggedExtentFont(dc, text, &none, -1, FALSE, TRUE));
    EXPECT_EQ(none.cy, ownSize.cy);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own);

    // Creating again replaces the set; after deleting, the dc's font is used again.
    ASSERT_TRUE(Strandkit_CreateFontSet(128, "MS Gothic"));
    SIZE again = {};
    ASSERT_TRUE(Strandkit_GetTaggedExtentFont(dc, text, &again, 0, FALSE, FALSE));
    EXPECT_EQ(again.cy, small.cy);
    Strandkit_DeleteFontSet(128);
    ASSERT_TRUE(Strandkit_GetTaggedExtentFont(dc, text, &none, 0, FALSE, FALSE));
    EXPECT_EQ(none.cy, ownSize.cy);

    // Fitting with a set font measures in that font.
    ASSERT_TRUE(Strandkit_CreateFontSet(128, "MS Gothic"));
    char fitted[] = "\x1b" "F80\x82\xa0\x82\xa2\x82\xa4\x82\xa6";   // HIRAGANA A I U E
    SIZE fs = {};
    int r = Strandkit_FitTaggedTextFont(dc, small.cx, fitted, 0, &fs, nullptr, 0, FALSE, FALSE);
    EXPECT_EQ(r, 8);
    EXPECT_EQ(fs.cx, small.cx);
    Strandkit_DeleteFontSet(128);
    EXPECT_FALSE(Strandkit_CreateFontSet(161, "Arial"));

    SelectObject(dc, old);
    DeleteObject(own);
}

// Drawing tagged text: each run in its font, advancing by its width; the dc comes back as it was.
TEST_F(Dc, DrawTaggedTextRunByRun)
{
    const char text[] = "ab\x1b" "F81\xc7\xd1\x1b" "F80\x82\xa0";   // "ab", HANGUL HAN, HIRAGANA A
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    ASSERT_TRUE(Strandkit_DrawTaggedText(dc, 5, 5, text, -1, RGB(0, 0, 255)));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    std::vector<uint32_t> drawn = canvas.Pixels();

    canvas.Clear();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 255));
    int x = 5;
    const struct {
        UINT charset;
        const WCHAR *wide;
        const char *bytes;
    } runs[] = {{0, L"ab", "ab"}, {129, L"\xd55c", "\xc7\xd1"}, {128, L"\x3042", "\x82\xa0"}};
    for (const auto &r : runs) {
        HGDIOBJ o = SelectObject(dc, Strandkit_GetCharsetFont(r.charset));
        TextOutW(dc, x, 5, r.wide, int(wcslen(r.wide)));
        SelectObject(dc, o);
        x += Width(r.charset, r.bytes);
    }
    EXPECT_TRUE(drawn == canvas.Pixels());
    canvas.Clear();
    EXPECT_FALSE(drawn == canvas.Pixels()) << "something was drawn";
    EXPECT_EQ(x - 5, TaggedWidth(text));
}

TEST(Colours, ItemMenuAndWindow)
{
    COLORREF t = 0, b = 0;
    Strandkit_GetItemColors(ODS_SELECTED | ODS_DISABLED, &t, &b);
    EXPECT_EQ(t, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(b, GetSysColor(COLOR_HIGHLIGHT));
    Strandkit_GetItemColors(ODS_GRAYED, &t, &b);
    EXPECT_EQ(t, GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(b, GetSysColor(COLOR_WINDOW));
    Strandkit_GetItemColors(0, &t, &b);
    EXPECT_EQ(t, GetSysColor(COLOR_WINDOWTEXT));
    Strandkit_GetMenuColors(0, &t, &b);
    EXPECT_EQ(b, GetSysColor(COLOR_MENU));
    Strandkit_GetWindowColors(&t, &b);
    EXPECT_EQ(b, GetSysColor(COLOR_BTNFACE));
}

}  // namespace
