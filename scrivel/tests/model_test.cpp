// The document model: interning, default attributes, font heights, line measurement, line
// arrays and their growth, and failures that must leave the document as it was.
#include "fixture.h"
#include <cstring>

using fx::Doc;

namespace {

TextAttribute Text(int charset, int style = 0, int step = 3) {
    TextAttribute a;
    std::memset(&a, 0, sizeof(a));
    a.charset = static_cast<BYTE>(charset);
    a.language = ScrivelLang_FromCharset(charset);
    a.fontNumber = 255;
    a.style = static_cast<BYTE>(style);
    a.sizeStep = static_cast<BYTE>(step);
    return a;
}

TEST(Model, InternSharesEqualAttributesAndTabs) {
    Doc doc;
    EXPECT_EQ(doc->attrCount, 2);
    EXPECT_EQ(doc->attrs[1]->type, 1);
    TextAttribute bold = Text(0, SCRIVEL_STYLE_BOLD);
    int a = ScrivelDoc_Intern(doc, &bold);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(ScrivelDoc_Intern(doc, &bold), a);
    TextAttribute tab;
    std::memset(&tab, 0, sizeof(tab));
    tab.type = 1;
    tab.charset = 128;  // every tab is the same tab
    EXPECT_EQ(ScrivelDoc_Intern(doc, &tab), 1);

    // Anchors: equal when the valid fields are equal; the text is copied.
    TextAttribute link = Text(0);
    link.style |= SCRIVEL_STYLE_ANCHOR;
    link.anchor.type = SCRIVEL_ANCHOR_LINK;
    link.anchor.flags = SCRIVEL_ANCHOR_TEXT_VALID | SCRIVEL_ANCHOR_COUNTER_VALID;
    char text1[] = "target";
    link.anchor.text = text1;
    link.anchor.counter = 7;
    link.anchor.identifier = 99;  // not valid: not compared
    int l1 = ScrivelDoc_Intern(doc, &link);
    ASSERT_GE(l1, 0);
    EXPECT_NE(doc->attrs[l1]->anchor.text, text1);
    char text2[] = "target";
    link.anchor.text = text2;
    link.anchor.identifier = 5;
    EXPECT_EQ(ScrivelDoc_Intern(doc, &link), l1);
    link.anchor.counter = 8;
    EXPECT_NE(ScrivelDoc_Intern(doc, &link), l1);
}

TEST(Model, FullTableAndFailedFont) {
    Doc doc;
    // Fill the table with copies of one attribute that no test attribute equals.
    TextAttribute filler = Text(0, 0, 1);
    filler.colour = 0x123456;
    int f = ScrivelDoc_Intern(doc, &filler);
    ASSERT_EQ(f, 2);
    int saved = doc->attrCount;
    for (int i = saved; i < kScrivelMaxAttributes; ++i) doc->attrs[i] = doc->attrs[f];
    doc->attrCount = kScrivelMaxAttributes;
    TextAttribute fresh = Text(0, SCRIVEL_STYLE_ITALIC);
    EXPECT_EQ(ScrivelDoc_Intern(doc, &fresh), SCRIVEL_E_TABLE_FULL);
    EXPECT_EQ(ScrivelDoc_Intern(doc, &filler), f);  // an existing one is still found
    doc->attrCount = saved;

    // A font that cannot be made: -4 and no slot.
    EditorDocument *d2 = fx::NewDoc(0x0411, 8, 1);  // only the default attribute's font is made
    ASSERT_NE(d2, nullptr);
    int before = d2->attrCount;
    EXPECT_EQ(ScrivelDoc_Intern(d2, &fresh), SCRIVEL_E_FONT);
    EXPECT_EQ(d2->attrCount, before);
    ScrivelDoc_Destroy(d2);
}

TEST(Model, DefaultAttributeFromSystemLanguage) {
    const struct {
        LANGID lang;
        int charset;
        int language;
    } cases[] = {
        {0x0411, 128, 1024}, {0x0404, 136, 768}, {0x0804, 134, 512}, {0x0412, 129, 1280},
        {0x0409, 0, 256},    {0x040C, 0, 1536},  {0x0407, 0, 1792},  {0x0419, 0, 5120},
    };
    for (const auto &c : cases) {
        Doc doc(c.lang);
        EXPECT_EQ(doc->attrs[0]->charset, c.charset) << std::hex << c.lang;
        EXPECT_EQ(doc->attrs[0]->language, c.language) << std::hex << c.lang;
        EXPECT_EQ(doc->attrs[0]->fontNumber, 255);
        EXPECT_EQ(doc->attrs[0]->sizeStep, 3);
        EXPECT_EQ(doc->attrs[0]->style & SCRIVEL_STYLE_SANS, 0);
    }
    // The editor's own class: the step nearest the GUI font (12 px: step 1 of base 3), sans.
    EditorDocument *own = fx::NewDoc(0x0409, 8, -1, 1);
    EXPECT_EQ(own->attrs[0]->sizeStep, 1);
    EXPECT_NE(own->attrs[0]->style & SCRIVEL_STYLE_SANS, 0);
    ScrivelDoc_Destroy(own);
}

TEST(Model, HeightsStepsAndLineMeasure) {
    Doc doc;
    // Base 3 at 96 dpi: 9, 10.5, 12, 14 and 18 points.
    const int heights[5] = {-12, -14, -16, -18, -24};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(doc->fontHeights[i], heights[i]);
    ASSERT_EQ(ScrivelDoc_SetSizeBase(doc, 5, nullptr, 0), SCRIVEL_OK);
    EXPECT_EQ(doc->fontHeights[4], -320 * 96 / 720);
    ASSERT_EQ(ScrivelDoc_SetSizeBase(doc, 3, nullptr, 0), SCRIVEL_OK);

    // Step 0 draws as 1, 9 as 5.
    TextAttribute s0 = Text(0, 0, 0), s1 = Text(0, 0, 1), s9 = Text(0, 0, 9), s5 = Text(0, 0, 5);
    int i0 = ScrivelDoc_Intern(doc, &s0), i1 = ScrivelDoc_Intern(doc, &s1);
    int i9 = ScrivelDoc_Intern(doc, &s9), i5 = ScrivelDoc_Intern(doc, &s5);
    EXPECT_NE(i0, i1);
    EXPECT_EQ(doc->attrs[i0]->ascent, doc->attrs[i1]->ascent);
    EXPECT_EQ(doc->attrs[i9]->ascent, doc->attrs[i5]->ascent);

    // An empty line takes its height from the text attribute before it, else slot 0.
    ASSERT_EQ(fx::Read(doc, "\r\033Z5big\r\r"), 3);
    const TextAttribute *a0 = doc->attrs[0];
    EXPECT_EQ(doc->lines[0]->height, a0->ascent + a0->descent + 1);
    const TextAttribute *big = doc->attrs[doc->lines[1]->cells[0].attr];
    EXPECT_EQ(doc->lines[2]->height, big->ascent + big->descent + 1);
    EXPECT_EQ(doc->lines[1]->height, big->ascent + big->descent + 1);
}

TEST(Model, TabStops) {
    Doc doc;
    // 8 px a byte: "abcdefghi" (72 px) then a tab: 8 px to the stop at 80; with 73 px of text
    // the tab would end 7 px before the stop and jumps to 160.
    ASSERT_EQ(fx::Read(doc, "abcdefghi\tx\rabcdefghi\033Z1\t"), 2);
    EXPECT_EQ(doc->lines[0]->cells[9].width, 8);
    EXPECT_EQ(doc->lines[1]->cells[9].width, 8);
    EXPECT_EQ(fx::Read(doc, "\t\t"), 1);
    EXPECT_EQ(doc->lines[2]->cells[0].width, 80);
    EXPECT_EQ(doc->lines[2]->cells[1].width, 80);
    // Width 1 unit: 79 px of text leaves 1 px -> next stop.
    EditorDocument *narrow = fx::NewDoc(0x0411, 1);
    ASSERT_EQ(fx::Read(narrow, std::string(73, 'a') + "\t"), 1);
    EXPECT_EQ(narrow->lines[0]->cells[73].width, 7 + 80);
    ScrivelDoc_Destroy(narrow);
}

TEST(Model, LineArraysGrowAtThreeQuarters) {
    Doc doc;
    for (int i = 0; i < 1499; ++i) ASSERT_EQ(ScrivelDoc_AppendLine(doc, ScrivelLine_New(nullptr, 0, 0, 1)), 0);
    EXPECT_EQ(doc->lineCapacity, 2000);
    ASSERT_EQ(ScrivelDoc_AppendLine(doc, ScrivelLine_New(nullptr, 0, 0, 1)), 0);
    EXPECT_EQ(doc->lineCapacity, 2000);  // 1499 existing lines: no growth
    ASSERT_EQ(ScrivelDoc_AppendLine(doc, ScrivelLine_New(nullptr, 0, 0, 1)), 0);
    EXPECT_EQ(doc->lineCapacity, 4000);  // 1500 existing lines: both arrays double
    EXPECT_EQ(doc->lineCount, 1501);
}

TEST(Model, SplitJoinAndFailuresLeaveTheDocument) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, "\033L2abcdef\rxyz"), 2);
    ASSERT_EQ(ScrivelDoc_SplitLine(doc, 0, 2), SCRIVEL_OK);
    EXPECT_EQ(fx::Lines(doc), "ab/cdef|xyz/");
    EXPECT_EQ(doc->lines[1]->level, 2);
    ASSERT_EQ(ScrivelDoc_JoinLines(doc, 0), SCRIVEL_OK);
    EXPECT_EQ(fx::Lines(doc), "abcdef|xyz/");
    ASSERT_EQ(ScrivelDoc_JoinLines(doc, 0), SCRIVEL_OK);
    EXPECT_EQ(fx::Lines(doc), "abcdefxyz/");

    // Out of memory while splitting: -11 and nothing changed.
    std::string before = fx::Cells(doc);
    for (int n = 1; n <= 3; ++n) {
        ScrivelMem_FailAfter(n);
        int rc = ScrivelDoc_SplitLine(doc, 0, 3);
        ScrivelMem_FailAfter(0);
        if (rc == SCRIVEL_OK) {
            ASSERT_EQ(ScrivelDoc_JoinLines(doc, 0), SCRIVEL_OK);
        } else {
            EXPECT_EQ(rc, SCRIVEL_E_MEMORY);
        }
        EXPECT_EQ(fx::Cells(doc), before);
    }
    // A reader that runs out of memory keeps the lines it made.
    ScrivelMem_FailAfter(6);
    int rc = fx::Read(doc, "one\rtwo\rthree\rfour\r");
    ScrivelMem_FailAfter(0);
    EXPECT_EQ(rc, SCRIVEL_E_MEMORY);
    EXPECT_GE(doc->lineCount, 1);
}

