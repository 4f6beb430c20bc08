// Items: creation, saved form, copies, comparison, label/page/file items, lookup requests.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "support/testkit_files.h"

namespace {

VLDataItem Head(DWORD fileId, DWORD sub, DWORD entry, DWORD score = 0, DWORD link = 0) {
    VLDataItem h;
    memset(&h, 0, sizeof h);
    h.head.fileId = fileId;
    h.head.subDicNo = sub;
    h.head.entryNo = entry;
    h.score = score;
    h.entryLink = link;
    return h;
}

std::string Str(const char *p) { return p ? p : "(null)"; }

TEST(DataItem, HeadwordOnlyRepeatsHeadwordInBothForms) {
    VLDataItem h = Head(1, 2, 3);
    VLDataItem *it = VLDataItem_Create(&h, "word", nullptr, "", nullptr);
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(it->head.type, 1u);
    EXPECT_EQ(it->head.size, sizeof(VLDataItem) + 5);
    EXPECT_EQ(it->second, it->headword);
    EXPECT_EQ(it->third, it->headword);
    EXPECT_EQ(it->secondLen, 4);
    EXPECT_EQ(it->fourth, nullptr);
    EXPECT_EQ(it->fourthLen, 0);
    // The saved form: the 108-byte head and the strings, offsets in the four string fields.
    std::vector<BYTE> saved(VLDataItem_Save(it, nullptr));
    ASSERT_EQ(saved.size(), 108u + 5);
    EXPECT_EQ(VLDataItem_Save(it, saved.data()), 108u + 5);
    EXPECT_EQ(Testkit_Get32(saved, 0), 108u + 5);
    EXPECT_EQ(Testkit_Get32(saved, 60), 108u);  // headword
    EXPECT_EQ(Testkit_Get32(saved, 64), 108u);  // second
    EXPECT_EQ(Testkit_Get32(saved, 68), 108u);  // third
    EXPECT_EQ(Testkit_Get32(saved, 96), 0u);    // fourth
    EXPECT_EQ(memcmp(saved.data() + 108, "word", 5), 0);
    EXPECT_STREQ(it->headword, "word");  // the source keeps its pointers
    VLDataItem_Destroy(it);
}

// Each combination of present strings survives item -> saved form -> item, through Load and
// PrepareSave/PrepareLoad in place (and, on x86, where the saved form is the record itself, through
// Dup of the saved block).
TEST(DataItem, SavedFormRoundTrips) {
    struct Case { const char *hw, *s2, *s3, *s4; } cases[] = {
        {"alpha", nullptr, nullptr, nullptr},
        {"alpha", "beta", nullptr, nullptr},
        {"alpha", nullptr, "gamma", "delta"},
        {"alpha", "beta", "gamma", "delta"},
        {nullptr, "beta", nullptr, nullptr},
        {nullptr, nullptr, nullptr, "delta"},
        {"\x1b" "F80\x82\xa0", nullptr, nullptr, nullptr},  // tagged Shift-JIS hiragana a
    };
    for (const Case &c : cases) {
        VLDataItem h = Head(0x2000, 1, 42, 0x10020003, 0x00020007);
        h.language = 0x0100;
        h.indexValue = 0xDEADBEEF;
        h.indexByte = 9;
        h.charset = 128;
        VLDataItem *it = VLDataItem_Create(&h, c.hw, c.s2, c.s3, c.s4);
        ASSERT_NE(it, nullptr);
        std::vector<BYTE> saved(VLDataItem_Save(it, nullptr));
        ASSERT_EQ(saved.size(), it->head.size - sizeof(VLDataItem) + 108);
        VLDataItem_Save(it, saved.data());
        DWORD size = 0;
        VLDataItem *back = VLDataItem_Load(saved.data(), 0x500, &size);
#ifdef _WIN64
        VLDataItem *dup = VLDataItem_Dup(back);
#else
        VLDataItem *dup = VLDataItem_Dup((const VLDataItem *)saved.data());
#endif
        ASSERT_NE(back, nullptr);
        ASSERT_NE(dup, nullptr);
        EXPECT_EQ(size, saved.size());
        // Saving the loaded copy gives the same bytes.
        std::vector<BYTE> again(VLDataItem_Save(back, nullptr));
        VLDataItem_Save(back, again.data());
        EXPECT_EQ(again, saved);
        for (VLDataItem *x : {back, dup}) {
            EXPECT_EQ(x->head.size, it->head.size);
            EXPECT_EQ(memcmp(&x->head, &it->head, sizeof(VLItem)), 0);
            EXPECT_EQ(x->score, it->score);
            EXPECT_EQ(x->entryLink, it->entryLink);
            EXPECT_EQ(x->indexValue, 0xDEADBEEFu);
            EXPECT_EQ(x->charset, 128);
            EXPECT_EQ(Str(x->headword), Str(it->headword));
            EXPECT_EQ(Str(x->second), Str(it->second));
            EXPECT_EQ(Str(x->third), Str(it->third));
            EXPECT_EQ(Str(x->fourth), Str(it->fourth));
            EXPECT_EQ(x->secondLen, it->secondLen);
            EXPECT_EQ(x->fourthLen, it->fourthLen);
            EXPECT_EQ(x->second == x->headword, it->second == it->headword);
            if (c.hw) {
                EXPECT_EQ(x->headword, (char *)(x + 1));
            }
        }
        // In place: memory -> saved -> memory gives the same strings.
        VLDataItem_PrepareSave(it);
#ifndef _WIN64
        EXPECT_EQ(memcmp(it, saved.data(), it->head.size), 0);
#endif
        VLDataItem_PrepareLoad(it);
        EXPECT_EQ(Str(it->third), Str(back->third));
        VLDataItem_Destroy(dup);
        VLDataItem_Destroy(back);
        VLDataItem_Destroy(it);
    }
}

// An item in memory form without a headword has headword pointer 0, which is below its size;
// its other pointers are real addresses and must not be taken for offsets.
TEST(DataItem, DupWithoutHeadwordKeepsStrings) {
    VLDataItem h = Head(1, 0, 0);
    VLDataItem *it = VLDataItem_Create(&h, nullptr, "second", "third", "fourth");
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(it->headword, nullptr);
    VLDataItem *dup = VLDataItem_Dup(it);
    ASSERT_NE(dup, nullptr);
    EXPECT_STREQ(dup->second, "second");
    EXPECT_STREQ(dup->third, "third");
    EXPECT_STREQ(dup->fourth, "fourth");
    EXPECT_EQ(dup->head.size, it->head.size);
    VLDataItem_Destroy(dup);
    VLDataItem_Destroy(it);
}

TEST(DataItem, LoadRejectsDamagedBlocksAndOldFormats) {
    VLDataItem h = Head(1, 0, 0);
    VLDataItem *it = VLDataItem_Create(&h, "abc", "de", nullptr, nullptr);
    std::vector<BYTE> saved(VLDataItem_Save(it, nullptr));
    VLDataItem_Save(it, saved.data());
    EXPECT_EQ(VLDataItem_Load(saved.data(), 0x4FF, nullptr), nullptr);
    std::vector<BYTE> bad = saved;
    Testkit_Put32(bad, 60, 500);  // the headword outside the block
    EXPECT_EQ(VLDataItem_Load(bad.data(), 0x500, nullptr), nullptr);
    bad = saved;
    bad[108 + 3] = 'x';  // the headword's terminator
    EXPECT_EQ(VLDataItem_Load(bad.data(), 0x500, nullptr), nullptr);
    VLDataItem_Destroy(it);
}

TEST(DataItem, FileReadWriteRoundTripAndShortHead) {
    const char *path = "items_sl.bin";
    VLDataItem h = Head(7, 1, 2);
    VLDataItem *a = VLDataItem_Create(&h, "one", "two", nullptr, "four");
    HANDLE f = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(VLDataItem_WriteSL(f, a));
    SetFilePointer(f, 0, nullptr, FILE_BEGIN);
    EXPECT_EQ(VLDataItem_ReadSL(f, 0x4FF), nullptr);
    VLDataItem *b = VLDataItem_ReadSL(f, 0x500);
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b->headword, "one");
    EXPECT_STREQ(b->second, "two");
    EXPECT_STREQ(b->fourth, "four");
    EXPECT_EQ(VLDataItem_ReadSL(f, 0x500), nullptr);  // at the end: short head
    SetFilePointer(f, 10, nullptr, FILE_BEGIN);
    SetEndOfFile(f);
    SetFilePointer(f, 0, nullptr, FILE_BEGIN);
    EXPECT_EQ(VLDataItem_ReadSL(f, 0x500), nullptr);
    CloseHandle(f);
    DeleteFileA(path);
    VLDataItem_Destroy(a);
    VLDataItem_Destroy(b);
}

