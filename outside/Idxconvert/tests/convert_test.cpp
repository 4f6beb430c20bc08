// The book-index converter started as the dictionary finder starts it ("%s %s %s": program, index
// and My Dictionary folder, nothing quoted), the book and CATALOGS file it leaves, read back with
// the engine's book reader; deep indexes; damaged indexes and command lines that leave nothing.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "basekit.h"
#include "idxconvert.h"
#include "lexicore.h"
#include "lexidata.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "support/testkit_process.h"

namespace {

const DWORD kBookId = 0xD0F1;

const auto &Cwd = Testkit_Cwd;
const auto &Exists = Testkit_Exists;
const auto &RemoveFolder = Testkit_RemoveFolder;

// A book index: head with the name, then the lines as given.
std::string IndexFile(const std::string &name, const std::string &lines) {
    std::string head = "SSEDINFO01.00" + name;
    head.resize(77, '\0');
    return head + lines;
}

uint32_t Be16(const std::string &b, size_t at) { return (uint8_t)b[at] << 8 | (uint8_t)b[at + 1]; }
uint32_t Be32(const std::string &b, size_t at) { return Be16(b, at) << 16 | Be16(b, at + 2); }

// Entry text with the charset tags (ESC F and two digits) taken out.
std::string Untagged(const std::string &t) {
    std::string out;
    for (size_t i = 0; i < t.size(); i++) {
        if (t[i] == '\x1b' && i + 3 < t.size() + 1 && t[i + 1] == 'F') {
            i += 3;
            continue;
        }
        out += t[i];
    }
    return out;
}

struct Found {
    std::vector<std::string> words;
    std::vector<VLDataItem *> items;
    size_t stopAfter = 1000;
    ~Found() {
        for (VLDataItem *i : items) VLDataItem_Destroy(i);
    }
};

int CALLBACK Collect(VLDataItem *item, int, void *user) {
    Found *f = (Found *)user;
    f->words.push_back(item->headword);
    f->items.push_back(VLDataItem_Dup(item));
    return f->words.size() >= f->stopAfter ? LEXICORE_ITEM_FULL : LEXICORE_ITEM_ADDED;
}

class ConvertTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = Cwd() + "\\convert";
        RemoveFolder(root);
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA((root + "\\index files").c_str(), nullptr);
        myDic = root + "\\My Dictionary";
        settings = root + "\\settings.ini";
    }
    void TearDown() override {
        Lexicore_Term();
        Basekit_SettingsSetFile(nullptr);
        RemoveFolder(root);
    }
    std::string WriteIndex(const std::string &bytes, const char *file = "sample.idx") {
        std::string path = root + "\\index files\\" + file;
        Testkit_WriteFile(path, bytes);
        return path;
    }
    // Runs the converter with the finder's command line; its exit code.
    long Convert(const std::string &index, const std::string &folder) {
        return Run(Testkit_ExeFolder() + "Idxconvert.exe " + index + " " + folder);
    }
    long Run(const std::string &line) {
        TestkitProcess p;
        if (!p.Start(line)) return -100;
        long code = p.WaitExit();
        if (code == -1) p.End();
        return code;
    }
    // Registers the converted book (one sub-dictionary, English) in a settings file of its own and
    // opens a session on it.
    DicSession *Open(const std::string &honmon) {
        Testkit_WriteFile(settings, "");
        Basekit_SettingsSetFile(settings.c_str());
        char key[MAX_PATH];
        Lexidata_GetDicKey(kBookId, key);
        Basekit_SettingsWriteString(key, "FileName", honmon.c_str());
        Basekit_SettingsWriteString(key, "Name", "Converted");
        Lexidata_GetDicIndexKey(kBookId, 1, key);
        Basekit_SettingsWriteDword(key, "LangID", 0x0100);
        Basekit_SettingsWriteString(key, "NickName", "Converted");
        if (!Lexicore_Init("VLIDX", 0)) return nullptr;
        DicSession *s = Lexicore_CreateSession();
        if (!Lexicore_OpenSession(s, kBookId << 8, FALSE)) {
            Lexicore_DestroySession(s);
            return nullptr;
        }
        return s;
    }
    void Close(DicSession *s) {
        Lexicore_CloseSession(s);
        Lexicore_DestroySession(s);
    }
    std::string Text(const VLDataItem *item) {
        VLData data;
        memset(&data, 0, sizeof data);
        if (!Lexicore_ReadEntryText(item, &data)) return "<failed>";
        std::string r(data.data1, data.len1 ? data.len1 - 1 : 0);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        return Untagged(r);
    }
    std::string root, myDic, settings;
};

}  // namespace

