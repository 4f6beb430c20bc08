// Dictionary files: the fixture writer's files read back field by field (plain and both encoded
// forms), header and font-area rules, entry text records and their damaged forms, index record
// writers, and the catalogue key paths.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <functional>
#include <string>
#include <vector>
#include "basekit.h"
#include "lexidata.h"
#include "fixtures/dicwriter.h"

namespace {

using dicfix::Coding;

const char *CodingName(Coding c) {
    return c == Coding::Plain ? "plain" : c == Coding::V0 ? "v0" : "v1";
}

// An open dictionary as the engine would hand it over: file record, sub-dictionary record and
// one handle for index and text.
struct Open {
    DicInfo info;
    DicProperty sub;
    DicSession session;
    HANDLE file = INVALID_HANDLE_VALUE;

    // Read-only with shared reading (as the engine opens a static dictionary), or writable.
    explicit Open(const std::string &path, bool writable = false) {
        memset(&info, 0, sizeof info);
        memset(&sub, 0, sizeof sub);
        memset(&session, 0, sizeof session);
        file = CreateFileA(path.c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0),
                           FILE_SHARE_READ | (writable ? 0 : FILE_SHARE_WRITE), nullptr,
                           OPEN_EXISTING, 0, nullptr);
        DLVReadDicHeader(file, path.c_str(), &info);
        snprintf(info.path, sizeof info.path, "%s", path.c_str());
        session.fileRecord = &info;
        session.subDic = &sub;
        session.textFile = session.indexFile = file;
    }
    ~Open() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    void Use(uint32_t kind, BYTE charset = 0) {
        sub.indexKind = kind;
        sub.charset = charset;
    }
    void Seek(uint32_t pos) { SetFilePointer(file, (LONG)pos, nullptr, FILE_BEGIN); }
    uint32_t U32At(uint32_t pos) {
        Seek(pos);
        BYTE b[4] = {0};
        DWORD got;
        ReadFile(file, b, 4, &got, nullptr);
        return b[0] | (b[1] << 8) | (b[2] << 16) | ((uint32_t)b[3] << 24);
    }
};

std::string Folded(std::string s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') { out += '\r'; i++; }
        else if (s[i] == '\n') out += '\r';
        else out += s[i];
    }
    return out;
}

std::string Block(const char *p, DWORD n) { return p ? std::string(p, n) : std::string(); }

