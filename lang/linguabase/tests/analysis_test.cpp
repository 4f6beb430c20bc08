// The analysis context: words around the cursor, candidate operations, and the keys made at the end.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <functional>
#include <string>
#include <vector>
#include "linguabase.h"

namespace {

int WINAPI Letter(int ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch >= 0xC0; }
int WINAPI LetterOrDigit(int ch) { return Letter(ch) || (ch >= '0' && ch <= '9'); }

struct Key {
    std::string text;
    DWORD position, kind, extra, group;
    bool operator==(const Key &o) const {
        return text == o.text && position == o.position && kind == o.kind && extra == o.extra && group == o.group;
    }
};
std::ostream &operator<<(std::ostream &os, const Key &k) {
    return os << "{\"" << k.text << "\", " << k.position << ", 0x" << std::hex << k.kind << ", " << k.extra << ", 0x"
              << k.group << std::dec << "}";
}

LangAnalysisSettings Settings(DWORD phraseLength = 4, DWORD buildPhrases = 1, DWORD sentence = 0) {
    LangAnalysisSettings s = {};
    s.wordsBack = 3;
    s.phraseLength = phraseLength;
    s.fanOutDepth = 2;
    s.minimumLength = 0;
    s.buildPhrases = buildPhrases;
    s.addCursorForms = 1;
    s.addSentence = sentence;
    return s;
}

char g_area[LANG_OUTPUT_SIZE + 64];  // the output buffer and a guard behind it
char *const g_output = g_area;

LangAnalysisContext *Begin(const char *text, int cursor, const LangAnalysisSettings *s) {
    return Linguabase_BeginAnalysis(text, cursor, s, "?!:;\"[]{}.\\", "", "?!.", g_output, Letter, LetterOrDigit,
                                    Linguabase_CompareLatin);
}

// Runs one analysis; `rules` plays the driver between begin and end.
std::vector<Key> Analyse(const char *text, int cursor, const LangAnalysisSettings &s,
                         std::function<void(LangAnalysisContext *)> rules = nullptr, int *result = nullptr) {
    std::vector<Key> keys;
    LangAnalysisContext *c = Begin(text, cursor, &s);
    if (!c) {
        if (result)
            *result = -1;
        return keys;
    }
    if (rules)
        rules(c);
    LangInfo info = {};
    info.language = 0x0100;
    LangKeyList out = {};
    int r = Linguabase_EndAnalysis(&info, &out, c);
    if (result)
        *result = r;
    EXPECT_EQ(out.language, 0x0100u);
    for (DWORD i = 0; i < out.count; i++) {
        keys.push_back({out.items[i].text, out.items[i].position, out.items[i].kind, out.items[i].extra,
                        out.items[i].group});
        Linguabase_Free(out.items[i].text);
    }
    Linguabase_Free(out.items);
    return keys;
}

TEST(Begin, NoContextOffALetter) {
    LangAnalysisSettings s = Settings();
    struct {
        const char *text;
        int cursor;
    } cases[] = {
        {"a b", 1},  // blank
        {"a,b", 1},  // a comma counts as a blank
        {"a.b", 1},  // not a letter
        {"ab", 2},   // past the end
        {"ab", -1},
        {nullptr, 0},
        {"a\tb", 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Begin(c.text, c.cursor, &s), nullptr) << (c.text ? c.text : "(null)") << " at " << c.cursor;
}

TEST(Begin, WordsFlagsAndCursor) {
    LangAnalysisSettings s = Settings();
    // "The cat, (sat.) on" cursor on 's' of sat
    LangAnalysisContext *c = Begin("The cat, (sat.) on", 10, &s);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->wordCount, 3);  // "on" comes after a word that a delimiter follows
    EXPECT_EQ(c->cursorWord, 2);
    EXPECT_EQ(c->cursorOffset, 0);
    EXPECT_EQ(c->cursorChar, 's');
    EXPECT_STREQ(c->words[2].candidates[0].text, "sat.");  // '.' is a trailing character kept
    EXPECT_STREQ(c->words[2].candidates[1].text, "(sat.)");
    EXPECT_EQ(c->words[2].flags, 2u);
    EXPECT_EQ(c->firstPhraseWord, 0);
    LangKeyList out;
    EXPECT_EQ(Linguabase_EndAnalysis(nullptr, &out, c), 1);
    for (DWORD i = 0; i < out.count; i++)
        Linguabase_Free(out.items[i].text);
    Linguabase_Free(out.items);
}

TEST(Begin, ScanEndsAtDelimitersAndKeepsTheWordsNearTheCursor) {
    LangAnalysisSettings s = Settings();
    struct {
        const char *text;
        int cursor, words, cursorWord, firstPhraseWord, lastWord;
    } cases[] = {
        {"red dog \"runs far", 4, 2, 1, 0, 1},   // a delimiter before a later word ends the scan there
        {"red dog; runs far", 0, 2, 0, 0, 1},    // a delimiter after a later word: taken, then the end
        {"a b c d e f g", 6, 7, 3, 0, 6},        // phrase length 4: three words after the cursor word
        {"a b c d e f g h i", 12, 9, 6, 3, 8},   // ... and no first phrase word further back than three
        {"one. two three", 5, 3, 1, 1, 2},       // a sentence end before: phrases start after it
        {"one \"two three", 5, 3, 1, 1, 2},      // a delimiter right before the cursor word
    };
    for (const auto &c : cases) {
        LangAnalysisContext *ctx = Begin(c.text, c.cursor, &s);
        ASSERT_NE(ctx, nullptr) << c.text;
        EXPECT_EQ(ctx->wordCount, c.words) << c.text;
        EXPECT_EQ(ctx->cursorWord, c.cursorWord) << c.text;
        EXPECT_EQ(ctx->firstPhraseWord, c.firstPhraseWord) << c.text;
        EXPECT_EQ(ctx->lastWord, c.lastWord) << c.text;
        LangKeyList out;
        Linguabase_EndAnalysis(nullptr, &out, ctx);
        for (DWORD i = 0; i < out.count; i++)
            Linguabase_Free(out.items[i].text);
        Linguabase_Free(out.items);
    }
    // Far more words before the cursor than the word slots hold: the cursor word is still found.
    std::string text;
    for (int i = 0; i < 600; i++)
        text += "w ";
    text += "target word";
    LangAnalysisContext *ctx = Begin(text.c_str(), (int)text.find("target"), &s);
    ASSERT_NE(ctx, nullptr);
    EXPECT_STREQ(ctx->words[ctx->cursorWord].candidates[0].text, "target");
    EXPECT_EQ(ctx->lastWord, ctx->cursorWord + 1);
    LangKeyList out;
    Linguabase_EndAnalysis(nullptr, &out, ctx);
    for (DWORD i = 0; i < out.count; i++)
        Linguabase_Free(out.items[i].text);
    Linguabase_Free(out.items);
}

TEST(Analysis, KeysOfCapturedText) {
    // text, cursor, phrase length, expected keys {text, position, kind, extra, group}
    struct Case {
        const char *text;
        int cursor;
        DWORD phraseLength, sentence;
        std::vector<Key> keys;
    } cases[] = {
        {"a, b", 3, 4, 0, {{"a b", 3, 0x200, 0, 0}, {"b", 0, 0x480, 0, 0}}},
        {"big red dog", 5, 4, 0,
         {{"red dog", 3, 0x200, 0, 0}, {"big red dog", 7, 0x200, 0, 0x100}, {"red", 1, 0x480, 0, 0}}},
        // a sentence end before the cursor word starts the phrases at it
        {"It is. Red dog", 8, 4, 1,
         {{"Red dog", 1, 0x100, 0, 0}, {"Red dog", 3, 0x200, 0, 0}, {"Red", 1, 0x480, 0, 0}}},
        // phrase length 1: no phrases, only the first form
        {"big red dog", 9, 1, 0, {{"dog", 1, 0x480, 0, 0}}},
        // the kept trailing sentence end: the phrase position stops before it
        {"red dog.", 5, 4, 0,
         {{"red dog", 7, 0x200, 0, 0}, {"red dog.", 7, 0x200, 1, 16}, {"dog", 1, 0x480, 0, 0},
          {"dog.", 1, 0x440, 1, 0x10000000}}},
    };
    for (const Case &c : cases) {
        LangAnalysisSettings s = Settings(c.phraseLength, 1, c.sentence);
        auto keys = Analyse(c.text, c.cursor, s, [](LangAnalysisContext *ctx) {
            // the driver's first step: the trimmed cursor word
            const char *w = ctx->words[ctx->cursorWord].candidates[0].text;
            if (strchr(w, '.'))
                Linguabase_TrimWord(w, (int)strlen(w), ctx->cursorWord, ctx);
        });
        EXPECT_EQ(keys, c.keys) << c.text;
    }
}

TEST(Analysis, CandidatesInPhrases) {
    LangAnalysisSettings s = Settings();
    auto keys = Analyse("dogs ran", 0, s, [](LangAnalysisContext *c) {
        EXPECT_EQ(Linguabase_AddCandidate("dog", 3, 4096, 0, 0, c), 4096u);
        EXPECT_EQ(Linguabase_AddCandidate("dog", 3, 4096, 0, 0, c), 4096u);  // held already: not twice
        Linguabase_AddCandidate("do", 2, 0, 0, 0, c);                         // kind 2: never in phrases
        Linguabase_AddCandidate("run", 7, 0, 0, 1, c);  // kind 7: only first word of a phrase from word 0
        Linguabase_AddCandidate("", 3, 0, 0, 1, c);     // empty: refused
        EXPECT_EQ(Linguabase_AddCandidate("x", 3, 0, 0, 5, c), 0u);  // no such word
        EXPECT_EQ(c->words[0].count, 3);
    });
    std::vector<Key> expected = {
        {"dogs ran", 4, 0x200, 0, 0},
        {"dog ran", 3, 0x200, 1, 16},
        {"dogs", 0, 0x480, 0, 0},
        {"dog", 0, 0x1440, 0, 0x10000000},
        {"do", 0, 0x440, 0, 0x10000000},
    };
    EXPECT_EQ(keys, expected);
}

TEST(Analysis, MinimumLengthDropsShortKeys) {
    LangAnalysisSettings s = Settings();
    s.minimumLength = 1;
    auto keys = Analyse("a b", 2, s);
    std::vector<Key> expected = {{"a b", 3, 0x200, 0, 0}};
    EXPECT_EQ(keys, expected);
}

TEST(Analysis, KeyLimitKeepsPhrasesMadeAndTheCursorForms) {
    // Four words of 40 forms each and a fan-out over all of them: far more than 1024 phrases.
    LangAnalysisSettings s = Settings();
    s.fanOutDepth = 4;
    int result = 0;
    auto keys = Analyse("aa bb cc dd", 0, s, [](LangAnalysisContext *c) {
        for (int w = 0; w < 4; w++)
            for (int i = 0; i < 39; i++) {
                char form[8];
                snprintf(form, sizeof form, "%c%d", 'a' + w, i);
                Linguabase_AddCandidate(form, 3, 0, 0, w, c);
            }
    }, &result);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(keys.size(), 1024u);
    int firstForms = 0, otherForms = 0, phrases = 0;
    for (const Key &k : keys) {
        firstForms += (k.kind & 0x480) == 0x480;
        otherForms += (k.kind & 0x4C0) == 0x440;
        phrases += k.kind == 0x200;
    }
    EXPECT_EQ(firstForms, 1);
    EXPECT_EQ(otherForms, 39);
    EXPECT_EQ(phrases, 1024 - 40);
    EXPECT_EQ(keys.back().text, "a38");
}

TEST(Candidates, TrimWordAndLetterRuns) {
    LangAnalysisSettings s = Settings(0, 0);
    // "(well-known)" with the cursor on the k of known
    auto keys = Analyse("(well-known)", 6, s, [](LangAnalysisContext *c) {
        const char *w = c->words[0].candidates[0].text;
        EXPECT_EQ(Linguabase_TrimWord(w, (int)strlen(w), 0, c), 1);
        EXPECT_STREQ(c->words[0].candidates[0].text, "well-known");
        EXPECT_STREQ(g_output, "known");
        EXPECT_EQ(c->cursorOffset, 5);
    });
    std::vector<Key> expected = {{"well-known", 5, 0x480, 0, 0}};
    EXPECT_EQ(keys, expected);  // phrase length 0: only the first form

    s = Settings();
    keys = Analyse("x ab1cd", 3, s, [](LangAnalysisContext *c) {
        std::string w = c->words[1].candidates[0].text;
        Linguabase_AddLetterRun(w.c_str(), (int)w.size(), 1, c);  // a digit touches the run "ab"
        EXPECT_STREQ(g_output, "ab");
        EXPECT_EQ(Linguabase_TrimWord(w.c_str(), (int)w.size(), 1, c), 1);  // inner non-letter: run at the cursor
    });
    expected = {{"x ab1cd", 7, 0x200, 0, 0}, {"ab1cd", 1, 0x480, 0, 0}, {"ab", 1, 0x440, 0, 0x10000000}};
    EXPECT_EQ(keys, expected);  // the run keeps kind 2: not in phrases
}

TEST(Candidates, TrimWordCopiesAtMostTheOutputBuffer) {
    memset(g_area, 0x5A, sizeof g_area);
    LangAnalysisSettings s = Settings(0, 0);
    std::string word = "(" + std::string(300, 'x') + ")";
    Analyse(word.c_str(), 200, s, [&](LangAnalysisContext *c) {
        std::string w = c->words[0].candidates[1].text;  // the whole piece, brackets and all
        EXPECT_EQ(Linguabase_TrimWord(w.c_str(), (int)w.size(), 0, c), 0);
        EXPECT_EQ(strlen(g_output), (size_t)LANG_OUTPUT_SIZE - 1);
        Linguabase_AddLetterRun(w.c_str(), (int)w.size(), 0, c);  // 256 bytes or more: no run
        EXPECT_EQ(c->words[0].count, 2);
    });
    for (size_t i = LANG_OUTPUT_SIZE; i < sizeof g_area; i++)
        ASSERT_EQ(g_area[i], 0x5A) << i;
    LangKeyList out;
    EXPECT_EQ(Linguabase_EndAnalysis(nullptr, &out, nullptr), 0);
    EXPECT_EQ(out.count, 0u);
}

TEST(Candidates, ListsAndReplaceRules) {
    LangAnalysisSettings s = Settings(4, 0);
    static const LangEndingRule endings[] = {{"ies", 3, "y"}, {"s", 1, ""}, {"xx", 2, "z"}, {nullptr, 0, nullptr}};
    static const LangPrefixRule prefixes[] = {{2, "l'", "le "}, {3, "qu'", "que "}, {0, nullptr, nullptr}};
    static const LangWordPair pairs[] = {{"Flies", "fly"}, {"flies", "flee"}, {"flies", "fly"}, {"go", "went"},
                                         {nullptr, nullptr}};
    static const LangReplaceRule replace[] = {
        {0, 0, 0, 0, "'en", "honom"}, {'a', 'o', 0, 0, nullptr, nullptr}, {'q', 'z', 0, 0, nullptr, nullptr},
        {0, 0, 0, 0, nullptr, nullptr}};
    std::vector<std::string> forms;
    Analyse("flies", 0, s, [&](LangAnalysisContext *c) {
        Linguabase_ApplyEndingList("flies", endings, 5, 0, c);
        Linguabase_ApplyWordList("flies", pairs, 0, c);
        Linguabase_ApplyPrefixList("L'eau", prefixes, 5, 0, c);
        EXPECT_EQ(Linguabase_ApplyReplaceRules("hans'en", replace, 3, 0, c, nullptr), 2);
        for (int i = 0; i < c->words[0].count; i++)
            forms.push_back(c->words[0].candidates[i].text);
    });
    std::vector<std::string> expected = {"flies", "fly", "flie", "flee", "le eau", "hanshonom", "hons'en"};
    EXPECT_EQ(forms, expected);

    char buf[LANG_OUTPUT_SIZE] = "kattens";
    EXPECT_EQ(Linguabase_ReplaceInWord(buf, 7, 't', 'd', "NS", "x", 1), 1);  // suffix without case
    EXPECT_STREQ(buf, "katdex");
    EXPECT_EQ(Linguabase_ReplaceInWord(buf, 6, 'q', 'd', nullptr, nullptr, 0), 0);
    EXPECT_STREQ(buf, "katdex");
}

TEST(StringLists, AddFreeAndFullList) {
    static LangStringList list;  // 40 KB: not on the stack
    memset(&list, 0, sizeof list);
    EXPECT_EQ(Linguabase_AddString("one", &list), 1);
    EXPECT_EQ(Linguabase_AddString("one", &list), 1);
    EXPECT_EQ(list.count, 1);
    char word[16];
    for (int i = 1; i < LANG_STRING_LIST_MAX; i++) {
        snprintf(word, sizeof word, "w%d", i);
        ASSERT_EQ(Linguabase_AddString(word, &list), 1);
    }
    EXPECT_EQ(Linguabase_AddString("more", &list), 0);
    EXPECT_EQ(Linguabase_FreeStrings(&list), LANG_STRING_LIST_MAX);
    EXPECT_EQ(list.count, 0);
}

}  // namespace