TEST_F(ConvertTest, TheFindersCommandLineLeavesABookTheEngineReads) {
    // The folder is named after the book (ASCII here: the test machine's file names are ASCII).
    const std::string name = "Sample Book EJ";
    std::string index = WriteIndex(IndexFile(name + "   ",
        "; entries\r\n"
        "cherry\tred fruit\r\n"
        "apple\tround fruit\\nred or green\r\n"
        "Banana\tyellow\\nline two \\\\ end\r\n"
        "\r\n"
        "dictionary\t\x8E\xAB\x8F\x91\x82\xF0\x88\xF8\x82\xAD\\n\x95\x5C\r\n"  // 辞書を引く, 表 (second byte a backslash)
        "don't\tan apostrophe has no single-byte form in a book\n"
        "\xB6\xC5\tkana\n"  // half-width カナ
        "empty"));
    ASSERT_EQ(Convert(index, myDic), IDXCONVERT_EXIT_DONE);

    std::string book = myDic + "\\" + name;
    std::string honmon = book + "\\BOOK\\Data\\Honmon";
    ASSERT_TRUE(Exists(book + "\\Catalogs"));
    ASSERT_TRUE(Exists(honmon));
    EXPECT_FALSE(Exists(book + "\\Catalogs.new"));
    EXPECT_FALSE(Exists(honmon + ".new"));

    std::string cat = Testkit_ReadFile(book + "\\Catalogs");
    ASSERT_EQ(cat.size(), 16u + 164u);
    EXPECT_EQ(Be16(cat, 0), 1u) << "one book";
    EXPECT_LE(Be16(cat, 2), 64u);
    EXPECT_EQ((uint8_t)cat[16], 0x20) << "book type";
    EXPECT_EQ(Be16(cat, 18), 0x2353u) << "the title starts with a full-width S";
    EXPECT_EQ(Be16(cat, 18 + 2 * 6), 0x2121u) << "a blank as the full-width space";
    EXPECT_EQ(Be16(cat, 18 + 2 * 13), 0x234Au) << "J";
    EXPECT_EQ(Be16(cat, 18 + 2 * 14), 0u) << "the title is zero-padded";
    EXPECT_EQ(cat.substr(16 + 82, 8), "BOOK    ");
    EXPECT_EQ(Be16(cat, 16 + 94), 1u) << "index page in block 1";
    EXPECT_EQ(cat.substr(16 + 100, 64), std::string(64, ' ')) << "no external-character fonts";

    std::string bytes = Testkit_ReadFile(honmon);
    ASSERT_EQ(bytes.size() % 2048, 0u);
    EXPECT_EQ(Be16(bytes, 0), 1u) << "one directory entry";
    EXPECT_EQ((uint8_t)bytes[16], 0x91);
    EXPECT_EQ(Be32(bytes, 18) + Be32(bytes, 22) - 1, bytes.size() / 2048) << "the index runs to the end";

    DicSession *s = Open(honmon);
    ASSERT_TRUE(s);
    Found all;
    EXPECT_EQ(Lexicore_Search(s, "b", 0, Collect, &all), 1);
    std::string words;
    for (const std::string &w : all.words) words += w + " ";
    EXPECT_EQ(words, "Banana cherry dictionary empty ") << "in order, case ignored; keys without single-byte form passed over";
    ASSERT_EQ(all.items.size(), 4u);
    EXPECT_EQ(Text(all.items[0]), "Banana\ryellow\rline two \\ end");
    EXPECT_EQ(Text(all.items[2]), "dictionary\r\x8E\xAB\x8F\x91\x82\xF0\x88\xF8\x82\xAD\r\x95\x5C");
    EXPECT_EQ(Text(all.items[3]), "empty\r");
    Found apple;
    apple.stopAfter = 1;
    Lexicore_Search(s, "APPLE", 0, Collect, &apple);
    ASSERT_EQ(apple.words.size(), 1u);
    EXPECT_EQ(Text(apple.items[0]), "apple\rround fruit\rred or green");
    Close(s);
}

TEST_F(ConvertTest, ALargeIndexMakesADeeperTreeAndEveryKeyIsFound) {
    std::string lines;
    std::vector<std::string> keys;
    for (int i = 0; i < 600; i++) {
        char key[16];
        snprintf(key, sizeof key, "w%04d", (i * 7919) % 600);  // out of order in the file
        keys.push_back(key);
        lines += std::string(key) + "\ttext of " + key + "\n";
    }
    // Long headwords: a few records fill a block, so the tree gets a third level.
    for (int i = 0; i < 150; i++) {
        std::string key = "long" + std::string(1, (char)('a' + i % 26)) + std::to_string(i) + std::string(120, 'x');
        keys.push_back(key);
        lines += key + "\tlong\n";
    }
    std::string index = WriteIndex(IndexFile("Deep", lines));
    ASSERT_EQ(Convert(index, myDic), IDXCONVERT_EXIT_DONE);
    std::string honmon = myDic + "\\Deep\\BOOK\\Data\\Honmon";
    std::string bytes = Testkit_ReadFile(honmon);
    ASSERT_GT(bytes.size(), 2048u);
    uint32_t rootBlock = Be32(bytes, 18);
    size_t rootAt = (rootBlock - 1) * 2048;
    ASSERT_LT(rootAt, bytes.size());
    EXPECT_EQ((uint8_t)bytes[rootAt] & 0x80, 0) << "the root is an inner block";
    size_t keyLen = (uint8_t)bytes[rootAt + 3];
    uint32_t child = Be32(bytes, rootAt + 4 + keyLen);
    EXPECT_GT(child, rootBlock);
    EXPECT_EQ((uint8_t)bytes[(child - 1) * 2048] & 0x80, 0) << "three levels: the root's child is inner too";

    DicSession *s = Open(honmon);
    ASSERT_TRUE(s);
    for (size_t i = 0; i < keys.size(); i += 3) {
        Found one;
        one.stopAfter = 1;
        Lexicore_Search(s, keys[i].c_str(), 0, Collect, &one);
        ASSERT_EQ(one.words.size(), 1u) << keys[i];
        EXPECT_EQ(one.words[0], keys[i].substr(0, IDXCONVERT_MAX_KEY));
    }
    Close(s);
}

