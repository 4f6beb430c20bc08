// Word wrap (Western words, line-start and line-end rules of Japanese text, Korean spaces),
// partial re-wrap, positions kept across re-wraps, outline folding and hit testing.  The fixed
// measurer makes a byte 8 pixels wide and a double-byte character 16; a wrap width W leaves
// W - 12 pixels for the cells.
#include "fixture.h"
#include <random>

using fx::Doc;

namespace {

const std::string E = "\033";

std::string Wrapped(const std::string &tagged, int cellsWidth, LANGID lang = 0x0411) {
    Doc doc(lang);
    EXPECT_GE(fx::Read(doc, tagged), 1);
    doc->wrap = 1;
    EXPECT_EQ(ScrivelLayout_WrapAll(doc, cellsWidth + 12, nullptr, 0), SCRIVEL_OK);
    return fx::Lines(doc);
}

TEST(Wrap, WesternWords) {
    const struct {
        std::string text;
        int width;
        std::string lines;
    } cases[] = {
        {"The quick brown fox", 80, "The quick /brown fox/"},      // after a space
        {"aaaa(bbbb)cc", 64, "aaaa/(bbbb)cc/"},                   // before "("
        {"aa(b)cccccccc", 64, "aa(b)/cccccccc/"},                 // after ")"
        {"abcdefghijkl", 64, "abcdefgh/ijkl/"},                   // a long word is cut
        {"one two\rthree four five\r", 80, "one two|three four /five|"},
        {"abcdefghij\tx", 100, "abcdefghij/\tx/"},                 // before a tab
        {E + "F80" + "abc " + "\x82\xa0", 40, "abc /\x82\xa0/"},  // ASCII in Shift-JIS text
    };
    for (const auto &c : cases) EXPECT_EQ(Wrapped(c.text, c.width), c.lines) << c.text;
}

TEST(Wrap, OneWideCellStays) {
    // An inline object (16 px) in 8 px: a line of one cell stays as it is.
    EXPECT_EQ(Wrapped(E + "AD0#i" + E + "Adab", 8), "#/a/b/");
}

TEST(Wrap, JapaneseLineStartAndEnd) {
    // Shift-JIS: a i u e o (82A0 82A2 82A4 82A6 82A8), ka ki (82A9 82AB), corner brackets 8175
    // and 8176, the full stop 8142, small ya 82E1; five characters fit in 80 pixels.
    const std::string a = "\x82\xa0", i = "\x82\xa2", u = "\x82\xa4", e = "\x82\xa6", o = "\x82\xa8";
    const std::string ka = "\x82\xa9", ki = "\x82\xab", open = "\x81\x75", close = "\x81\x76";
    const std::string stop = "\x81\x42", ya = "\x82\xe1";
    const std::string sj = E + "F80";
    const struct {
        std::string text;
        std::string lines;
    } cases[] = {
        {a + i + u + e + o + ka + ki, a + i + u + e + o + "/" + ka + ki + "/"},     // any character
        {a + i + u + e + open + ka + ki + close, a + i + u + e + "/" + open + ka + ki + close + "/"},
        {a + i + u + e + o + stop, a + i + u + e + "/" + o + stop + "/"},         // never before a stop
        {a + i + u + e + o + close, a + i + u + e + "/" + o + close + "/"},       // nor a closing bracket
        {a + i + u + e + o + ya, a + i + u + e + "/" + o + ya + "/"},             // nor small kana
        {a + i + u + "abc", a + i + u + "/abc/"},                                 // a word after CJK
    };
    for (const auto &c : cases) {
        std::string got = Wrapped(sj + c.text, 80 - (c.text.find("abc") != std::string::npos ? 16 : 0));
        EXPECT_EQ(fx::Hex(got), fx::Hex(c.lines));
    }
    // Every line start of a long random-ish text obeys the rules.
    std::string text;
    const std::string pieces[] = {a, i, stop, close, ya, open, ka, "\x81\x41", "\x81\x5b"};
    for (int k = 0; k < 200; ++k) text += pieces[(k * 7 + k / 3) % 9];
    Doc doc;
    ASSERT_EQ(fx::Read(doc, sj + text), 1);
    doc->wrap = 1;
    ASSERT_EQ(ScrivelLayout_WrapAll(doc, 12 + 16 * 7, nullptr, 0), SCRIVEL_OK);
    ASSERT_GT(doc->lineCount, 10);
    for (int l = 1; l < doc->lineCount; ++l) {
        const LineRecord *line = doc->lines[l];
        ASSERT_GT(line->count, 0);
        std::string first(line->cells[0].ch);
        EXPECT_TRUE(first != stop && first != close && first != ya && first != "\x81\x41" && first != "\x81\x5b")
            << "line " << l << " starts with " << fx::Hex(first);
        std::string last(doc->lines[l - 1]->cells[doc->lines[l - 1]->count - 1].ch);
        EXPECT_NE(last, open) << "line " << l - 1;
    }
}

TEST(Wrap, KoreanBreaksAtSpaces) {
    // Hangul ga na (B0A1 B3AA), space, da ra (B4D9 B6F3).
    EXPECT_EQ(fx::Hex(Wrapped(E + "F81\xb0\xa1\xb3\xaa \xb4\xd9\xb6\xf3", 56)),
              fx::Hex("\xb0\xa1\xb3\xaa /\xb4\xd9\xb6\xf3/"));
}

TEST(Wrap, PositionsFollowTheirParagraph) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, "alpha beta gamma delta\repsilon zeta eta theta iota\rkappa\r"), 3);
    doc->wrap = 1;
    ASSERT_EQ(ScrivelLayout_WrapAll(doc, 12 + 8 * 12, nullptr, 0), SCRIVEL_OK);
    // Caret on the "t" of "theta" (paragraph 1, offset 17), selection end after "kappa".
    ScrivelPos keep[2];
    ScrivelParaPos pp = {1, 17};
    ScrivelDoc_FromParaPos(doc, &pp, &keep[0]);
    ASSERT_EQ(doc->lines[keep[0].line]->cells[keep[0].cell].ch[0], 't');
    ScrivelParaPos end = {2, 5};
    ScrivelDoc_FromParaPos(doc, &end, &keep[1]);
    doc->topLine = keep[0].line;
    for (int width : {12 + 8 * 7, 12 + 8 * 30, 12 + 8 * 12}) {
        ASSERT_EQ(ScrivelLayout_WrapAll(doc, width, keep, 2), SCRIVEL_OK);
        const LineRecord *l = doc->lines[keep[0].line];
        ASSERT_LT(keep[0].cell, l->count);
        EXPECT_EQ(std::string(l->cells[keep[0].cell].ch) + l->cells[keep[0].cell + 1].ch, "th") << width;
        ScrivelParaPos back;
        ScrivelDoc_ToParaPos(doc, &keep[0], &back);
        EXPECT_EQ(back.paragraph, 1);
        EXPECT_EQ(back.offset, 17);
        ScrivelDoc_ToParaPos(doc, &keep[1], &back);
        EXPECT_EQ(back.paragraph, 2);
        EXPECT_EQ(back.offset, 5);
        // The top line stays on the line of the paragraph that held it.
        ScrivelPos top = {doc->topLine, 0, 0};
        ScrivelDoc_ToParaPos(doc, &top, &back);
        EXPECT_EQ(back.paragraph, 1);
    }
    // Wrapping off and on again keeps the caret's paragraph and character.
    ScrivelLayout_SetWrap(doc, 0, 0, keep, 2);
    EXPECT_EQ(doc->lineCount, 3);
    EXPECT_EQ(keep[0].line, 1);
    EXPECT_EQ(keep[0].cell, 17);
    ScrivelLayout_SetWrap(doc, 1, 12 + 8 * 9, keep, 2);
    ScrivelDoc_ToParaPos(doc, &keep[0], &pp);
    EXPECT_EQ(pp.paragraph, 1);
    EXPECT_EQ(pp.offset, 17);
}

