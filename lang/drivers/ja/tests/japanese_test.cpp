// The Japanese driver: dictionary forms from conjugated text, the class run at the cursor, the
// walk back, folding in the compares, normalisation and the word iterator.  Japanese text is
// written as Shift-JIS bytes with the text in a comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "lingodriver.h"
#include "word_tests.inc"

namespace {

struct Key {
    std::string text;
    DWORD position, kind, extra, group;
};

LangAnalysisSettings Settings(DWORD back = 8, DWORD minimum = 1) {
    LangAnalysisSettings s = {};
    s.wordsBack = back;
    s.minimumLength = minimum;
    return s;
}

std::vector<Key> Analyze(const char *text, int cursor, const LangAnalysisSettings &s = Settings()) {
    LangKeyList list = {};
    std::vector<Key> keys;
    EXPECT_EQ(LangDriver_AnalyzeText(text, cursor, &list, &s), 1);
    EXPECT_EQ(list.language, 0x0400u | 128u << 16);
    for (DWORD i = 0; i < list.count; i++) {
        const LangKeyItem &k = list.items[i];
        keys.push_back({k.text, k.position, k.kind, k.extra, k.group});
        Linguabase_Free(k.text);
    }
    Linguabase_Free(list.items);
    return keys;
}

const Key *Find(const std::vector<Key> &keys, const char *text, DWORD kind) {
    for (const Key &k : keys)
        if (k.text == text && k.kind == kind)
            return &k;
    return nullptr;
}

TEST(Japanese, ConjugatedFormsGiveDictionaryForms) {
    struct Case {
        const char *text, *form;
    } cases[] = {
        {"\x8F\x91\x82\xA2\x82\xC4", "\x8F\x91\x82\xAD"},                          // 書いて -> 書く
        {"\x90\x48\x82\xD7\x82\xDC\x82\xB5\x82\xBD", "\x90\x48\x82\xD7\x82\xE9"},  // 食べました -> 食べる
        {"\x8D\x82\x82\xA9\x82\xC1\x82\xBD", "\x8D\x82\x82\xA2"},                  // 高かった -> 高い
        {"\x97\x88\x82\xC8\x82\xA2", "\x97\x88\x82\xE9"},                          // 来ない -> 来る
        {"\x89\x6A\x82\xA2\x82\xBE", "\x89\x6A\x82\xAE"},                          // 泳いだ -> 泳ぐ
        {"\x98\x62\x82\xB5\x82\xC4", "\x98\x62\x82\xB7"},                          // 話して -> 話す
        {"\x91\xD2\x82\xC1\x82\xBD", "\x91\xD2\x82\xC2"},                          // 待った -> 待つ
        {"\x8E\x80\x82\xF1\x82\xBE", "\x8E\x80\x82\xCA"},                          // 死んだ -> 死ぬ
        {"\x97\x56\x82\xCE\x82\xC8\x82\xA2", "\x97\x56\x82\xD4"},                  // 遊ばない -> 遊ぶ
        {"\x93\xC7\x82\xDD\x82\xDC\x82\xB7", "\x93\xC7\x82\xDE"},                  // 読みます -> 読む
        {"\x8E\xE6\x82\xE7\x82\xEA\x82\xE9", "\x8E\xE6\x82\xE9"},                  // 取られる -> 取る (passive)
        {"\x94\x83\x82\xED\x82\xB9\x82\xE9", "\x94\x83\x82\xA4"},                  // 買わせる -> 買う (causative)
        {"\x8F\x91\x82\xAF\x82\xDC\x82\xB7", "\x8F\x91\x82\xAD"},                  // 書けます -> 書く (potential)
        {"\x8F\x91\x82\xA9\x82\xEA\x82\xE9", "\x8F\x91\x82\xAD"},                  // 書かれる -> 書く (passive)
        {"\x88\xF9\x82\xE0\x82\xA4", "\x88\xF9\x82\xDE"},                          // 飲もう -> 飲む (volitional)
        {"\x95\xD7\x8B\xAD\x82\xB5\x82\xC8\x82\xA2", "\x95\xD7\x8B\xAD\x82\xB7\x82\xE9"},  // 勉強しない -> 勉強する
        {"\x8D\x73\x82\xC1\x82\xC4", "\x8D\x73\x82\xAD"},                          // 行って -> 行く
        {"\x8D\x82\x82\xAD\x82\xC8\x82\xA2", "\x8D\x82\x82\xA2"},                  // 高くない -> 高い
        {"\x90\x48\x82\xD7\x82\xC8\x82\xA2", "\x90\x48\x82\xD7\x82\xE9"},          // 食べない -> 食べる
        {"\x8C\xA9\x82\xDC\x82\xB5\x82\xBD", "\x8C\xA9\x82\xE9"},                  // 見ました -> 見る
        {"\x8F\x91\x82\xA2\x82\xC4\x82\xA2\x82\xDC\x82\xB7", "\x8F\x91\x82\xAD"},  // 書いています -> 書く
    };
    for (const Case &c : cases) {
        std::vector<Key> keys = Analyze(c.text, 0);
        const Key *k = Find(keys, c.form, 64);
        ASSERT_NE(k, nullptr) << "no dictionary form for case " << (&c - cases);
        EXPECT_EQ(k->position, 0u);
        EXPECT_EQ(k->group, 0u);
    }
}

// The word table of lang/drivers/ja/endings/conjugations.txt: every conjugated form of godan verbs
// of each row (and 行く), ichidan verbs, 来る and する in kanji and kana, する after a noun, and
// i-adjectives, in a sentence with the cursor on the word's first character, gives its dictionary
// form; no analysis makes more keys than a lookup can afford.
TEST(Japanese, ConjugationsInSentencesGiveDictionaryForms) {
    for (const auto &c : kWordTests) {
        std::vector<Key> keys = Analyze(c.sentence, c.position);
        EXPECT_NE(Find(keys, c.form, 64), nullptr) << "conjugations.txt line " << c.line;
        EXPECT_LE(keys.size(), 64u) << "conjugations.txt line " << c.line;
    }
    EXPECT_GE(sizeof kWordTests / sizeof kWordTests[0], 600u);
}

// Forms are looked for in the words that reach the cursor: pointing into the ending of a verb
// still finds it from its stem, a dictionary form followed by more text is a key of its own, and a
// hiragana right after a kanji starts no word of its own further back.
TEST(Japanese, FormsAroundTheCursor) {
    struct Case {
        const char *text;
        int cursor;
        const char *form;
        bool found;
    } cases[] = {
        // 食べました with the cursor on ま: 食べる from the kanji two steps back
        {"\x90\x48\x82\xD7\x82\xDC\x82\xB5\x82\xBD", 4, "\x90\x48\x82\xD7\x82\xE9", true},
        // 食べるのが好き: 食べる before the particle
        {"\x90\x48\x82\xD7\x82\xE9\x82\xCC\x82\xAA\x8D\x44\x82\xAB", 0, "\x90\x48\x82\xD7\x82\xE9", true},
        // きのうきた (hiragana): きた -> くる with the cursor on き of きた
        {"\x82\xAB\x82\xCC\x82\xA4\x82\xAB\x82\xBD", 6, "\x82\xAD\x82\xE9", true},
        // 書きました with the cursor on し: きま... is the ending of 書, not a word: no きる
        {"\x8F\x91\x82\xAB\x82\xDC\x82\xB5\x82\xBD", 6, "\x82\xAB\x82\xE9", false},
        // 食べた。読む with the cursor on 読: the sentence end stops the walk (no 食べる)
        {"\x90\x48\x82\xD7\x82\xBD\x81\x42\x93\xC7\x82\xDE", 8, "\x90\x48\x82\xD7\x82\xE9", false},
        // 読む食べた: 読む with the cursor on 読, but not with the cursor on 食 (it ends before)
        {"\x93\xC7\x82\xDE\x90\x48\x82\xD7\x82\xBD", 0, "\x93\xC7\x82\xDE", true},
        {"\x93\xC7\x82\xDE\x90\x48\x82\xD7\x82\xBD", 4, "\x93\xC7\x82\xDE", false},
    };
    for (const Case &c : cases) {
        std::vector<Key> keys = Analyze(c.text, c.cursor);
        EXPECT_EQ(Find(keys, c.form, 64) != nullptr, c.found) << "case " << (&c - cases);
    }
}

TEST(Japanese, FirstFormHasExtraZeroAndOthersOne) {
    // 待った: the group of った gives う, つ, る, く in that order -> 待う (extra 0), 待つ (1)
    std::vector<Key> keys = Analyze("\x91\xD2\x82\xC1\x82\xBD", 0);
    const Key *first = Find(keys, "\x91\xD2\x82\xA4", 64);
    const Key *second = Find(keys, "\x91\xD2\x82\xC2", 64);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->extra, 0u);
    EXPECT_EQ(second->extra, 1u);
}