TEST(Model, ParagraphPositions) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, "abc\rdefgh\r"), 2);
    ASSERT_EQ(ScrivelDoc_SplitLine(doc, 1, 2), SCRIVEL_OK);  // "de" / "fgh"
    const struct {
        ScrivelPos pos;
        int para, offset;
        ScrivelPos back;
    } cases[] = {
        {{0, 0, 0}, 0, 0, {0, 0, 0}}, {{0, 2, 1}, 0, 3, {0, 2, 1}}, {{2, 0, 0}, 1, 2, {2, 0, 0}},
        {{1, 1, 1}, 1, 2, {2, 0, 0}}, {{2, 2, 1}, 1, 5, {2, 2, 1}},
    };
    for (const auto &c : cases) {
        ScrivelParaPos pp;
        ScrivelDoc_ToParaPos(doc, &c.pos, &pp);
        EXPECT_EQ(pp.paragraph, c.para);
        EXPECT_EQ(pp.offset, c.offset);
        ScrivelPos back;
        ScrivelDoc_FromParaPos(doc, &pp, &back);
        EXPECT_EQ(back.line, c.back.line);
        EXPECT_EQ(back.cell, c.back.cell);
        EXPECT_EQ(back.after, c.back.after);
    }
}

}  // namespace

namespace {

TEST(Model, ManyAttributesInternOnce) {
    Doc doc;
    // Twenty thousand distinct colours, each interned twice.
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 20000; ++i) {
            TextAttribute a = Text(0);
            a.colour = static_cast<COLORREF>(i + 1);
            ASSERT_EQ(ScrivelDoc_Intern(doc, &a), 2 + i);
        }
    EXPECT_EQ(doc->attrCount, 20002);
    // The default attribute changed in place is still found under its new value.
    ASSERT_EQ(ScrivelDoc_SetDefaultFont(doc, 129, 4), SCRIVEL_OK);
    TextAttribute d = *doc->attrs[0];
    d.font = nullptr;
    EXPECT_EQ(ScrivelDoc_Intern(doc, &d), 0);
    EXPECT_EQ(doc->attrs[0]->language, 1280);
}