TEST(FixtureFile, ReadsBackFieldByField) {
    for (Coding coding : {Coding::Plain, Coding::V0, Coding::V1}) {
        SCOPED_TRACE(CodingName(coding));
        dicfix::Dictionary d = dicfix::Sample(coding);
        dicfix::Layout lay;
        std::string path = std::string("fixture_") + CodingName(coding) + ".dic";
        ASSERT_TRUE(dicfix::Write(path, d, &lay));
        Open o(path);
        ASSERT_NE(o.file, INVALID_HANDLE_VALUE);

        // Header.
        EXPECT_EQ(o.info.fileId, 0x2345u);
        EXPECT_EQ(o.info.status, 0u);
        EXPECT_EQ(o.info.headerFlags, coding == Coding::Plain ? 0u : 0x400u);
        EXPECT_EQ(o.info.subDicCount, 4u);
        EXPECT_EQ(o.info.indexDefCount, 4u);
        EXPECT_EQ(o.info.fontCount, 2u);
        EXPECT_EQ(o.info.language, 0x0100);
        EXPECT_EQ(o.info.decoderVersion, coding == Coding::V1 ? 1025 : coding == Coding::V0 ? 1024 : 0);
        EXPECT_EQ(o.info.languageCount, 2u);
        EXPECT_EQ(o.info.languages[1], 0x0400);
        EXPECT_EQ(o.info.kind, 1u);
        EXPECT_EQ(o.info.headerValue1, 0x11223344u);
        EXPECT_EQ(o.info.headerValue2, 7u);

        // Font area.
        char *fonts = (char *)DLVReadFontInfo(&o.info);
        ASSERT_NE(fonts, nullptr);
        EXPECT_STREQ(fonts, "MS Gothic");
        EXPECT_STREQ(fonts + 32, "Arial");
        DLVDestroyFontInfo(fonts);

        // Headword indexes: the table points at each record; each record reads back whole.
        for (size_t i = 0; i < d.indexes.size(); i++) {
            const dicfix::Index &x = d.indexes[i];
            const dicfix::IndexLayout &il = lay.indexes[i];
            uint32_t rec = lay.subDicRecords + 40 * il.subDic;
            EXPECT_EQ(o.U32At(rec + 12), il.forwardTable);
            EXPECT_EQ(o.U32At(rec + 16), 4 * il.count);
            o.Use(x.kind);
            for (size_t k = 0; k < x.entries.size(); k++) {
                const dicfix::Entry &e = x.entries[k];
                SCOPED_TRACE(e.headword);
                uint32_t at = o.U32At(il.forwardTable + 4 * (uint32_t)k);
                EXPECT_EQ(at, il.records[k]);
                o.Seek(at);
                VLDataItem *it = VLDataItem_Read(&o.session);
                ASSERT_NE(it, nullptr);
                EXPECT_STREQ(it->headword, e.headword.c_str());
                EXPECT_STREQ(it->second, (e.second.empty() ? e.headword : e.second).c_str());
                if (x.kind == 1) {
                    EXPECT_STREQ(it->third, (e.third.empty() ? e.headword : e.third).c_str());
                    EXPECT_EQ(it->entryLink, ((DWORD)e.backDistance << 16) | e.linkValue);
                    EXPECT_EQ(it->indexValue, e.indexValue);
                    EXPECT_EQ(it->indexValue16a, e.indexValue16a);
                    EXPECT_EQ(it->indexValue16b, e.indexValue16b);
                    EXPECT_EQ(it->indexByte, e.indexByte);
                }
                EXPECT_EQ(it->head.textPos, il.texts[k]);
                EXPECT_EQ(it->head.extra, e.extra);

                VLIndexRecord ir;
                o.Seek(at);
                ASSERT_TRUE(DLVGetIndex(&o.session, &ir));
                EXPECT_STREQ(ir.key, e.headword.c_str());
                EXPECT_EQ(ir.keyLen, e.headword.size());
                EXPECT_EQ(ir.value, x.kind == 1 ? e.backDistance : 0u);

                VLData data;
                memset(&data, 0, sizeof data);
                ASSERT_TRUE(DLVData_Read(&o.session, &o.info, it->head.textPos, &data));
                EXPECT_EQ(data.kind, e.entryKind);
                EXPECT_EQ(Block(data.data1, data.len1), Folded(e.text1));
                EXPECT_EQ(Block(data.data2, data.len2), e.text2);  // block 2 as stored
                // Without a session the record's own path is opened.
                VLData again;
                memset(&again, 0, sizeof again);
                ASSERT_TRUE(DLVData_Read(nullptr, &o.info, it->head.textPos, &again));
                EXPECT_EQ(Block(again.data1, again.len1), Folded(e.text1));
                VLMem_Free(again.data1);
                VLMem_Free(again.data2);
                VLMem_Free(data.data1);
                VLMem_Free(data.data2);
                VLDataItem_Destroy(it);
            }
            if (x.backward) {
                for (size_t k = 0; k < il.count; k++)
                    EXPECT_EQ(o.U32At(il.backwardTable + 4 * (uint32_t)k), il.backwardOrder[k]);
                EXPECT_EQ(o.U32At(rec + 28), il.backwardTable);
            } else {
                EXPECT_EQ(o.U32At(rec + 32), 0u);
            }
        }

        // Labels: the label index (kind 6) and the label items.
        HNEncodeSetVersion(o.info.decoderVersion);
        BOOL decode = coding != Coding::Plain;
        o.Use(6);
        for (size_t k = 0; k < d.labels.size(); k++) {
            const dicfix::Label &lb = d.labels[k];
            o.Seek(lay.labels.records[k]);
            VLIndexRecord ir;
            ASSERT_TRUE(DLVGetIndex(&o.session, &ir));
            EXPECT_EQ(ir.keyLen, 15u);
            EXPECT_EQ(ir.value, 0u);
            o.Seek(lay.labels.records[k]);
            VLLabelItem *l = DLVLabelItem_Read(o.file, decode);
            ASSERT_NE(l, nullptr);
            EXPECT_EQ(l->level, lb.level);
            EXPECT_EQ((uint32_t)l->number1, lb.number1);
            EXPECT_EQ((uint32_t)l->number2, lb.number2);
            EXPECT_EQ((uint32_t)l->number3, lb.number3);
            EXPECT_STREQ(l->text, lb.text.c_str());
            EXPECT_EQ(l->head.textPos, lay.labels.texts[k]);
            VLLabelItem_Destroy(l);
        }
        // Pages.
        o.Use(4);
        for (size_t k = 0; k < d.pages.size(); k++) {
            const dicfix::Page &pg = d.pages[k];
            o.Seek(lay.pages.records[k]);
            VLIndexRecord ir;
            ASSERT_TRUE(DLVGetIndex(&o.session, &ir));
            EXPECT_EQ(ir.keyLen, 4u);
            o.Seek(lay.pages.records[k]);
            VLPageItem *p = DLVPageItem_Read(o.file, "Sample", decode);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->head.type, 3u);
            EXPECT_EQ(p->head.entryNo, (DWORD)pg.number - 1);
            EXPECT_EQ(p->pageByte, pg.pageByte);
            EXPECT_EQ(p->value1, pg.value1);
            EXPECT_EQ(p->value2, pg.value2);
            EXPECT_EQ(p->position, lay.pages.texts[k]);
            EXPECT_EQ(p->head.textPos, lay.pages.texts[k]);
            EXPECT_STREQ(p->name, pg.name.empty() ? "Sample" : pg.name.c_str());
            VLData data;
            memset(&data, 0, sizeof data);
            ASSERT_TRUE(DLVData_Read(&o.session, &o.info, p->position, &data));
            EXPECT_EQ(Block(data.data1, data.len1), pg.text);
            VLMem_Free(data.data1);
            VLPageItem_Destroy(p);
        }
        CloseHandle(o.file);
        o.file = INVALID_HANDLE_VALUE;
        DeleteFileA(path.c_str());
    }
}