TEST(Japanese, WalkBackAndSentenceKeys) {
    // 書いて with the cursor on て (byte 4): the sentence, て, いて, 書いて (step 2 adds the ending
    // group at position 4, the cursor's byte offset in the key)
    std::vector<Key> keys = Analyze("\x8F\x91\x82\xA2\x82\xC4", 5);  // a trail byte holds the cursor too
    ASSERT_GE(keys.size(), 4u);
    EXPECT_EQ(keys[0].text, "\x8F\x91\x82\xA2\x82\xC4");
    EXPECT_EQ(keys[0].kind, 256u);
    EXPECT_EQ(keys[0].position, 4u);
    const Key *te = Find(keys, "\x82\xC4", 0);
    const Key *ite = Find(keys, "\x82\xA2\x82\xC4", 0);
    const Key *whole = Find(keys, "\x8F\x91\x82\xA2\x82\xC4", 0);
    const Key *form = Find(keys, "\x8F\x91\x82\xAD", 64);
    ASSERT_TRUE(te && ite && whole && form);
    EXPECT_EQ(te->group, 0u);
    EXPECT_EQ(ite->position, 2u);
    EXPECT_EQ(ite->group, 256u);
    EXPECT_EQ(whole->position, 4u);
    EXPECT_EQ(whole->group, 512u);
    EXPECT_EQ(form->group, 512u);
    // words back 0: only the cursor's own character starts a key
    keys = Analyze("\x8F\x91\x82\xA2\x82\xC4", 4, Settings(0));
    EXPECT_EQ(Find(keys, "\x82\xA2\x82\xC4", 0), nullptr);
    // a sentence end stops the walk: 。書 with the cursor on 書
    keys = Analyze("\x81\x42\x8F\x91", 2);
    EXPECT_EQ(Find(keys, "\x81\x42\x8F\x91", 0), nullptr);
}

