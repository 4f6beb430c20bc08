// The dictionary builder on small sources of each format: what it reads, counts and leaves out, and
// that the engine finds every headword of what it writes (plain and coded), through the bucket
// directory and the driver's comparer.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <zlib.h>
#include <string>
#include <vector>
#include "basekit.h"
#include "support/testkit_faults.h"
#include "lexicore.h"
#include "lexshelf.h"
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

// A build over an existing dictionary that fails halfway (the disk fills up) leaves the old
// dictionary as it was and no partial output beside it.
TEST_F(DicBuild, AFailedBuildKeepsTheDictionaryThatWasThere) {
    Dictd("keep", {{"alpha", "alpha\n   first\n"}, {"beta", "beta\n   second\n"}}, "", false);
    Start(true);
    DbCodePage cp;
    ASSERT_TRUE(Db_LoadCodePage(1252, &cp));
    DbSource src;
    ASSERT_TRUE(Db_ReadDictd("keep.index", "keep.dict", cp, &src));
    DbOptions opt;
    opt.language = 0x0100;
    opt.fileId = 0x2F03;
    opt.name = "kept";
    DbResult res;
    ASSERT_TRUE(Db_Write(src, opt, "keep.dic", &res));
    std::string before;
    ASSERT_TRUE(Db_ReadFile("keep.dic", &before));
    src.entries.push_back(src.entries[0]);
    src.entries.back().head = "gamma";
    {
        Testkit_WriteFault fault("dicbuild_test.exe", 64);
        ASSERT_TRUE(fault.Armed());
        EXPECT_FALSE(Db_Write(src, opt, "keep.dic", &res));
    }
    std::string after;
    ASSERT_TRUE(Db_ReadFile("keep.dic", &after));
    EXPECT_EQ(before, after);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("keep.dic.new"));
    ASSERT_TRUE(Db_Write(src, opt, "keep.dic", &res));
    EXPECT_EQ(res.records, 3);
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

// ---- EDICT with the Japanese driver -------------------------------------------------------------------
// The excerpt and the word list are UTF-8 files beside this test (DICBUILD_TESTS_DIR).

std::string ReadSource(const char *name) {
    std::string path = std::string(DICBUILD_TESTS_DIR) + "/" + name, text;
    EXPECT_TRUE(Db_ReadFile(path.c_str(), &text)) << path;
    return text;
}

std::string Utf8ToSjis(const std::string &s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), &w[0], n);
    int m = WideCharToMultiByte(932, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(m, '\0');
    WideCharToMultiByte(932, 0, w.data(), n, &out[0], m, nullptr, nullptr);
    return out;
}

// Shift-JIS in EUC-JP, the coding of EDICT files: a double-byte character through its JIS X 0208
// row and cell, a half-width katakana after 0x8E, ASCII as it is.
std::string SjisToEuc(const std::string &s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        unsigned a = (unsigned char)s[i];
        if (a >= 0xA1 && a <= 0xDF) {
            out += '\x8e';
            out += (char)a;
        } else if (((a >= 0x81 && a <= 0x9F) || (a >= 0xE0 && a <= 0xEF)) && i + 1 < s.size()) {
            unsigned b = (unsigned char)s[++i];
            unsigned row = 2 * (a <= 0x9F ? a - 0x70 : a - 0xB0), cell;
            if (b < 0x9F) {
                row--;
                cell = b - (b >= 0x80 ? 0x20 : 0x1F);
            } else {
                cell = b - 0x7E;
            }
            out += (char)(row | 0x80);
            out += (char)(cell | 0x80);
        } else {
            out += (char)a;
        }
    }
    return out;
}

