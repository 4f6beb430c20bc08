// Stored forms of the files the suite writes, byte for byte against committed fixtures, so that the
// x86 and the x64 lane are seen to write the same bytes:
//   wordlist.vlw, additem.vlw, clipboard.bin   a word list saved, appended item by item, copied
//   dictionary_en.dic, dictionary_ja.dic       a static dictionary as the builder writes it (plain;
//                                              coded, version 1)
//   userdic.rdc .rdt .rxa .rna .rra            a user dictionary's file set
//   exchange.txt                               the text export of that user dictionary
// Each form is written from fixed inputs and compared with its fixture; then every fixture is read
// with the suite's own reader and written again, which must give the fixture's bytes.
//
// The fixtures are written by the x86 lane: run the x86 lane's test with STOREDFORMS_WRITE=1 and it
// writes its outputs into the fixture folder (STOREDFORMS_DIR) instead of comparing.
//
// Nothing is masked.  The forms hold no clock or random value of their own: an item's time stamp is
// one of its fixed inputs, and a new user dictionary gets the first free id of an empty catalogue
// (0xF000, in the file headers at 12 and 8).  The dictionaries are ordered by the language drivers
// beside the test (English and Japanese), which it registers for its run.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "linguakeeper.h"
#include "../tools/dicbuild/dicbuild_int.h"
#include "../lexshelf/exchange_int.h"

