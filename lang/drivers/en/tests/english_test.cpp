// The English driver: keys of captured text at cursor positions (word lists), its language record,
// normalisation, compares, and its compiled rule tables against their sources.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <set>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x0100u;

namespace {

#include "rules_data.inc"

TEST(EnglishAnalysis, WordForms) {
    Check({
        {"I don't know", "don't", {"don't", "do", "do not"}, {}},
        {"I don't know", "t know", {"don't", "do", "do not"}, {}},
        {"isn't it", "isn't", {"is", "is not"}, {}},
        {"I can't go", "can't", {"can't", "can"}, {"ca", "ca not"}},
        {"It won't", "won't", {"will"}, {"wo", "wo not"}},
        {"He went home", "went", {"went", "go"}, {"wen"}},
        {"She was here", "was", {"be"}, {"wa"}},
        {"The dogs barked", "dogs", {"dog"}, {}},
        {"The dogs barked", "barked", {"bark"}, {}},
        {"She tried hard", "tried", {"try"}, {}},
        {"He stopped", "stopped", {"stop"}, {}},
        {"They are running", "running", {"run"}, {}},
        {"making tea", "making", {"make"}, {}},
        {"a bigger boat", "bigger", {"big"}, {}},
        {"the happiest day", "happiest", {"happy"}, {}},
        {"the boxes", "boxes", {"box"}, {}},
        {"the wolves", "wolves", {"wolf"}, {}},
        {"two flies", "flies", {"fly"}, {}},
        {"the children played", "children", {"child"}, {}},
        {"the children played", "played", {"play"}, {}},
        {"has written", "written", {"write"}, {}},
        {"we have seen it", "seen", {"see"}, {}},
        {"the mice ran", "mice", {"mouse"}, {}},
        {"better than", "better", {"good", "well"}, {"bett"}},
        {"the news", "news", {"news"}, {"new"}},          // a word not to stem
        {"this one", "this", {"this"}, {"thi"}},
        {"Went away", "Went", {"Went", "go"}, {}},         // capitalised at a sentence start
        {"a well-known fact", "known", {"well-known", "known", "know"}, {}},
        {"(dogs)", "dogs", {"dogs", "dog", "(dogs)"}, {}},
        {"John's car", "John's", {"john"}, {}},
    });
}

TEST(EnglishAnalysis, KindsPhrasesAndSentences) {
    Keys k = Analyse("It rained. The cats sat.", "cats");
    EXPECT_EQ(k.KindOf("The cats sat."), 0x100u | 0) << k.List();  // the sentence item comes first
    EXPECT_EQ(k.all.front().second, 0x100u);
    EXPECT_EQ(k.all.front().first, "The cats sat.");
    EXPECT_EQ(k.KindOf("cats sat."), 0x200u);
    EXPECT_EQ(k.KindOf("cat sat."), 0x200u);   // another form of a word inside the fan-out
    EXPECT_EQ(k.KindOf("cats sit"), 0x200u);   // the irregular base of the next word
    EXPECT_FALSE(k.Has("rained. The cats")) << "a sentence end cuts phrases";
    EXPECT_EQ(k.KindOf("cats"), 0x480u);
    EXPECT_EQ(k.KindOf("cat"), 0x440u);

    k = Analyse("I don't know", "don't");
    EXPECT_EQ(k.KindOf("do"), 0x1440u);  // the n't form: value 4096
    EXPECT_EQ(k.KindOf("don't know"), 0x200u);
    EXPECT_FALSE(k.Has("do not know")) << "letter runs at the cursor start phrases only at word 0";

    LangAnalysisSettings raw = Settings();
    raw.rawOnly = 1;
    k = Analyse("The dogs barked", "dogs", raw);
    EXPECT_TRUE(k.Has("dogs"));
    EXPECT_FALSE(k.Has("dog")) << "no rule-made forms when asked for the raw words";
}

TEST(EnglishAnalysis, NoWordAtTheCursor) {
    LangAnalysisSettings s = Settings();
    LangKeyList out = {0xAA, 0xBB, (LangKeyItem *)0x1234};
    for (int cursor : {1, 3, 8, 20, -1}) {  // blank, comma, full stop, past the end, before the start
        EXPECT_EQ(LangDriver_AnalyzeText("a b, c d.", cursor, &out, &s), 0) << cursor;
        EXPECT_EQ(out.count, 0xBBu);
    }
    EXPECT_EQ(LangDriver_AnalyzeText(nullptr, 0, &out, &s), 0);
    EXPECT_EQ(LangDriver_AnalyzeText("caf\xE9", 3, &out, &s), 0);  // e-acute is no English letter
}

TEST(EnglishDriver, LanguageRecord) {
    LangInfo info;
    memset(&info, 0x33, sizeof info);
    info.size = sizeof info;
    EXPECT_EQ(LangDriver_GetLangInfo(0, &info), 0u);
    EXPECT_EQ(info.size, sizeof info);
    EXPECT_EQ(info.language, 0x0100);
    EXPECT_EQ(info.charset, 0);
    EXPECT_EQ(info.doubleByte, 0u);
    EXPECT_EQ(info.singleByteA, 1u);
    EXPECT_EQ(info.singleByteB, 1u);
    EXPECT_EQ(info.compounds, 0u);
    EXPECT_STREQ(info.name, "English");
    EXPECT_EQ(info.color, 0u);
    EXPECT_EQ(LangDriver_GetLangInfo(0x3F, &info), 0x3Fu);
    EXPECT_EQ(info.color, 0x00FFFFFFu);
    EXPECT_STREQ(info.face1, "Times New Roman");
    EXPECT_STREQ(info.face2, "Arial");
    const DWORD b2[] = {1, 0, 32, 4, 8, 2, 0, 1, 1, 0, 0, 0, 0, 0}, b6[] = {7, 0, 32, 4, 8, 2, 0, 1, 1, 0, 0, 0, 0, 0};
    const DWORD b3[] = {5, 4, 0, 5, 1, 4}, b4[] = {4, 4, 0, 5, 1, 4}, b5[] = {6, 1, 0, 5, 1, 0};
    EXPECT_EQ(memcmp(info.block2, b2, sizeof b2), 0);
    EXPECT_EQ(memcmp(info.block3, b3, sizeof b3), 0);
    EXPECT_EQ(memcmp(info.block4, b4, sizeof b4), 0);
    EXPECT_EQ(memcmp(info.block5, b5, sizeof b5), 0);
    EXPECT_EQ(memcmp(info.block6, b6, sizeof b6), 0);

    info.block2[2] = 16;
    EXPECT_EQ(LangDriver_GetFontInfo(0x22, &info), &info);
    EXPECT_EQ(info.block2[3], 2u);  // triple 0: kind 16
    EXPECT_EQ(info.block6[3], 4u);  // triple 5
}

TEST(EnglishDriver, NormaliseCompareAndKeys) {
    char out[64];
    struct {
        DWORD flags;
        const char *in, *out;
    } cases[] = {
        {4, "\xC7\xE0\r\n", "Ca "},             // C-cedilla, a-grave, CR, LF
        {4, "a\xB7" "b", "ab"},                   // the middle dot is dropped
        {0, "na\xEFve \x93q\x94", "naive \"q\""},  // English folds without flags too
        {4, "\xC6\xDF\xD7", "   "},               // AE, sharp s, times: blanks
        {1, "ABC\xC9", "abc\xE9"},
        {2, "abc\xE9", "ABC\xC9"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(LangDriver_NormalizeText(c.flags, c.in, out), c.out) << c.in;

    EXPECT_NE(LangDriver_Compare(0, "resume", "r\xE9sum\xE9", 0), 0);  // accents decide
    EXPECT_EQ(LangDriver_Compare(0x10, "resume", "r\xE9sum\xE9", 0), 0);
    EXPECT_LT(LangDriver_Compare(0, "apple", "banana", 0), 0);
    EXPECT_LE(LangDriver_CompareScored(0, 0, "colour", 0, "color", 0), 0x30000000u);
    WORD k[3];
    LangDriver_GetSortKey("ab", 0, k);
    EXPECT_EQ(k[0], 37 * 11 + 12);
    EXPECT_EQ(LangDriver_GetKeySpace(), 37u | (1369u << 16));

    LangWordIterator it = {};
    ASSERT_EQ(LangDriver_OpenWordIterator(&it, "  ab, cd"), 1);
    EXPECT_EQ(LangDriver_FirstWord(&it), 1);
    EXPECT_EQ(it.position, 2);
    EXPECT_EQ(LangDriver_NextWord(&it), 1);
    EXPECT_EQ(it.position, 6);
    EXPECT_EQ(LangDriver_NextWord(&it), 0);
    LangDriver_CloseWordIterator(&it);
    EXPECT_EQ(LangDriver_GetPhoneData(1), 0u);  // no phonetic library here
}

// Every rule of the sources is found in the compiled tables by the matcher itself: no sibling
// shadows another.  Whole-word tables are walked in whole-word mode on the form alone; ending
// tables in mode 0 on the form behind a made-up stem.
TEST(EnglishRules, CompiledTablesMatchTheSources) {
    HMODULE m = GetModuleHandleA("lingo_en.dll");
    ASSERT_NE(m, nullptr);
    LangRuleTable tables[2];
    ASSERT_EQ(Linguabase_LoadRuleTable(m, 101, &tables[0]), 1);
    ASSERT_EQ(Linguabase_LoadRuleTable(m, 102, &tables[1]), 1);
    tables[1].mode = 1;
    static LangStringList list;
    int checked = 0;
    for (const RuleCase &r : kRuleCases) {
        LangRuleTable *t = &tables[r.id == 101 ? 0 : 1];
        std::string word = t->mode == 1 ? std::string(r.form) : std::string("zq") + r.form;
        std::string want = t->mode == 1 ? std::string(r.replacement) : std::string("zq") + r.replacement;
        memset(&list, 0, sizeof list);
        EXPECT_EQ(Linguabase_ApplySuffixRules(word.c_str(), (int)word.size(), 0, nullptr, t, &list), 1) << word;
        bool found = false;
        for (int i = 0; i < list.count; i++)
            found = found || want == list.strings[i];
        EXPECT_TRUE(found) << r.id << ": " << word << " -> " << want;
        Linguabase_FreeStrings(&list);
        checked++;
    }
    EXPECT_GT(checked, 250);
    for (const ExceptionCase &e : kExceptionCases) {
        memset(&list, 0, sizeof list);
        EXPECT_EQ(Linguabase_ApplySuffixRules(e.word, (int)strlen(e.word), 0, nullptr, &tables[1], &list), 1) << e.word;
        Linguabase_FreeStrings(&list);
    }
    memset(&list, 0, sizeof list);
    EXPECT_EQ(Linguabase_ApplySuffixRules("walked", 6, 0, nullptr, &tables[1], &list), 0);  // not whole: nothing
    EXPECT_EQ(list.count, 0);
    tables[1].mode = 0;  // mode 0 on a longer word: the path's forms (here "undergo" from "underwent")
    EXPECT_EQ(Linguabase_ApplySuffixRules("underwent", 9, 0, nullptr, &tables[1], &list), 1);
    Linguabase_FreeStrings(&list);
    Linguabase_FreeRuleTable(&tables[0]);
    Linguabase_FreeRuleTable(&tables[1]);
    EXPECT_EQ(Linguabase_LoadRuleTable(m, 109, &tables[0]), 0);  // no such resource
    EXPECT_EQ(tables[0].nodes, nullptr);
}

}  // namespace
