// Tagging that depends on the UI charset, run with code page 1252 (UI charset 0).
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "strandkit.h"

namespace {

TEST(TagsWestern, UiCharsetIsWesternHere) {
    LOGFONTA lf;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    ASSERT_EQ(lf.lfCharSet, 0);
}

TEST(TagsWestern, NoTagForTheUiCharset) {
    char out[32];
    // AddCharsetTag with -1 writes no tag when the UI charset is 0, high bytes or not.
    EXPECT_EQ(Strandkit_AddCharsetTag(-1, "caf\xE9\r\n", out), 5);
    EXPECT_STREQ(out, "caf\xE9\r");
    // TagUiCharset copies and answers 0.
    EXPECT_EQ(Strandkit_TagUiCharset(out, "caf\xE9"), 0);
    EXPECT_STREQ(out, "caf\xE9");
    EXPECT_EQ(Strandkit_TagUiCharset(out, "abc"), 0);
    // TagLines tags high-byte lines with the UI charset, here 0.
    EXPECT_EQ(Strandkit_TagLines(0, "caf\xE9\n\x1b" "F80\x82\xA0", out), 0);
    EXPECT_STREQ(out, "\x1b" "F00caf\xE9\r\x1b" "F80\x82\xA0");
}

TEST(TagsWestern, MainCharsetAndCompare) {
    EXPECT_EQ(Strandkit_GetMainCharset(""), 0u);
    EXPECT_EQ(Strandkit_GetMainCharset("caf\xE9"), 0u);
    EXPECT_EQ(Strandkit_GetMainCharset("caf\xE9\x1b" "F80\x82\xA0"), 128u);
    // Charset 0 is the UI charset here: the user's locale order, which ignores no case.
    EXPECT_LT(Strandkit_CompareTagged("apple", "banana"), 0);
    EXPECT_NE(Strandkit_CompareTagged("abc", "ABC"), 0);
    // Japanese text in its own locale: case and width folded.
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "F80\x82\xA0" "ABC", "\x1b" "F80\x82\xA0" "abc"), 0);
    EXPECT_LT(Strandkit_CompareTagged("\x1b" "F80\x82\xA0", "\x1b" "F80\x82\xA2"), 0);
}

}  // namespace
