// The harness shared by the tests of the single-byte drivers: analysis settings, the keys of a
// captured text at a cursor word, and a table of word cases checked against them.  A test program
// includes it once and defines the language code its driver reports:
//     const DWORD g_driverLanguage = 0x1600;
#ifndef DRIVERKIT_H
#define DRIVERKIT_H

#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <utility>
#include <vector>
#include "lingodriver.h"

// The code every analysis of the driver under test must report.
extern const DWORD g_driverLanguage;

// The rows of the generated "rules_data.inc" (include it after this header where wanted).
struct RuleCase {
    int id, prefix;
    const char *form, *replacement;
};
struct ExceptionCase {
    int id;
    const char *word;
};

inline LangAnalysisSettings Settings() {
    LangAnalysisSettings s = {};
    s.wordsBack = 3;
    s.phraseLength = 4;
    s.fanOutDepth = 2;
    s.buildPhrases = 1;
    s.addCursorForms = 1;
    s.addSentence = 1;
    return s;
}

// Keys as "text" -> kind, in the driver's order.
struct Keys {
    std::vector<std::pair<std::string, DWORD>> all;
    bool Has(const std::string &text) const {
        for (const auto &k : all)
            if (k.first == text)
                return true;
        return false;
    }
    DWORD KindOf(const std::string &text) const {
        for (const auto &k : all)
            if (k.first == text)
                return k.second;
        return 0;
    }
    std::string List() const {
        std::string s;
        for (const auto &k : all)
            s += "[" + k.first + "] ";
        return s;
    }
};

// The keys of text with the cursor on the first byte of `at` inside it.
inline Keys Analyse(const char *text, const char *at, const LangAnalysisSettings &s = Settings()) {
    Keys keys;
    const char *p = strstr(text, at);
    EXPECT_NE(p, nullptr) << at;
    LangKeyList out = {};
    if (!p || !LangDriver_AnalyzeText(text, (int)(p - text), &out, &s))
        return keys;
    EXPECT_EQ(out.language, g_driverLanguage);
    for (DWORD i = 0; i < out.count; i++) {
        keys.all.push_back({out.items[i].text, out.items[i].kind});
        Linguabase_Free(out.items[i].text);
    }
    Linguabase_Free(out.items);
    return keys;
}

// A text, the cursor word, forms that must be keys and forms that must not.
struct Case {
    const char *text, *at;
    std::vector<const char *> has, hasNot;
};

inline void Check(const std::vector<Case> &cases) {
    for (const auto &c : cases) {
        Keys k = Analyse(c.text, c.at);
        for (const char *f : c.has)
            EXPECT_TRUE(k.Has(f)) << c.text << " at " << c.at << ": no key \"" << f << "\" in " << k.List();
        for (const char *f : c.hasNot)
            EXPECT_FALSE(k.Has(f)) << c.text << " at " << c.at << ": key \"" << f << "\" in " << k.List();
    }
}

// Each word compares (flags 0) before the next one.
inline void CheckOrder(const std::vector<const char *> &words) {
    for (size_t i = 0; i + 1 < words.size(); i++)
        EXPECT_LT(LangDriver_Compare(0, words[i], words[i + 1], 0), 0) << words[i] << " / " << words[i + 1];
}

// The driver's language record with every block, checked for the driver's code and `name`.
inline LangInfo Record(const char *name) {
    LangInfo info = {};
    info.size = sizeof info;
    EXPECT_EQ(LangDriver_GetLangInfo(0x3F, &info), 0x3Fu);
    EXPECT_EQ(info.language, g_driverLanguage);
    EXPECT_STREQ(info.name, name);
    for (size_t i = strlen(info.name); i < sizeof info.name; i++)
        EXPECT_EQ(info.name[i], 0) << "stray byte " << i << " after the name";
    return info;
}

// For a driver whose phonetic data file is its own name with the extension "vic", whatever the
// language key says: a copy of the driver `driver` ("lingo_es") named <driver>vic.dll with a
// <driver>vic.vic beside it answers from that file.
inline void CheckPhoneticFileBesideDriver(const char *driver) {
    const std::string name = std::string(driver) + "vic", dll = name + ".dll", data = name + ".vic";
    char self[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA((std::string(driver) + ".dll").c_str()), self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, dll.c_str(), FALSE));
    // one block: key 7 -> "hola"
    DWORD f[12] = {0, 0, 1, 1, 32, 0, 0, 0, 7, 0, 48, 4};
    memcpy(f, "VLPHONE1", 8);
    f[5] = 52;
    FILE *out = fopen(data.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f, 1, sizeof f, out);
    fwrite("hola", 1, 4, out);
    fclose(out);
    HMODULE m = LoadLibraryA(dll.c_str());
    ASSERT_NE(m, nullptr);
    typedef DWORD(WINAPI * Phone1)(DWORD);
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    EXPECT_EQ(lookup(7), 5u);  // the block's length + 1
    EXPECT_EQ(lookup(8), 0u);
    FreeLibrary(m);
    DeleteFileA(dll.c_str());
    DeleteFileA(data.c_str());
}

#endif