TEST(Wrap, PartialRewrapLeavesOtherParagraphs) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, "one two three\rfour five six\rseven eight nine\r"), 3);
    doc->wrap = 1;
    const int width = 12 + 8 * 10;
    ASSERT_EQ(ScrivelLayout_WrapAll(doc, width, nullptr, 0), SCRIVEL_OK);
    ASSERT_EQ(fx::Lines(doc), "one two /three|four five /six|seven /eight nine|");
    LineRecord *before = doc->lines[1];
    LineRecord *after = doc->lines[4];
    // Type into the second paragraph: "four" becomes "fourteen".
    LineRecord *l = doc->lines[2];
    std::vector<CharCell> cells(l->cells, l->cells + l->count);
    CharCell c = cells[0];
    std::string add = "teen";
    for (size_t k = 0; k < add.size(); ++k) {
        c.ch[0] = add[k];
        cells.insert(cells.begin() + 4 + k, c);
    }
    LineRecord *typed = ScrivelLine_New(cells.data(), static_cast<int>(cells.size()), l->level, l->flags);
    ScrivelLine_Free(l);
    doc->lines[2] = typed;
    ScrivelDoc_MeasureLine(doc, 2);
    ScrivelPos caret = {2, 7, 1};
    ASSERT_EQ(ScrivelLayout_WrapFrom(doc, width, 2, 2, &caret, 1), SCRIVEL_OK);
    EXPECT_EQ(fx::Lines(doc), "one two /three|fourteen /five six|seven /eight nine|");
    EXPECT_EQ(doc->lines[1], before);
    EXPECT_EQ(doc->lines[4], after);
    EXPECT_EQ(caret.line, 2);
    EXPECT_EQ(caret.cell, 8);  // the same place: before the blank after "fourteen"
    EXPECT_EQ(caret.after, 0);
}

