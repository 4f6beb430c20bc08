// The tagged-text reader and writer, the UTF-16 writer, the strippers and the prefixer; round
// trips over generated documents and random bytes.
#include "fixture.h"
#include <cstdio>
#include <cstring>
#include <random>

using fx::Doc;

namespace {

const std::string E = "\033";

std::string Strip(const std::string &s, int keep, bool charset) {
    int n = charset ? ScrivelTag_StripToCharset(s.c_str(), nullptr, keep)
                    : ScrivelTag_StripAll(s.c_str(), nullptr, keep);
    std::vector<char> buf(n + 8, '\x7f');
    int m = charset ? ScrivelTag_StripToCharset(s.c_str(), buf.data(), keep)
                    : ScrivelTag_StripAll(s.c_str(), buf.data(), keep);
    EXPECT_EQ(n, m);
    EXPECT_EQ(buf[n - 1], 0);
    return std::string(buf.data(), n - 1);
}

// The written form of a read: what follows the full state that opens it.
std::string AfterState(const std::string &w) {
    // L, F, f, Z, C, B, I, U, S, s, S2/S3: skip them.
    size_t i = 0;
    int tags = 0;
    while (i < w.size() && w[i] == '\033' && tags < 11) {
        int n = ScrivelTag_Length(w.data() + i, static_cast<int>(w.size() - i));
        if (n <= 0) break;
        i += n;
        ++tags;
    }
    return w.substr(i);
}

TEST(TaggedRead, Cases) {
    {  // charset 1 with a font number, written back as the same six bytes
        Doc doc;
        ASSERT_EQ(fx::Read(doc, E + "F0105ab"), 1);
        const TextAttribute *a = doc->attrs[doc->lines[0]->cells[0].attr];
        EXPECT_EQ(a->charset, 1);
        EXPECT_EQ(a->fontNumber, 5);
        EXPECT_EQ(a->language, 0);
        std::string w = fx::Write(doc);
        EXPECT_NE(w.find(E + "F0105" + E + "f0000"), std::string::npos) << fx::Hex(w);
        EXPECT_EQ(w.substr(w.size() - 2), "ab");  // no paragraph end after a last line without CR
    }
    {  // CR LF and a lone CR end one paragraph each; a lone LF is a character
        Doc doc;
        ASSERT_EQ(fx::Read(doc, "a\r\nb\rc\nd"), 3);
        EXPECT_EQ(fx::Lines(doc), "a|b|c\nd/");
    }
    {  // colours: ESC c goes back one level, to 0 when no ESC C came before
        Doc doc;
        ASSERT_EQ(fx::Read(doc, E + "cx" + E + "C112233" + E + "C445566y" + E + "cz"), 1);
        const LineRecord *l = doc->lines[0];
        EXPECT_EQ(doc->attrs[l->cells[0].attr]->colour, 0u);
        EXPECT_EQ(doc->attrs[l->cells[1].attr]->colour, RGB(0x44, 0x55, 0x66));
        EXPECT_EQ(doc->attrs[l->cells[2].attr]->colour, RGB(0x11, 0x22, 0x33));
    }
    {  // ESC S 7 changes nothing; ESC Q reads as Q; FS stands for ESC except before L
        Doc doc;
        ASSERT_EQ(fx::Read(doc, "a" + E + "S7b" + E + "Qc\x1c" "B1d\x1cL2"), 1);
        EXPECT_EQ(fx::LineText(doc, 0), "abQcdL2");
        const LineRecord *l = doc->lines[0];
        EXPECT_EQ(l->cells[0].attr, l->cells[1].attr);
        EXPECT_NE(doc->attrs[l->cells[4].attr]->style & SCRIVEL_STYLE_BOLD, 0);
        EXPECT_EQ(l->level, 0);
    }
    {  // tags cut short by the end lose their ESC alone
        Doc doc;
        ASSERT_EQ(fx::Read(doc, "x" + E + "C12"), 1);
        EXPECT_EQ(fx::LineText(doc, 0), "xC12");
    }
    {  // paragraph-property tags and size, sub, family
        Doc doc;
        ASSERT_EQ(fx::Read(doc, E + "T1" + E + "PJ" + E + "P3" + E + "p3" + E + "Z9" + E + "s1" + E + "S2x"), 1);
        const TextAttribute *a = doc->attrs[doc->lines[0]->cells[0].attr];
        EXPECT_EQ(a->paragraphBits, (1u << 1) | (1u << 20));
        EXPECT_EQ(a->sizeStep, 9);
        EXPECT_EQ(a->style, SCRIVEL_STYLE_SUB | SCRIVEL_STYLE_SANS);
    }
    {  // levels: a paragraph takes the level in force when it ends
        Doc doc;
        ASSERT_EQ(fx::Read(doc, E + "L1a\r" + E + "L3b\rc"), 3);
        EXPECT_EQ(doc->lines[0]->level, 1);
        EXPECT_EQ(doc->lines[1]->level, 3);
        EXPECT_EQ(doc->lines[2]->level, 3);
    }
}

TEST(TaggedRead, Anchors) {
    {  // a numbered anchor closed at once is one object cell of kind 3 + counter
        Doc doc;
        std::string src = E + "AD1#x" + E + "Ad";
        ASSERT_EQ(fx::Read(doc, "a" + src + "b"), 1);
        const LineRecord *l = doc->lines[0];
        ASSERT_EQ(l->count, 3);
        const TextAttribute *o = doc->attrs[l->cells[1].attr];
        EXPECT_EQ(o->type, 3);
        EXPECT_EQ(o->objectKind, 4u);
        EXPECT_EQ(l->cells[1].width, 16);
        EXPECT_EQ(doc->attrs[l->cells[2].attr]->style & SCRIVEL_STYLE_ANCHOR, 0);
        EXPECT_EQ(doc->attrs[l->cells[2].attr]->type, 0);
        // Written back with the same opening and its closer, so it reads back as the object.
        std::string w = fx::Write(doc);
        EXPECT_EQ(AfterState(w), "a" + src + "b") << fx::Hex(w);
        Doc again;
        ASSERT_EQ(fx::Read(again, w), 1);
        EXPECT_EQ(fx::Cells(again), fx::Cells(doc));
        // Two objects in a row stay two.
        Doc two;
        ASSERT_EQ(fx::Read(two, src + src), 1);
        Doc two2;
        ASSERT_EQ(fx::Read(two2, fx::Write(two)), 1);
        EXPECT_EQ(two2->lines[0]->count, 2);
    }
    {  // a numbered anchor with visible text: its second text
        Doc doc;
        ASSERT_EQ(fx::Read(doc, E + "AD2" "0000ABCDkey" + E + "shown" + E + "Adx"), 1);
        const TextAttribute *a = doc->attrs[doc->lines[0]->cells[0].attr];
        EXPECT_EQ(a->type, 0);
        EXPECT_EQ(a->anchor.type, SCRIVEL_ANCHOR_NUMBERED);
        EXPECT_EQ(a->anchor.identifier, 0xABCDu);
        EXPECT_STREQ(a->anchor.text, "key");
        ASSERT_NE(a->secondText, nullptr);
        EXPECT_STREQ(a->secondText, "shown");
        EXPECT_EQ(fx::LineText(doc, 0), "shownx");
    }
    {  // link forms: a text, or a target number; then the counter
        Doc doc;
        ASSERT_EQ(fx::Read(doc, E + "AL#word" + E + "0012a" + E + "Al" + E + "AL0000000F" + E +
                                    "000000200003b" + E + "Al"),
                  1);
        const TextAttribute *a = doc->attrs[doc->lines[0]->cells[0].attr];
        EXPECT_EQ(a->anchor.flags, SCRIVEL_ANCHOR_TEXT_VALID | SCRIVEL_ANCHOR_COUNTER_VALID);
        EXPECT_EQ(a->anchor.counter, 12);
        const TextAttribute *b = doc->attrs[doc->lines[0]->cells[1].attr];
        EXPECT_EQ(b->anchor.flags, SCRIVEL_ANCHOR_TARGET_VALID | SCRIVEL_ANCHOR_COUNTER_VALID |
                                       SCRIVEL_ANCHOR_ID_VALID);
        EXPECT_EQ(b->anchor.target, 0x20u);
        EXPECT_EQ(b->anchor.identifier, 0xFu);
        EXPECT_EQ(b->anchor.counter, 3);
        EXPECT_EQ(AfterState(fx::Write(doc)),
                  E + "AL#word" + E + "0012a" + E + "Al" + E + "AL0000000F" + E + "000000200003b" + E + "Al");
    }
    {  // ESC A H #: the visible text after it is the anchor text as well
        Doc doc;
        ASSERT_EQ(fx::Read(doc, E + "AH#Title" + E + "Ah" + E + "VLview" + E + "v" + E + "Vl"), 1);
        EXPECT_EQ(fx::LineText(doc, 0), "Titlev");
        const TextAttribute *h = doc->attrs[doc->lines[0]->cells[0].attr];
        EXPECT_STREQ(h->anchor.text, "Title");
        const TextAttribute *v = doc->attrs[doc->lines[0]->cells[5].attr];
        EXPECT_EQ(v->anchor.type, SCRIVEL_ANCHOR_VIEWLINK);
        EXPECT_STREQ(v->anchor.text, "view");
    }
}

TEST(TaggedRead, AnchorTagsWithoutAnEscAfterThemReadAsText) {
    // FS may open an anchor tag; with no ESC anywhere after it the tag is not one, its FS goes and
    // the rest is text.  A long run of them is read in one pass over the text.
    std::string run;
    for (int i = 0; i < 30000; ++i) run += "\x1C" "AHx";
    Doc doc;
    int lines = fx::Read(doc, run);
    ASSERT_GT(lines, 0);
    std::string text;
    for (int i = 0; i < lines; ++i) text += fx::LineText(doc, i);
    std::string expected;
    for (int i = 0; i < 30000; ++i) expected += "AHx";
    EXPECT_EQ(text, expected);
    // Anchors opened by FS one after another, each ended by its own ESC.
    Doc two;
    ASSERT_EQ(fx::Read(two, "\x1C" "AHone" + E + "\x1C" "AHtwo" + E + "z"), 1);
    const TextAttribute *a = two->attrs[two->lines[0]->cells[0].attr];
    EXPECT_STREQ(a->anchor.text, "two");
    EXPECT_EQ(fx::LineText(two, 0), "z");
}

TEST(TaggedRead, LongLineBreaksWithoutLoss) {
    Doc doc;
    std::string text(kScrivelMaxLineCells + 5, 'w');
    ASSERT_EQ(fx::Read(doc, text + "\rz"), 3);
    EXPECT_EQ(doc->lines[0]->count, kScrivelMaxLineCells);
    EXPECT_EQ(doc->lines[0]->flags & SCRIVEL_LINE_PARAEND, 0);
    EXPECT_EQ(doc->lines[1]->count, 5);
    EXPECT_NE(doc->lines[1]->flags & SCRIVEL_LINE_PARAEND, 0);
    std::string w = fx::Write(doc);
    EXPECT_EQ(AfterState(w), text + "\r\nz");
}

TEST(TaggedWrite, RangesAndUtf16) {
    Doc doc;
    // Japanese "a-i-u" (Shift-JIS 82A0 82A2 82A4), a tab, then Western text.
    ASSERT_EQ(fx::Read(doc, E + "F80\x82\xa0\x82\xa2\t\x82\xa4\r" + E + "F00" + E + "B1caf\xe9\r"), 2);
    ScrivelRange r = {0, 1, 1, 2};  // from the second character to "caf"
    char *buf = nullptr;
    int len = 0;
    ASSERT_EQ(ScrivelTag_Write(doc, &r, &buf, &len), SCRIVEL_OK);
    std::string s(buf, len);
    ScrivelMem_Free(buf);
    EXPECT_EQ(s.back(), '\0');
    EXPECT_EQ(AfterState(s.substr(0, s.size() - 1)), "\x82\xa2\t\x82\xa4\r\n" + E + "F00" + E + "B1caf");

    WCHAR *w = nullptr;
    int count = 0;
    ScrivelRange all;
    ScrivelDoc_WholeRange(doc, &all);
    ASSERT_EQ(ScrivelTag_WriteWide(doc, &all, &w, &count), SCRIVEL_OK);
    std::wstring ws(w, count);
    ScrivelMem_Free(w);
    EXPECT_EQ(ws, std::wstring(L"\x3042\x3044\t\x3046\r\ncaf\x00e9\r\n") + L'\0');

    // Empty and invalid ranges.
    ScrivelRange bad = {1, 0, 0, 0};
    EXPECT_EQ(ScrivelTag_Write(doc, &bad, &buf, &len), SCRIVEL_E_EMPTY);
    ScrivelRange past = {0, 0, 0, 9};
    EXPECT_EQ(ScrivelTag_Write(doc, &past, &buf, &len), SCRIVEL_E_EMPTY);
    Doc empty;
    ScrivelDoc_WholeRange(empty, &all);
    EXPECT_EQ(ScrivelTag_Write(empty, &all, &buf, &len), SCRIVEL_E_EMPTY);
}

TEST(Strip, AllTagsAndCharsetTags) {
    const std::string tagged = E + "F0105a" + E + "P3b" + E + "T1c" + E + "t0" + E + "p9" + E + "C112233d" +
                               E + "AL#link" + E + "0001e" + E + "Al" + E + "AD1#x" + E + "Ad" +
                               "\x1c" "B1f" + E + "f0411" + E + "z" + E + "c" + E + "AH#g" + E + "Ah" + E + "F80h";
    EXPECT_EQ(Strip(tagged, 1, false), "abcdefgh");
    EXPECT_EQ(Strip(tagged, 1, true), E + "F0105abcdefg" + E + "F80h");
    EXPECT_EQ(Strip("a\r\nb\rc\nd", 1, false), "a\r\nb\nc\nd");
    EXPECT_EQ(Strip("a\r\nb\rc\nd", 0, false), "a\nbc\nd");
    EXPECT_EQ(Strip("a\r\nb\rc", 1, true), "a\r\nb\rc");
    EXPECT_EQ(Strip("a\r\nb\rc", 0, true), "a\nbc");
    EXPECT_EQ(ScrivelTag_StripAll(nullptr, nullptr, 1), 1);
    EXPECT_EQ(Strip("a\x1cL2b" + E + "L2c", 1, false), "aL2bc");  // as the reader shows it
}

TEST(Strip, PlainToTagged) {
    const char *plain = "a\r\nb\nc\rd";
    int n = ScrivelTag_FromPlain(plain, nullptr);
    std::vector<char> buf(n);
    ASSERT_EQ(ScrivelTag_FromPlain(plain, buf.data()), n);
    EXPECT_EQ(std::string(buf.data()), "\033Z3\033B0\033I0\033U0\033S0\033s0\033S3a\rb\rc\rd");
    Doc doc;
    ASSERT_EQ(fx::Read(doc, buf.data()), 4);  // CR LF is one paragraph break
}

// ---- Generated documents -----------------------------------------------------------------------

struct Gen {
    std::mt19937 rng;
    explicit Gen(unsigned seed) : rng(seed) {}
    int Pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

