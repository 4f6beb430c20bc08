// Rule tables as data: a fixture writer builds tables from the format (suffix and prefix tries,
// exception index, counted tables), puts them into a copy of the driver as resources, and the
// loader and matcher are run on them, on damaged copies of the driver's own tables, and on a
// driver whose first table is damaged.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>
#include "lingodriver.h"

namespace {

typedef std::vector<BYTE> Bytes;

int WINAPI Sbcs_LetterForTest(int ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

void Put32(Bytes &b, size_t at, DWORD v) { memcpy(&b[at], &v, 4); }
DWORD Get32(const Bytes &b, size_t at) {
    DWORD v;
    memcpy(&v, &b[at], 4);
    return v;
}

// A table writer from the format: nodes given as text, children and replacements.
struct FixtureNode {
    std::string text;
    std::vector<int> children;
    std::vector<std::string> replacements;
};

Bytes WriteTable(const std::vector<FixtureNode> &nodes, std::vector<std::string> exceptions) {
    Bytes b(16 + 16 * nodes.size(), 0);
    auto str = [&](const std::string &s) {
        DWORD at = (DWORD)b.size();
        b.push_back((BYTE)s.size());
        b.insert(b.end(), s.begin(), s.end());
        return at;
    };
    for (size_t i = 0; i < nodes.size(); i++) {
        const FixtureNode &n = nodes[i];
        size_t rec = 16 + 16 * i;
        b[rec] = (BYTE)n.text.size();
        b[rec + 1] = (BYTE)n.children.size();
        b[rec + 2] = (BYTE)n.replacements.size();
        Put32(b, rec + 4, (DWORD)b.size());
        b.insert(b.end(), n.text.begin(), n.text.end());
        Put32(b, rec + 8, (DWORD)b.size());
        for (int c : n.children) {
            b.push_back((BYTE)c);
            b.push_back(0);
        }
        std::vector<DWORD> reps;
        for (const auto &r : n.replacements)
            reps.push_back(str(r));
        Put32(b, rec + 12, (DWORD)b.size());
        for (DWORD r : reps) {
            b.resize(b.size() + 4);
            Put32(b, b.size() - 4, r);
        }
    }
    std::sort(exceptions.begin(), exceptions.end());
    std::vector<DWORD> ex;
    for (const auto &e : exceptions)
        ex.push_back(str(e));
    Put32(b, 0, (DWORD)nodes.size());
    Put32(b, 4, 16);
    Put32(b, 8, (DWORD)ex.size());
    Put32(b, 12, (DWORD)b.size());
    for (DWORD e : ex) {
        b.resize(b.size() + 4);
        Put32(b, b.size() - 4, e);
    }
    return b;
}

// A copy of the driver under another name with the given data resources set.
std::string DriverCopy(const char *name, const std::vector<std::pair<int, Bytes>> &resources) {
    char self[MAX_PATH];
    GetModuleFileNameA(LoadLibraryA("lingo_en.dll"), self, MAX_PATH);
    std::string path = name;
    EXPECT_TRUE(CopyFileA(self, path.c_str(), FALSE));
    HANDLE u = BeginUpdateResourceA(path.c_str(), FALSE);
    EXPECT_NE(u, nullptr);
    for (const auto &r : resources)
        EXPECT_TRUE(UpdateResourceA(u, (LPCSTR)RT_RCDATA, MAKEINTRESOURCEA(r.first),
                                    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),  // the language the build gives
                                    (void *)r.second.data(), (DWORD)r.second.size()));
    EXPECT_TRUE(EndUpdateResourceA(u, FALSE));
    return path;
}

std::set<std::string> Apply(const LangRuleTable *t, const char *word, bool prefix, int *result = nullptr) {
    static LangStringList list;
    memset(&list, 0, sizeof list);
    int r = prefix ? Linguabase_ApplyPrefixRules(word, (int)strlen(word), 0, nullptr, t, &list)
                   : Linguabase_ApplySuffixRules(word, (int)strlen(word), 0, nullptr, t, &list);
    if (result)
        *result = r;
    std::set<std::string> forms;
    for (int i = 0; i < list.count; i++)
        forms.insert(list.strings[i]);
    Linguabase_FreeStrings(&list);
    return forms;
}

TEST(RuleTables, PrefixAndSuffixTriesFromTheFormat) {
    // prefix: "un" -> "" | "not "; "un"+"der" -> "below"; suffix: "s" -> ""; "s"+"e" (es) -> ""
    Bytes prefix = WriteTable({{"", {1}, {}}, {"un", {2}, {"", "not "}}, {"der", {}, {"below"}}}, {"unit"});
    Bytes suffix = WriteTable({{"", {1}, {}}, {"s", {2}, {""}}, {"e", {}, {"", "is"}}}, {"gas", "bus"});
    // a counted table: {count, second, then {u32 offset from the data, 0}}; strings sorted
    Bytes counted(8 + 16, 0);
    Put32(counted, 0, 2);
    Put32(counted, 4, 7);
    for (const char *s : {"Paris", "Rome"}) {
        Put32(counted, counted.size() == 24 ? 8 : 16, (DWORD)(counted.size() - 8));
        counted.push_back((BYTE)strlen(s));
        counted.insert(counted.end(), s, s + strlen(s));
    }
    std::string path = DriverCopy("lingo_fixture.dll", {{150, prefix}, {151, suffix}, {152, counted}});
    HMODULE m = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);
    LangRuleTable p, s;
    ASSERT_EQ(Linguabase_LoadPrefixTable(m, 150, &p), 1);
    ASSERT_EQ(Linguabase_LoadRuleTable(m, 151, &s), 1);
    EXPECT_EQ(p.resultKind, 3u);
    EXPECT_EQ(p.mode, 0u);