std::string Trim(const std::string &s) {
    size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// The byte position of a word at a character boundary of Shift-JIS text, npos when it is not there.
size_t FindWord(const std::string &text, const std::string &word) {
    for (size_t i = 0; i < text.size(); i += IsDBCSLeadByteEx(932, (BYTE)text[i]) ? 2 : 1)
        if (text.compare(i, word.size(), word) == 0) return i;
    return std::string::npos;
}

// The first line of the text of every entry that an exact query (compare flags 0) finds for a key.
void FindEntries(DicSession *s, const char *key, std::vector<std::string> *entries) {
    DicQuery *q = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(64);
    Lexicore_SetQuerySession(q, s);
    Lexicore_SetQueryResultList(q, list);
    Lexicore_SetQueryText(q, key, 0, 0);
    Lexicore_RunQuery(q, LEXICORE_MODE_EXACT, LEXICORE_SF_NOWILD);
    for (int i = 0; i < VLWordList_Count(list); i++) {
        VLData data;
        memset(&data, 0, sizeof data);
        if (Lexicore_ReadEntryTextEx(s, VLWordList_GetItem(list, i), &data)) {
            std::string text(data.data1 ? data.data1 : "", data.len1);
            entries->push_back(text.substr(0, text.find('\r')));
        }
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
    }
    VLWordList_Destroy(list);
    Lexicore_DestroyQuery(q);
}

// EDICT lines (written for the test, in EDICT's own form and coding) built with the Japanese driver:
// the index is in the driver's order with a bucket directory (headwords that start with symbols
// included), every headword finds itself, and every word of the list, typed or captured in a
// sentence, in kanji, hiragana or katakana, in its dictionary form or conjugated, finds its entry
// through the driver's analysis and exact queries.
TEST_F(DicBuild, EdictWordsFindTheirEntriesThroughTheJapaneseDriver) {
    WriteAll("edict", SjisToEuc(Utf8ToSjis(ReadSource("edict_excerpt.txt"))));
    Start(true);
    DbSource src;
    ASSERT_TRUE(Db_ReadEdict("edict", &src));
    EXPECT_EQ(src.counts.malformed, 0);
    EXPECT_EQ(src.counts.unencodable, 0);
    ASSERT_GT(src.entries.size(), 40u);
    DbOptions opt;
    opt.language = 0x0400;
    opt.charset = 128;
    opt.fileId = 0x2F02;
    opt.coded = true;
    DbResult res;
    ASSERT_TRUE(Db_Write(src, opt, "ja.dic", &res));
    EXPECT_GT(res.buckets, 0) << res.why;
    ASSERT_TRUE(Db_Register(opt, "ja.dic", false));

    ASSERT_TRUE(Lexicore_Init("DicBuildTest", 0));
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, opt.fileId << 8, FALSE));
    LinguakeeperDriverProcs procs;
    ASSERT_TRUE(Linguakeeper_GetDriverProcs(0x0400, 0, &procs));
    LONG total = Lexicore_GetEntryCount(opt.fileId << 8, 0);
    VLDataItem *prev = nullptr;
    for (LONG p = 0; p < total; p++) {
        VLDataItem *item = Lexicore_GetItem(s, p);
        ASSERT_TRUE(item);
        if (prev) {
            EXPECT_LE(procs.compare(0, prev->headword, item->headword, 0), 0) << p;
        }
        VLDataItem_Destroy(prev);
        prev = item;
    }
    VLDataItem_Destroy(prev);
    for (const DbEntry &e : src.entries) {
        bool itself;
        EXPECT_GE(Exact(s, e.head, &itself), 1) << Hex(e.head);
        EXPECT_TRUE(itself) << Hex(e.head);
    }

    std::string list = ReadSource("edict_words.txt");
    int words = 0;
    for (size_t at = 0, n = 1; at < list.size(); n++) {
        size_t eol = list.find('\n', at);
        std::string line = list.substr(at, eol == std::string::npos ? std::string::npos : eol - at);
        at = eol == std::string::npos ? list.size() : eol + 1;
        line = line.substr(0, line.find('#'));
        size_t bar1 = line.find('|'), bar2 = line.find('|', bar1 + 1);
        if (Trim(line).empty()) continue;
        ASSERT_NE(bar2, std::string::npos) << "edict_words.txt line " << n;
        std::string text = Utf8ToSjis(Trim(line.substr(0, bar1)));
        std::string word = Utf8ToSjis(Trim(line.substr(bar1 + 1, bar2 - bar1 - 1)));
        std::string entry = Utf8ToSjis(Trim(line.substr(bar2 + 1)));
        size_t cursor = FindWord(text, word);
        ASSERT_NE(cursor, std::string::npos) << "edict_words.txt line " << n;
        std::vector<std::string> found;
        LinguakeeperForms *forms = Linguakeeper_AnalyzeWord(0x0400, text.c_str(), (int)cursor, 1);
        for (DWORD k = 0; forms && forms->keys && k < forms->keys->count; k++)
            FindEntries(s, forms->keys->items[k].text, &found);
        Linguakeeper_FreeForms(forms);
        bool seen = false;
        for (const std::string &f : found) seen = seen || f == entry;
        EXPECT_TRUE(seen) << "edict_words.txt line " << n << ": " << Hex(entry) << " not among " << found.size();
        words++;
    }
    EXPECT_GE(words, 40);
    Lexicore_CloseSession(s);
    Lexicore_DestroySession(s);
    Lexicore_Term();
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