    std::string Hex(unsigned v, int digits) {
        char buf[16];
        std::snprintf(buf, sizeof(buf), "%0*X", digits, v);
        return buf;
    }

    // One character of a charset, including Shift-JIS characters whose trail bytes are the
    // RTF specials 0x5C, 0x7B and 0x7D (Shift-JIS 955C "hyo", 835C "so", 817B "plus", 837D "mu").
    std::string Char(int charset) {
        static const char *ascii = "aZ09 .,()[]{}\\!?;:'\"=|";
        std::string s;
        switch (charset) {
        case 128: {
            static const char *dbcs[] = {"\x95\x5c", "\x83\x5c", "\x81\x7b", "\x83\x7d", "\x82\xa0",
                                         "\x81\x42", "\x81\x75", "\x82\xe1", "\x88\x9f"};
            int k = Pick(12);
            if (k < 9) return dbcs[k];
            if (k == 9) return std::string(1, '\xb1');  // half-width katakana
            return std::string(1, ascii[Pick(static_cast<int>(std::strlen(ascii)))]);
        }
        case 129:
        case 134:
        case 136:
            if (Pick(3) == 0) return std::string(1, ascii[Pick(static_cast<int>(std::strlen(ascii)))]);
            s += static_cast<char>(0xB0 + Pick(0x18));
            s += static_cast<char>(0xA1 + Pick(0x5D));
            return s;
        default:
            if (Pick(4) == 0) return std::string(1, static_cast<char>(0xC0 + Pick(0x3F)));
            return std::string(1, ascii[Pick(static_cast<int>(std::strlen(ascii)))]);
        }
    }

