// The Swedish driver: base forms of words in context (word lists), clitics and the genitive
// apostrophe, the Swedish collation order (A-ring, A-umlaut, O-umlaut after Z) and language record.
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
    EXPECT_EQ(out.language, 0x1600u);
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

TEST(SwedishAnalysis, InflectedForms) {
    Check({
        {"Kalle's bil", "Kalle's", {"Kalle'", "Kalle"}, {}},         // without the s and without the apostrophe
        {"i Kalle's bil", "bil", {"bil"}, {}},
        {"han tog'en", "tog'en", {"toghonom"}, {}},                  // the clitic's pronoun appended
        {"ta'na", "ta'na", {"tahenne"}, {}},
        {"bilarna", "bilarna", {"bil"}, {}},
        {"flickor", "flickor", {"flicka"}, {}},
        {"hon talade", "talade", {"tala"}, {}},
        {"han l\xE4ste", "l\xE4ste", {"l\xE4sa"}, {}},                 // laeste -> laesa
        {"har skrivit", "skrivit", {"skriva"}, {}},
        {"hon gick", "gick", {"g\xE5"}, {}},                           // gaa with a-ring
        {"b\xF6" "cker", "b\xF6" "cker", {"bok"}, {}},                 // boecker
        {"m\xE4nnens", "m\xE4nnens", {"m\xE4nnen", "man"}, {}},       // genitive through the whole-word table
        {"tidningar", "tidningar", {"tidning"}, {"tidninga"}},        // a sure ending ends the rules
        {"det \xE4r", "\xE4r", {"vara"}, {}},                          // aer
        {"och", "och", {"och"}, {}},
    });
}

TEST(SwedishDriver, CollationAndRecord) {
    // A-ring before A-umlaut, AE, O-umlaut and O-slash, all after Z
    const char *order[] = {"abborre", "zebra", "\xC5sa", "\xC4pple", "\xC6ra", "\xD6l", "\xD8re"};
    for (size_t i = 0; i + 1 < sizeof order / sizeof *order; i++)
        EXPECT_LT(LangDriver_Compare(0, order[i], order[i + 1], 0), 0) << order[i] << " / " << order[i + 1];
    EXPECT_EQ(LangDriver_GetKeySpace(), 44u | (1936u << 16));
    LangInfo info = {};
    info.size = sizeof info;
    EXPECT_EQ(LangDriver_GetLangInfo(0x3F, &info), 0x3Fu);
    EXPECT_EQ(info.language, 0x1600);
    EXPECT_STREQ(info.name, "Swedish");
    EXPECT_EQ(info.block6[5], 3u);
}

}  // namespace