namespace {

const char kGroupKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Group";
const char kSetKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\TranslationSet";

void ClearPopupChoice() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kGroupKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kSetKey);
}

struct GroupsSeen {
    int named = 0;
    std::vector<DWORD> dics;
};

int CALLBACK SeeGroup(VLDicGroup *group, LPARAM user) {
    GroupsSeen *seen = reinterpret_cast<GroupsSeen *>(user);
    if (strcmp(group->name, DB_POPUP_GROUP) == 0) {
        seen->named++;
        seen->dics.assign(group->dictionaries, group->dictionaries + group->count);
    }
    return 1;
}

DWORD PopupSlot(const char *setName, DWORD charset, DWORD slot) {
    VLTransSet *set = Lexshelf_TransSetOpen(setName);
    VLTransSetEntry e = {};
    bool found = set && Lexshelf_TransSetFind(set, 1, charset, slot, &e);
    Lexshelf_TransSetDestroy(set);
    return found ? e.dictionaryId : 0;
}

}  // namespace

// The pop-up's choice: a Western and a Japanese dictionary join the pop-up group once however
// often they are registered, take their slots of the pop-up entry for their charsets, and the
// set becomes the current one only when the user has none (a set of the user's keeps its name).
TEST_F(DicBuild, PopupRegistrationJoinsTheGroupAndTheTranslationSetOnce) {
    ClearPopupChoice();
    DbOptions en, ja;
    en.fileId = 0x2F01;
    ja.fileId = 0x2F02;
    ja.language = 0x0400;
    ja.charset = 128;
    for (int round = 0; round < 2; round++) {
        ASSERT_TRUE(Db_AddToPopup(en, 1));
        ASSERT_TRUE(Db_AddToPopup(ja, 1));
    }
    ASSERT_TRUE(Db_AddToPopup(en, 2));  // a second slot names the same dictionary; still one member
    EXPECT_FALSE(Db_AddToPopup(en, 6));
    ASSERT_TRUE(Lexshelf_Init(0));
    GroupsSeen seen;
    Lexshelf_EnumGroups(SeeGroup, (LPARAM)&seen);
    char current[64] = "";
    Lexshelf_GetCurrentTransSet(current);
    EXPECT_EQ(seen.named, 1);
    EXPECT_EQ(seen.dics, (std::vector<DWORD>{0x2F0100, 0x2F0200}));
    EXPECT_STREQ(current, DB_POPUP_SET);
    EXPECT_EQ(PopupSlot(DB_POPUP_SET, 0, 1), 0x2F0100u);
    EXPECT_EQ(PopupSlot(DB_POPUP_SET, 128, 1), 0x2F0200u);
    EXPECT_EQ(PopupSlot(DB_POPUP_SET, 128, 2), 0u);

    Lexshelf_SetCurrentTransSet("Mine");
    Lexshelf_Term();
    ja.fileId = 0x2F03;
    ASSERT_TRUE(Db_AddToPopup(ja, 1));
    EXPECT_EQ(PopupSlot("Mine", 128, 1), 0x2F0300u);
    EXPECT_EQ(PopupSlot(DB_POPUP_SET, 128, 1), 0x2F0200u);
    Lexshelf_GetCurrentTransSet(current);
    EXPECT_STREQ(current, "Mine");
    ClearPopupChoice();
}