TEST(Header, WriteReadRoundTripAndRules) {
    const char *path = "header.dic";
    DicInfo w;
    memset(&w, 0, sizeof w);
    w.fileId = 0x2000;
    w.userFlag = 1;
    w.headerFlags = 0x400 | 0x1000000;
    w.indexDefCount = 3;
    w.subDicCount = 2;
    w.fontCount = 1;
    w.language = 0x0100;
    w.decoderVersion = 1025;
    w.languageCount = 3;
    w.languages[0] = 0x0100; w.languages[1] = 0x0200; w.languages[2] = 0x0300;
    w.kind = 2;
    w.charset = 129;
    w.headerValue1 = 5;
    w.headerValue2 = 0xFFFFFFFF;
    ASSERT_TRUE(DLVCreateDic(path, &w));
    DicInfo r;
    ASSERT_TRUE(DLVReadDicHeader(nullptr, path, &r));
    EXPECT_EQ(r.fileId, 0x2000u);
    EXPECT_EQ(r.userFlag, 1u);
    EXPECT_EQ(r.status, (DWORD)DICSTATUS_USER);  // non-zero flag byte
    EXPECT_EQ(r.headerFlags, 0x1000400u);
    EXPECT_EQ(r.indexDefCount, 3u);
    EXPECT_EQ(r.subDicCount, 2u);
    EXPECT_EQ(r.decoderVersion, 1025);
    EXPECT_EQ(r.languageCount, 3u);
    EXPECT_EQ(r.languages[2], 0x0300);  // every listed language is kept
    EXPECT_EQ(r.kind, 2u);
    EXPECT_EQ(r.charset, 129u);
    EXPECT_EQ(r.headerValue2, 0xFFFFFFFFu);

    // Charset rule: old ids and 0xE001..0xE00A read as 128.
    struct { DWORD id; DWORD charset; } ids[] = {
        {0x1000, 128}, {0x112A, 128}, {0x112B, 129}, {0xE000, 129}, {0xE001, 128}, {0xE00A, 128}, {0xE00B, 129}};
    for (auto c : ids) {
        w.fileId = c.id;
        ASSERT_TRUE(DLVWriteDicHeader(nullptr, path, &w));
        ASSERT_TRUE(DLVReadDicHeader(nullptr, path, &r));
        EXPECT_EQ(r.charset, c.charset) << std::hex << c.id;
    }

    // A wrong magic or a short file: 0, and only the bad status bit.
    HANDLE f = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD put;
    WriteFile(f, "VLDICV41", 8, &put, nullptr);
    memset(&r, 0x5A, sizeof r);
    EXPECT_FALSE(DLVReadDicHeader(f, path, &r));
    EXPECT_EQ(r.status, (DWORD)DICSTATUS_BAD);
    EXPECT_EQ(r.fileId, 0u);
    SetFilePointer(f, 100, nullptr, FILE_BEGIN);
    SetEndOfFile(f);
    EXPECT_FALSE(DLVReadDicHeader(f, path, &r));
    EXPECT_EQ(r.status, (DWORD)DICSTATUS_BAD);
    CloseHandle(f);
    EXPECT_FALSE(DLVReadDicHeader(nullptr, "\\\\nosuchserver\\share\\x.dic", &r));
    EXPECT_EQ(r.status, (DWORD)(DICSTATUS_BAD | DICSTATUS_REMOTE));
    DeleteFileA(path);
}

