// Full-text queries over entry texts that differ from the key in case, accents, line ends and
// character boundaries: the folded search must find what the language driver finds equal, and
// nothing inside a double-byte character.
#include <gtest/gtest.h>
#include <string.h>
#include "testkit.h"

using kit::E;

namespace {

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
    std::string Find(const char *key, DWORD flags) {
        LexicoreCondition c;
        memset(&c, 0, sizeof c);
        c.kind = 8;
        c.textLen = (DWORD)strlen(key);
        memcpy(c.text, key, c.textLen);
        VLWordList_DeleteAllItems(list);
        Lexicore_RunFullTextQuery(query, &c, 1, TRUE, flags, nullptr, nullptr);
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
    // German: "Caf\xe9" is "Cafe" with e acute; "Stra\xdf" "e" (with sharp s, a byte compared as two
    // letters) sends its entry to the driver position by position.
    FullTextEnv env(0x0700, 0, {E("alpha", 0, "ein Caf\xe9 am Markt"), E("beta", 0, "CAFE und Kuchen"),
                                E("delta", 0, "die Stra\xdf" "e entlang"), E("gamma", 0, "eine gelbe\r\nFrucht"),
                                E("zeta", 0, "kaffee"), E("eta", 0, "apple pie ist s\xfc\xdf")});
    const FindCase cases[] = {
        {"CAFE", 0, "beta"},              {"Caf\xe9", 0, "alpha"},     {"cAfE", 0x30, "beta"},
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

}  // namespace