TEST(Japanese, ClassRunAtTheCursor) {
    struct Case {
        const char *text;
        int cursor;
        const char *run;
        DWORD kind, group;
    } cases[] = {
        // コーヒー: the long-vowel mark continues a katakana run
        {"\x83\x52\x81\x5B\x83\x71\x81\x5B", 4, "\x83\x52\x81\x5B\x83\x71\x81\x5B", 0, 512},
        // あいうコーヒー with the cursor on ヒ: the run starts after the hiragana (kind 64)
        {"\x82\xA0\x82\xA2\x82\xA4\x83\x52\x81\x5B\x83\x71\x81\x5B", 10, "\x83\x52\x81\x5B\x83\x71\x81\x5B", 64, 512},
        // テレビ・ゲーム: the middle dot joins two katakana runs
        {"\x83\x65\x83\x8C\x83\x72\x81\x45\x83\x51\x81\x5B\x83\x80", 0,
         "\x83\x65\x83\x8C\x83\x72\x81\x45\x83\x51\x81\x5B\x83\x80", 0, 0},
        // こーひー: after hiragana the mark ends the run
        {"\x82\xB1\x81\x5B\x82\xD0\x81\x5B", 0, "\x82\xB1", 0, 0},
    };
    for (const Case &c : cases) {
        std::vector<Key> keys = Analyze(c.text, c.cursor, Settings(0));
        const Key *k = Find(keys, c.run, c.kind);
        ASSERT_NE(k, nullptr) << "case " << (&c - cases);
        EXPECT_EQ(k->group, c.group);
    }
    // a cursor on punctuation adds no run (only the sentence)
    std::vector<Key> keys = Analyze("\x81\x42\x8F\x91", 0, Settings(0));
    EXPECT_EQ(keys.size(), 1u);
}

