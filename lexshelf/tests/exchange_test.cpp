// The user-dictionary exchange: fields of the text format as a table, the two older binary formats
// read whole or refused whole when damaged, and export and import through user dictionaries of the
// engine (a round trip with separators, quotes and line ends inside entries), the clipboard copy
// and the pronunciation hand-off.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <functional>
#include <string>
#include <vector>
#include "shelfkit.h"
#include "lexidata.h"
#include "scrivshow.h"
#include "../exchange_int.h"
#include "../exchange_text.cpp"
#include "../exchange_legacy.cpp"

using namespace shelfkit;

namespace {

// ---- Text format ----------------------------------------------------------------------------------

TEST(ExchangeText, FieldsAndColumns) {
    struct Case {
        const char *record;
        DWORD headwordColumn, secondColumn;
        bool taken;
        const char *headword, *second, *text;
    } cases[] = {
        {"\"a\",\"b\",\"c\"", 2, 0, true, "b", "", "a\r\nc"},
        {"\"x, y\",\"one, \"\"two\"\"\"", 1, 0, true, "x, y", "", "one, \"two\""},
        {"\"hw\",\"rd\",\"t1\",\"t2\"", 1, 2, true, "hw", "rd", "t1\r\nt2"},
        {"  \"  many   spaces  \" ,plain", 1, 0, true, "many spaces", "", "plain"},
        {"\"two\nlines\",\"text\nmore\"", 1, 0, true, "two lines", "", "text\r\nmore"},
        {"\"only\"", 2, 0, false, "", "", ""},
        {"\"a\",\"b\"", 1, 3, false, "", "", ""},
        {"\"\",\"text\"", 1, 0, false, "", "", ""},
        {"unquoted,\"q\"", 1, 0, true, "unquoted", "", "q"},
    };
    for (const Case &c : cases) {
        ShelfImportEntry e;
        bool taken = Shelf_FieldsToEntry(Shelf_SplitRecord(c.record, ","), c.headwordColumn, c.secondColumn, &e);
        EXPECT_EQ(c.taken, taken) << c.record;
        if (!c.taken || !taken)
            continue;
        EXPECT_EQ(c.headword, e.headword) << c.record;
        EXPECT_EQ(c.second, e.second) << c.record;
        EXPECT_EQ(c.text, e.text) << c.record;
    }
    // A separator of several characters; quoting of what the export writes.
    EXPECT_EQ((std::vector<std::string>{"a", "b;;c"}), Shelf_SplitRecord("a;;\"b;;c\"", ";;"));
    EXPECT_EQ("\"say \"\"hi\"\", then\"", Shelf_QuoteField("say \"hi\", then"));
    // A record stays open while a quoted field is: a text over three lines is one record.
    std::string record = "\"hw\",\"line one";
    EXPECT_TRUE(Shelf_RecordOpen(record));
    record += "\nline \"\"two\"\"";
    EXPECT_TRUE(Shelf_RecordOpen(record));
    record += "\nline three\"";
    EXPECT_FALSE(Shelf_RecordOpen(record));
}

// ---- Older formats --------------------------------------------------------------------------------

typedef std::vector<BYTE> Bytes;

void Put16(Bytes &b, size_t at, unsigned v) {
    b[at] = (BYTE)v;
    b[at + 1] = (BYTE)(v >> 8);
}
void Put32(Bytes &b, size_t at, DWORD v) {
    for (int i = 0; i < 4; i++)
        b[at + i] = (BYTE)(v >> (8 * i));
}
void Append(Bytes &b, const std::string &s) { b.insert(b.end(), s.begin(), s.end()); }

Bytes V3Record(const std::string &hw, const std::string &second, const std::string &third, const std::string &text,
               bool deleted = false) {
    Bytes r(17, 0);
    Put16(r, 0, (unsigned)(17 + hw.size() + second.size() + third.size() + text.size()));
    r[2] = deleted;
    r[3] = (BYTE)hw.size();
    r[4] = (BYTE)second.size();
    Put16(r, 5, (unsigned)third.size());
    Put16(r, 7, (unsigned)text.size());
    Append(r, hw + second + third + text);
    return r;
}

// alpha, a deleted beta, gamma with a third string.
Bytes V3File() {
    Bytes f(254, 0);
    memcpy(f.data(), "VELOUDV3", 8);
    for (const Bytes &r : {V3Record("alpha", "", "", "first"), V3Record("beta", "", "", "gone", true),
                           V3Record("gamma", "gm", "third", "last")})
        f.insert(f.end(), r.begin(), r.end());
    return f;
}

Bytes ExRecord(const std::string &hw, const std::string &second, const std::string &text) {
    Bytes r(6, 0);
    Put16(r, 0, (unsigned)(6 + hw.size() + second.size() + text.size()));
    r[4] = (BYTE)hw.size();
    r[5] = (BYTE)second.size();
    Append(r, hw + second + text);
    return r;
}

// Key range a..b by a..b (four buckets): bucket 0 on page 1, bucket 2 on pages 2 and 3 with a record
// that runs across the page boundary; pages at page x 1024.
Bytes ExchangeFile() {
    Bytes f(4 * 1024, 0);
    Put32(f, 0, 96);
    Put32(f, 4, 1024);
    f[18] = 'a', f[19] = 'b', f[20] = 'a', f[21] = 'b';
    memcpy(f.data() + 32, "User Dictionary for VL", 22);
    Put16(f, 96 + 0, 1);
    Put16(f, 96 + 4, 2);
    Put16(f, 1024 + 5, 0xFFFF);
    Put16(f, 2048 + 5, 3);
    Put16(f, 3072 + 5, 0xFFFF);
    Bytes first = ExRecord("aa", "", "bucket zero");
    std::copy(first.begin(), first.end(), f.begin() + 1024 + 7);
    Bytes area;
    Bytes filler = ExRecord("ba", "rd", std::string(900, 'x'));
    Bytes across = ExRecord("bb", "", std::string(60, 'y'));
    area.insert(area.end(), filler.begin(), filler.end());
    area.insert(area.end(), across.begin(), across.end());
    area.resize(2 * 928, 0);
    std::copy(area.begin(), area.begin() + 928, f.begin() + 2048 + 7);
    std::copy(area.begin() + 928, area.end(), f.begin() + 3072 + 7);
    return f;
}

std::vector<std::string> Headwords(const std::vector<ShelfImportEntry> &v) {
    std::vector<std::string> out;
    for (const ShelfImportEntry &e : v)
        out.push_back(e.headword);
    return out;
}

TEST(ExchangeLegacy, WholeFilesAreRead) {
    std::vector<ShelfImportEntry> out;
    Bytes v3 = V3File();
    ASSERT_TRUE(Shelf_ReadV3File(v3.data(), v3.size(), &out));
    EXPECT_EQ((std::vector<std::string>{"alpha", "gamma"}), Headwords(out));
    EXPECT_EQ("gm", out[1].second);
    EXPECT_EQ("third", out[1].third);
    EXPECT_EQ("last", out[1].text);
    // A few stray bytes after the last record are no head: the read ends there.
    v3.resize(v3.size() + 5, 0);
    EXPECT_TRUE(Shelf_ReadV3File(v3.data(), v3.size(), &out));

    Bytes ex = ExchangeFile();
    ASSERT_TRUE(Shelf_ReadExchangeFile(ex.data(), ex.size(), &out));
    EXPECT_EQ((std::vector<std::string>{"aa", "ba", "bb"}), Headwords(out));
    EXPECT_EQ("rd", out[1].second);
    EXPECT_EQ(std::string(60, 'y'), out[2].text);
}

TEST(ExchangeLegacy, DamagedFilesAreRefusedWhole) {
    struct Case {
        const char *what;
        bool v3;
        std::function<void(Bytes &)> damage;
    } cases[] = {
        {"v3: record length 0", true, [](Bytes &f) { Put16(f, 254, 0); }},
        {"v3: record shorter than its head", true, [](Bytes &f) { Put16(f, 254, 5); }},
        {"v3: deleted record of length 0", true, [](Bytes &f) { Put16(f, 254 + 27, 0); }},
        {"v3: lengths beyond the record", true, [](Bytes &f) { f[254 + 3] = 200; }},
        {"v3: record beyond the file", true, [](Bytes &f) { f.resize(f.size() - 3); }},
        {"v3: short header", true, [](Bytes &f) { f.resize(100); }},
        {"v3: signature", true, [](Bytes &f) { f[7] = '4'; }},
        {"exchange: signature", false, [](Bytes &f) { f[40] = 'x'; }},
        {"exchange: table offset", false, [](Bytes &f) { Put32(f, 0, 100); }},
        {"exchange: table beyond the page area", false, [](Bytes &f) { f[18] = 0, f[19] = 0xFF, f[20] = 0, f[21] = 0xFF; }},
        {"exchange: page beyond the file", false, [](Bytes &f) { Put16(f, 96 + 4, 9); }},
        {"exchange: chain that loops", false, [](Bytes &f) { Put16(f, 3072 + 5, 2); }},
        {"exchange: record length below its head", false, [](Bytes &f) { Put16(f, 1024 + 7, 3); }},
        {"exchange: record beyond its pages", false, [](Bytes &f) { Put16(f, 1024 + 7, 2000); }},
        {"exchange: string lengths beyond the record", false, [](Bytes &f) { f[1024 + 7 + 4] = 250; }},
        {"exchange: short header", false, [](Bytes &f) { f.resize(60); }},
    };
    for (const Case &c : cases) {
        Bytes f = c.v3 ? V3File() : ExchangeFile();
        c.damage(f);
        std::vector<ShelfImportEntry> out(1);
        bool read = c.v3 ? Shelf_ReadV3File(f.data(), f.size(), &out) : Shelf_ReadExchangeFile(f.data(), f.size(), &out);
        EXPECT_FALSE(read) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
    }
}

// A file whose every bucket starts the same long chain: each page may be read once only, so the
// file is refused instead of giving every bucket's copy of the chain (millions of entries).
Bytes SharedChainFile(size_t pages) {
    Bytes f((pages + 1) * 1024, 0);
    Put32(f, 0, 96);
    Put32(f, 4, 2048);
    f[18] = 'a', f[19] = 'z', f[20] = 'a', f[21] = 'z';  // 676 buckets, table from 96 to 1448
    memcpy(f.data() + 32, "User Dictionary for VL", 22);
    for (size_t b = 0; b < 26 * 26; b++)
        Put16(f, 96 + 2 * b, (unsigned)pages - 1);
    // The chain runs from the last page down to page 1; its joined area is full of 7-byte records.
    Bytes record = ExRecord("w", "", ""), area;
    while (area.size() + record.size() <= (pages - 1) * 928)
        area.insert(area.end(), record.begin(), record.end());
    area.resize((pages - 1) * 928, 0);
    for (size_t page = pages - 1, n = 0; page >= 1; page--, n++) {
        size_t at = page * 1024 + 2048 - 1024;
        Put16(f, at + 5, page == 1 ? 0xFFFF : (unsigned)page - 1);
        std::copy(area.begin() + n * 928, area.begin() + (n + 1) * 928, f.begin() + at + 7);
    }
    return f;
}

TEST(ExchangeLegacy, NoPageIsReadTwiceAndEntriesStayWithinTheLimit) {
    std::vector<ShelfImportEntry> out(1);
    Bytes shared = SharedChainFile(130);
    EXPECT_FALSE(Shelf_ReadExchangeFile(shared.data(), shared.size(), &out));
    EXPECT_TRUE(out.empty());
    // The same chain from one bucket only is a sound file: every record once.
    for (size_t b = 1; b < 26 * 26; b++)
        Put16(shared, 96 + 2 * b, 0);
    ASSERT_TRUE(Shelf_ReadExchangeFile(shared.data(), shared.size(), &out));
    EXPECT_EQ(129u * 928 / 7, out.size());
    // Two buckets whose chains meet on a page: bucket 0 starts at the last page of bucket 2's.
    Bytes meet = ExchangeFile();
    Put16(meet, 96, 3);
    EXPECT_FALSE(Shelf_ReadExchangeFile(meet.data(), meet.size(), &out));

    // More entries than an import takes, in both older formats: the reading stops at the limit.
    Bytes big = SharedChainFile(2 + LEXSHELF_IMPORT_LIMIT / (928 / 7));
    for (size_t b = 1; b < 26 * 26; b++)
        Put16(big, 96 + 2 * b, 0);
    ASSERT_TRUE(Shelf_ReadExchangeFile(big.data(), big.size(), &out));
    EXPECT_EQ((size_t)LEXSHELF_IMPORT_LIMIT, out.size());
    Bytes v3 = V3File();
    Bytes one = V3Record("v", "", "", "");
    for (int i = 0; i <= LEXSHELF_IMPORT_LIMIT; i++)
        v3.insert(v3.end(), one.begin(), one.end());
    ASSERT_TRUE(Shelf_ReadV3File(v3.data(), v3.size(), &out));
    EXPECT_EQ((size_t)LEXSHELF_IMPORT_LIMIT, out.size());
}

// ---- Through the engine's user dictionaries -------------------------------------------------------

std::string ReadText(const std::string &path) {
    std::string s;
    FILE *f = fopen(path.c_str(), "r");
    if (!f)
        return s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    fclose(f);
    return s;
}

void WriteBytes(const std::string &path, const std::string &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

struct UserBox : Sandbox {
    UserBox() : Sandbox("exchange", Mode::Registry) {
        char root[MAX_PATH];
        Lexidata_GetDicRootKey(root);
        RegDeleteTreeA(HKEY_CURRENT_USER, root);
    }
    ~UserBox() {
        Lexshelf_Term();
        char root[MAX_PATH];
        Lexidata_GetDicRootKey(root);
        RegDeleteTreeA(HKEY_CURRENT_USER, root);
    }
    DWORD NewUserDic(const char *name) {
        std::string path = folder + "\\" + name + ".rdc";
        DWORD fileId = Lexicore_CreateUserDic(path.c_str(), name, name, 0, 1, 0x0100, 0x0100);
        return fileId ? fileId << 8 : 0;
    }
    std::string Path(const char *name) const { return folder + "\\" + name; }
};

bool Add(DWORD dicId, const char *headword, const char *second, const char *text) {
    VLDataItem head = {};
    head.head.type = VLITEM_DATA;
    head.head.fileId = dicId >> 8;
    VLDataItem *item = VLDataItem_Create(&head, headword, second, nullptr, nullptr);
    LONG at = Lexicore_AddUserEntry(dicId, item, text, nullptr);
    VLDataItem_Destroy(item);
    return at >= 0;
}

TEST(Exchange, ExportImportRoundTripKeepsSeparatorsQuotesAndLineEnds) {
    UserBox box;
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD a = box.NewUserDic("source"), b = box.NewUserDic("copy");
    ASSERT_NE(0u, a);
    ASSERT_NE(0u, b);
    ASSERT_TRUE(Add(a, "comma, word", nullptr, "one, \"two\"\r\nthree"));
    ASSERT_TRUE(Add(a, "plain", nullptr, "x"));
    std::string first = box.Path("first.txt"), second = box.Path("second.txt");
    ASSERT_TRUE(Lexshelf_ExportText(first.c_str(), a, ','));
    EXPECT_EQ("\"comma, word\",\"one, \"\"two\"\"\nthree\"\n\"plain\",\"x\"\n", ReadText(first));

    TextImportOptions options = {(const char *)(UINT_PTR)',', 0, 0, 1, 0, 0};
    ASSERT_EQ(1, Lexshelf_ImportText(first.c_str(), b, &options, nullptr, 0));
    ASSERT_TRUE(Lexshelf_ExportText(second.c_str(), b, ','));
    EXPECT_EQ(ReadText(first), ReadText(second));

    EXPECT_FALSE(Lexshelf_ExportText(second.c_str(), 0x7E0000, ','));  // not in the catalogue
    EXPECT_EQ(0, Lexshelf_ImportText(box.Path("none.txt").c_str(), b, &options, nullptr, 0));
}

// An export that cannot read the dictionary keeps the earlier export (a user's backup) whole, and
// leaves no side file; a later export that works replaces it.
TEST(Exchange, AFailedExportKeepsTheEarlierFile) {
    UserBox box;
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD d = box.NewUserDic("backup");
    ASSERT_NE(0u, d);
    ASSERT_TRUE(Add(d, "word", nullptr, "text"));
    std::string file = box.Path("backup.txt");
    ASSERT_TRUE(Lexshelf_ExportText(file.c_str(), d, ','));
    const std::string earlier = ReadText(file);
    ASSERT_EQ("\"word\",\"text\"\n", earlier);
    ASSERT_TRUE(Add(d, "more", nullptr, "text"));
    // Another program holds the dictionary's text file without sharing it: no session opens.
    HANDLE held = CreateFileA(box.Path("backup.rdt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(Lexshelf_ExportText(file.c_str(), d, ','));
    CloseHandle(held);
    EXPECT_EQ(earlier, ReadText(file));
    EXPECT_FALSE(Testkit_Exists(file + ".new"));
    ASSERT_TRUE(Lexshelf_ExportText(file.c_str(), d, ','));
    EXPECT_EQ("\"more\",\"text\"\n\"word\",\"text\"\n", ReadText(file));
}

// Records the dictionary cannot take make an import fail instead of being dropped silently.
TEST(Exchange, AnImportReportsRecordsItCouldNotAdd) {
    UserBox box;
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD d = box.NewUserDic("busy");
    ASSERT_NE(0u, d);
    std::string file = box.Path("busy.txt");
    WriteBytes(file, "\"one\",\"t\"\n\"two\",\"t\"\n");
    TextImportOptions options = {(const char *)(UINT_PTR)',', 0, 0, 1, 0, 0};
    // Another program holds the dictionary's item file without sharing it: no entry can go in.
    HANDLE held = CreateFileA(box.Path("busy.rxa").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, Lexshelf_ImportText(file.c_str(), d, &options, nullptr, 0));
    CloseHandle(held);
    EXPECT_EQ(1, Lexshelf_ImportText(file.c_str(), d, &options, nullptr, 0));
    EXPECT_EQ(2, Lexicore_GetEntryCount(d, 0));
}

int CALLBACK StopAtSecond(int percent, LPARAM user) {
    std::vector<int> *seen = (std::vector<int> *)user;
    seen->push_back(percent);
    return seen->size() < 2;
}

TEST(Exchange, ImportColumnsTitleLineProgressAndLimit) {
    UserBox box;
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD d = box.NewUserDic("cols");
    ASSERT_NE(0u, d);
    std::string file = box.Path("cols.txt");
    WriteBytes(file, "title;line\n\"r1\";\"hw1\";\"t1\"\n\"r2\";\"hw2\";\"t2\"\n\"r3\";\"\";\"t3\"\n\"r4\";\"hw4\";\"t4\"\n");
    TextImportOptions options = {";", 0, 0, 2, 1, 1};
    std::vector<int> seen;
    ASSERT_EQ(1, Lexshelf_ImportText(file.c_str(), d, &options, StopAtSecond, (LPARAM)&seen));
    EXPECT_EQ((std::vector<int>{0, 20}), seen);  // 5 lines: 100 per record
    std::string out = box.Path("cols_out.txt");
    ASSERT_TRUE(Lexshelf_ExportText(out.c_str(), d, ';'));
    EXPECT_EQ("\"hw1\";\"r1\";\"t1\"\n", ReadText(out));
    DWORD whole = box.NewUserDic("whole");
    ASSERT_EQ(1, Lexshelf_ImportText(file.c_str(), whole, &options, nullptr, 0));
    ASSERT_TRUE(Lexshelf_ExportText(out.c_str(), whole, ';'));
    EXPECT_EQ("\"hw1\";\"r1\";\"t1\"\n\"hw2\";\"r2\";\"t2\"\n\"hw4\";\"r4\";\"t4\"\n", ReadText(out));

    // The record limit: the import stops at the first record beyond it (into a dictionary that is
    // not there, so that nothing is written).
    std::string big;
    for (int i = 0; i <= LEXSHELF_IMPORT_LIMIT; i++)
        big += "\"w\",\"t\"\n";
    WriteBytes(file, big);
    TextImportOptions plain = {(const char *)(UINT_PTR)',', 0, 0, 1, 0, 0};
    EXPECT_EQ(-1, Lexshelf_ImportText(file.c_str(), 0x7E0000, &plain, nullptr, 0));
}

// A quote that is never closed early in the file: the record it opens is given up once it grows
// past its limit and the lines after that are records again.
TEST(Exchange, AnUnclosedQuoteDoesNotSwallowTheRestOfTheFile) {
    UserBox box;
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD d = box.NewUserDic("unclosed");
    ASSERT_NE(0u, d);
    std::string text = "\"first\",\"one\"\n\"open\",\"never closed\n";
    std::string filler = "\"" + std::string(60000, 'y') + "\"\n";
    for (int i = 0; i < 20; i++)
        text += filler;  // 1.2 MB of lines with even quotes: they stay inside the open record
    for (int i = 0; i < 3; i++)
        text += "\"after" + std::to_string(i) + "\",\"t\"\n";
    std::string file = box.Path("unclosed.txt"), out = box.Path("unclosed_out.txt");
    WriteBytes(file, text);
    TextImportOptions options = {(const char *)(UINT_PTR)',', 0, 0, 1, 0, 0};
    ASSERT_EQ(1, Lexshelf_ImportText(file.c_str(), d, &options, nullptr, 0));
    ASSERT_TRUE(Lexshelf_ExportText(out.c_str(), d, ','));
    std::string back = ReadText(out);
    EXPECT_NE(std::string::npos, back.find("\"first\",\"one\"\n"));
    EXPECT_EQ(std::string::npos, back.find("never closed"));
    for (int i = 0; i < 3; i++)
        EXPECT_NE(std::string::npos, back.find("\"after" + std::to_string(i) + "\",\"t\"\n")) << i;
}

TEST(Exchange, OlderFormatsIntoAUserDictionary) {
    UserBox box;
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD d = box.NewUserDic("legacy");
    ASSERT_NE(0u, d);
    auto import = [&](const Bytes &bytes, bool v3) {
        std::string path = box.Path("legacy.bin");
        WriteBytes(path, std::string(bytes.begin(), bytes.end()));
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        BOOL r = v3 ? Lexshelf_ImportV3UserDic(h, d) : Lexshelf_ImportUserDic(h, d);
        CloseHandle(h);
        return r;
    };
    Bytes damaged = V3File();
    Put16(damaged, 254 + 27, 0);
    EXPECT_FALSE(import(damaged, true));
    Bytes bad = ExchangeFile();
    Put16(bad, 3072 + 5, 2);
    EXPECT_FALSE(import(bad, false));
    std::string out = box.Path("legacy.txt");
    ASSERT_TRUE(Lexshelf_ExportText(out.c_str(), d, ','));
    EXPECT_EQ("", ReadText(out));  // nothing of the damaged files came in

    EXPECT_TRUE(import(V3File(), true));
    EXPECT_TRUE(import(ExchangeFile(), false));
    ASSERT_TRUE(Lexshelf_ExportText(out.c_str(), d, ','));
    std::string text = ReadText(out);
    EXPECT_NE(std::string::npos, text.find("\"alpha\",\"first\"\n"));
    EXPECT_NE(std::string::npos, text.find("\"gamma\",\"gm\",\"last\"\n"));
    EXPECT_NE(std::string::npos, text.find("\"aa\",\"bucket zero\"\n"));
    EXPECT_NE(std::string::npos, text.find("\"bb\",\"" + std::string(60, 'y') + "\"\n"));
    EXPECT_EQ(std::string::npos, text.find("beta"));
    Bytes empty(254, 0);
    memcpy(empty.data(), "VELOUDV3", 8);
    EXPECT_TRUE(import(empty, true));
    Bytes noEntries = ExchangeFile();
    Put16(noEntries, 96, 0);
    Put16(noEntries, 100, 0);
    EXPECT_FALSE(import(noEntries, false));  // holds no entry
}

TEST(Exchange, ClipboardAndPronunciation) {
    UserBox box;
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD d = box.NewUserDic("clip");
    ASSERT_NE(0u, d);
    ASSERT_TRUE(Add(d, "word", nullptr, "first line\r\nsecond"));
    VLWordList *list = VLWordList_Create(10);
    ASSERT_EQ(1, Lexshelf_SearchDicsEx("word", d, 1, LEXSHELF_SF_NO_ANALYSIS, 0, list));
    ASSERT_EQ(1, VLWordList_Count(list));
    VLDataItem *item = VLWordList_GetItem(list, 0);
    ASSERT_TRUE(Lexshelf_CopyEntry(item));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA("Rich Text Format")));
    EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA("VLTF Text Format")));
    HANDLE h = GetClipboardData(CF_TEXT);
    const char *text = h ? (const char *)GlobalLock(h) : nullptr;
    EXPECT_STREQ("first line\nsecond", text);
    if (h)
        GlobalUnlock(h);
    CloseClipboard();

    // No phonetic data: the entry goes to the language manager, which can speak it after.
    EXPECT_FALSE(Lexshelf_CanPronounceEntry(nullptr));
    EXPECT_EQ(0, Lexshelf_PronounceEntry(nullptr));
    EXPECT_FALSE(Lexshelf_CanPronounceEntry(item));
    EXPECT_EQ(1, Lexshelf_PronounceEntry(item));
    EXPECT_TRUE(Lexshelf_CanPronounceEntry(item));
    VLWordList_Destroy(list);
}

}  // namespace