TEST(Outline, DepthMarkersAndToggles) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, E + "L0a\r" + E + "L1b\r" + E + "L2c\r" + E + "L1d\r" + E + "L0e\r"), 5);
    ScrivelLayout_SetDepth(doc, 9);
    auto markers = [&]() {
        std::string s;
        for (int i = 0; i < doc->lineCount; ++i) {
            const LineRecord *l = doc->lines[i];
            s += (l->flags & SCRIVEL_LINE_HIDDEN) ? '-' : static_cast<char>('0' + l->marker);
        }
        return s;
    };
    EXPECT_EQ(markers(), "11000");
    doc->topLine = 2;
    ScrivelLayout_SetDepth(doc, 0);
    EXPECT_EQ(markers(), "2---0");
    EXPECT_EQ(doc->topLine, 0);  // a hidden top line moves to the shown line before it
    EXPECT_EQ(doc->visibleCount, 2);
    ScrivelLayout_ToggleMarker(doc, 0);  // expand: one level deeper only
    EXPECT_EQ(markers(), "12-00");
    ScrivelLayout_ToggleMarker(doc, 1);
    EXPECT_EQ(markers(), "11000");
    ScrivelLayout_ToggleMarker(doc, 0);  // collapse
    EXPECT_EQ(markers(), "2---0");
    EXPECT_EQ(doc->visibleCount, 2);
    EXPECT_EQ(doc->visibleMap[1], 4);
}

TEST(HitTest, LineEndsAndCaretPoints) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, "abc\r\rde\r" + E + "L1fg"), 4);
    ASSERT_EQ(ScrivelLayout_WrapAll(doc, kScrivelNoWrapWidth, nullptr, 0), SCRIVEL_OK);
    const int h = doc->lines[0]->height;
    ASSERT_EQ(doc->lines[1]->height, h);
    const struct {
        int x, y;
        ScrivelPos pos;
    } cases[] = {
        {13, 5, {0, 1, 0}},                           // inside "b" (2 + 8 .. 2 + 16)
        {2 + 24, 5, {0, 2, 1}},                       // just past the line end
        {1000, 5, {0, 2, 1}},
        {0, 5, {0, 0, 0}},
        {50, 2 + h + 1, {1, 0, 0}},                   // an empty line
        {2 + 15, 2 + 2 * h, {2, 1, 0}},
        {2 + 12 + 9, 2 + 3 * h, {3, 1, 0}},           // indented by its level
        {500, 2 + 10 * h, {3, 1, 1}},                 // below the last line
    };
    for (const auto &c : cases) {
        ScrivelPos p;
        ASSERT_EQ(ScrivelLayout_HitTest(doc, c.x, c.y, &p), 1);
        EXPECT_EQ(p.line, c.pos.line) << c.x << "," << c.y;
        EXPECT_EQ(p.cell, c.pos.cell) << c.x << "," << c.y;
        EXPECT_EQ(p.after, c.pos.after) << c.x << "," << c.y;
    }
    // Caret points and back.
    ScrivelPos end = {0, 2, 1};
    POINT pt;
    ASSERT_EQ(ScrivelLayout_CaretPoint(doc, &end, &pt), 1);
    EXPECT_EQ(pt.x, 2 + 24);
    EXPECT_EQ(pt.y, 2);
    ScrivelPos level = {3, 0, 0};
    ASSERT_EQ(ScrivelLayout_CaretPoint(doc, &level, &pt), 1);
    EXPECT_EQ(pt.x, 2 + 12);
    EXPECT_EQ(pt.y, 2 + 3 * h);
    // Scrolled: the top line is the third.
    doc->topLine = 2;
    ScrivelPos p;
    ASSERT_EQ(ScrivelLayout_HitTest(doc, 0, 3, &p), 1);
    EXPECT_EQ(p.line, 2);
    ASSERT_EQ(ScrivelLayout_CaretPoint(doc, &end, &pt), 1);
    EXPECT_EQ(pt.y, 2 - 2 * h);
    Doc empty;
    EXPECT_EQ(ScrivelLayout_HitTest(empty, 0, 0, &p), 0);
}

}  // namespace

