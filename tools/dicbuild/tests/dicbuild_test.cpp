// The dictionary builder on small sources of each format: what it reads, counts and leaves out, and
// that the engine finds every headword of what it writes (plain and coded), through the bucket
// directory and the driver's comparer.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <zlib.h>
#include <string>
#include "basekit.h"
#include "lexicore.h"
#include "linguakeeper.h"
#include "../dicbuild_int.h"

namespace {

void WriteAll(const std::string &path, const std::string &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string Gzip(const std::string &plain) {
    z_stream z;
    memset(&z, 0, sizeof z);
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(plain.size() + 256, '\0');
    z.next_in = (Bytef *)plain.data();
    z.avail_in = (uInt)plain.size();
    z.next_out = (Bytef *)&out[0];
    z.avail_out = (uInt)out.size();
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string B64(uint32_t v) {
    static const char d[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string s;
    do {
        s.insert(s.begin(), d[v % 64]);
        v /= 64;
    } while (v);
    return s;
}

// A dictd database from (headword, definition) pairs; extra index lines are appended as given.
void Dictd(const std::string &base, const std::vector<std::pair<std::string, std::string>> &defs,
           const std::string &extraLines, bool compress) {
    std::string data, index;
    for (const auto &d : defs) {
        index += d.first + "\t" + B64((uint32_t)data.size()) + "\t" + B64((uint32_t)d.second.size()) + "\n";
        data += d.second;
    }
    WriteAll(base + ".index", index + extraLines);
    WriteAll(base + ".dict", compress ? Gzip(data) : data);
}

// Removes the test's own dictionaries from the catalogue (others registered in the prefix stay).
void ClearCatalogue() {
    for (DWORD id = 0x2F01; id <= 0x2F04; id++) {
        char key[MAX_PATH];
        if (Lexidata_GetDicKey(id, key)) RegDeleteTreeA(HKEY_CURRENT_USER, key);
    }
}

std::string Hex(const std::string &s) {
    std::string out;
    char b[4];
    for (unsigned char c : s) {
        snprintf(b, sizeof b, "%02x", c);
        out += b;
    }
    return out;
}

// Runs an exact query for each word on the open session: the number of entries found, and whether
// one of them has the word itself as its headword.
int Exact(DicSession *s, const std::string &word, bool *itself, DWORD flags = 0) {
    DicQuery *q = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(32);
    Lexicore_SetQuerySession(q, s);
    Lexicore_SetQueryResultList(q, list);
    Lexicore_SetQueryText(q, word.c_str(), 0, 0);
    Lexicore_RunQuery(q, LEXICORE_MODE_EXACT, LEXICORE_SF_NOWILD | flags);
    int n = VLWordList_Count(list);
    *itself = false;
    for (int i = 0; i < n; i++) *itself = *itself || word == VLWordList_GetItem(list, i)->headword;
    VLWordList_Destroy(list);
    Lexicore_DestroyQuery(q);
    return n;
}

// Every word found by an exact query, with the expected number of entries.
void ExpectFound(DWORD fileId, const std::vector<std::pair<std::string, int>> &words) {
    ASSERT_TRUE(Lexicore_Init("DicBuildTest", 0));
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, fileId << 8, FALSE));
    for (const auto &w : words) {
        bool itself;
        EXPECT_EQ(Exact(s, w.first, &itself), w.second) << Hex(w.first);
        EXPECT_EQ(itself, w.second > 0) << Hex(w.first);
    }
    Lexicore_CloseSession(s);
    Lexicore_DestroySession(s);
    Lexicore_Term();
}

// The entry text of the first entry an exact query finds.
std::string EntryText(DWORD fileId, const std::string &word) {
    std::string text;
    Lexicore_Init("DicBuildTest", 0);
    DicSession *s = Lexicore_CreateSession();
    if (Lexicore_OpenSession(s, fileId << 8, FALSE)) {
        DicQuery *q = Lexicore_CreateQuery();
        VLWordList *list = VLWordList_Create(32);
        Lexicore_SetQuerySession(q, s);
        Lexicore_SetQueryResultList(q, list);
        Lexicore_SetQueryText(q, word.c_str(), 0, 0);
        Lexicore_RunQuery(q, LEXICORE_MODE_EXACT, LEXICORE_SF_NOWILD);
        VLData data;
        memset(&data, 0, sizeof data);
        if (VLWordList_Count(list) && Lexicore_ReadEntryTextEx(s, VLWordList_GetItem(list, 0), &data))
            text.assign(data.data1, data.len1);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        VLWordList_Destroy(list);
        Lexicore_DestroyQuery(q);
        Lexicore_CloseSession(s);
    }
    Lexicore_DestroySession(s);
    Lexicore_Term();
    return text;
}

class DicBuild : public ::testing::Test {
protected:
    void SetUp() override {
        ClearCatalogue();
        Db_RegisterDrivers();
    }
    // Starts the language manager; without the Japanese driver library Japanese is served by the
    // manager's built-in byte-order driver.
    static void Start(bool japaneseDriver) {
        if (!japaneseDriver) {
            HKEY k;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\0400", 0,
                              KEY_WRITE, &k) == ERROR_SUCCESS) {
                RegDeleteValueA(k, "FileName");
                RegCloseKey(k);
            }
        }
        Linguakeeper_Init(0);
    }
    void TearDown() override {
        Linguakeeper_Term();
        ClearCatalogue();
        // The language keys the driver registration wrote (English, German, Japanese) go too, so
        // that later programs in the prefix find the built-in driver as before.
        for (const char *code : {"0100", "0700", "0400"})
            RegDeleteTreeA(HKEY_CURRENT_USER,
                           (std::string("SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\") + code).c_str());
    }
};

TEST_F(DicBuild, DictdSourceCountsWhatItReplacesAndLeavesOut) {
    // "Stra\xc3\x9f" + "e" is Strasse with sharp s (in code page 1252); "\xc5\x91" is o with double
    // acute (not in 1252); "\xff" is no UTF-8 at all.
    Dictd("de", {{"Stra\xc3\x9f" "e", "Stra\xc3\x9f" "e\n   street\n"},
                 {"Bank", "Bank\n   bench\n"},
                 {"Bank", "Bank\n   bank (money)\n"},
                 {"Erd\xc5\x91s", "Erd\xc5\x91s\n   a name\n"},
                 {"kaputt\xff", "kaputt\n   broken\n"},
                 {"00-database-info", "about this database\n"}},
          "no tabs here\nFoo\t!!\tB\nBar\tA\tZZZZZZ\n", true);
    Start(true);
    DbCodePage cp;
    ASSERT_TRUE(Db_LoadCodePage(1252, &cp));
    DbSource src;
    ASSERT_TRUE(Db_ReadDictd("de.index", "de.dict", cp, &src));
    EXPECT_EQ(src.counts.lines, 9);
    EXPECT_EQ(src.counts.entries, 5);
    EXPECT_EQ(src.counts.meta, 1);
    EXPECT_EQ(src.counts.malformed, 3);  // no tabs, a foreign digit, a range past the data
    EXPECT_EQ(src.counts.unencodable, 2);  // headword and text of the name
    EXPECT_EQ(src.counts.badBytes, 1);
    EXPECT_EQ(src.counts.unencodableEntries, 2);
    EXPECT_EQ(src.entries[0].head, "Stra\xdf" "e");  // sharp s as the 1252 byte
    EXPECT_EQ(src.entries[3].head, "Erd?s");

    DbOptions opt;
    opt.language = 0x0700;
    opt.fileId = 0x2F01;
    opt.name = "test";
    DbResult res;
    ASSERT_TRUE(Db_Write(src, opt, "de.dic", &res));
    EXPECT_EQ(res.records, 5);
    EXPECT_EQ(res.subs, 1);  // the second definition of Bank
    ASSERT_TRUE(Db_Register(opt, "de.dic", true));
    ExpectFound(0x2F01, {{"Stra\xdf" "e", 1}, {"Bank", 2}, {"Erd?s", 1}, {"kaputt?", 1}, {"Haus", 0}});
    EXPECT_EQ(EntryText(0x2F01, "Stra\xdf" "e"), "Stra\xdf" "e\r   street");
}

TEST_F(DicBuild, EdictSourceBecomesShiftJis) {
    // Lines in EUC-JP: the file's own first line; inu "\xb8\xa4" [reading "\xa4\xa4\xa4\xcc"] /dog/;
    // half-width katakana "\x8e\xb1"; a JIS X 0212 character "\x8f\xb0\xa1" (no Shift-JIS form);
    // a line without glosses; a reading without its closing bracket.
    std::string edict =
        "\xa1\xa1\xa1\xa9 /EDICT, EDICT_SUB(P) Japanese-English/Created: 2021/\n"
        "\xb8\xa4 [\xa4\xa4\xa4\xcc] /(n) dog/(P)/\n"
        "\x8e\xb1 /(n) the letter a in half-width katakana/\n"
        "\x8f\xb0\xa1\xb8\xa4 /(n) a rare dog/\n"
        "no glosses here\n"
        "\xb8\xa4 [\xa4\xa4 /broken/\n";
    WriteAll("edict", edict);
    Start(false);
    DbSource src;
    ASSERT_TRUE(Db_ReadEdict("edict", &src));
    EXPECT_EQ(src.counts.meta, 1);
    EXPECT_EQ(src.counts.malformed, 2);
    EXPECT_EQ(src.counts.entries, 3);
    EXPECT_EQ(src.counts.unencodable, 2);  // headword and text of the rare dog
    ASSERT_EQ(src.entries.size(), 4u);      // the reading of inu as a headword of its own
    EXPECT_EQ(src.entries[0].head, "\x8c\xa2");          // inu in Shift-JIS
    EXPECT_EQ(src.entries[0].second, "\x82\xa2\x82\xca");  // its reading
    EXPECT_EQ(src.entries[1].head, "\x82\xa2\x82\xca");
    EXPECT_EQ(src.entries[2].head, "\xb1");
    EXPECT_EQ(src.texts[0], "\x8c\xa2 [\x82\xa2\x82\xca]\n  (n) dog\n  (P)");

    DbOptions opt;
    opt.language = 0x0400;
    opt.charset = 128;
    opt.fileId = 0x2F02;
    opt.coded = true;
    DbResult res;
    ASSERT_TRUE(Db_Write(src, opt, "ja.dic", &res));
    ASSERT_TRUE(Db_Register(opt, "ja.dic", false));
    ExpectFound(0x2F02, {{"\x8c\xa2", 1}, {"\x82\xa2\x82\xca", 1}, {"\xb1", 1}, {"?\x8c\xa2", 1}});
    EXPECT_EQ(EntryText(0x2F02, "\x8c\xa2"), "\x8c\xa2 [\x82\xa2\x82\xca]\r  (n) dog\r  (P)");
}

// Many headwords differing in case, accents, punctuation and length, plain and coded: each is found,
// the index is in the comparer's order, and the bucket directory (with second levels) is used.
TEST_F(DicBuild, EveryHeadwordOfALargeIndexIsFound) {
    const char *stems[] = {"a", "ab", "abc", "Abc", "ABC", "b", "ba", "st", "sta", "stra\xdf" "e", "\xe4pfel",
                           "\xc4pfel", "o'clock", "e-mail", "email", "x y", "zz", "123", "caf\xe9", "cafe"};
    std::vector<std::pair<std::string, std::string>> defs;
    for (int i = 0; i < 1500; i++)
        for (const char *s : stems) {
            std::string w = std::string(s) + (i ? std::to_string(i % 97) + "q" + std::to_string(i) : "");
            defs.push_back({w, w + "\n  text\n"});
        }
    std::string index, data;
    for (const auto &d : defs) {
        index += d.first + "\t" + B64((uint32_t)data.size()) + "\t" + B64((uint32_t)d.second.size()) + "\n";
        data += d.second;
    }
    Start(true);
    WriteAll("big.index", index);
    WriteAll("big.dict", data);
    DbCodePage cp;
    ASSERT_TRUE(Db_LoadCodePage(1252, &cp));
    // The stems are already 1252 bytes; read them as such through a 1252 source.
    DbSource src;
    for (size_t i = 0; i < defs.size(); i++) {
        src.entries.push_back({defs[i].first, "", (uint32_t)i});
        src.texts.push_back(defs[i].second);
    }
    for (bool coded : {false, true}) {
        DbOptions opt;
        opt.language = 0x0100;
        opt.fileId = coded ? 0x2F04 : 0x2F03;
        opt.coded = coded;
        DbResult res;
        std::string path = coded ? "big1.dic" : "big0.dic";
        ASSERT_TRUE(Db_Write(src, opt, path.c_str(), &res));
        EXPECT_GT(res.buckets, 0) << res.why;
        EXPECT_GT(res.secondLevel, 0);
        ASSERT_TRUE(Db_Register(opt, path.c_str(), false));
        std::vector<std::pair<std::string, int>> words;
        for (size_t i = 0; i < src.entries.size(); i += 7) words.push_back({src.entries[i].head, -1});
        // The count is what the comparer calls equal (case and accent variants are separate entries
        // at the finest level, so each headword finds at least itself).
        ASSERT_TRUE(Lexicore_Init("DicBuildTest", 0));
        DicSession *s = Lexicore_CreateSession();
        ASSERT_TRUE(Lexicore_OpenSession(s, opt.fileId << 8, FALSE));
        EXPECT_EQ(Lexicore_GetEntryCount(opt.fileId << 8, 0), (LONG)src.entries.size());
        LinguakeeperDriverProcs procs;
        ASSERT_TRUE(Linguakeeper_GetDriverProcs(0x0100, 0, &procs));
        VLDataItem *prev = nullptr;
        for (LONG p = 0; p < (LONG)src.entries.size(); p++) {
            VLDataItem *item = Lexicore_GetItem(s, p);
            ASSERT_TRUE(item);
            if (prev) {
                EXPECT_LE(procs.compare(0, prev->headword, item->headword, 0), 0) << p;
            }
            VLDataItem_Destroy(prev);
            prev = item;
        }
        VLDataItem_Destroy(prev);
        int missing = 0;
        for (const auto &w : words) {
            bool itself;
            if (Exact(s, w.first, &itself) == 0 || !itself) missing++;
        }
        EXPECT_EQ(missing, 0);
        // Case folded (compare flags 0x30): every case variant, wherever the search first meets one.
        bool itself;
        for (const char *w : {"abc", "Abc", "ABC"}) EXPECT_EQ(Exact(s, w, &itself, 0x30), 3) << w;
        Lexicore_CloseSession(s);
        Lexicore_DestroySession(s);
        Lexicore_Term();
    }
}

}  // namespace