    int r;
    EXPECT_EQ(Apply(&p, "Understand", true, &r), (std::set<std::string>{"derstand", "not derstand", "belowstand"}));
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Apply(&s, "Boxes", false), (std::set<std::string>{"boxe", "box", "boxis"}));
    EXPECT_EQ(Apply(&s, "cat", false, &r), (std::set<std::string>{}));
    EXPECT_EQ(r, 0);
    s.mode = 1;  // whole-word mode: forms only when a path spells the whole word
    EXPECT_EQ(Apply(&s, "boxes", false, &r), (std::set<std::string>{}));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Apply(&s, "es", false, &r), (std::set<std::string>{"is"}));
    EXPECT_EQ(Apply(&s, "Gas", false, &r), (std::set<std::string>{}));  // in the exception index
    EXPECT_EQ(r, 1);
    p.mode = 1;
    EXPECT_EQ(Apply(&p, "under", true, &r), (std::set<std::string>{"below"}));
    Apply(&p, "unit", true, &r);
    EXPECT_EQ(r, 1);

    LangResourceTable t;
    ASSERT_EQ(Linguabase_GetResourceTable(m, 152, &t), 1);
    EXPECT_EQ(t.count, 2u);
    EXPECT_EQ(t.second, 7u);
    EXPECT_EQ(t.entrySize, 8u);
    LangAnalysisSettings st = {};
    st.phraseLength = 1;
    st.addCursorForms = 1;
    char out[LANG_OUTPUT_SIZE];
    LangAnalysisContext *c = Linguabase_BeginAnalysis("rome", 0, &st, "", "", "", out, Sbcs_LetterForTest,
                                                      Sbcs_LetterForTest, Linguabase_CompareLatin);
    ASSERT_NE(c, nullptr);
    Linguabase_LookupSortedTable("rome", 0, c, &t);  // found without case: the stored form is added
    Linguabase_LookupSortedTable("paris", 0, c, &t);
    Linguabase_LookupSortedTable("oslo", 0, c, &t);
    ASSERT_EQ(c->words[0].count, 3);
    EXPECT_STREQ(c->words[0].candidates[1].text, "Rome");
    EXPECT_EQ(c->words[0].candidates[1].value, 4096u);
    EXPECT_STREQ(c->words[0].candidates[2].text, "Paris");
    LangKeyList keys;
    Linguabase_EndAnalysis(nullptr, &keys, c);
    for (DWORD i = 0; i < keys.count; i++)
        Linguabase_Free(keys.items[i].text);
    Linguabase_Free(keys.items);
    Linguabase_ReleaseResourceTable(&t);
    Linguabase_FreeRuleTable(&p);
    Linguabase_FreePrefixTable(&s);
    FreeLibrary(m);
    DeleteFileA(path.c_str());
}