namespace {

TEST(Scroll, VerticalInShownLines) {
    Doc doc;
    std::string text;
    for (int i = 0; i < 10; ++i) text += std::string(1, static_cast<char>('a' + i)) + "\r";
    ASSERT_EQ(fx::Read(doc, text), 10);
    ScrivelLayout_SetDepth(doc, 9);
    const int h = doc->lines[0]->height;
    const int client = 2 + 3 * h + h / 2;  // three whole lines fit
    EXPECT_EQ(ScrivelScroll_LastPageTop(doc, client), 7);
    int mn, mx, page, pos;
    ScrivelScroll_VInfo(doc, client, &mn, &mx, &page, &pos);
    EXPECT_EQ(mx, 9);
    EXPECT_EQ(page, 3);
    EXPECT_EQ(pos, 0);
    const struct {
        int from, code, thumb, to;
    } cases[] = {
        {0, SB_LINEUP, 0, 0},   {0, SB_LINEDOWN, 0, 1}, {0, SB_PAGEDOWN, 0, 2}, {5, SB_PAGEUP, 0, 3},
        {1, SB_PAGEUP, 0, 0},   {4, SB_THUMBTRACK, 9, 9}, {4, SB_THUMBPOSITION, 2, 2},
        {4, SB_TOP, 0, 4},      {9, SB_LINEDOWN, 0, 9},
    };
    for (const auto &c : cases) {
        doc->topLine = c.from;
        EXPECT_EQ(ScrivelScroll_Vertical(doc, c.code, c.thumb, client), c.to) << c.from << " " << c.code;
    }
    // Kept from passing the last page.
    doc->style |= SCRIVEL_WS_TOPCLAMP;
    doc->topLine = 4;
    EXPECT_EQ(ScrivelScroll_Vertical(doc, SB_THUMBTRACK, 9, client), 7);
    // Hidden lines are stepped over.
    doc->style &= ~SCRIVEL_WS_TOPCLAMP;
    for (int i = 1; i <= 3; ++i) doc->lines[i]->level = 1;
    ScrivelLayout_SetDepth(doc, 0);
    doc->topLine = 0;
    EXPECT_EQ(ScrivelScroll_Vertical(doc, SB_LINEDOWN, 0, client), 4);
    EXPECT_EQ(ScrivelScroll_Vertical(doc, SB_LINEUP, 0, client), 0);
}

TEST(Scroll, HorizontalInPixels) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, std::string(60, 'w')), 1);  // 480 pixels
    ASSERT_EQ(ScrivelLayout_WrapAll(doc, kScrivelNoWrapWidth, nullptr, 0), SCRIVEL_OK);
    EXPECT_EQ(doc->widest, 2 + 480);
    int mx, page, shown;
    ScrivelScroll_HInfo(doc, 200, &mx, &page, &shown);
    EXPECT_EQ(mx, 482 + 12 - 1);
    EXPECT_EQ(page, 200);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ScrivelScroll_Horizontal(doc, SB_LINERIGHT, 0, 200), 12);
    EXPECT_EQ(ScrivelScroll_Horizontal(doc, SB_PAGERIGHT, 0, 200), 212);
    EXPECT_EQ(ScrivelScroll_Horizontal(doc, SB_RIGHT, 0, 200), mx - page - 1);
    EXPECT_EQ(ScrivelScroll_Horizontal(doc, SB_LEFT, 0, 200), 0);
    EXPECT_EQ(ScrivelScroll_Horizontal(doc, SB_LINELEFT, 0, 200), 0);
    ScrivelScroll_HInfo(doc, 600, &mx, &page, &shown);
    EXPECT_EQ(shown, 0);
}

}  // namespace

