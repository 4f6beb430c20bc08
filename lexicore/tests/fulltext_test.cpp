// Full-text queries over entry texts that differ from the key in case, accents, line ends and
// character boundaries: the folded search must find what the language driver finds equal, and
// nothing inside a double-byte character; the same hits as the driver asked at every character
// position, whether the folded texts are made during the query or kept from an earlier one; books.
#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include "bookfix.h"
#include "testkit.h"

using kit::E;

namespace {

// One entry-text condition over the query's session into its emptied list; the query's answer.
int RunText(DicQuery *query, VLWordList *list, const char *key, DWORD flags, LexicoreProgressProc progress,
            void *user) {
    LexicoreCondition c;
    memset(&c, 0, sizeof c);
    c.kind = 8;
    c.textLen = (DWORD)strlen(key);
    memcpy(c.text, key, c.textLen);
    VLWordList_DeleteAllItems(list);
    return Lexicore_RunFullTextQuery(query, &c, 1, TRUE, flags, progress, user);
}

struct FullTextEnv {
    kit::Sandbox box;
    DicSession *session = nullptr;
    DicQuery *query = nullptr;
    VLWordList *list = nullptr;
    FullTextEnv(WORD language, BYTE charset, const std::vector<dicfix::Entry> &entries) : box("fulltext", kit::Mode::File) {
        dicfix::Dictionary d;
        d.fileId = 0x2900;
        d.language = language;
        d.charset = charset;
        dicfix::Index x;
        x.language = language;
        x.entries = entries;
        d.indexes.push_back(x);
        std::string path = box.Path("f.dic");
        EXPECT_TRUE(dicfix::Write(path, d));
        kit::Register(0x2900, path, "Full text", 1, language);
        EXPECT_TRUE(Lexicore_Init("VLTF", 0));
        session = Lexicore_CreateSession();
        EXPECT_TRUE(Lexicore_OpenSession(session, 0x290000, FALSE));
        query = Lexicore_CreateQuery();
        list = VLWordList_Create(100);
        Lexicore_SetQuerySession(query, session);
        Lexicore_SetQueryResultList(query, list);
    }
    ~FullTextEnv() {
        Lexicore_DestroyQuery(query);
        VLWordList_Destroy(list);
        Lexicore_DestroySession(session);
    }
    std::string Find(const char *key, DWORD flags, LexicoreProgressProc progress = nullptr, void *user = nullptr) {
        RunText(query, list, key, flags, progress, user);
        std::string s;
        for (LONG i = 0; i < VLWordList_Count(list); i++)
            s += (i ? " " : "") + std::string(VLWordList_GetItem(list, i)->headword);
        return s;
    }
};

struct FindCase {
    const char *key;
    DWORD flags;
    const char *words;
};

TEST(FullText, FindsWhatTheDriverFindsEqualAcrossCaseAndLineEnds) {
    // German: "Caf\xe9" is "Cafe" with e acute; "Stra\xdf" "e" holds the sharp s, a byte compared as
    // two letters.  (Whether accents fold under 0x30 is the driver's to say: the test below asks it.)
    FullTextEnv env(0x0700, 0, {E("alpha", 0, "ein Caf\xe9 am Markt"), E("beta", 0, "CAFE und Kuchen"),
                                E("delta", 0, "die Stra\xdf" "e entlang"), E("gamma", 0, "eine gelbe\r\nFrucht"),
                                E("zeta", 0, "kaffee"), E("eta", 0, "apple pie ist s\xfc\xdf")});
    const FindCase cases[] = {
        {"CAFE", 0, "beta"},              {"Caf\xe9", 0, "alpha"},     {"CAFE", 0x10, "beta"},
        {"frucht", 0x30, "gamma"},        {"gelbe", 0x30, "gamma"},
        {"affe", 0x30, "zeta"},           {"kuchen", 0, ""},             {"markt", 0x30, "alpha"},
        {"entlang", 0x30, "delta"},       {"zz", 0x30, ""},
        {"apple pie", 0x30, "eta"},       {"Apple Pie", 0, ""},         {"pie ist", 0x30, "eta"},
    };
    for (const FindCase &c : cases) EXPECT_EQ(std::string(c.words), env.Find(c.key, c.flags)) << c.key << " " << c.flags;
}

TEST(FullText, DoubleByteMatchesStartOnACharacterBoundary) {
    // Shift-JIS: "\x83\x41\x83\x41" is two katakana A; "\x41\x83" lies across them and is no match.
    FullTextEnv env(0x0400, 128, {E("a", 0, "\x83\x41\x83\x41"), E("b", 0, "x\x41\x83y")});
    const FindCase cases[] = {
        {"\x83\x41", 0, "a"}, {"\x41", 0, "b"}, {"\x41\x83", 0, ""},
    };
    for (const FindCase &c : cases) EXPECT_EQ(std::string(c.words), env.Find(c.key, c.flags)) << c.key;
}

// ---- The folded search against the driver at every position ------------------------------------------

typedef int(WINAPI *CompareProc)(DWORD flags, const char *key, const char *text, int length);

// The session's own lead test: the code page of the dictionary's charset.
bool IsLead(DicSession *s, BYTE b) {
    UINT cp = 0;
    switch (s->subDic->charset) {
    case 128: cp = 932; break;
    case 129: cp = 949; break;
    case 134: cp = 936; break;
    case 136: cp = 950; break;
    default: return false;
    }
    return b >= 0x81 && IsDBCSLeadByteEx(cp, b);
}

// The headwords of the entries whose text holds the key at some character position by the
// driver's compare over the key's length (in characters for the double-byte language drivers,
// which count a lead and a trail byte as one), each position given the whole rest of the text;
// sorted.
std::string Expected(FullTextEnv &env, const char *key, DWORD flags, bool doubleByte, bool characters) {
    CompareProc cmp = (CompareProc)env.session->comparer;
    std::vector<std::string> words;
    const size_t len = strlen(key);
    int length = 0;
    for (size_t i = 0; i < len; i += characters && IsLead(env.session, (BYTE)key[i]) && i + 1 < len ? 2 : 1)
        length++;
    for (LONG n = 0; n < Lexicore_GetEntryCount(Lexicore_GetSessionDicId(env.session), 0); n++) {
        VLDataItem *item = Lexicore_GetItem(env.session, n);
        VLData data;
        memset(&data, 0, sizeof data);
        if (!item || !Lexicore_ReadEntryTextEx(env.session, item, &data)) {
            VLDataItem_Destroy(item);
            continue;
        }
        std::string text(data.data1, data.len1);
        for (size_t i = 0; i < text.size() && text.size() - i >= len;) {
            if (cmp(flags, key, text.c_str() + i, length) == 0) {
                words.push_back(item->headword);
                break;
            }
            bool lead = doubleByte && IsLead(env.session, (BYTE)text[i]);
            i += lead && i + 1 < text.size() ? 2 : 1;
        }
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        VLDataItem_Destroy(item);
    }
    std::sort(words.begin(), words.end());
    std::string r;
    for (const std::string &w : words) r += (r.empty() ? "" : " ") + w;
    return r;
}

std::string Sorted(const std::string &words) {
    std::vector<std::string> v;
    for (size_t i = 0; i < words.size();) {
        size_t j = words.find(' ', i);
        if (j == std::string::npos) j = words.size();
        v.push_back(words.substr(i, j - i));
        i = j + 1;
    }
    std::sort(v.begin(), v.end());
    std::string r;
    for (const std::string &w : v) r += (r.empty() ? "" : " ") + w;
    return r;
}

// Every key under every flags: the query's hits against the driver's, twice (the second time the
// folded texts are the ones kept from the first).
void CompareAll(FullTextEnv &env, const std::vector<const char *> &keys, const std::vector<DWORD> &flags,
                bool doubleByte, bool characters = false) {
    for (DWORD f : flags)
        for (int round = 0; round < 2; round++)
            for (const char *k : keys)
                EXPECT_EQ(Expected(env, k, f, doubleByte, characters), Sorted(env.Find(k, f)))
                    << "key " << k << " flags " << std::hex << f << " round " << round;
}

TEST(FullText, FoldedSearchFindsWhatTheDriverFindsAtEveryPosition) {
    // German, code page 1252: case, accents (\xe9 e acute, \xfc u umlaut), the sharp s (\xdf, read as
    // "ss"), the oe ligature (\x9c, \x8c upper case, read as "oe"), blanks, punctuation, line ends,
    // and a text longer than the stretch the driver is given at a place.
    std::string longText = "Anfang";
    for (int i = 0; i < 40; i++) longText += " viel - Text,";
    longText += " und am Ende ein Caf\xe9";
    FullTextEnv env(0x0700, 0,
                    {E("a1", 0, "ein Caf\xe9 am Markt"), E("a2", 0, "CAFE und Kuchen"),
                     E("a3", 0, "die Stra\xdf" "e entlang"), E("a4", 0, "STRASSE"), E("a5", 0, "strasse."),
                     E("a6", 0, "ein Man\x9cuvre"), E("a7", 0, "MAN\x8cUVRE"), E("a8", 0, "manoeuvre"),
                     E("a9", 0, "co-op und coop"), E("b1", 0, "apple  pie"), E("b2", 0, "x.y.z"),
                     E("b3", 0, "eine gelbe\r\nFrucht"), E("b4", 0, "s\xfc\xdf und Gr\xfc\xdf" "e"),
                     E("b5", 0, longText.c_str()), E("b6", 0, "Kaffee"), E("b7", 0, "Stra\xdf")});
    CompareAll(env,
               {"cafe", "cAfE", "Caf\xe9", "caf\xe9", "stra\xdf" "e", "strasse", "SS", "\xdf", "s\xdf", "oe", "man\x9cuvre",
                "manoeuvre", "\x8c", "co-op", "coop", "apple pie", "pie", "e", "gr\xfc\xdf", "markt", "se", "uvre",
                "xyz", "x.y", "gelbe frucht", "text,", "stra\xdf"},
               {0, 0x10, 0x20, 0x30, 0x38, 0x70, 0x8030, 0x8000}, false);
}

// A language's own driver named in its language key while the test runs (without it the language
// library's built-in driver serves); the key goes again at the end.
struct DriverKey {
    std::string key;
    DriverKey(WORD language, const char *file) {
        if (!file) return;
        char code[8];
        snprintf(code, sizeof code, "%04X", language);
        key = std::string("SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\") + code;
        HKEY k;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(k, "FileName", 0, REG_SZ, (const BYTE *)file, (DWORD)strlen(file) + 1);
            RegCloseKey(k);
        }
    }
    ~DriverKey() {
        if (!key.empty()) RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    }
};

struct DoubleByteCase {
    const char *what;
    WORD language;
    BYTE charset;
    const char *driver;  // null: the built-in driver
    std::vector<dicfix::Entry> entries;
    std::vector<const char *> keys;
    std::vector<DWORD> flags;
};

TEST(FullText, DoubleByteSearchFindsWhatTheDriverFindsAtEveryPosition) {
    const std::vector<DWORD> flags = {0, 0x10, 0x20, 0x30, 0x40, 0x48, 0x400, 0x410};
    const DoubleByteCase cases[] = {
        // Shift-JIS with the built-in driver: katakana A (\x83\x41), hiragana a (\x82\xa0),
        // full-width A (\x82\x60), half-width katakana a (\xb1, one byte), the long-vowel mark
        // (\x81\x5b), with ASCII between.
        {"Shift-JIS, built-in", 0x0400, 128, nullptr,
         {E("j1", 0, "\x83\x41\x83\x41"), E("j2", 0, "x\x41\x83y"), E("j3", 0, "\x82\xa0\x82\xa9"),
          E("j4", 0, "\x82\x60\x82\x61 abc"), E("j5", 0, "ABC \xb1\xb2"), E("j6", 0, "\x83\x41\x81\x5b\x83\x4a"),
          E("j7", 0, "\x83\x4a\x83\x41")},
         {"\x83\x41", "\x41", "\x41\x83", "\x82\xa0", "a", "A", "\x82\x60", "\xb1", "abc", "\x83\x41\x83\x41"},
         {0, 0x10, 0x30, 0x400, 0x410, 0x8030}},
        // Shift-JIS with the Japanese driver.  Katakana ka, a, ki, ga, ya, small ya, tsu, small tsu
        // (\x83\x4a \x83\x41 \x83\x4c \x83\x4b \x83\x84 \x83\x83 \x83\x63 \x83\x62), hiragana ka, a,
        // ki, ya, small ya (\x82\xa9 \x82\xa0 \x82\xab \x82\xe2 \x82\xe1), the long-vowel mark
        // (\x81\x5b, half-width \xb0), half-width ka, ki, a, small ya, sound marks (\xb6 \xb7 \xb1
        // \xac \xde \xdf), full-width A, a, b (\x82\x60 \x82\x81 \x82\x82), the full-width space
        // (\x81\x40), comma, stop, middle dot (\x81\x41 \x81\x42 \x81\x45).
        {"Shift-JIS, Japanese driver", 0x0400, 128, "lingo_ja.dll",
         {E("k1", 0, "\x83\x4a\x81\x5b"), E("k2", 0, "\x83\x4a\x83\x41"), E("k3", 0, "\x82\xa9\x82\xa0"),
          E("k4", 0, "x \xb6\xb0"), E("k5", 0, "\xb6\xde\xb7"), E("k6", 0, "\x83\x4b\x83\x4c"),
          E("k7", 0, "\x83\x4c\x83\x83"), E("k8", 0, "\x82\xab\x82\xe2"), E("k9", 0, "\x82\xab\x82\xe1"),
          E("l1", 0, "\x82\x60\x82\x82 abc"), E("l2", 0, "ABC \x82\x81"), E("l3", 0, "\x83\x41\x81\x41\x83\x43"),
          E("l4", 0, "\x83\x41\x81\x40\x83\x43"), E("l5", 0, "\x83\x41\x83\x43\x81\x42"), E("l6", 0, "a b.c"),
          E("l7", 0, "\x83\x62\x83\x63"), E("l8", 0, "\xac\xb1"), E("l9", 0, "\x82\xa9\x81\x5b"),
          E("m1", 0, "\x83\x41\x81\x45\x83\x43 \x83\x4a\x81\x5b\x83\x4c"), E("m2", 0, "\xca\xdf\x83\x41")},
         {"\x83\x4a\x81\x5b", "\x83\x4a\x83\x41", "\x82\xa9\x82\xa0", "\x81\x5b", "\xb0", "\xb6", "\xb6\xde",
          "\x83\x4b", "\x83\x4b\x83\x4c", "\xb6\xde\xb7", "\x83\x4c\x83\x84", "\x82\xab\x82\xe2", "\x83\x62",
          "\x83\x63", "\xac", "\x83\x83\x83\x41", "a", "A", "ab", "abc", "\x82\x60", "\x82\x81", "\x83\x41\x83\x43",
          "\x83\x41\x81\x41\x83\x43", "\x81\x41\x83\x43", "\x83\x43\x81\x42", "\x81\x40\x83\x43", "b.c", "bc",
          "\x81\x5b\x83\x4c", "\x83\x70\x83\x41"},
         flags},
        // Big5 with the Traditional-Chinese driver: hanzi zhong, wen, zi (\xa4\xa4 \xa4\xe5 \xa6\x72),
        // full-width A, a, b (\xa2\xcf \xa2\xe9 \xa2\xea), bopomofo b, p (\xa3\x74 \xa3\x75), the
        // full-width space, comma, enumeration comma, stop (\xa1\x40 \xa1\x41 \xa1\x42 \xa1\x43).
        {"Big5, Traditional-Chinese driver", 0x0300, 136, "lingo_zh.dll",
         {E("c1", 0, "\xa4\xa4\xa4\xe5"), E("c2", 0, "\xa4\xe5\xa6\x72"), E("c3", 0, "x \xa2\xcf\xa2\xea"),
          E("c4", 0, "abc \xa2\xe9"), E("c5", 0, "\xa4\xa4\xa1\x41\xa4\xe5"), E("c6", 0, "\xa4\xa4\xa1\x40\xa4\xe5"),
          E("c7", 0, "\xa4\xe5\xa1\x43"), E("c8", 0, "\xa3\x74\xa3\x75"), E("c9", 0, "A b.c"),
          E("d1", 0, "\xa4\xa4\xa1\x42\xa4\xe5 \xa6\x72")},
         {"\xa4\xe5", "\xa4\xa4\xa4\xe5", "\xa6\x72", "\xa2\xcf", "\xa2\xe9", "a", "A", "ab", "abc", "b.c", "bc",
          "\xa4\xa4\xa1\x41\xa4\xe5", "\xa1\x41\xa4\xe5", "\xa4\xe5\xa1\x43", "\xa1\x40\xa4\xe5", "\xa3\x75",
          "\xa4\xa4\xa1\x42"},
         flags},
        // Hangul (code page 949) with the Korean driver: ga, na (\xb0\xa1 \xb3\xaa), hangul geul
        // (\xc7\xd1 \xb1\xdb), the jamo g (\xa4\xa1), full-width A, a, b (\xa3\xc1 \xa3\xe1 \xa3\xe2), the
        // full-width space, enumeration comma, stop (\xa1\xa1 \xa1\xa2 \xa1\xa3).
        {"Hangul, Korean driver", 0x0500, 129, "lingo_ko.dll",
         {E("h1", 0, "\xb0\xa1\xb3\xaa"), E("h2", 0, "\xc7\xd1\xb1\xdb"), E("h3", 0, "x \xa3\xc1\xa3\xe2"),
          E("h4", 0, "abc \xa3\xe1"), E("h5", 0, "\xb0\xa1\xa1\xa2\xb3\xaa"), E("h6", 0, "\xb0\xa1\xa1\xa1\xb3\xaa"),
          E("h7", 0, "\xb3\xaa\xa1\xa3"), E("h8", 0, "\xa4\xa1\xb0\xa1"), E("h9", 0, "A b.c")},
         {"\xb3\xaa", "\xb0\xa1\xb3\xaa", "\xb1\xdb", "\xa3\xc1", "\xa3\xe1", "a", "A", "ab", "abc", "b.c", "bc",
          "\xb0\xa1\xa1\xa2\xb3\xaa", "\xa1\xa2\xb3\xaa", "\xb3\xaa\xa1\xa3", "\xa1\xa1\xb3\xaa", "\xa4\xa1"},
         flags},
    };
    for (const DoubleByteCase &c : cases) {
        SCOPED_TRACE(c.what);
        DriverKey key(c.language, c.driver);
        FullTextEnv env(c.language, c.charset, c.entries);
        if (c.driver) {
            HMODULE m = GetModuleHandleA(c.driver);
            ASSERT_NE(m, nullptr) << "the language's own driver serves";
            ASSERT_EQ((FARPROC)env.session->comparer, GetProcAddress(m, MAKEINTRESOURCEA(4)));
        }
        CompareAll(env, c.keys, c.flags, true, c.driver != nullptr);
    }
}

TEST(FullText, DoubleByteKeysAreFoundInsideTexts) {
    // The Japanese driver counts a compare's length in characters: a key of katakana a (\x83\x41)
    // and ka (\x83\x4a) is found with text after it, not only where a text ends with it.
    DriverKey driver(0x0400, "lingo_ja.dll");
    FullTextEnv env(0x0400, 128, {E("p1", 0, "\x83\x41\x83\x4a xyz"), E("p2", 0, "xyz \x83\x41"),
                                  E("p3", 0, "\x83\x4a\x83\x4a"), E("p4", 0, "\x82\xa0\x82\xa9 xyz")});
    const FindCase cases[] = {
        {"\x83\x41", 0, "p1 p2"},
        {"\x83\x41\x83\x4a", 0, "p1"},
        {"\x83\x41\x83\x4a", 0x30, "p1 p4"},  // kana-blind: hiragana a, ka
        {"\x83\x4a x", 0x30, "p1 p4"},
    };
    for (const FindCase &c : cases)
        EXPECT_EQ(std::string(c.words), Sorted(env.Find(c.key, c.flags))) << c.key << " " << c.flags;
}

struct Progress {
    std::vector<int> mille;
    std::vector<std::string> words;
    size_t stopAt = 1000;
};

int CALLBACK Record(VLDataItem *item, int perMille, void *user) {
    Progress *p = (Progress *)user;
    p->mille.push_back(perMille);
    p->words.push_back(item->headword);
    return p->mille.size() < p->stopAt;
}

TEST(FullText, ProgressAndStopAreTheSameWithKeptTexts) {
    std::vector<dicfix::Entry> entries;
    for (int i = 0; i < 12; i++) {
        char word[8], text[32];
        snprintf(word, sizeof word, "w%02d", i);
        snprintf(text, sizeof text, i % 3 ? "plain text %d" : "fruit %d", i);
        entries.push_back(E(word, 0, text));
    }
    FullTextEnv env(0x0700, 0, entries);
    Progress made, kept;
    EXPECT_EQ("w00 w03 w06 w09", env.Find("fruit", 0x30, Record, &made));
    EXPECT_EQ("w00 w03 w06 w09", env.Find("fruit", 0x30, Record, &kept));
    // Every entry changes the per mille: each is reported, with its own item.
    const std::vector<int> mille = {0, 83, 166, 250, 333, 416, 500, 583, 666, 750, 833, 916};
    EXPECT_EQ(mille, made.mille);
    EXPECT_EQ(made.mille, kept.mille);
    EXPECT_EQ(made.words, kept.words);
    EXPECT_EQ("w05", made.words[5]);
    // A 0 from the procedure ends the walk after the entry it was given.
    Progress stop;
    stop.stopAt = 4;
    EXPECT_EQ("w00 w03", env.Find("fruit", 0x30, Record, &stop));
    EXPECT_EQ(4u, stop.mille.size());
}

TEST(FullText, BooksAreSearchedEntryByEntry) {
    kit::Sandbox box("fulltextbook", kit::Mode::File);
    auto e = [](const char *key, const char *body, bool grouped = false) {
        bookfix::Entry x;
        x.key = key;
        x.body = bookfix::J(body);
        x.grouped = grouped;
        return x;
    };
    std::vector<bookfix::Entry> entries = {e("apple", "a fruit"), e("Banana", "yellow"), e("cherry", "red fruit"),
                                           e("date", "palm"), e("egg", "from a hen"), e("egg", "to urge", true),
                                           e("fig", "tree fruit")};
    bookfix::Layout layout;
    std::string path = box.Path("book.bk");
    kit::WriteAll(path, bookfix::Build(entries, "", &layout));
    const DWORD bookId = 0xD001;
    kit::Register(bookId, path, "Test Book", 1, 0x0100);
    ASSERT_TRUE(Lexicore_Init("VLTB", 0));
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, bookId << 8, FALSE));
    DicQuery *q = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(100);
    Lexicore_SetQuerySession(q, s);
    Lexicore_SetQueryResultList(q, list);
    auto find = [&](const char *key, DWORD flags, Progress *p) {
        int r = RunText(q, list, key, flags, p ? Record : nullptr, p);
        std::string words;
        for (LONG i = 0; i < VLWordList_Count(list); i++) {
            words += (i ? " " : "") + std::string(VLWordList_GetItem(list, i)->headword);
            words += "@" + std::to_string(VLWordList_GetItem(list, i)->head.textPos == layout.textPos[5] ? 5 : 0);
        }
        return std::to_string(r) + ":" + words;
    };
    // Each entry once, in the order of the book's index; the two entries under one key each.
    EXPECT_EQ("1:apple@0 cherry@0 fig@0", find("fruit", 0x30, nullptr));
    EXPECT_EQ("1:egg@5", find("URGE", 0x30, nullptr));
    EXPECT_EQ("1:egg@0", find("hen", 0x30, nullptr));
    EXPECT_EQ("0:", find("grape", 0x30, nullptr));
    // Progress over the seven entries; the second query reads the kept texts.
    Progress all;
    EXPECT_EQ("1:apple@0 cherry@0 fig@0", find("fruit", 0x30, &all));
    EXPECT_EQ((std::vector<int>{0, 142, 285, 428, 571, 714, 857}), all.mille);
    Progress first;
    first.stopAt = 1;
    EXPECT_EQ("1:apple@0", find("fruit", 0x30, &first));
    // The session is left on the index it was on.
    EXPECT_EQ(0, s->backward);
    Lexicore_DestroyQuery(q);
    VLWordList_Destroy(list);
    Lexicore_DestroySession(s);
}

}  // namespace