TEST(Model, TypingAttribute) {
    Doc doc;
    ASSERT_EQ(fx::Read(doc, "\t" + std::string("\033B1ab\tc\r\t\r\033B0\033I1d")), 3);
    const int bold = doc->lines[0]->cells[1].attr;
    const int italic = doc->lines[2]->cells[0].attr;
    const struct {
        ScrivelPos pos;
        int attr;
    } cases[] = {
        {{0, 0, 0}, bold},    // a tab first: the text after it
        {{0, 3, 1}, bold},    // after a tab: the text before it
        {{1, 0, 0}, bold},    // a line of a tab: backwards into the line before
        {{2, 0, 0}, italic},  // a line start: its first cell
        {{2, 0, 1}, italic},
    };
    for (const auto &c : cases) EXPECT_EQ(ScrivelDoc_TypingAttr(doc, &c.pos), c.attr) << c.pos.line << "," << c.pos.cell;
    Doc empty;
    ScrivelPos p = {0, 0, 0};
    EXPECT_EQ(ScrivelDoc_TypingAttr(empty, &p), 0);
}

}  // namespace

namespace {

TEST(Model, ManyBlankLinesReadQuickly) {
    Doc doc;
    // Forty thousand blank lines after one line of large text: each takes the large text's
    // metrics, without a search back through every earlier line.
    std::string text = "\033Z5big\r" + std::string(40000, '\r');
    ASSERT_EQ(fx::Read(doc, text), 40001);
    EXPECT_EQ(doc->lines[40000]->height, doc->lines[0]->height);
}

}  // namespace