TEST(FontArea, ExtensionsCountAndTheIndexAreaBehind) {
    dicfix::Dictionary d = dicfix::Sample(Coding::Plain);
    ASSERT_TRUE(dicfix::Write("FONTS.DIC", d));
    DicInfo r;
    ASSERT_TRUE(DLVReadDicHeader(nullptr, "FONTS.DIC", &r));
    strcpy(r.path, "FONTS.DIC");
    void *fonts = DLVReadFontInfo(&r);
    ASSERT_NE(fonts, nullptr);
    DLVDestroyFontInfo(fonts);
    CopyFileA("FONTS.DIC", "fonts.bdf", FALSE);
    strcpy(r.path, "fonts.bdf");
    EXPECT_EQ(DLVReadFontInfo(&r), nullptr);
    strcpy(r.path, "FONTS.DIC");
    r.fontCount = 0;
    EXPECT_EQ(DLVReadFontInfo(&r), nullptr);

    // Twenty fonts do not fit the area: the index definitions behind it stay as they were.
    std::vector<BYTE> before(32);
    HANDLE f = CreateFileA("FONTS.DIC", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got;
    SetFilePointer(f, 896, nullptr, FILE_BEGIN);
    ReadFile(f, before.data(), 32, &got, nullptr);
    std::vector<char> many(20 * 32, 'x');
    r.fontCount = 20;
    EXPECT_TRUE(DLVWriteFontInfo(f, &r, many.data()));
    std::vector<BYTE> after(32);
    SetFilePointer(f, 896, nullptr, FILE_BEGIN);
    ReadFile(f, after.data(), 32, &got, nullptr);
    EXPECT_EQ(before, after);
    CloseHandle(f);
    void *read = DLVReadFontInfo(&r);  // sixteen records at most, each terminated
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(strlen((char *)read + 15 * 32), 31u);
    DLVDestroyFontInfo(read);
    DeleteFileA("FONTS.DIC");
    DeleteFileA("fonts.bdf");
}

// ---- Entry text records ----------------------------------------------------------------------

std::vector<BYTE> Head(BYTE kind, DWORD s1, DWORD p1, DWORD s2, DWORD p2) {
    std::vector<BYTE> h;
    h.push_back(kind);
    for (DWORD v : {s1, p1, s2, p2})
        for (int i = 0; i < 4; i++) h.push_back((BYTE)(v >> (8 * i)));
    return h;
}

std::vector<BYTE> Bytes(const std::string &s) { return std::vector<BYTE>(s.begin(), s.end()); }
std::vector<BYTE> Cat(std::vector<BYTE> a, const std::vector<BYTE> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Stored bytes for version-0 values (each value written as the stored byte that stands for it).
std::vector<BYTE> V0(std::initializer_list<int> values) {
    std::vector<BYTE> out;
    for (int v : values) out.push_back(dicfix::StoredByte(TextCodec_T0, (uint8_t)v));
    return out;
}
std::vector<BYTE> V1Raw(std::vector<BYTE> mapped) {
    for (BYTE &b : mapped) b = dicfix::StoredByte(TextCodec_T1, b);
    return mapped;
}

struct TextCase {
    const char *what;
    DWORD headerFlags;
    DWORD decoderVersion;
    std::vector<BYTE> record;  // written at position 0
    int expect;                // 1 read, 0 refused
    std::string block1;        // when read
};

DicInfo TextRecord(const char *path, DWORD flags, DWORD version) {
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.kind = 1;
    info.headerFlags = flags;
    info.decoderVersion = (WORD)version;
    strcpy(info.path, path);
    return info;
}

TEST(TextRecord, EdgeCasesAndDamagedBlocks) {
    std::string z(100, 'z');
    std::vector<BYTE> zz = dicfix::EncodeV1(z);
    std::vector<BYTE> zzCut(zz.begin(), zz.end() - 5);
    std::vector<BYTE> zzBad = zz;
    zzBad[zz.size() / 2] ^= 0x55;
    std::vector<TextCase> cases = {
        // Line ends of block 1: the six listed bytes a CR LF b LF c read as a CR b CR c.
        {"line ends", 0, 0, Cat(Head(1, 6, 6, 0, 0), Bytes("a\r\nb\nc")), 1, "a\rb\rc"},
        {"plain block cut off", 0, 0, Cat(Head(1, 9, 9, 0, 0), Bytes("abc")), 0, ""},
        {"short head", 0, 0, Bytes("\x01\x02\x00"), 0, ""},
        {"stored length at the limit: absent, read succeeds", 0x400, 0, Head(1, 0x1000000, 5, 0, 0), 1, ""},
        {"plain length at the limit: absent", 0x400, 0, Cat(Head(1, 2, 0x1000000, 0, 0), V0({97, 6})), 1, ""},
        {"v0 literal then code 6", 0x400, 0, Cat(Head(1, 2, 3, 0, 0), V0({97, 6})), 1, "aaa"},
        {"v0 every fixed code", 0x400, 0,
         Cat(Head(1, 12, 11, 0, 0), V0({97, 20, 21, 22, 28, 29, 4, 5, 9, 12, 0, 1})), 1,
         std::string("aeay\r\x07\x05\x02\x03", 9) + std::string("\x00\x1b", 2)},
        {"v0 copy with overlap", 0x400, 0, Cat(Head(1, 5, 6, 0, 0), V0({97, 98, 15, 4, 2})), 1, "ababab"},
        {"v0 copy before the start", 0x400, 0, Cat(Head(1, 4, 4, 0, 0), V0({97, 15, 3, 5})), 0, ""},
        {"v0 repeat with no previous byte", 0x400, 0, Cat(Head(1, 1, 2, 0, 0), V0({5})), 0, ""},
        {"v0 operand missing", 0x400, 0, Cat(Head(1, 2, 2, 0, 0), V0({97, 15})), 0, ""},
        {"v0 longer than its plain length", 0x400, 0, Cat(Head(1, 2, 2, 0, 0), V0({97, 7})), 0, ""},
        {"v0 shorter than its plain length", 0x400, 0, Cat(Head(1, 2, 5, 0, 0), V0({97, 98})), 0, ""},
        {"v0 plain length beyond any decoding", 0x400, 0, Cat(Head(1, 2, 5000, 0, 0), V0({97, 98})), 0, ""},
        {"v1 short text copied", 0x400, 1025, Cat(Head(1, 6, 5, 0, 0), V1Raw({5, 'h', 'e', 'l', 'l', 'o'})), 1, "hello"},
        {"v1 zlib stream", 0x400, 1025, Cat(Head(1, (DWORD)zz.size(), 100, 0, 0), zz), 1, z},
        {"v1 short text cut off", 0x400, 1025, Cat(Head(1, 4, 5, 0, 0), V1Raw({5, 'h', 'e', 'l'})), 0, ""},
        {"v1 prefix and head disagree", 0x400, 1025, Cat(Head(1, 6, 4, 0, 0), V1Raw({5, 'h', 'e', 'l', 'l', 'o'})), 0, ""},
        {"v1 zlib stream cut", 0x400, 1025, Cat(Head(1, (DWORD)zzCut.size(), 100, 0, 0), zzCut), 0, ""},
        {"v1 zlib stream damaged", 0x400, 1025, Cat(Head(1, (DWORD)zzBad.size(), 100, 0, 0), zzBad), 0, ""},
        {"v1 long prefix cut", 0x400, 1025, Cat(Head(1, 2, 300, 0, 0), V1Raw({0, 44})), 0, ""},
        {"block 2 damaged", 0x400, 0, Cat(Cat(Head(1, 1, 1, 1, 2), V0({97})), V0({5})), 0, ""},
    };
    const char *path = "text.dic";
    for (const TextCase &c : cases) {
        ASSERT_TRUE(dicfix::WriteBytes(path, c.record)) << c.what;
        DicInfo info = TextRecord(path, c.headerFlags, c.decoderVersion);
        VLData data;
        memset(&data, 0, sizeof data);
        data.kind = 99;  // a failed read leaves the record as it was
        int got = DLVData_Read(nullptr, &info, 0, &data);
        EXPECT_EQ(got, c.expect) << c.what;
        if (got) {
            EXPECT_EQ(Block(data.data1, data.len1), c.block1) << c.what;
            if (data.data1) {
                EXPECT_EQ(data.data1[data.len1], 0) << c.what;
            }
        } else {
            EXPECT_EQ(data.kind, 99u) << c.what;
            EXPECT_EQ(data.data1, nullptr) << c.what;
        }
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
    }
    DeleteFileA(path);
}

TEST(TextRecord, WriteThenReadAndUserTextFile) {
    const char *path = "written.rdt";
    DicInfo info = TextRecord("written.rdc", 0, 1024);
    info.kind = 2;  // user dictionary: the text file is the .rdt and positions skip 12 bytes
    HANDLE f = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    VLData *d = VLData_Create(3, 5, "one\r\n", 3, "two");
    EXPECT_TRUE(DLVData_Write(&info, f, 0x1000000, 40, d));
    VLData empty;
    memset(&empty, 0, sizeof empty);
    EXPECT_FALSE(DLVData_Write(&info, f, 0x1000000, 100, &empty));
    CloseHandle(f);
    VLData back;
    memset(&back, 0, sizeof back);
    ASSERT_TRUE(DLVData_Read(nullptr, &info, 40, &back));
    EXPECT_EQ(back.kind, 3u);
    EXPECT_EQ(Block(back.data1, back.len1), "one\r");
    EXPECT_EQ(Block(back.data2, back.len2), "two");
    VLMem_Free(back.data1);
    VLMem_Free(back.data2);
    VLData_Destroy(d);
    DeleteFileA(path);
}

// ---- Index records -------------------------------------------------------------------------------

// A version-0 dictionary of one entry "word" (second string "w2", the third given, text "text"),
// and the position of its index record.
std::vector<uint8_t> OneWordDictionary(const char *third, uint32_t *record) {
    dicfix::Dictionary d;
    d.coding = Coding::V0;
    dicfix::Index x;
    dicfix::Entry e;
    e.headword = "word";
    e.second = "w2";
    e.third = third;
    e.text1 = "text";
    x.entries.push_back(e);
    d.indexes.push_back(x);
    dicfix::Layout lay;
    std::vector<uint8_t> bytes = dicfix::Build(d, &lay);
    *record = bytes.empty() ? 0 : lay.indexes[0].records[0];
    return bytes;
}

TEST(IndexRecord, DamagedRecordsAreRefused) {
    uint32_t rec;
    std::vector<uint8_t> base = OneWordDictionary("", &rec);
    struct Case {
        const char *what;
        void (*damage)(std::vector<uint8_t> &, uint32_t);
        bool itemRefused = true;  // false: only the 255-byte key buffer refuses it
    } cases[] = {
        {"empty headword", [](std::vector<uint8_t> &b, uint32_t r) { b[r + 2] = 0; }},
        {"strings cut off", [](std::vector<uint8_t> &b, uint32_t r) { b.resize(r + 28 + 2); }},
        {"fixed record cut off", [](std::vector<uint8_t> &b, uint32_t r) { b.resize(r + 20); }},
        {"headword code damaged", [](std::vector<uint8_t> &b, uint32_t r) {
             b[r + 28] = dicfix::StoredByte(TextCodec_T0, 5);  // repeat before any output
         }},
        {"key decodes past 255 bytes", [](std::vector<uint8_t> &b, uint32_t r) {
             // "a" then sixty copies of 255 bytes from one position back
             std::vector<uint8_t> code = {dicfix::StoredByte(TextCodec_T0, 97)};
             for (int i = 0; i < 60; i++)
                 for (int v : {15, 255, 1}) code.push_back(dicfix::StoredByte(TextCodec_T0, (uint8_t)v));
             b.resize(r + 28);
             b[r + 2] = (uint8_t)code.size();
             b[r + 3] = 0;
             b.insert(b.end(), code.begin(), code.end());
         }, false},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = base;
        c.damage(bytes, rec);
        ASSERT_TRUE(dicfix::WriteBytes("index.dic", bytes));
        Open o("index.dic");
        o.Use(1);
        o.Seek(rec);
        VLDataItem *it = VLDataItem_Read(&o.session);
        EXPECT_EQ(it == nullptr, c.itemRefused) << c.what;
        VLDataItem_Destroy(it);
        o.Seek(rec);
        VLIndexRecord ir;
        EXPECT_FALSE(DLVGetIndex(&o.session, &ir)) << c.what;
    }
    // Unknown index kinds answer 0.
    ASSERT_TRUE(dicfix::WriteBytes("index.dic", base));
    Open o("index.dic");
    o.Use(9);
    o.Seek(rec);
    VLIndexRecord ir;
    EXPECT_FALSE(DLVGetIndex(&o.session, &ir));
    EXPECT_EQ(VLDataItem_Read(&o.session), nullptr);
    CloseHandle(o.file);
    o.file = INVALID_HANDLE_VALUE;
    DeleteFileA("index.dic");
}

TEST(IndexRecord, CharsetTagOnTheSecondString) {
    dicfix::Dictionary d;
    dicfix::Index x;
    dicfix::Entry a, b, c;
    a.headword = "\x82\xa0";  // Shift-JIS hiragana a
    b.headword = "x";
    b.second = "\x1b" "F80y";  // already tagged
    c.headword = "k";
    c.second = "kana";
    x.entries = {a, b, c};
    d.indexes.push_back(x);
    dicfix::Layout lay;
    ASSERT_TRUE(dicfix::Write("tags.dic", d, &lay));
    Open o("tags.dic");
    o.Use(1, 128);
    const char *expect[] = {"\x1b" "F80\x82\xa0", "\x1b" "F80y", "\x1b" "F80kana"};
    for (int i = 0; i < 3; i++) {
        o.Seek(lay.indexes[0].records[i]);
        VLDataItem *it = VLDataItem_Read(&o.session);
        ASSERT_NE(it, nullptr);
        EXPECT_STREQ(it->second, expect[i]) << i;
        EXPECT_EQ(it->charset, 128);
        EXPECT_EQ(it->headword[0], i == 0 ? '\x82' : i == 1 ? 'x' : 'k');  // headword as stored
        VLDataItem_Destroy(it);
    }
    // Charset 0: no tag, and a missing second string stays the headword.
    o.Use(1, 0);
    o.Seek(lay.indexes[0].records[0]);
    VLDataItem *it = VLDataItem_Read(&o.session);
    EXPECT_EQ(it->second, it->headword);
    VLDataItem_Destroy(it);
    CloseHandle(o.file);
    o.file = INVALID_HANDLE_VALUE;
    DeleteFileA("tags.dic");
}

TEST(IndexRecord, ReadingKeyOfTheOneDictionaryThatKeepsIt) {
    dicfix::Dictionary d;
    d.fileId = 4099;
    dicfix::Index x;
    dicfix::Entry e;
    e.headword = "head";
    e.third = "stored";
    // entry text: junk, tag F02, "Ab" 0x75 0xE1 "!" 0xDC "@" "~" 0x92 0xB7 ESC xx "9c", then 0x1C
    e.text1 = std::string("junk\x1b" "F02Ab\x75\xe1!\xdc@~\x92\xb7\x1bxy9c\x1crest", 29);
    x.entries.push_back(e);
    d.indexes.push_back(x);
    dicfix::Layout lay;
    ASSERT_TRUE(dicfix::Write("reading.dic", d, &lay));
    Open o("reading.dic");
    o.Use(1);
    o.Seek(lay.indexes[0].records[0]);
    VLDataItem *it = VLDataItem_Read(&o.session);
    ASSERT_NE(it, nullptr);
    EXPECT_STREQ(it->third, "ab$2314i-c");
    VLDataItem_Destroy(it);
    CloseHandle(o.file);
    o.file = INVALID_HANDLE_VALUE;
    DeleteFileA("reading.dic");
}

// The record at pos read as an item and as its headword alone.  The headword alone is read only
// where the item is made, and then gives the item's headword and entry link.
struct BothWays {
    bool item, alone;
};
BothWays ReadBothWays(Open &o, uint32_t pos, const std::string &what) {
    o.Seek(pos);
    VLDataItem *it = VLDataItem_Read(&o.session);
    o.Seek(pos);
    char head[VLDATAITEM_HEADWORD_ROOM];
    DWORD link = 0xDEADBEEF;
    BothWays r = {it != nullptr, DLVDataItem_ReadHeadword(&o.session, head, &link) != FALSE};
    EXPECT_FALSE(r.alone && !r.item) << what << ": the headword is read where the item is refused";
    if (r.alone && r.item) {
        EXPECT_STREQ(head, it->headword) << what;
        EXPECT_EQ(link, it->entryLink) << what;
    }
    VLDataItem_Destroy(it);
    return r;
}

// Plain bytes as version 0 code that decodes to n + 1 bytes: the byte, then copies of it.
std::vector<uint8_t> LongV0(uint8_t byte, int copies) {
    std::vector<uint8_t> code = {dicfix::StoredByte(TextCodec_T0, byte)};
    for (int i = 0; i < copies; i++)
        for (int v : {15, 255, 1}) code.push_back(dicfix::StoredByte(TextCodec_T0, (uint8_t)v));
    return code;
}

TEST(IndexRecord, HeadwordAloneIsReadWhereTheItemIs) {
    // Every record of the sample in each coding; in version 1 also strings whose plain form is
    // longer than the headword room, which only the item reads.
    for (Coding coding : {Coding::Plain, Coding::V0, Coding::V1}) {
        SCOPED_TRACE(CodingName(coding));
        dicfix::Dictionary d = dicfix::Sample(coding);
        if (coding == Coding::V1) {
            dicfix::Entry longHead, longSecond;
            longHead.headword = std::string(600, 'x');
            longSecond.headword = "y";
            longSecond.second = std::string(600, 'z');
            longHead.text1 = longSecond.text1 = "t";
            d.indexes[0].entries.push_back(longHead);
            d.indexes[0].entries.push_back(longSecond);
        }
        dicfix::Layout lay;
        std::vector<uint8_t> bytes = dicfix::Build(d, &lay);
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(dicfix::WriteBytes("alone.dic", bytes));
        {
            Open o("alone.dic");
            for (size_t i = 0; i < d.indexes.size(); i++) {
                o.Use(d.indexes[i].kind);
                for (size_t k = 0; k < d.indexes[i].entries.size(); k++) {
                    const dicfix::Entry &e = d.indexes[i].entries[k];
                    BothWays r = ReadBothWays(o, lay.indexes[i].records[k], e.headword.substr(0, 8));
                    EXPECT_TRUE(r.item) << e.headword.substr(0, 8);
                    bool shortStrings = e.headword.size() < 512 && e.second.size() < 512;
                    EXPECT_EQ(r.alone, shortStrings) << e.headword.substr(0, 8);
                }
            }
        }
        // Bytes of the headword records changed at random: whatever becomes of a record, the
        // two readings agree on it.
        uint32_t seed = 4711;
        auto next = [&seed]() {
            seed = seed * 1103515245u + 12345u;
            return seed >> 8;
        };
        const std::vector<uint32_t> &records = lay.indexes[0].records;
        int refused = 0;
        for (int round = 0; round < 150; round++) {
            std::vector<uint8_t> m = bytes;
            uint32_t rec = records[next() % records.size()];
            for (int changes = 1 + (int)(next() % 3); changes > 0; changes--) {
                size_t at = rec + 2 + next() % 40;
                if (at < m.size()) m[at] = (uint8_t)next();
            }
            ASSERT_TRUE(dicfix::WriteBytes("alone.dic", m));
            Open o("alone.dic");
            o.Use(1);
            refused += !ReadBothWays(o, rec, "round " + std::to_string(round)).item;
        }
        // (Plain strings are refused only when emptied or cut off by the end of the file.)
        if (coding != Coding::Plain) {
            EXPECT_GT(refused, 0) << "the changes reach the records' refusals";
        }
    }
    // Damaged strings, and strings that decode past the headword room, in version 0.
    uint32_t rec;
    const std::vector<uint8_t> base = OneWordDictionary("w3", &rec);
    ASSERT_FALSE(base.empty());
    // Strings: headword at rec + 28 (4 bytes), second at + 32 (2), third at + 34 (2).
    const uint8_t repeatFirst = dicfix::StoredByte(TextCodec_T0, 5);  // a repeat before any output
    struct Case {
        const char *what;
        std::function<void(std::vector<uint8_t> &)> damage;
        bool item, alone;
    } cases[] = {
        {"headword damaged", [&](std::vector<uint8_t> &b) { b[rec + 28] = repeatFirst; }, false, false},
        {"second string damaged", [&](std::vector<uint8_t> &b) { b[rec + 32] = repeatFirst; }, false, false},
        {"third string damaged", [&](std::vector<uint8_t> &b) { b[rec + 34] = repeatFirst; }, false, false},
        {"third string cut off", [&](std::vector<uint8_t> &b) { b.resize(rec + 35); }, false, false},
        {"headword past the room", [&](std::vector<uint8_t> &b) {
             std::vector<uint8_t> code = LongV0('a', 60);
             b.resize(rec + 28);
             b[rec + 2] = (uint8_t)code.size();
             b[rec + 3] = b[rec + 4] = 0;
             b.insert(b.end(), code.begin(), code.end());
         }, true, false},
        {"second string past the room", [&](std::vector<uint8_t> &b) {
             std::vector<uint8_t> code = LongV0('b', 60);
             b.resize(rec + 32);
             b[rec + 3] = (uint8_t)code.size();
             b[rec + 4] = 0;
             b.insert(b.end(), code.begin(), code.end());
         }, true, false},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = base;
        c.damage(bytes);
        ASSERT_TRUE(dicfix::WriteBytes("alone.dic", bytes));
        Open o("alone.dic");
        o.Use(1);
        BothWays r = ReadBothWays(o, rec, c.what);
        EXPECT_EQ(r.item, c.item) << c.what;
        EXPECT_EQ(r.alone, c.alone) << c.what;
    }
    DeleteFileA("alone.dic");
}

TEST(IndexRecord, WritersKeepWhatTheyDoNotWrite) {
    dicfix::Dictionary d;
    dicfix::Index x;
    dicfix::Entry e;
    e.headword = "abc";
    e.second = "de";
    e.third = "f";
    e.linkValue = 0x7777;
    x.entries.push_back(e);
    d.indexes.push_back(x);
    dicfix::Layout lay;
    ASSERT_TRUE(dicfix::Write("write.dic", d, &lay));
    Open o("write.dic", true);
    o.Use(1);
    uint32_t rec = lay.indexes[0].records[0];
    VLDataItem h;
    memset(&h, 0, sizeof h);
    h.entryLink = 3u << 16;
    h.head.textPos = 0x1234;
    h.indexValue = 9;
    VLDataItem *it = VLDataItem_Create(&h, "xyz", "uv", "w", nullptr);
    EXPECT_EQ(DLVDataItem_GetSize(&o.session, it), 28u + 3 + 2 + 1);
    // Fixed record and headword only; the second and third strings stay.
    o.Seek(rec);
    ASSERT_TRUE(DLVDataItem_Write(&o.session, 8 | 1, it));
    o.Seek(rec);
    VLDataItem *back = VLDataItem_Read(&o.session);
    ASSERT_NE(back, nullptr);
    EXPECT_STREQ(back->headword, "xyz");
    EXPECT_STREQ(back->second, "de");
    EXPECT_STREQ(back->third, "f");
    EXPECT_EQ(back->entryLink, (3u << 16) | 0x7777);  // link value kept from the file
    EXPECT_EQ(back->head.textPos, 0x1234u);
    EXPECT_EQ(back->indexValue, 9u);
    VLDataItem_Destroy(back);
    o.Use(3);
    EXPECT_FALSE(DLVDataItem_Write(&o.session, 8, it));
    EXPECT_EQ(DLVDataItem_GetSize(&o.session, it), 0u);
    o.Use(7);
    VLDataItem *only = VLDataItem_Create(&h, "xyz", nullptr, nullptr, nullptr);
    EXPECT_EQ(DLVDataItem_GetSize(&o.session, only), 16u + 3);
    VLDataItem_Destroy(only);
    VLDataItem_Destroy(it);
    CloseHandle(o.file);
    o.file = INVALID_HANDLE_VALUE;
    DeleteFileA("write.dic");
}

TEST(LabelRecord, WriteReadRoundTripAndDamage) {
    dicfix::Dictionary d = dicfix::Sample(Coding::Plain);
    dicfix::Layout lay;
    ASSERT_TRUE(dicfix::Write("labels.dic", d, &lay));
    Open o("labels.dic", true);
    o.Use(6);
    HNEncodeSetVersion(0);
    // A group of 10 and more reads back as written.
    VLLabelItem *l = VLLabelItem_Create("x");
    l->level = 3;
    l->number1 = 0xAB;
    l->number2 = 0x1234;
    l->number3 = 0xDEADBEEF;
    l->head.textPos = lay.labels.texts[0];
    EXPECT_EQ(VLLabelItem_GetSize(), 19u);
    o.Seek(lay.labels.records[1]);
    ASSERT_TRUE(VLLabelItem_Write(&o.session, 0, l));
    o.Seek(lay.labels.records[1]);
    VLLabelItem *back = DLVLabelItem_Read(o.file, FALSE);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->level, 3);
    EXPECT_EQ(back->number1, 0xAB);
    EXPECT_EQ(back->number2, 0x1234);
    EXPECT_EQ((DWORD)back->number3, 0xDEADBEEFu);
    EXPECT_STREQ(back->text, "Chapter one");
    VLLabelItem_Destroy(back);
    VLLabelItem_Destroy(l);
    CloseHandle(o.file);
    o.file = INVALID_HANDLE_VALUE;

    std::vector<uint8_t> base = dicfix::Build(d, &lay);
    uint32_t r = lay.labels.records[0];
    struct Case {
        const char *what;
        size_t at;
        int value;  // -1: cut the file there
    } cases[] = {
        {"level not a digit", r, 'x'},
        {"number not hex", r + 5, 'g'},
        {"text beyond the end", r + 18, 0x7F},
        {"reference cut off", r + 10, -1},
        {"text head cut off", lay.labels.texts[0] + 5, -1},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = base;
        if (c.value < 0) bytes.resize(c.at);
        else bytes[c.at] = (uint8_t)c.value;
        ASSERT_TRUE(dicfix::WriteBytes("labels.dic", bytes));
        HANDLE f = CreateFileA("labels.dic", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFilePointer(f, (LONG)r, nullptr, FILE_BEGIN);
        EXPECT_EQ(DLVLabelItem_Read(f, FALSE), nullptr) << c.what;
        CloseHandle(f);
    }
    DeleteFileA("labels.dic");
}

TEST(FileRecord, ReadWriteAndSize) {
    // value 0x10, first "ab", second "xyz"
    std::vector<BYTE> rec = {0x10, 0, 0, 0, 2, 3, 'a', 'b', 'x', 'y', 'z'};
    ASSERT_TRUE(dicfix::WriteBytes("files.dic", std::vector<uint8_t>(rec.begin(), rec.end())));
    Open o("files.dic", true);
    o.Use(5);
    o.Seek(0);
    VLFileItem *fi = VLFileItem_Read(&o.session);
    ASSERT_NE(fi, nullptr);
    EXPECT_EQ(fi->value, 0x10u);
    EXPECT_STREQ(fi->first, "ab");
    EXPECT_STREQ(fi->second, "xyz");
    EXPECT_EQ(VLFileItem_GetSize(fi), 10u);
    fi->head.textPos = 0x99;
    memcpy(fi->second, "QRS", 3);
    o.Seek(0);
    EXPECT_TRUE(VLFileItem_Write(&o.session, 1 | 2, fi));
    o.Seek(0);
    VLFileItem *back = VLFileItem_Read(&o.session);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->value, 0x99u);
    EXPECT_STREQ(back->first, "ab");
    EXPECT_STREQ(back->second, "QRS");
    VLFileItem_Destroy(back);
    VLFileItem_Destroy(fi);
    CloseHandle(o.file);
    o.file = INVALID_HANDLE_VALUE;
    rec[4] = 0;  // no first string
    ASSERT_TRUE(dicfix::WriteBytes("files.dic", std::vector<uint8_t>(rec.begin(), rec.end())));
    Open o2("files.dic", true);
    o2.Use(5);
    o2.Seek(0);
    EXPECT_EQ(VLFileItem_Read(&o2.session), nullptr);
    CloseHandle(o2.file);
    o2.file = INVALID_HANDLE_VALUE;
    DeleteFileA("files.dic");
}

// ---- Catalogue key paths -----------------------------------------------------------------------

TEST(KeyPaths, DefaultRootIniOverrideAndRegistration) {
    char buf[260];
    const std::string root = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary";
    char windir[MAX_PATH];
    GetWindowsDirectoryA(windir, MAX_PATH);
    std::string ini = std::string(windir) + "\\vldicsdk.ini";
    DeleteFileA(ini.c_str());
    EXPECT_EQ(Lexidata_GetDicRootKey(buf), (int)root.size());
    EXPECT_EQ(std::string(buf), root);
    EXPECT_EQ(Lexidata_GetDicKey(0x1234, buf), (int)root.size() + 9);
    EXPECT_EQ(std::string(buf), root + "\\00001234");
    Lexidata_GetDicIndexKey(0x1234, 3, buf);
    EXPECT_EQ(std::string(buf), root + "\\00001234\\03");

    const std::string moved = "SOFTWARE\\Halvenstone\\TestRoot";
    ASSERT_TRUE(WritePrivateProfileStringA("Registry", "ROOT_DIC_KEY", moved.c_str(), "vldicsdk.ini"));
    Lexidata_GetDicIndexKey(0xF001, 1, buf);
    EXPECT_EQ(std::string(buf), moved + "\\0000f001\\01");
    // A root too long for the key paths gives 0 and an empty buffer.
    std::string longRoot(255, 'r');
    WritePrivateProfileStringA("Registry", "ROOT_DIC_KEY", longRoot.c_str(), "vldicsdk.ini");
    EXPECT_EQ(Lexidata_GetDicKey(0x1234, buf), 0);
    EXPECT_EQ(buf[0], 0);

    // Registration in settings-file mode.
    WritePrivateProfileStringA("Registry", "ROOT_DIC_KEY", moved.c_str(), "vldicsdk.ini");
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    std::string settings = std::string(cwd) + "\\keys_settings.ini";
    DeleteFileA(settings.c_str());
    Basekit_SettingsSetFile(settings.c_str());
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.fileId = 0xF001;
    strcpy(info.path, "C:\\dics\\VV4Df001.rdc");
    strcpy(info.name, "My words");
    DicProperty subs[2];
    memset(subs, 0, sizeof subs);
    subs[0].language = 0x0100;
    strcpy(subs[0].nickname, "MW");
    subs[0].colour = 0x00FF8000;
    subs[1].language = 0x0400;
    EXPECT_TRUE(Lexidata_AddDicToRegistry(&info, subs, 2));
    char text[260];
    Lexidata_GetDicKey(0xF001, buf);
    ASSERT_TRUE(Basekit_SettingsReadString(buf, "FileName", text, sizeof text));
    EXPECT_STREQ(text, "C:\\dics\\VV4Df001.rdc");
    ASSERT_TRUE(Basekit_SettingsReadString(buf, "Name", text, sizeof text));
    EXPECT_STREQ(text, "My words");
    Lexidata_GetDicIndexKey(0xF001, 1, buf);
    EXPECT_EQ(Basekit_SettingsReadDword(buf, "LangID"), 0x0100u);
    EXPECT_EQ(Basekit_SettingsReadDword(buf, "Color"), 0x00FF8000u);
    ASSERT_TRUE(Basekit_SettingsReadString(buf, "NickName", text, sizeof text));
    EXPECT_STREQ(text, "MW");
    Lexidata_GetDicIndexKey(0xF001, 2, buf);
    EXPECT_EQ(Basekit_SettingsReadDword(buf, "LangID"), 0x0400u);
    Basekit_SettingsSetFile(nullptr);
    DeleteFileA(settings.c_str());
    DeleteFileA(ini.c_str());
}

}  // namespace
