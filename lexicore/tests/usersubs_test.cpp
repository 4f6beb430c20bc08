// User dictionaries of several sub-dictionaries (the engine makes one, but reads sets made
// elsewhere): a text that another sub-dictionary's items use is never freed under them, by an
// update or by the repair after an interrupted change.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
// The store is built into this program so that the tests can place records by hand.
#include "../user/userstore.cpp"
#include "../user/userbtree.cpp"
#include "../user/userentry.cpp"

namespace {

const DWORD kId = 0xF321;

int Compare(void *, DWORD, const char *key, const char *text) {
    int c = strcmp(key, text);
    return c < 0 ? -1 : c > 0;
}
void Normalise(void *, const char *key, char *out) { strcpy(out, key); }
const LuOrder kOrder = {nullptr, Compare, Normalise};

LuRecord Rec(const char *hw) {
    LuRecord r;
    memset(&r, 0, sizeof r);
    r.str[0] = hw;
    r.len[0] = (DWORD)strlen(hw);
    return r;
}

// A set whose sub-dictionary 0 holds "own" and whose sub-dictionary 1 (of the index kind given)
// holds an item that uses a text record of its own ("theirs") and, when shared, also the text of
// "own".
struct TwoSubs {
    std::string main;
    LuDic d;
    DWORD ownText = 0, theirText = 0, theirItem = 0;
    TwoSubs(const char *name, BYTE kind1, bool shared) {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, cwd);
        std::string base = std::string(cwd) + "\\" + name;
        for (const char *ext : {".rdt", ".rxa", ".rna", ".rra", ".rxb", ".rnb", ".rrb"}) DeleteFileA((base + ext).c_str());
        main = base + ".rdc";
        EXPECT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 0, 0, 1, 0x0100, false));
        EXPECT_TRUE(LuDic_CreateFiles(main.c_str(), kId, 1, 1, kind1, 0x0100, true));
        EXPECT_TRUE(LuDic_Open(&d, main.c_str(), kId, 0, true, &kOrder));
        LuRecord own = Rec("own");
        EXPECT_GE(LuDic_Add(&d, &own, "own text", 8, nullptr, 0), 0);
        std::vector<DWORD> items;
        LONG at = 0;
        EXPECT_EQ(1, LuDic_Locate(&d, "own", 0, false, &at));
        DWORD ownItem = 0;
        EXPECT_TRUE(LuTree_KeyAt(&d.forward, at, &ownItem));
        LuItem it;
        EXPECT_TRUE(LuDic_ReadItem(&d, ownItem, &it));
        ownText = it.textPos;
        // Sub-dictionary 1's item, written into its item file by hand.
        LuFile items1;
        EXPECT_TRUE(LuFile_Open(&items1, (base + ".rxb").c_str(), kId, kLuTypeItems, true));
        LuRecord theirs = Rec("theirs");
        theirText = LuFile_Allocate(&d.text, kHeadSize + 11 + kTextLinkRoom * kLinkSize);
        std::vector<BYTE> item = ItemBytes(1, &theirs, shared ? ownText : theirText);
        theirItem = LuFile_Allocate(&items1, (DWORD)item.size());
        EXPECT_TRUE(LuFile_Write(&items1, theirItem + kLuPrefix, item.data(), (DWORD)item.size()));
        LuFile_Close(&items1);
        std::vector<BYTE> link(kLinkSize, 0);
        link[0] = 1;
        link[1] = 1;
        LuPut32(&link[4], theirItem);
        EXPECT_TRUE(WriteText(&d, theirText, "their text", 10, nullptr, 0, link));
        if (shared) {
            TextInfo t;
            EXPECT_TRUE(ReadTextInfo(&d.text, ownText, &t));
            t.links.insert(t.links.end(), link.begin(), link.end());
            EXPECT_TRUE(WriteText(&d, ownText, "own text", 8, nullptr, 0, t.links));
        }
    }
    ~TwoSubs() { LuDic_Close(&d); }
    bool TextInUse(DWORD pos) {
        TextInfo t;
        return LuFile_Reload(&d.text) && ReadTextInfo(&d.text, pos, &t);
    }
    bool ItemInUse(DWORD pos) {
        LuFile items1;
        std::string path = main.substr(0, main.size() - 4) + ".rxb";
        if (!LuFile_Open(&items1, path.c_str(), kId, kLuTypeItems, false)) return false;
        DWORD size;
        BYTE flag, links;
        bool used = LuFile_BlockAt(&items1, pos, &size, &flag, &links) && flag != kLuFreeFlag;
        LuFile_Close(&items1);
        return used;
    }
};

TEST(UserSubDictionaries, AnUpdateNeverFreesATextAnotherSubDictionaryUses) {
    TwoSubs set("shared", 1, true);
    LONG at = 0;
    ASSERT_EQ(1, LuDic_Locate(&set.d, "own", 0, false, &at));
    DWORD ownItem = 0;
    ASSERT_TRUE(LuTree_KeyAt(&set.d.forward, at, &ownItem));
    EXPECT_FALSE(LuDic_Update(&set.d, &ownItem, nullptr, "a much longer new text", 22, nullptr, 0, &at));
    EXPECT_TRUE(set.TextInUse(set.ownText));
    TextInfo t;
    ASSERT_TRUE(ReadTextInfo(&set.d.text, set.ownText, &t));
    EXPECT_EQ(16u, t.links.size());  // both items still linked
}

// The repair after an interrupted change keeps what it cannot check: the items of an index kind
// it does not read, and the texts of an item file it cannot open; a repair that would free those
// is refused.
TEST(UserSubDictionaries, TheRepairKeepsWhatOtherSubDictionariesUse) {
    struct Case {
        const char *name;
        BYTE kind;
        bool holdItems;   // another program holds sub-dictionary 1's item file
        bool repaired;
    } cases[] = {{"otherkind", 2, false, true}, {"heldfile", 1, true, false}};
    for (const Case &c : cases) {
        TwoSubs set(c.name, c.kind, false);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.holdItems) {
            std::string path = set.main.substr(0, set.main.size() - 4) + ".rxb";
            held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, held) << c.name;
        }
        EXPECT_EQ(c.repaired, LuDic_Repair(&set.d)) << c.name;
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_TRUE(set.TextInUse(set.theirText)) << c.name;
        EXPECT_TRUE(set.TextInUse(set.ownText)) << c.name;
        EXPECT_TRUE(set.ItemInUse(set.theirItem)) << c.name;
        LONG at = 0;
        EXPECT_EQ(1, LuDic_Locate(&set.d, "own", 0, false, &at)) << c.name;
    }
}

}  // namespace
