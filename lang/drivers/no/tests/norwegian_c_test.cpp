// The Norwegian driver: base forms of words in context (word lists), plurals with o-slash,
// the Norwegian collation order (AE, O-slash, A-ring after Z) and the language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "lingodriver.h"

namespace {

LangAnalysisSettings Settings() {
    LangAnalysisSettings s = {};
    s.wordsBack = 3;
    s.phraseLength = 4;
    s.fanOutDepth = 2;
    s.buildPhrases = 1;
    s.addCursorForms = 1;
    s.addSentence = 1;
    return s;
}

struct Keys {
    std::vector<std::string> all;
    bool Has(const std::string &t) const {
        for (const auto &k : all)
            if (k == t)
                return true;
        return false;
    }
    std::string List() const {
        std::string s;
        for (const auto &k : all)
            s += "[" + k + "] ";
        return s;
    }
};

// The keys of text with the cursor on the first byte of `at`.
Keys Analyse(const char *text, const char *at) {
    Keys keys;
    const char *p = strstr(text, at);
    EXPECT_NE(p, nullptr) << at;
    LangKeyList out = {};
    LangAnalysisSettings s = Settings();
    if (!p || !LangDriver_AnalyzeText(text, (int)(p - text), &out, &s))
        return keys;
    EXPECT_EQ(out.language, 0x1100u);
    for (DWORD i = 0; i < out.count; i++) {
        keys.all.push_back(out.items[i].text);
        Linguabase_Free(out.items[i].text);
    }
    Linguabase_Free(out.items);
    return keys;
}

struct Case {
    const char *text, *at;
    std::vector<const char *> has, hasNot;
};

void Check(const std::vector<Case> &cases) {
    for (const auto &c : cases) {
        Keys k = Analyse(c.text, c.at);
        for (const char *f : c.has)
            EXPECT_TRUE(k.Has(f)) << c.text << " at " << c.at << ": no key \"" << f << "\" in " << k.List();
        for (const char *f : c.hasNot)
            EXPECT_FALSE(k.Has(f)) << c.text << " at " << c.at << ": key \"" << f << "\" in " << k.List();
    }
}

TEST(NorwegianAnalysis, InflectedForms) {
    Check({
        {"mange b\xF8ker", "b\xF8ker", {"bok", "boka"}, {}},         // boeker with o-slash
        {"b\xF8kene", "b\xF8kene", {"bok"}, {}},
        {"to b\xF8nder", "b\xF8nder", {"bonde"}, {}},
        {"bilene", "bilene", {"bil"}, {}},
        {"huset", "huset", {"hus"}, {}},
        {"han spiste", "spiste", {"spise"}, {}},
        {"hun snakket", "snakket", {"snakke"}, {}},
        {"vi bodde", "bodde", {"bo"}, {}},
        {"han gikk", "gikk", {"g\xE5"}, {}},                          // gaa with a-ring
        {"han drakk", "drakk", {"drikke"}, {}},
        {"de store", "store", {"stor"}, {}},
        {"bilens", "bilens", {"bil"}, {}},
        {"to f\xF8tter", "f\xF8tter", {"fot"}, {}},                   // foetter
        {"det er bra", "er", {"v\xE6re"}, {"e"}},                      // vaere; a whole-word hit ends the rules
        {"og", "og", {"og"}, {}},
    });
}

TEST(NorwegianDriver, CollationAndRecord) {
    // AE, O-slash and A-ring after Z, in that order; A-ring after O-slash
    const char *order[] = {"abbor", "zebra", "\xC6re", "\xD8l", "\xC5r", "\xE5s"};
    for (size_t i = 0; i + 1 < sizeof order / sizeof *order; i++)
        EXPECT_LT(LangDriver_Compare(0, order[i], order[i + 1], 0), 0) << order[i] << " / " << order[i + 1];
    EXPECT_EQ(LangDriver_GetKeySpace(), 44u | (1936u << 16));
    LangInfo info = {};
    info.size = sizeof info;
    EXPECT_EQ(LangDriver_GetLangInfo(0x3F, &info), 0x3Fu);
    EXPECT_EQ(info.language, 0x1100);
    EXPECT_STREQ(info.name, "Norwegian");
    EXPECT_EQ(info.compounds, 0u);
    EXPECT_EQ(info.block6[5], 3u);
}

}  // namespace
