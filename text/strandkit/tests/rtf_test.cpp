// RTF into tagged text and back (code page 932, UI charset 128).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "strandkit.h"

namespace {

std::string ToText(const std::string &rtf)
{
    int n = Strandkit_RtfToText(rtf.c_str(), nullptr);
    std::vector<char> out(n + 1, '\x7f');
    EXPECT_EQ(Strandkit_RtfToText(rtf.c_str(), out.data()), n) << "size query and result";
    EXPECT_EQ(out[n], 0);
    return std::string(out.data(), n);
}

std::string ToRtf(const std::string &text, int fontSize = 0)
{
    int n = Strandkit_TextToRtf(fontSize, text.c_str(), nullptr);
    std::vector<char> out(n + 1, '\x7f');
    EXPECT_EQ(Strandkit_TextToRtf(fontSize, text.c_str(), out.data()), n);
    EXPECT_EQ(out[n - 1], 0) << "the result counts the NUL";
    EXPECT_EQ(out[n], '\x7f') << "nothing written past the size";
    return std::string(out.data(), n - 1);
}

// Tagged text as (charset, byte) pairs written with a tag only where the charset changes: two
// texts that mean the same have the same canonical form (tag case and repeated tags aside).
std::string Canonical(const std::string &t)
{
    std::string out;
    unsigned current = 0, written = 0;
    for (size_t i = 0; i < t.size();) {
        if (t[i] == '\x1b' && i + 3 < t.size() && t[i + 1] == 'F') {
            current = unsigned(std::stoul(t.substr(i + 2, 2), nullptr, 16));
            i += 4;
            continue;
        }
        if (current != written) {
            char tag[8];
            wsprintfA(tag, "\x1b" "F%02X", current);
            out += tag;
            written = current;
        }
        out += t[i++];
    }
    return out;
}

// The body of a document from TextToRtf: what follows the header line that ends in "\fs24 \n".
std::string Body(const std::string &rtf)
{
    size_t at = rtf.find("\\fs24 \n");
    return at == std::string::npos ? "" : rtf.substr(at + 7);
}

struct Doc {
    const char *what;
    const char *text;
};

const Doc kDocs[] = {
    {"western", "Plain text with {braces}, a back\\slash and a\ttab"},
    {"western high bytes", "caf\xe9 na\xefve \x85"},
    // Shift-JIS: SO (83 5C), HYOU (95 5C), NOU (94 5C), MOTO (96 7B), a pair with trail 7D (83 7D)
    {"japanese trail bytes", "\x1b" "F80\x83\x5c\x95\x5c\x94\x5c\x96{\x83}"},
    {"mixed lines",
     // "Title", CR, Shift-JIS "Japanese", CR, Hangul "Korean", CR, GB2312 "Chinese",
     // CR, Big5 "Chinese" (trail 5C), back to Western
     "Title\r\x1b" "F80\x93\xfa\x96{\x8c\xea\r\x1b" "F81\xc7\xd1\xb1\xb9\xbe\xee\r"
     "\x1b" "F86\xd6\xd0\xce\xc4\r\x1b" "F88\xa4\xa4\xa5\x5c\x1b" "F00 end"},
    // Starts in Korean, Western in between, Korean again (a charset met twice)
    {"charset met twice", "\x1b" "F81\xc7\xd1\x1b" "F00 and \x1b" "F81\xb1\xb9"},
    // Code page 1250 and 1253 runs, their tags with lower-case digits
    {"lower-case tag digits", "\x1b" "Fee\xbf\xf3\x1b" "Fa1\xe1\xe2"},
    {"empty", ""},
    {"tag only", "\x1b" "F80"},
};

TEST(Rtf, RoundTripsThroughTaggedText)
{
    for (const Doc &d : kDocs) {
        SCOPED_TRACE(d.what);
        for (int fontSize : {0, 20}) {
            std::string rtf = ToRtf(d.text, fontSize);
            for (unsigned char c : rtf) {
                ASSERT_LT(c, 0x80) << "every high byte is escaped";
            }
            std::string back = ToText(rtf);
            EXPECT_EQ(Canonical(back), Canonical(d.text)) << rtf;
        }
    }
}

TEST(Rtf, WriterEscapesTrailBytesAndSelectsFonts)
{
    // Shift-JIS SO (83 5C), MOTO (96 7B), a pair with trail 7D (83 7D)
    std::string body = Body(ToRtf("x\x1b" "F80\x83\x5c\x96{\x83}"));
    EXPECT_EQ(body, "x\\f1 \\'83\\'5c\\'96\\'7b\\'83\\'7d}");
    // Every kind of line end is one paragraph end, also through the plain form (whose tagging
    // turns line ends into CR).
    EXPECT_EQ(Body(ToRtf("a\nb\rc\r\nd")), "a\n\\par b\n\\par c\n\\par d}");
    char out[512];
    ASSERT_LT(Strandkit_PlainToRtf(0, 0, "a\r\nb\nc", nullptr), int(sizeof(out)));
    Strandkit_PlainToRtf(0, 0, "a\r\nb\nc", out);
    EXPECT_EQ(Body(out), "a\n\\par b\n\\par c}");
    // Plain text of the UI charset (128 here) is tagged before it is written.
    const char sjis[] = "\x82\xa0\x83\x5c";   // HIRAGANA A, KATAKANA SO
    ASSERT_LT(Strandkit_PlainToRtf(-1, 0, sjis, nullptr), int(sizeof(out)));
    Strandkit_PlainToRtf(-1, 0, sjis, out);
    EXPECT_EQ(Canonical(ToText(out)), Canonical("\x1b" "F80\x82\xa0\x83\x5c"));
    // A lead byte before the NUL is written alone.
    EXPECT_EQ(Body(ToRtf("\x1b" "F80ab\x82")), "\\f0 ab\\'82}");
}

TEST(Rtf, WriterHeaderAndFontTable)
{
    char face[LF_FACESIZE] = {};
    LOGFONTA lf = {};
    ASSERT_EQ(GetObjectA(Strandkit_GetCharsetFont(128), sizeof(lf), &lf), int(sizeof(lf)));
    lstrcpynA(face, lf.lfFaceName, LF_FACESIZE);
    const char *family = (lf.lfPitchAndFamily & 0xF0) == FF_SWISS ? "fswiss" : "froman";
    char expected[1024];
    wsprintfA(expected,
              "{\\rtf1\\ansi\\ansicpg%u\\deff0\\deftab720\n{\\fonttbl\n"
              "{\\f0\\fswiss\\fcharset0 Arial;}\n{\\f1\\%s\\fcharset128 %s;}\n}\n"
              "\\deflang%d\\horzdoc\\pard\\nowwrap\\nooverflow\\fs24 \n"
              "\\fs20 a\\f1 \\'82\\'a0}",
              GetACP(), family, face, GetSystemDefaultLangID());
    // "a", HIRAGANA A tagged 128
    EXPECT_EQ(ToRtf("a\x1b" "F80\x82\xa0", 20), expected);

    char out[1024];
    int n = Strandkit_PlainToRtfEx(0, 0, "ab", out, RGB(1, 2, 3));
    EXPECT_EQ(n, int(strlen(out)) + 1);
    std::string rtf = out;
    EXPECT_NE(rtf.find("}\n{\\colortbl ;\\red1\\green2\\blue3;}\n\\deflang"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\cf1\\nowwrap"), std::string::npos);
}

TEST(Rtf, WriterKeepsItsFontTableBounded)
{
    // Forty charsets: the table holds 32, later charsets use font 0.
    std::string text;
    for (int cs = 1; cs <= 40; ++cs) {
        char tag[8];
        wsprintfA(tag, "\x1b" "F%02X", cs + 1);
        text += tag;
        text += "x";
    }
    std::string rtf = ToRtf(text);
    EXPECT_NE(rtf.find("{\\f31\\"), std::string::npos);
    EXPECT_EQ(rtf.find("{\\f32\\"), std::string::npos);
    EXPECT_NE(Body(rtf).find("\\f0 x"), std::string::npos);
}

TEST(Rtf, Reader)
{
    struct Case {
        const char *what;
        const char *rtf;
        const char *text;
    };
    const Case cases[] = {
        {"hexadecimal pair in a charset-128 font",
         "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'82\\'a0}", "\x1b" "F80\x82\xa0"},
        {"raw Shift-JIS with trail 0x5C, decoded by the current font, not the last defined",
         "{\\rtf1{\\fonttbl{\\f0\\fcharset128 G;}{\\f1\\fcharset0 A;}}\\f0 \x83\x5c" "a}",
         "\x1b" "F80\x83\x5c" "a"},
        {"lead byte without a following hexadecimal trail stands alone",
         "{\\rtf1{\\fonttbl{\\f0\\fcharset128 G;}}\\f0\\'82x}", "\x1b" "F80\x82x"},
        {"font changes write a tag only when the charset changes",
         "{\\rtf1\\deff0{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset0 B;}{\\f2\\fcharset129 C;}}"
         "a\\f1 b{\\f2 \\'c7\\'d1}c}",
         "ab\x1b" "F81\xc7\xd1\x1b" "F00c"},
        {"output characters", "{\\rtf1 a\\par b\\tab c\\ldblquote d\\rdblquote \\{\\}\\\\}",
         "a\rb\tc\"d\"{}\\"},
        {"line ends outside control words are ignored", "{\\rtf1 a\r\nb\nc}", "abc"},
        {"skipped destinations",
         "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}{\\colortbl;\\red1;}"
         "{\\pict 89504e47}{\\*\\generator Gen;}{\\*\\unknown {nested} x}{\\header H}a}",
         "a"},
        {"a known starred destination is read",
         "{\\rtf1{\\*\\fonttbl{\\f0\\fcharset129 K;}}\\f0 \\'b0\\'a1}", "\x1b" "F81\xb0\xa1"},
        {"unknown control words are ignored", "{\\rtf1 a\\foo12 b\\u12354?c}", "ab?c"},
        {"binary data skipped", "{\\rtf1 a\\bin3 }}}b}", "ab"},
        {"binary data longer than the input", "{\\rtf1 ab\\bin99999 xyz}", "ab"},
        {"an extra closing brace stops reading", "{\\rtf1 ab}}cd", "ab"},
        {"groups left open", "{\\rtf1 ab{{cd", "abcd"},
        {"a bad hexadecimal digit stops reading", "{\\rtf1 ab\\'zzcd}", "ab"},
        {"the text ends inside a control word", "{\\rtf1 ab\\", "ab"},
        {"the text ends inside a hexadecimal byte", "{\\rtf1 ab\\'8", "ab"},
        {"an overlong control word is unknown",
         "{\\rtf1 a\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz b}", "ab"},
        {"deff selects the default font",
         "{\\rtf1\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset136 B;}}\\'a4\\'a4}",
         "\x1b" "F88\xa4\xa4"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ToText(c.rtf), c.text) << c.what;
    }
    EXPECT_EQ(Strandkit_RtfToText(nullptr, nullptr), 0);
}

TEST(Rtf, ReaderSurvivesHostileInput)
{
    // Deep nesting, a font table beyond 256 entries, an overlong font name.
    std::string deep(20000, '{');
    deep += "x";
    EXPECT_EQ(ToText(deep), "x");
    std::string fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 300; ++i) {
        fonts += "{\\f" + std::to_string(i) + "\\fcharset128 " + std::string(200, 'N') + ";}";
    }
    fonts += "}\\f299 \\'82\\'a0\\f1 \\'82\\'a0}";
    // Font 299 is beyond the table: charset 0; font 1 is charset 128.
    EXPECT_EQ(ToText(fonts), "\x82\xa0\x1b" "F80\x82\xa0");
}

TEST(Rtf, ToPlain)
{
    // Western "a", Shift-JIS HIRAGANA A, Hangul GA
    const char *rtf =
        "{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset128 J;}{\\f2\\fcharset129 K;}}"
        "a\\f1 \\'82\\'a0\\f2 \\'b0\\'a1}";
    char out[64];
    int n = Strandkit_RtfToPlain(-1, rtf, nullptr);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(Strandkit_RtfToPlain(-1, rtf, out), 5);
    EXPECT_STREQ(out, "a\x82\xa0\xb0\xa1");
    EXPECT_EQ(Strandkit_RtfToPlain(128, rtf, out), 3);
    EXPECT_STREQ(out, "a\x82\xa0");
}

}  // namespace