TEST(Japanese, SkippedKeysAndEmptyText) {
    LangKeyList list = {7, 7, nullptr};
    LangAnalysisSettings s = Settings();
    EXPECT_EQ(LangDriver_AnalyzeText("", 0, &list, &s), 1);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(LangDriver_AnalyzeText(nullptr, 0, &list, &s), 0);
    EXPECT_EQ(LangDriver_AnalyzeText("\x82\xA0", 2, &list, &s), 0);
    // 　あ with the cursor on あ: the walk's key from the space is skipped, the sentence kept
    std::vector<Key> keys = Analyze("\x81\x40\x82\xA0", 2);
    EXPECT_NE(Find(keys, "\x81\x40\x82\xA0", 256), nullptr);
    EXPECT_EQ(Find(keys, "\x81\x40\x82\xA0", 0), nullptr);
    // minimum length 3 characters: 書いて keeps only keys of three or more
    keys = Analyze("\x8F\x91\x82\xA2\x82\xC4", 4, Settings(8, 3));
    for (const Key &k : keys)
        EXPECT_GE(k.text.size(), 6u);
}

TEST(Japanese, ManyKeysAreKept) {
    // 300 kanji with a long walk back: every position adds a key (more than 170 of them)
    std::string text;
    for (int i = 0; i < 300; i++)
        text += "\x8E\x9A";  // 字
    LangAnalysisSettings s = Settings(250);
    std::vector<Key> keys = Analyze(text.c_str(), 598, s);
    EXPECT_GE(keys.size(), 250u);
}

