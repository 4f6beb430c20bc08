// The model on real fonts (the GDI measurer on a screen-compatible dc): regular and bold
// weights, raised fonts, measured widths, wrap and hit tests that agree with the measurement.
// Sizes differ between font sets, so the checks compare widths with each other.
#include "fixture.h"
#include <cstring>

namespace {

const std::string E = "\033";

struct GdiDoc {
    EditorDocument *d = nullptr;
    explicit GdiDoc(int sans) {
        ScrivelDocParams p = {};
        p.langId = 0x0411;
        p.sansDefault = sans;
        p.measurer = ScrivelMeasure_NewGdi();
        EXPECT_NE(p.measurer, nullptr);
        EXPECT_EQ(ScrivelDoc_Create(&p, &d), SCRIVEL_OK);
    }
    ~GdiDoc() { ScrivelDoc_Destroy(d); }
};

LOGFONTA FontOf(const TextAttribute *a) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    EXPECT_NE(a->font, nullptr);
    if (a->font) GetObjectA(a->font, sizeof(lf), &lf);
    return lf;
}

TEST(Gdi, FontsOfAttributes) {
    GdiDoc g(1);
    EditorDocument *doc = g.d;
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(fx::Read(doc, "a" + E + "B1b" + E + "B0" + E + "S1c" + E + "S0" + E + "F00" + E + "S3d"), 1);
    const LineRecord *l = doc->lines[0];
    LOGFONTA regular = FontOf(doc->attrs[l->cells[0].attr]);
    LOGFONTA bold = FontOf(doc->attrs[l->cells[1].attr]);
    LOGFONTA raised = FontOf(doc->attrs[l->cells[2].attr]);
    LOGFONTA roman = FontOf(doc->attrs[l->cells[3].attr]);
    EXPECT_EQ(regular.lfWeight, FW_NORMAL);  // normal text is regular, never thin
    EXPECT_EQ(bold.lfWeight, FW_BOLD);
    EXPECT_EQ(regular.lfCharSet, 128);
    EXPECT_STREQ(regular.lfFaceName, "MS UI Gothic");
    EXPECT_EQ(raised.lfHeight, regular.lfHeight * 70 / 100);
    EXPECT_STREQ(roman.lfFaceName, "Times New Roman");
    EXPECT_EQ(roman.lfPitchAndFamily & 0xF0, FF_ROMAN);
    EXPECT_GT(doc->attrs[0]->ascent, 0);
    // The raised run keeps the full line height.
    EXPECT_GE(l->ascent, doc->attrs[l->cells[0].attr]->ascent);
}

TEST(Gdi, MeasureWrapAndHitTest) {
    GdiDoc g(1);
    EditorDocument *doc = g.d;
    ASSERT_NE(doc, nullptr);
    // Western words, then Japanese "a i u e o" repeated (Shift-JIS 82A0 .. 82A8).
    std::string ja;
    for (int i = 0; i < 12; ++i) ja += "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8";
    ASSERT_EQ(fx::Read(doc, E + "F00" + E + "S2WWWW iiii the quick brown fox jumps over the lazy dog\r" +
                                E + "F80" + ja + "\r"),
              2);
    // Widths come from the fonts: a bigger step is wider, a Japanese character is at least as
    // wide as a Latin letter, and nothing measures 0.
    const LineRecord *l0 = doc->lines[0];
    for (int i = 0; i < l0->count; ++i) EXPECT_GT(l0->cells[i].width, 0) << i;
    for (int i = 0; i < doc->lines[1]->count; ++i) EXPECT_GT(doc->lines[1]->cells[i].width, 0);
    EXPECT_GE(doc->lines[1]->cells[0].width, l0->cells[0].width);
    GdiDoc sizes(1);
    ASSERT_EQ(fx::Read(sizes.d, E + "F00" + E + "Z1WWWW" + E + "Z5WWWW"), 1);
    int small = 0, big = 0;
    for (int i = 0; i < 4; ++i) {
        small += sizes.d->lines[0]->cells[i].width;
        big += sizes.d->lines[0]->cells[4 + i].width;
    }
    EXPECT_GT(big, small);
    EXPECT_GT(sizes.d->lines[0]->height, doc->lines[0]->height);

    doc->wrap = 1;
    const int width = 160;
    ASSERT_EQ(ScrivelLayout_WrapAll(doc, width, nullptr, 0), SCRIVEL_OK);
    ASSERT_GT(doc->lineCount, 4);
    for (int i = 0; i < doc->lineCount; ++i) {
        const LineRecord *l = doc->lines[i];
        int w = ScrivelDoc_LineWidth(doc, i);
        // A line may end in the blank it broke after.
        int last = l->count > 0 ? l->cells[l->count - 1].width : 0;
        if (l->count > 1) {
            EXPECT_LE(w - last, width - doc->marginRight) << fx::LineText(doc, i);
        }
    }
    // Every cell's caret point hits that cell again.
    for (int i = 0; i < doc->lineCount; ++i) {
        for (int c = 0; c < doc->lines[i]->count; ++c) {
            if (doc->lines[i]->cells[c].width == 0) continue;
            ScrivelPos p = {i, c, 0};
            POINT pt;
            ASSERT_EQ(ScrivelLayout_CaretPoint(doc, &p, &pt), 1);
            ScrivelPos hit;
            ASSERT_EQ(ScrivelLayout_HitTest(doc, pt.x, pt.y + 1, &hit), 1);
            EXPECT_EQ(hit.line, i);
            EXPECT_EQ(hit.cell, c);
        }
    }
}

}  // namespace