TEST(DataItem, CompareModes) {
    VLDataItem h = Head(1, 0, 10);
    VLDataItem *a = VLDataItem_Create(&h, "aa", nullptr, nullptr, nullptr);
    VLDataItem *b = VLDataItem_Create(&h, "aaa", nullptr, nullptr, nullptr);
    // Mode 0: class first, compared as unsigned (class 9 is above class 1).
    a->score = 0x90000000; b->score = 0x10000000;
    EXPECT_GT(VLDataItem_Compare(0, 0, a, b), 0);
    EXPECT_LT(VLDataItem_Compare(0, 1, a, b), 0);
    // Same class and grade: the longer headword first.
    a->score = b->score = 0x10020000;
    EXPECT_GT(VLDataItem_Compare(0, 0, a, b), 0);
    // Mode 2: grade then fine score.
    a->score = 0x00030001; b->score = 0x00030005;
    EXPECT_LT(VLDataItem_Compare(2, 0, a, b), 0);
    // Mode 5: file id then sub-dictionary.
    a->head.fileId = 2; b->head.fileId = 1;
    EXPECT_GT(VLDataItem_Compare(5, 0, a, b), 0);
    EXPECT_LT(VLDataItem_Compare(5, 1, a, b), 0);
    // Mode 3: language, then the headwords (byte order without a language manager loaded),
    // then identity.
    a->language = 0x0100; b->language = 0x0200;
    EXPECT_LT(VLDataItem_Compare(3, 0, a, b), 0);
    b->language = 0x0100;
    EXPECT_LT(VLDataItem_Compare(3, 0, a, b), 0);  // "aa" before "aaa"
    EXPECT_GT(VLDataItem_Compare(3, 1, a, b), 0);
    // Mode 4: time stamps.
    a->head.time.dwLowDateTime = 5; b->head.time.dwLowDateTime = 9;
    EXPECT_LT(VLDataItem_Compare(4, 0, a, b), 0);
    VLDataItem_Destroy(a);
    VLDataItem_Destroy(b);
}