namespace {

TEST(Wrap, OutOfMemoryLeavesTheLines) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, "one two three four five six seven\reight nine ten\r"), 2);
    doc->wrap = 1;
    std::string before = fx::Lines(doc);
    bool done = false;
    for (int n = 1; n < 40 && !done; ++n) {
        ScrivelMem_FailAfter(n);
        int rc = ScrivelLayout_WrapAll(doc, 12 + 8 * 9, nullptr, 0);
        ScrivelMem_FailAfter(0);
        if (rc == SCRIVEL_OK) {
            done = true;
        } else {
            EXPECT_EQ(rc, SCRIVEL_E_MEMORY);
            EXPECT_EQ(fx::Lines(doc), before) << n;
        }
    }
    EXPECT_TRUE(done);
    EXPECT_EQ(fx::Lines(doc), "one two /three /four five /six seven|eight /nine ten|");
}

}  // namespace

namespace {

TEST(Outline, MarkerArea) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, E + "L1a\r" + E + "L2b\r" + E + "L1c\r"), 3);
    ScrivelLayout_SetDepth(doc, 9);
    const int h = doc->lines[0]->height;
    const int left = 2 + 12;  // level 1
    EXPECT_EQ(ScrivelLayout_MarkerAt(doc, left - 24, 3), 0);
    EXPECT_EQ(ScrivelLayout_MarkerAt(doc, left - 1, 3), 0);
    EXPECT_EQ(ScrivelLayout_MarkerAt(doc, left, 3), -1);       // the text itself
    EXPECT_EQ(ScrivelLayout_MarkerAt(doc, left - 25, 3), -1);
    EXPECT_EQ(ScrivelLayout_MarkerAt(doc, left, 2 + 2 * h + 1), -1);  // no marker on "c"
    EXPECT_EQ(ScrivelLayout_MarkerAt(doc, left - 5, 2 + 9 * h), -1);  // below the last line
}

}  // namespace

namespace {

// Random paragraphs of Western words, Shift-JIS text with punctuation and brackets, Hangul,
// tabs and inline objects, wrapped at random widths: nothing is lost or reordered, every line
// but its last cell fits, and wrapping twice changes nothing.
TEST(Wrap, RandomDocumentsKeepTheirText) {
    std::mt19937 rng(8107);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char *pieces[] = {"word ", "longerword", "(x) ", "a.", " ", "\t",
                            "\033F80\x82\xa0\x82\xa2\x81\x42\x81\x75\x82\xa9\x81\x76\x82\xe1\033F00",
                            "\033F81\xb0\xa1 \xb3\xaa\033F00", "\033AD1#o\033Ad", "\r"};
    for (int round = 0; round < 150; ++round) {
        std::string text;
        int n = 1 + pick(40);
        for (int i = 0; i < n; ++i) text += pieces[pick(10)];
        Doc doc;
        if (fx::Read(doc, text) == 0) continue;
        doc->wrap = 1;
        ASSERT_EQ(ScrivelLayout_WrapAll(doc, kScrivelNoWrapWidth, nullptr, 0), SCRIVEL_OK);
        std::string joined = fx::Lines(doc);
        std::string flat;
        for (char c : joined)
            if (c != '/') flat += c;
        const int width = 12 + 4 + pick(200);
        ASSERT_EQ(ScrivelLayout_WrapAll(doc, width, nullptr, 0), SCRIVEL_OK);
        std::string wrapped = fx::Lines(doc);
        std::string flat2;
        for (char c : wrapped)
            if (c != '/') flat2 += c;
        ASSERT_EQ(fx::Hex(flat2), fx::Hex(flat)) << width;
        const int limit = width - 12;
        for (int i = 0; i < doc->lineCount; ++i) {
            const LineRecord *l = doc->lines[i];
            if (l->count < 2) continue;
            int w = l->level * doc->indentPerLevel;
            for (int c = 0; c + 1 < l->count; ++c) w += l->cells[c].width;
            EXPECT_LE(w, limit) << "line " << i << " at " << width << ": " << fx::LineText(doc, i);
        }
        ASSERT_EQ(ScrivelLayout_WrapAll(doc, width, nullptr, 0), SCRIVEL_OK);
        EXPECT_EQ(fx::Lines(doc), wrapped);
    }
}

}  // namespace