// Damaged copies of the driver's ending table: every field of the head and of each node record
// set to a value out of range, and the table cut short at every length; each either loads and
// matches within its bytes or is refused.
TEST(RuleTables, DamagedTablesAreRefusedOrStayInBounds) {
    HMODULE self = LoadLibraryA("lingo_en.dll");
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(101), (LPCSTR)RT_RCDATA);
    ASSERT_NE(res, nullptr);
    const BYTE *p = (const BYTE *)LockResource(LoadResource(self, res));
    Bytes good(p, p + SizeofResource(self, res));
    std::vector<std::pair<int, Bytes>> damaged;
    int id = 200;
    DWORD nodes = Get32(good, 0);
    for (size_t at = 0; at < 16 + 16 * nodes; at += 4)
        for (DWORD v : {(DWORD)0xFFFFFFF0u, (DWORD)good.size(), (DWORD)0}) {
            Bytes b = good;
            Put32(b, at, v);
            damaged.push_back({id++, b});
        }
    for (size_t n = 0; n < good.size(); n += good.size() / 40 + 1)
        damaged.push_back({id++, Bytes(good.begin(), good.begin() + n + 1)});
    std::string path = DriverCopy("lingo_damaged.dll", damaged);
    HMODULE m = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);
    int loaded = 0, refused = 0;
    for (const auto &d : damaged) {
        LangRuleTable t;
        if (!Linguabase_LoadRuleTable(m, d.first, &t)) {
            refused++;
            EXPECT_EQ(t.nodes, nullptr);
            continue;
        }
        loaded++;
        for (const char *w : {"walked", "flies", "running", "s", "biggest"})
            Apply(&t, w, false);
        t.mode = 1;
        Apply(&t, "zzz", false);
        Linguabase_FreeRuleTable(&t);
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(loaded, 0);
    FreeLibrary(m);
    DeleteFileA(path.c_str());
}

// A driver whose first table does not load still loads, and its word rules find nothing in the tables.
TEST(RuleTables, FailedFirstTableLeavesTheLaterOnesUnloaded) {
    std::string path = DriverCopy("lingo_cut.dll", {{101, {1, 2, 3}}});  // too short to be a table
    HMODULE data = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(SizeofResource(data, FindResourceA(data, MAKEINTRESOURCEA(101), (LPCSTR)RT_RCDATA)), 3u);
    EXPECT_NE(FindResourceA(data, MAKEINTRESOURCEA(102), (LPCSTR)RT_RCDATA), nullptr);
    FreeLibrary(data);
    HMODULE m = LoadLibraryA(path.c_str());
    EXPECT_NE(m, GetModuleHandleA("lingo_en.dll"));
    ASSERT_NE(m, nullptr);
    auto analyze = (int(WINAPI *)(const char *, int, LangKeyList *, const LangAnalysisSettings *))GetProcAddress(
        m, MAKEINTRESOURCEA(2));
    ASSERT_NE(analyze, nullptr);
    LangAnalysisSettings st = {};
    st.phraseLength = 4;
    st.addCursorForms = 1;
    for (const char *text : {"went", "dogs"}) {
        LangKeyList out = {};
        ASSERT_EQ(analyze(text, 0, &out, &st), 1);
        std::string keys;
        for (DWORD i = 0; i < out.count; i++) {
            keys += std::string("[") + out.items[i].text + "]";
            Linguabase_Free(out.items[i].text);
        }
        EXPECT_EQ(out.count, 1u) << keys;  // the word itself only: neither table was loaded
        Linguabase_Free(out.items);
    }
    FreeLibrary(m);
    DeleteFileA(path.c_str());
}

}  // namespace