TEST(DataItem, MainEntryBeforeSubEntryInBothDirections) {
    VLDataItem mh = Head(1, 0, 10, 0x10000000, 0);
    VLDataItem sh = Head(1, 0, 12, 0x10000000, 2u << 16);  // two entries after its main entry
    VLDataItem *mainE = VLDataItem_Create(&mh, "ab", nullptr, nullptr, nullptr);
    VLDataItem *sub = VLDataItem_Create(&sh, "cd", nullptr, nullptr, nullptr);
    for (int desc = 0; desc <= 1; desc++) {
        EXPECT_LT(VLDataItem_Compare(0, desc, mainE, sub), 0) << desc;
        EXPECT_GT(VLDataItem_Compare(0, desc, sub, mainE), 0) << desc;
    }
    VLDataItem_Destroy(mainE);
    VLDataItem_Destroy(sub);
}

TEST(OtherItems, LabelPageFileAndGenericDispatch) {
    VLLabelItem *l = VLLabelItem_Create("Chapter");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->head.type, 5u);
    EXPECT_EQ(l->head.size, sizeof(VLLabelItem) + 8);
    EXPECT_EQ(l->textLen, 7);
    l->number1 = 3;
    VLLabelItem *ld = VLLabelItem_Dup(l);
    EXPECT_STREQ(ld->text, "Chapter");
    EXPECT_EQ(ld->number1, 3);
    EXPECT_EQ(VLItem_Destroy(&l->head), 4);  // frees nothing
    VLLabelItem_Destroy(l);
    VLLabelItem_Destroy(ld);
    VLLabelItem *empty = VLLabelItem_Create("");
    EXPECT_EQ(empty->text, nullptr);
    EXPECT_EQ(empty->head.size, sizeof(VLLabelItem));
    VLLabelItem_Destroy(empty);

    VLPageItem *p = VLPageItem_Create();
    EXPECT_EQ(p->head.type, 3u);
    EXPECT_EQ(p->head.size, sizeof(VLPageItem));
    VLPageItem_Destroy(p);

    VLFileItem fh;
    memset(&fh, 0, sizeof fh);
    fh.value = 77;
    VLFileItem *f = VLFileItem_Create(&fh, "first", "");
    EXPECT_EQ(f->head.type, 4u);
    EXPECT_EQ(f->second, f->first);
    EXPECT_EQ(f->value, 77u);
    VLFileItem *fd = VLFileItem_Dup(f);
    EXPECT_STREQ(fd->second, "first");
    VLFileItem_Destroy(f);
    VLFileItem_Destroy(fd);

    VLDataItem h = Head(1, 0, 0);
    h.head.type = 1;
    VLItem *gi = VLItem_Create(&h.head, "x", nullptr, nullptr);
    ASSERT_NE(gi, nullptr);
    VLItem *gd = VLItem_Dup(gi);
    EXPECT_STREQ(((VLDataItem *)gd)->headword, "x");
    EXPECT_EQ(VLItem_Destroy(gi), 0);
    EXPECT_EQ(VLItem_Destroy(gd), 0);
    h.head.type = 3;
    EXPECT_EQ(VLItem_Create(&h.head, "x", nullptr, nullptr), nullptr);
}