TEST(Japanese, CompareFolds) {
    struct Case {
        DWORD flags;
        const char *a, *b;
        bool equal;
    } cases[] = {
        {0x10, "\x83\x52\x81\x5B\x83\x71\x81\x5B", "\x83\x52\x83\x49\x83\x71\x83\x43", true},   // コーヒー ~ コオヒイ (0x10)
        {0, "\x83\x52\x81\x5B\x83\x71\x81\x5B", "\x83\x52\x83\x49\x83\x71\x83\x43", false},     // but not exactly
        {0x410, "\x83\x52\x81\x5B\x83\x71\x81\x5B", "\x82\xB1\x81\x5B\x82\xD0\x81\x5B", true},  // コーヒー ~ こーひー blind
        {0x10, "\x83\x4A\x83\x5E\x83\x4A\x83\x69", "\x82\xA9\x82\xBD\x82\xA9\x82\xC8", true},   // カタカナ ~ かたかな kana-blind
        {0x400, "\x83\x4A\x83\x5E\x83\x4A\x83\x69", "\x82\xA9\x82\xBD\x82\xA9\x82\xC8", false}, // not case-blind only
        {0x400, "\x82\x60\x82\x61\x82\x62", "\x82\x81\x82\x82\x82\x83", true},                  // ＡＢＣ ~ ａｂｃ
        {0x400, "ABC", "\x82\x81\x82\x82\x82\x83", true},                                      // width folds always
        {0, "\x82\x60\x82\x61\x82\x62", "\x82\x81\x82\x82\x82\x83", false},
        {0, "\x82\xB7\x82\xC1\x82\xA9\x82\xE8", "\x82\xB7\x82\xC2\x82\xA9\x82\xE8", true},    // すっかり = すつかり
        {0, "\x82\xAB\x82\xE1\x82\xAD", "\x82\xAB\x82\xE2\x82\xAD", false},                    // きゃく != きやく
        {0x4C, "\x82\xAB\x82\xE1\x82\xAD", "\x82\xAB\x82\xE2\x82\xAD", false},
        {0x24C, "\x82\xAB\x82\xE1\x82\xAD", "\x82\xAB\x82\xE2\x82\xAD", true},                 // small ya folded (0x200)
        {0x20, "\x82\xAB\x82\xE1\x82\xAD", "\x82\xAB\x82\xE2\x82\xAD", true},                  // and in the last stages (0x20)
        {0x48, "\x82\xA0\x81\x42\x82\xA2", "\x82\xA0\x82\xA2", true},                          // あ。い ~ あい letters only
        {0, "\x82\xA0\x81\x42\x82\xA2", "\x82\xA0\x82\xA2", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LangDriver_Compare(c.flags, c.a, c.b, 0) == 0, c.equal) << "case " << (&c - cases);
    // order: あい before いあ, but after it in suffix order (い after あ at the end)
    EXPECT_LT(LangDriver_Compare(0, "\x82\xA0\x82\xA2", "\x82\xA2\x82\xA0", 0), 0);
    EXPECT_GT(LangDriver_Compare(0x8000, "\x82\xA0\x82\xA2", "\x82\xA2\x82\xA0", 0), 0);
    EXPECT_EQ(LangDriver_Compare(0, "\x82\xA0\x82\xA2", "\x82\xA0\x82\xA4", 1), 0);  // length 1
}

// The engine turns a key into its normalised form (flag 2), takes its bucket from the sort key and
// binary-searches the index, which is in the order of the compare without flags.  So a normalised
// text compares equal to the text, and the sort key never falls as texts grow in that order (or in
// the order from the end, with the key of the last character).  Texts: every character of the
// table and a few kanji, alone and with kana, symbols and long-vowel marks around them.
TEST(Japanese, NormalisedKeysKeepTheirTextsOrderAndBuckets) {
    std::vector<std::string> chars;
    for (int i = 0; i < 1410; i++) {
        int lead = 0x81 + i / 188, t = i % 188;
        if (lead >= 0xA0)
            lead += 0x40;
        chars.push_back({char(lead), char(t < 0x3F ? 0x40 + t : 0x41 + t)});
    }
    // 亜 字 食 来 and a kanji of a late lead byte
    for (const char *k : {"\x88\x9F", "\x8E\x9A", "\x90\x48", "\x97\x88", "\xEA\x9E"})
        chars.push_back(k);
    chars.push_back("a");
    chars.push_back("\xB1");  // half-width ア
    const char *around[][2] = {
        {"", ""}, {"", "\x82\xA0"}, {"\x82\xA0", ""}, {"\x81\x5A", ""},  // あ after, before; 〇 before
        {"", "\x81\x5B"}, {"\x81\x5B", ""}, {"\x81\x75", "\x81\x76"},  // ー after, before; 「」
        {"", "\x82\xE1"}, {"\x81\x40", ""},                                // small ゃ after; a space before
    };
    std::vector<std::string> texts;
    for (const std::string &c : chars)
        for (auto &a : around)
            texts.push_back(a[0] + c + a[1]);
    char norm[64];
    for (const std::string &t : texts)
        ASSERT_EQ(LangDriver_Compare(0, LangDriver_NormalizeText(2, t.c_str(), norm), t.c_str(), 0), 0) << t;
    DWORD space = LangDriver_GetKeySpace() >> 16;
    for (DWORD flags : {0u, 0x8000u}) {
        std::stable_sort(texts.begin(), texts.end(), [flags](const std::string &a, const std::string &b) {
            return LangDriver_Compare(flags, a.c_str(), b.c_str(), 0) < 0;
        });
        WORD previous = 0;
        for (const std::string &t : texts) {
            WORD k[3] = {};
            LangDriver_GetSortKey(LangDriver_NormalizeText(2, t.c_str(), norm), flags ? 1 : 0, k);
            ASSERT_GE(k[0], previous) << "flags " << flags << ": " << t;
            ASSERT_LT(k[0], space) << t;
            previous = k[0];
        }
    }
}

TEST(Japanese, ScoredCompareAndSortKey) {
    EXPECT_EQ(LangDriver_CompareScored(0, 0, "\x83\x4A\x83\x5E", 4, "\x83\x4A\x83\x5E", 4), 0x10000000u);
    EXPECT_EQ(LangDriver_CompareScored(0x10, 0, "\x83\x4A\x83\x5E", 4, "\x82\xA9\x82\xBD", 4), 0x10000000u);
    EXPECT_EQ(LangDriver_CompareScored(0, 0, "\x83\x4A\x83\x5E", 4, "\x8F\x91\x8E\x9A", 4), 0x40000000u);
    WORD out[3] = {9, 9, 9};
    // カタ blind-folds to かた: the row indexes of か (8CA9) and た
    DWORD key = LangDriver_GetSortKey("\x83\x4A\x83\x5E", 0, out);
    EXPECT_EQ(key, 188u + 0xA9 - 0x41);
    EXPECT_EQ(out[0], key);
    EXPECT_EQ(out[1], 188u + 0xBD - 0x41);
    EXPECT_EQ(LangDriver_GetKeySpace(), 188u | 11280u << 16);
}

TEST(Japanese, Normalize) {
    char out[64];
    struct Case {
        DWORD flags;
        const char *in, *out;
    } cases[] = {
        {4, "ab\xB6\xDE", "\x82\x81\x82\x82\x83\x4B"},                  // ab ｶﾞ -> ａｂガ
        {0x84, "a*?", "\x82\x81*?"},                                   // wildcards stay single
        {4, "a*", "\x82\x81\x81\x96"},                                 // or become full width
        {1, "\x83\x4A\x82\x60*", "\x82\xA9\x82\x81*"},                 // カＡ* -> かａ*
        {2, "\x82\xA9\x82\x81?", "\x82\xA9\x82\x81?"},                 // かａ? stays: the search key form
        {0, "\x83\x4A", "\x83\x4A"},
        {5, "a\xB6", "\x82\x81\x82\xA9"},                              // a ｶ -> ａか
    };
    for (const Case &c : cases)
        EXPECT_STREQ(LangDriver_NormalizeText(c.flags, c.in, out), c.out) << "case " << (&c - cases);
}

TEST(Japanese, WordIterator) {
    // あい、う: words at bytes 0 and 6 of the full-width copy
    LangWordIterator it = {};
    ASSERT_EQ(LangDriver_OpenWordIterator(&it, "\x82\xA0\x82\xA2\x81\x41\x82\xA4"), 1);
    ASSERT_EQ(LangDriver_FirstWord(&it), 1);
    EXPECT_EQ(it.position, 0);
    ASSERT_EQ(LangDriver_NextWord(&it), 1);
    EXPECT_EQ(it.position, 6);
    EXPECT_EQ(LangDriver_NextWord(&it), 0);
    LangDriver_CloseWordIterator(&it);
}

TEST(Japanese, LanguageRecord) {
    LangInfo info = {};
    info.size = sizeof info;
    LangDriver_GetLangInfo(0x3F, &info);
    EXPECT_EQ(info.language, 0x0400);
    EXPECT_EQ(info.charset, 128);
    EXPECT_EQ(info.doubleByte, 1u);
    EXPECT_STREQ(info.name, "Japanese");
    EXPECT_STREQ(info.face1, "MS Gothic");
    EXPECT_EQ(info.block2[3], 5u);
    EXPECT_EQ(info.block2[4], 7u);
    EXPECT_EQ(info.block2[5], 3u);
}

}  // namespace