TEST_F(ConvertTest, QuotedArgumentsAFolderNameFromAnyNameAndAReplacedBook) {
    std::string index = WriteIndex(IndexFile("a/b:c*?<x>  ", "one\tfirst\n"), "odd name.idx");
    std::string line = "\"" + Testkit_ExeFolder() + "Idxconvert.exe\" \"" + index + "\" \"" + myDic + "\\\"";
    ASSERT_EQ(Run(line), IDXCONVERT_EXIT_DONE);
    std::string honmon = myDic + "\\a_b_c___x_\\BOOK\\Data\\Honmon";
    ASSERT_TRUE(Exists(honmon));
    std::string first = Testkit_ReadFile(honmon);

    WriteIndex(IndexFile("a/b:c*?<x>", "one\tsecond version\ntwo\tmore\n"), "odd name.idx");
    ASSERT_EQ(Run(line), IDXCONVERT_EXIT_DONE);
    EXPECT_NE(Testkit_ReadFile(honmon), first) << "the book is replaced";
    DicSession *s = Open(honmon);
    ASSERT_TRUE(s);
    Found all;
    Lexicore_Search(s, "o", 0, Collect, &all);
    ASSERT_EQ(all.words.size(), 2u);
    EXPECT_EQ(Text(all.items[0]), "one\rsecond version");
    Close(s);

    WriteIndex(IndexFile("", "x\ty\n"), "noname.idx");
    ASSERT_EQ(Convert(root + "\\index files\\noname.idx", myDic), IDXCONVERT_EXIT_DONE);
    EXPECT_TRUE(Exists(myDic + "\\Book\\Catalogs")) << "an empty name gives the folder Book";
}

TEST_F(ConvertTest, DamagedIndexesAndCommandLinesLeaveNoBook) {
    std::string blocker = root + "\\blocked";
    Testkit_WriteFile(blocker, "a file where the folder should be");
    const std::string good = IndexFile("Damaged", "word\ttext\n");
    std::string wrongSignature = good, wrongMark = good;
    wrongSignature[0] = 'X';
    wrongMark[9] = '2';
    struct Case {
        const char *what;
        std::string bytes;  // empty: the index is not written
        std::string folder;
        long code;
    } cases[] = {
        {"wrong signature", wrongSignature, "", IDXCONVERT_EXIT_NOT_INDEX},
        {"wrong format mark", wrongMark, "", IDXCONVERT_EXIT_NOT_INDEX},
        {"shorter than its head", good.substr(0, 76), "", IDXCONVERT_EXIT_NOT_INDEX},
        {"no file", "", "", IDXCONVERT_EXIT_NOT_INDEX},
        {"no entry", IndexFile("Damaged", "; only a comment\n\n\tno headword\n"), "", IDXCONVERT_EXIT_EMPTY},
        {"folder cannot be made", good, blocker, IDXCONVERT_EXIT_UNWRITABLE},
    };
    for (const Case &c : cases) {
        std::string path = root + "\\index files\\damaged.idx";
        DeleteFileA(path.c_str());
        if (!c.bytes.empty()) Testkit_WriteFile(path, c.bytes);
        std::string folder = c.folder.empty() ? myDic : c.folder;
        EXPECT_EQ(Convert(path, folder), c.code) << c.what;
        EXPECT_FALSE(Exists(folder + "\\Damaged\\Catalogs")) << c.what;
    }
    std::string index = WriteIndex(good);
    EXPECT_EQ(Run(Testkit_ExeFolder() + "Idxconvert.exe"), IDXCONVERT_EXIT_USAGE);
    EXPECT_EQ(Run(Testkit_ExeFolder() + "Idxconvert.exe " + index), IDXCONVERT_EXIT_USAGE) << "no folder";
    EXPECT_FALSE(Exists(myDic));
}