TEST(OtherItems, DataPairAndCommonInfo) {
    VLData *d = VLData_Create(2, 3, "abc", 0, "zzz");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->kind, 2u);
    EXPECT_EQ(d->len1, 3u);
    EXPECT_EQ(memcmp(d->data1, "abc", 3), 0);
    EXPECT_EQ(d->data2, nullptr);
    VLData_Destroy(d);

    DicInfo info;
    memset(&info, 0, sizeof info);
    info.fileId = 0x2000;
    DicProperty prop;
    memset(&prop, 0, sizeof prop);
    prop.subDicNo = 3;
    DicSession s;
    memset(&s, 0, sizeof s);
    s.fileRecord = &info;
    s.subDic = &prop;
    VLDataItem h = Head(0, 0, 0);
    VLDataItem *it = VLDataItem_Create(&h, "w", nullptr, nullptr, nullptr);
    VLItem_SetCommonInfo(&s, 17, &it->head);
    EXPECT_EQ(it->head.fileId, 0x2000u);
    EXPECT_EQ(it->head.subDicNo, 3u);
    EXPECT_EQ(it->head.entryNo, 17u);
    EXPECT_NE(it->head.time.dwHighDateTime, 0u);
    VLItem_SetCommonInfo(&s, 1, nullptr);  // ignored
    VLDataItem_Destroy(it);
}

TEST(Memory, HeapOperations) {
    char *p = (char *)VLMem_Calloc(4, 8);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 32; i++) EXPECT_EQ(p[i], 0);
    p = (char *)DLVRealloc(p, 100);
    ASSERT_NE(p, nullptr);
    DLVFree(p);
    VLMem_Free(nullptr);
    EXPECT_EQ(VLMem_Calloc(0x10000, 0x10000), nullptr);
}

TEST(LookupRequest, CreateAndDup) {
    const char *text = "hello world";
    VLTranParam *r = VLTranParam_Create(5, 1, 2, 3, nullptr, 128, 6, 0, nullptr, 0x00100020,
                                        0x00300040, text, 3);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->textLen, 3);
    EXPECT_EQ(memcmp(r->text, "hel\0", 4), 0);
    EXPECT_EQ(r->text, (char *)(r + 1));
    EXPECT_EQ(r->charset, 0);  // 7-bit text
    EXPECT_EQ(r->wordPos, 6);
    EXPECT_EQ(LocalSize(r), sizeof(VLTranParam) + 4);

    VLTranParam *all = VLTranParam_Create(5, 1, 2, 3, nullptr, 128, 0, 0, nullptr, 0, 0, text, -1);
    EXPECT_EQ(all->textLen, 11);
    VLTranParam_Destroy(all);

    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = -12;
    strcpy(lf.lfFaceName, "MS Gothic");
    const char sjis[] = "\x82\xa0\x82\xa2";  // Shift-JIS hiragana a, i
    VLTranParam *j = VLTranParam_Create(1, 0, 0, 1, &lf, 128, 0, 0, nullptr, 0, 0, sjis, -1);
    EXPECT_EQ(j->charset, 128);
    EXPECT_STREQ(j->font.lfFaceName, "MS Gothic");
    VLTranParam *d = VLTranParam_Dup(j);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->text, (char *)(d + 1));
    EXPECT_NE(d->text, j->text);
    EXPECT_STREQ(d->text, sjis);
    EXPECT_EQ(d->font.lfHeight, -12);
    VLTranParam_Destroy(d);
    VLTranParam_Destroy(j);
    VLTranParam_Destroy(r);

    EXPECT_EQ(VLTranParam_Create(1, 0, 0, 1, nullptr, 0, 0, 0, nullptr, 0, 0, nullptr, 3), nullptr);
    EXPECT_EQ(VLTranParam_Create(1, 0, 0, 1, nullptr, 0, 0, 0, nullptr, 0, 0, "a", 0), nullptr);
    EXPECT_EQ(VLTranParam_Dup(nullptr), nullptr);
}

}  // namespace