    std::string Word() {
        static const char *words[] = {"alpha", "be ta", "x1", "note", "k"};
        return words[Pick(5)];
    }

    // A tagged document of random runs; rtfOnly keeps to what RTF carries.
    std::string Document(bool rtfOnly) {
        static const int charsets[] = {0, 128, 129, 134, 136, 2, 1};
        std::string s;
        int runs = 1 + Pick(25);
        for (int r = 0; r < runs; ++r) {
            int k = Pick(rtfOnly ? 6 : 7);
            int cs = charsets[k];
            if (cs == 1) s += E + "F01" + Hex(Pick(256), 2);
            else s += E + "F" + Hex(cs, 2);
            if (!rtfOnly && Pick(4) == 0) s += E + "f" + Hex(Pick(0x10000), 4);
            s += E + "Z" + Hex(rtfOnly ? 1 + Pick(5) : Pick(10), 1);
            if (Pick(3) == 0) s += E + "B" + Hex(Pick(2), 1);
            if (Pick(3) == 0) s += E + "I" + Hex(Pick(2), 1);
            if (Pick(3) == 0) s += E + "U" + Hex(Pick(2), 1);
            if (Pick(4) == 0) s += Pick(2) ? E + "S1" + E + "s0" : E + "S0" + E + "s" + Hex(Pick(2), 1);
            if (!rtfOnly && Pick(3) == 0) s += E + "S" + (Pick(2) ? "2" : "3");
            if (!rtfOnly && Pick(3) == 0) s += E + "C" + Hex(rng() & 0xFFFFFF, 6);
            if (!rtfOnly && Pick(5) == 0) s += E + "P" + std::string(1, "19AJ"[Pick(4)]);
            if (!rtfOnly && Pick(5) == 0) s += E + "T" + Hex(Pick(2), 1);
            if (Pick(6) == 0) s += E + "L" + Hex(Pick(rtfOnly ? 10 : 16), 1);
            int anchor = rtfOnly ? 0 : Pick(12);
            switch (anchor) {
            case 1: {
                char counter[8];
                wsprintfA(counter, "%04d", Pick(10000));
                s += E + "AL#" + Word() + E + counter;
                break;
            }
            case 2: s += E + "AL" + Hex(rng(), 8) + E + Hex(rng(), 8) + "0042"; break;
            case 3: s += E + "AH" + Word() + E; break;
            case 4: s += E + "VL" + Word() + E; break;
            case 5: s += E + "AD" + std::to_string(Pick(3)) + "#" + Word() + E + "Ad"; break;
            case 6: s += E + "AD" + std::to_string(Pick(3)) + Hex(rng(), 8) + Word() + E; break;
            default: break;
            }
            int chars = (anchor >= 1 && anchor != 5) ? 1 + Pick(6) : Pick(8);
            // An anchor's visible text starts with a character.
            if (anchor >= 1 && anchor != 5) s += Char(cs);
            for (int c = 0; c < chars; ++c) {
                int what = Pick(14);
                if (what == 0 && anchor == 0) s += "\r\n";
                else if (what == 1) s += "\t";
                else s += Char(cs);
            }
            if (anchor >= 1 && anchor != 5) s += (anchor == 4) ? E + "Vl" : E + "Al";
        }
        return s;
    }
};

TEST(TaggedRoundTrip, GeneratedDocumentsAreStable) {
    Gen g(20261210);
    for (int round = 0; round < 300; ++round) {
        std::string src = g.Document(false);
        Doc d1;
        ASSERT_GE(fx::Read(d1, src), 1);
        std::string w1 = fx::Write(d1);
        Doc d2;
        ASSERT_GE(fx::Read(d2, w1), 1);
        ASSERT_EQ(fx::Cells(d2), fx::Cells(d1)) << "source " << fx::Hex(src) << "\nwritten " << fx::Hex(w1);
        ASSERT_EQ(fx::Write(d2), w1) << fx::Hex(src);
        // The UTF-16 form and the plain form agree in line breaks.
        ScrivelRange r;
        ScrivelDoc_WholeRange(d1, &r);
        WCHAR *w = nullptr;
        int count = 0;
        ASSERT_EQ(ScrivelTag_WriteWide(d1, &r, &w, &count), SCRIVEL_OK);
        ASSERT_EQ(w[count - 1], 0);
        ScrivelMem_Free(w);
    }
}

TEST(TaggedRoundTrip, RandomBytesNeverBreakTheReader) {
    std::mt19937 rng(7);
    const char alphabet[] = "\033\033\033\x1c\r\n\tLFfZzCcBIUSsTtPpAVDLHldh#0123456789abcdefABCDEF\x82\x95\x5c\xa0 xyz";
    for (int round = 0; round < 400; ++round) {
        std::string src;
        int n = static_cast<int>(rng() % 80);
        for (int i = 0; i < n; ++i) src += alphabet[rng() % (sizeof(alphabet) - 1)];
        Doc d1;
        int rc = fx::Read(d1, src);
        ASSERT_GE(rc, 0);
        if (d1->lineCount == 0) continue;
        std::string w1 = fx::Write(d1);
        Doc d2;
        ASSERT_GE(fx::Read(d2, w1), 0);
        std::string w2 = fx::Write(d2);
        // Whatever the first reading made of the bytes, the written form reads back to itself.
        Doc d3;
        ASSERT_GE(fx::Read(d3, w2), 0);
        ASSERT_EQ(fx::Write(d3), w2) << fx::Hex(src);
        // Stripping never leaves a tag byte behind.
        std::string plain = Strip(w1, 1, false);
        EXPECT_EQ(plain.find('\033'), std::string::npos) << fx::Hex(w1);
    }
}

}  // namespace

namespace {

TEST(TaggedRead, FullTableKeepsReading) {
    Doc doc;
    int saved = doc->attrCount;
    for (int i = saved; i < kScrivelMaxAttributes; ++i) doc->attrs[i] = doc->attrs[0];
    doc->attrCount = kScrivelMaxAttributes;
    // Bold cannot be interned: the tag is consumed and the text stays in the old attribute.
    EXPECT_EQ(fx::Read(doc, "a" + E + "B1b\rc"), 2);
    doc->attrCount = saved;
    EXPECT_EQ(fx::Lines(doc), "ab|c/");
    EXPECT_EQ(doc->lines[0]->cells[1].attr, 0);
}

}  // namespace