namespace {

// ---- Files, fixtures and the byte compare -------------------------------------------------------

std::string ReadFile(const std::string &path) {
    std::string out;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    fclose(f);
    return out;
}

bool WriteFile(const std::string &path, const std::string &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool Writing() {
    const char *v = getenv("STOREDFORMS_WRITE");
    return v && strcmp(v, "1") == 0;
}

std::string FixturePath(const std::string &name) { return std::string(STOREDFORMS_DIR) + "/" + name; }

std::string Work(const std::string &name) {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    return std::string(cwd) + "\\" + name;
}

// Equal bytes, or where they first differ.
::testing::AssertionResult SameBytes(const std::string &what, const std::string &expected,
                                     const std::string &actual) {
    size_t n = std::min(expected.size(), actual.size()), at = 0;
    while (at < n && expected[at] == actual[at])
        at++;
    if (at == n && expected.size() == actual.size())
        return ::testing::AssertionSuccess();
    char detail[160];
    if (at < n)
        snprintf(detail, sizeof detail, "first difference at offset %zu (0x%zx): fixture %02x, written %02x", at, at,
                 (unsigned char)expected[at], (unsigned char)actual[at]);
    else
        snprintf(detail, sizeof detail, "same bytes up to %zu; fixture %zu bytes, written %zu", at, expected.size(),
                 actual.size());
    return ::testing::AssertionFailure() << what << ": " << detail;
}

// A form written from the fixed inputs: becomes the fixture (STOREDFORMS_WRITE=1) or is compared
// with it.
void CheckWritten(const std::string &fixture, const std::string &written) {
    ASSERT_FALSE(written.empty()) << fixture;
    if (Writing()) {
        ASSERT_TRUE(WriteFile(FixturePath(fixture), written)) << FixturePath(fixture);
        return;
    }
    std::string expected = ReadFile(FixturePath(fixture));
    ASSERT_FALSE(expected.empty()) << "no fixture " << FixturePath(fixture);
    EXPECT_TRUE(SameBytes(fixture, expected, written));
}

// A fixture read and written again by the suite.
void CheckRewritten(const std::string &fixture, const std::string &rewritten) {
    EXPECT_TRUE(SameBytes(fixture + " read and written again", ReadFile(FixturePath(fixture)), rewritten));
}

// A copy of a fixture in the working folder (readers may open their file for writing).
std::string CopyOfFixture(const std::string &fixture, const std::string &name) {
    std::string path = Work(name);
    WriteFile(path, ReadFile(FixturePath(fixture)));
    return path;
}

// A fresh, empty settings file: the catalogue starts empty and stays out of the registry.
void FreshSettings(const char *name) {
    std::string path = Work(name);
    WriteFile(path, "");
    Basekit_SettingsSetFile(path.c_str());
}

DWORD Get32(const std::string &b, size_t at) {
    DWORD v = 0;
    for (int i = 3; i >= 0; i--)
        v = v << 8 | (unsigned char)b[at + i];
    return v;
}

// The language drivers beside the test order the dictionaries; their keys are removed afterwards.
class DriverKeys : public ::testing::Environment {
public:
    void SetUp() override {
        Remove();
        Db_RegisterDrivers();
    }
    void TearDown() override { Remove(); }
    static void Remove() {
        for (const char *code : {"0100", "0700", "0400"})
            RegDeleteTreeA(HKEY_CURRENT_USER,
                           (std::string("SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\") + code).c_str());
    }
};
::testing::Environment *const g_driverKeys = ::testing::AddGlobalTestEnvironment(new DriverKeys);

// Text of this file's inputs, in Shift-JIS (escaped bytes):
//   "\x8c\xa2" inu (dog), "\x82\xa2\x82\xca" its reading; "\x93\xfa\x96\x7b\x8c\xea" nihongo,
//   "\x82\xc9\x82\xd9\x82\xf1\x82\xb2" its reading; "\x95\x5c" hyou (table, a trail byte 0x5C),
//   "\x82\xd0\x82\xe5\x82\xa4" its reading; "\x8e\xab\x8f\x91" jisho (dictionary),
//   "\x82\xb6\x82\xb5\x82\xe5" its reading; "\xb1" half-width katakana a.

// ---- Word list, clipboard block -----------------------------------------------------------------

// A data item with every head field set from n, so that a field written at the wrong place shows.
VLDataItem *MakeItem(int n, const char *headword, const char *second, const char *third, const char *fourth,
                     WORD language, BYTE charset) {
    VLDataItem h;
    memset(&h, 0, sizeof h);
    h.head.type = VLITEM_DATA;
    h.head.fileId = 0x2100 + n;
    h.head.subDicNo = n;
    h.head.entryNo = 100 * n + 1;
    h.head.time.dwLowDateTime = 0x89ABCDE0u + n;
    h.head.time.dwHighDateTime = 0x01DA5000u + n;
    h.head.textPos = 0x1000 * n + 17;
    h.head.extra = 0xE0000000u + n;
    h.language = language;
    h.reserved38 = (WORD)(0x3800 + n);
    h.entryLink = (DWORD)n << 16 | 7;
    h.score = 0x12345600u + n;
    h.indexValue72 = 0x72000000u + n;
    h.indexValue = 0x76000000u + n;
    h.indexValue16a = (WORD)(0x8000 + n);
    h.indexValue16b = (WORD)(0x8200 + n);
    h.indexByte = (BYTE)(0x84 + n);
    for (int i = 0; i < 7; i++)
        h.reserved85[i] = (BYTE)(0x85 + i);
    h.reserved100 = 0x10000000u + n;
    h.charset = charset;
    for (int i = 0; i < 3; i++)
        h.reserved105[i] = (BYTE)(0xA5 + i);
    return VLDataItem_Create(&h, headword, second, third, fourth);
}

// Four strings; Japanese headword and reading without third and fourth; a headword alone (0x5C
// trail byte); no headword (offset 0), a second and a fourth string.
std::vector<VLDataItem *> WordListItems() {
    return {MakeItem(1, "apple", "AP-uhl", "noun", "fruit of the apple tree", 0x0100, 0),
            MakeItem(2, "\x93\xfa\x96\x7b\x8c\xea", "\x82\xc9\x82\xd9\x82\xf1\x82\xb2", nullptr, nullptr, 0x0400, 128),
            MakeItem(3, "\x95\x5c", nullptr, nullptr, nullptr, 0x0400, 128),
            MakeItem(4, nullptr, "second only", nullptr, "fourth", 0x0100, 0)};
}

std::string ClipboardBlock() {
    std::string out;
    if (!OpenClipboard(nullptr))
        return out;
    HANDLE mem = GetClipboardData(DLVGetClipbordFormat());
    const char *p = mem ? (const char *)GlobalLock(mem) : nullptr;
    if (p) {
        out.assign(p, GlobalSize(mem));
        GlobalUnlock(mem);
    }
    CloseClipboard();
    return out;
}

bool PutClipboardBlock(const std::string &bytes) {
    if (!OpenClipboard(nullptr))
        return false;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    char *p = mem ? (char *)GlobalLock(mem) : nullptr;
    bool ok = false;
    if (p) {
        memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(mem);
        EmptyClipboard();
        ok = SetClipboardData(DLVGetClipbordFormat(), mem) != nullptr;
    }
    if (!ok && mem)
        GlobalFree(mem);
    CloseClipboard();
    return ok;
}

// A list of the maximum a stored word list records (header offset 18).
VLWordList *ListForBlock(const std::string &block) {
    return VLWordList_Create(block.size() >= 32 ? (LONG)Get32(block, 18) : 0);
}

TEST(StoredForms, WordListFileAndClipboardBlock) {
    std::vector<VLDataItem *> items = WordListItems();
    VLWordList *list = VLWordList_Create(10);
    for (VLDataItem *item : items) {
        ASSERT_TRUE(item);
        EXPECT_GE(VLWordList_AddEx(list, -1, item), 0);
    }
    ASSERT_TRUE(VLWordList_Save(list, Work("wordlist.vlw").c_str()));
    CheckWritten("wordlist.vlw", ReadFile(Work("wordlist.vlw")));
    DeleteFileA(Work("additem.vlw").c_str());
    for (VLDataItem *item : items)
        ASSERT_TRUE(VLWordList_AddItemToFile(Work("additem.vlw").c_str(), item));
    CheckWritten("additem.vlw", ReadFile(Work("additem.vlw")));
    ASSERT_TRUE(VLWordList_Copy(list, nullptr));
    CheckWritten("clipboard.bin", ClipboardBlock());
    VLWordList_Destroy(list);
    for (VLDataItem *item : items)
        VLDataItem_Destroy(item);

    // Read and written again: loaded and saved; loaded and appended item by item; pasted and copied.
    std::string saved = ReadFile(FixturePath("wordlist.vlw"));
    list = ListForBlock(saved);
    ASSERT_TRUE(VLWordList_Load(list, CopyOfFixture("wordlist.vlw", "wordlist_in.vlw").c_str()));
    ASSERT_TRUE(VLWordList_Save(list, Work("wordlist_out.vlw").c_str()));
    CheckRewritten("wordlist.vlw", ReadFile(Work("wordlist_out.vlw")));
    VLWordList_Destroy(list);

    list = VLWordList_Create(100);
    ASSERT_TRUE(VLWordList_Load(list, CopyOfFixture("additem.vlw", "additem_in.vlw").c_str()));
    DeleteFileA(Work("additem_out.vlw").c_str());
    for (LONG i = 0; i < VLWordList_Count(list); i++)
        ASSERT_TRUE(VLWordList_AddItemToFile(Work("additem_out.vlw").c_str(), VLWordList_GetItem(list, i)));
    CheckRewritten("additem.vlw", ReadFile(Work("additem_out.vlw")));
    VLWordList_Destroy(list);

    std::string block = ReadFile(FixturePath("clipboard.bin"));
    list = ListForBlock(block);
    ASSERT_TRUE(PutClipboardBlock(block));
    ASSERT_TRUE(VLWordList_Paste(list, nullptr));
    ASSERT_TRUE(VLWordList_Copy(list, nullptr));
    CheckRewritten("clipboard.bin", ClipboardBlock());
    VLWordList_Destroy(list);
}

// ---- Dictionary file as the builder writes it -------------------------------------------------

// The engine's reader line ends are CR (it turns CR LF into CR), so the entry texts hold CR alone.
struct DicCase {
    const char *fixture;
    DWORD fileId;
    WORD language, target;
    BYTE charset;
    bool coded;
    const char *font;
    std::vector<DbEntry> entries;  // in source order
    std::vector<std::string> texts;
};

std::vector<DicCase> DicCases() {
    std::string longText;
    for (int i = 0; i < 12; i++)
        longText += "\x8e\xab\x8f\x91 [\x82\xb6\x82\xb5\x82\xe5] (n) a book of words and their meanings\r";
    return {
        // Case and accent variants, a headword with two definitions (a sub-entry), two headwords
        // sharing one text, a second string; with the English driver's bucket directory.
        {"dictionary_en.dic", 0x2E01, 0x0100, 0x0700, 0, false, "",
         {{"bank", "", 0}, {"apple", "", 1}, {"Apple", "", 2}, {"bank", "", 3}, {"caf\xe9", "", 4},
          {"cafe", "", 4}, {"o'clock", "", 5}, {"zebra", "ZEE-bruh", 6}},
         {"bank\r  Ufer (n)", "apple\r  Apfel (n)", "Apple\r  the company", "bank\r  Bank (n), Geldinstitut",
          "caf\xe9\r  Caf\xe9 (n)", "o'clock\r  Uhr", "zebra\r  Zebra (n)"}},
        // Japanese headwords with their readings, each reading a headword of its own sharing the
        // text; coded texts and strings of 32 bytes or less and longer (zlib), one of more than 255.
        {"dictionary_ja.dic", 0x2E02, 0x0400, 0x0100, 128, true, "MS Mincho",
         {{"\x8c\xa2", "\x82\xa2\x82\xca", 0}, {"\x82\xa2\x82\xca", "", 0},
          {"\x93\xfa\x96\x7b\x8c\xea", "\x82\xc9\x82\xd9\x82\xf1\x82\xb2", 1},
          {"\x82\xc9\x82\xd9\x82\xf1\x82\xb2", "", 1},
          {"\x95\x5c", "\x82\xd0\x82\xe5\x82\xa4", 2}, {"\x82\xd0\x82\xe5\x82\xa4", "", 2}, {"\xb1", "", 3},
          {"\x8e\xab\x8f\x91", "\x82\xb6\x82\xb5\x82\xe5", 4}},
         {"\x8c\xa2 [\x82\xa2\x82\xca]\r  (n) dog, a domestic animal\r  (P)",
          "\x93\xfa\x96\x7b\x8c\xea [\x82\xc9\x82\xd9\x82\xf1\x82\xb2]\r  (n) Japanese (language)\r  (P)",
          "\x95\x5c (n) table, chart", "\xb1 (n) the letter a", longText}},
    };
}

// The second string as stored: the reader puts the sub-dictionary's charset tag (ESC and three
// bytes) in front of it, and hands a missing one out as the headword (tagged when there is a tag).
std::string StoredSecond(const VLDataItem *item) {
    std::string s(item->second, item->secondLen);
    if (s.size() >= 4 && s[0] == '\x1b')
        s.erase(0, 4);
    return s == std::string(item->headword, item->headwordLen) ? std::string() : s;
}

// Every entry of a built dictionary through the engine (the file registered in the catalogue),
// back as the builder's source: entries in index order, texts in file order.
bool ReadDictionary(const std::string &path, DbSource *src, DbOptions *opt) {
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    if (!DLVReadDicHeader(nullptr, path.c_str(), &info))
        return false;
    snprintf(info.path, sizeof info.path, "%s", path.c_str());
    opt->fileId = info.fileId;
    opt->language = info.languages[0];
    opt->target = info.languages[1];
    opt->charset = (BYTE)info.charset;
    opt->coded = (info.headerFlags & DICFLAG_ENCODED) != 0;
    const char *fonts = (const char *)DLVReadFontInfo(&info);
    opt->font = fonts ? fonts : "";
    DLVDestroyFontInfo((void *)fonts);
    FreshSettings("read.ini");
    if (!Db_Register(*opt, path.c_str(), false) || !Lexicore_Init("StoredFormsTest", 0))
        return false;
    DicSession *s = Lexicore_CreateSession();
    bool ok = Lexicore_OpenSession(s, opt->fileId << 8, FALSE) != 0;
    std::vector<std::pair<DWORD, size_t>> textAt;  // text position, entry
    for (LONG p = 0; ok; p++) {
        VLDataItem *item = Lexicore_GetItem(s, p);
        if (!item)
            break;
        VLData data;
        memset(&data, 0, sizeof data);
        ok = Lexicore_ReadEntryTextEx(s, item, &data) != 0;
        DbEntry e;
        e.head.assign(item->headword, item->headwordLen);
        e.second = StoredSecond(item);
        e.text = 0;
        textAt.push_back({item->head.textPos, src->entries.size()});
        src->entries.push_back(e);
        src->texts.push_back(std::string(data.data1 ? data.data1 : "", data.len1));
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        VLDataItem_Destroy(item);
    }
    Lexicore_CloseSession(s);
    Lexicore_DestroySession(s);
    Lexicore_Term();
    // One text per text position, in file order.
    std::sort(textAt.begin(), textAt.end());
    std::vector<std::string> texts;
    for (size_t i = 0; i < textAt.size(); i++) {
        if (i == 0 || textAt[i].first != textAt[i - 1].first)
            texts.push_back(src->texts[textAt[i].second]);
        src->entries[textAt[i].second].text = (uint32_t)texts.size() - 1;
    }
    src->texts = texts;
    return ok && !src->entries.empty();
}

TEST(StoredForms, DictionaryFileAsTheBuilderWritesIt) {
    ASSERT_TRUE(Linguakeeper_Init(0));
    for (const DicCase &c : DicCases()) {
        DbSource src;
        src.entries = c.entries;
        src.texts = c.texts;
        DbOptions opt;
        opt.fileId = c.fileId;
        opt.language = c.language;
        opt.target = c.target;
        opt.charset = c.charset;
        opt.coded = c.coded;
        opt.font = c.font;
        DbResult res;
        ASSERT_TRUE(Db_Write(src, opt, Work(c.fixture).c_str(), &res)) << c.fixture << " " << res.why;
        CheckWritten(c.fixture, ReadFile(Work(c.fixture)));

        DbSource back;
        DbOptions backOpt;
        ASSERT_TRUE(ReadDictionary(CopyOfFixture(c.fixture, "reread.dic"), &back, &backOpt)) << c.fixture;
        EXPECT_EQ(c.entries.size(), back.entries.size()) << c.fixture;
        ASSERT_TRUE(Db_Write(back, backOpt, Work("rewritten.dic").c_str(), &res)) << c.fixture;
        CheckRewritten(c.fixture, ReadFile(Work("rewritten.dic")));
    }
    Basekit_SettingsSetFile(nullptr);
    Linguakeeper_Term();
}

// ---- User dictionary file set and its text export --------------------------------------------

struct UserEntry {
    std::string headword, reading, third, body, second;
    BYTE indexByte;
    DWORD indexValue;
    WORD value16a, value16b;
    DWORD extra;
};

// Bodies with CR line ends (as the engine's reader gives them back); a reading, a third string,
// attached files, quotes and separators of the export, index values of the item record.
std::vector<UserEntry> UserEntries() {
    return {
        {"\x8c\xa2", "\x82\xa2\x82\xca", "", "\x8c\xa2\rdog, a domestic animal", "c:\\pics\\inu.png;", 0, 0, 0, 0, 0},
        {"apple", "", "", "a fruit\rred or green", "", 0, 0, 0, 0, 0},
        {"\x93\xfa\x96\x7b\x8c\xea", "\x82\xc9\x82\xd9\x82\xf1\x82\xb2", "noun", "\x93\xfa\x96\x7b\x8c\xea\rJapanese", "",
         0, 0, 0, 0, 0},
        {"say \"hi\", then", "", "", "one, \"two\"\rthree", "c:\\notes\\say.txt;", 0, 0, 0, 0, 0},
        {"\x95\x5c", "\x82\xd0\x82\xe5\x82\xa4", "", "\x95\x5c table", "", 5, 0x11223344, 0x5566, 0x7788, 0x99AABBCC},
        {"Apple", "", "", "the company", "", 0, 0, 0, 0, 0},
    };
}

const char *const kUserExts[] = {"rdc", "rdt", "rxa", "rna", "rra"};

// A new user dictionary at mainPath (the engine started) with the entries in order; its file id.
DWORD WriteUserDic(const std::string &mainPath, const std::vector<UserEntry> &entries, DWORD kind, WORD first,
                   WORD second) {
    // An earlier run leaves its set in the working folder, and the engine never creates over it.
    const std::string base = mainPath.substr(0, mainPath.size() - strlen("rdc"));
    for (const char *ext : kUserExts)
        DeleteFileA((base + ext).c_str());
    DWORD fileId = Lexicore_CreateUserDic(mainPath.c_str(), "Stored forms", "SF", 0, kind, first, second);
    for (const UserEntry &e : entries) {
        VLDataItem h;
        memset(&h, 0, sizeof h);
        h.head.type = VLITEM_DATA;
        h.head.extra = e.extra;
        h.indexByte = e.indexByte;
        h.indexValue = e.indexValue;
        h.indexValue16a = e.value16a;
        h.indexValue16b = e.value16b;
        VLDataItem *item = VLDataItem_Create(&h, e.headword.c_str(), e.reading.c_str(), e.third.c_str(), nullptr);
        LONG at = Lexicore_AddUserEntry(fileId << 8, item, e.body.c_str(),
                                        e.second.empty() ? nullptr : e.second.c_str());
        VLDataItem_Destroy(item);
        if (at < 0)
            return 0;
    }
    return fileId;
}

// The entries of a user dictionary's file set through the engine, in the order they were added
// (the order of their text records); kind and languages for writing it again.
bool ReadUserDic(const std::string &mainPath, std::vector<UserEntry> *out, DWORD *kind, WORD *first, WORD *second) {
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    if (!DLVReadDicHeader(nullptr, mainPath.c_str(), &info))
        return false;
    snprintf(info.path, sizeof info.path, "%s", mainPath.c_str());
    snprintf(info.name, sizeof info.name, "reread");
    *first = info.languages[0];
    *second = info.languages[1];
    DicProperty sub;
    memset(&sub, 0, sizeof sub);
    sub.size = sizeof sub;
    sub.dicId = info.fileId << 8;
    sub.fileId = info.fileId;
    sub.language = *first;
    FreshSettings("read.ini");
    if (!Lexidata_AddDicToRegistry(&info, &sub, 1) || !Lexicore_Init("StoredFormsTest", 0))
        return false;
    DicProperty p;
    memset(&p, 0, sizeof p);
    p.size = sizeof p;
    bool ok = Lexicore_GetDicProperty(info.fileId << 8, &p) != 0;
    *kind = p.indexKind;
    DicSession *s = Lexicore_CreateSession();
    ok = ok && Lexicore_OpenSession(s, info.fileId << 8, FALSE);
    std::vector<std::pair<DWORD, UserEntry>> found;
    for (LONG i = 0; ok; i++) {
        VLDataItem *item = Lexicore_GetItem(s, i);
        if (!item)
            break;
        UserEntry e = {};
        e.headword.assign(item->headword, item->headwordLen);
        e.reading = StoredSecond(item);
        if (item->third != item->headword)
            e.third.assign(item->third, item->thirdLen);
        e.indexByte = item->indexByte;
        e.indexValue = item->indexValue;
        e.value16a = item->indexValue16a;
        e.value16b = item->indexValue16b;
        e.extra = item->head.extra;
        VLData data;
        memset(&data, 0, sizeof data);
        ok = Lexicore_ReadEntryTextEx(s, item, &data) != 0;
        e.body.assign(data.data1 ? data.data1 : "", data.len1);
        e.second.assign(data.data2 ? data.data2 : "", data.len2);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        found.push_back({item->head.textPos, e});
        VLDataItem_Destroy(item);
    }
    Lexicore_CloseSession(s);
    Lexicore_DestroySession(s);
    Lexicore_Term();
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &f : found)
        out->push_back(f.second);
    return ok && !out->empty();
}

TEST(StoredForms, UserDictionaryFileSet) {
    FreshSettings("write.ini");
    ASSERT_TRUE(Lexicore_Init("StoredFormsTest", 0));
    DWORD fileId = WriteUserDic(Work("userdic.rdc"), UserEntries(), 1, 0x0400, 0x0100);
    Lexicore_Term();
    ASSERT_EQ(0xF000u, fileId);
    for (const char *ext : kUserExts)
        CheckWritten(std::string("userdic.") + ext, ReadFile(Work(std::string("userdic.") + ext)));

    for (const char *ext : kUserExts)
        CopyOfFixture(std::string("userdic.") + ext, std::string("reread.") + ext);
    std::vector<UserEntry> entries;
    DWORD kind = 0;
    WORD first = 0, second = 0;
    ASSERT_TRUE(ReadUserDic(Work("reread.rdc"), &entries, &kind, &first, &second));
    EXPECT_EQ(UserEntries().size(), entries.size());
    FreshSettings("rewrite.ini");
    ASSERT_TRUE(Lexicore_Init("StoredFormsTest", 0));
    EXPECT_EQ(0xF000u, WriteUserDic(Work("rewritten.rdc"), entries, kind, first, second));
    Lexicore_Term();
    for (const char *ext : kUserExts)
        CheckRewritten(std::string("userdic.") + ext, ReadFile(Work(std::string("rewritten.") + ext)));
    Basekit_SettingsSetFile(nullptr);
}

// The text export of the user dictionary above.  It is read back with the import's own record
// reader (records over several lines, fields split at the separator outside quotes) and written
// with the export's quoting: the same bytes.  (An import into a dictionary and a new export would
// not give them: the text has no column of its own for the second string and the second text, so
// the import folds them into the entry text.)
TEST(StoredForms, TextExchangeFile) {
    FreshSettings("write.ini");
    ASSERT_TRUE(Lexicore_Init("StoredFormsTest", 0));
    DWORD fileId = WriteUserDic(Work("exchange.rdc"), UserEntries(), 1, 0x0400, 0x0100);
    ASSERT_NE(0u, fileId);
    ASSERT_TRUE(Lexshelf_ExportText(Work("exchange.txt").c_str(), fileId << 8, ','));
    Lexicore_Term();
    Basekit_SettingsSetFile(nullptr);
    CheckWritten("exchange.txt", ReadFile(Work("exchange.txt")));

    // Lines as the import reads them (text mode), records joined while a quoted field is open.
    FILE *in = fopen(FixturePath("exchange.txt").c_str(), "r");
    FILE *out = fopen(Work("exchange_out.txt").c_str(), "w");
    ASSERT_TRUE(in && out);
    char line[65536];
    std::string record;
    while (fgets(line, sizeof line, in)) {
        record += line;
        if (Shelf_RecordOpen(record))
            continue;
        if (!record.empty() && record.back() == '\n')
            record.pop_back();
        std::string written;
        for (const std::string &field : Shelf_SplitRecord(record, ","))
            written += (written.empty() ? "" : ",") + Shelf_QuoteField(field);
        fputs((written + "\n").c_str(), out);
        record.clear();
    }
    fclose(in);
    fclose(out);
    EXPECT_TRUE(record.empty());
    CheckRewritten("exchange.txt", ReadFile(Work("exchange_out.txt")));
}

}  // namespace
